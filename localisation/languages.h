// The languages the menu has a translation section for: which locales read
// each, and how its texts are drawn. One table (languages.inc) for the menu
// and every tool.
#pragma once

#include "platform/wintypes.h"

#include <string>

namespace languages {

struct Language {
    const char* section;     // the translation file's section
    unsigned primary;        // the primary language of the locales that read it
    unsigned sublanguage;    // the sublanguage of its own locale
    bool everySublanguage;   // false: only locales of that sublanguage read it
    BYTE charSet;            // the font character set the menu asks for
    unsigned codePage;       // the code page its texts are written and drawn in
    const char* locale;      // the POSIX locale of a user of the language
};

// The rows of the table, for range-for.
struct Table {
    const Language* first;
    const Language* last;
    const Language* begin() const { return first; }
    const Language* end() const { return last; }
};

// Every language, "english" first, then in the order of their primary
// languages.
Table All();

// The language whose section the menu reads under `locale`: english when
// the table has none for it.
const Language& OfLocale(LCID locale);

// The language of section `name` (any case); null when the table has none.
const Language* Find(const std::string& name);

// The language's own locale (MAKELANGID of its primary language and
// sublanguage).
LCID LocaleOf(const Language& language);
// The own locale of the language of section `name` (any case); 0 when the
// table has no such language.
LCID LocaleOf(const std::string& name);

// The code page of a character set the menu asks for; 0 for the ANSI set,
// whose texts are drawn in the system's own code page.
unsigned CodePageOfCharSet(BYTE charSet);

}  // namespace languages
