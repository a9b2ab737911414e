#include "localisation/languages.h"

namespace languages {
namespace {

bool SameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

}  // namespace

static const Language kLanguages[] = {
#define LANGUAGE(section, primary, sub, every, charSet, codePage, locale) \
    {section, primary, sub, every, charSet, codePage, locale},
#include "localisation/languages.inc"
#undef LANGUAGE
};

Table All() { return Table{kLanguages, kLanguages + sizeof kLanguages / sizeof kLanguages[0]}; }

const Language& OfLocale(LCID locale) {
    const unsigned langId = locale & 0xFFFF;
    const unsigned primary = langId & 0x3FF;
    const unsigned sub = langId >> 10;
    for (const Language& l : All())
        if (l.primary == primary && (l.everySublanguage || l.sublanguage == sub)) return l;
    return kLanguages[0];
}

const Language* Find(const std::string& name) {
    for (const Language& l : All())
        if (SameIgnoringCase(name, l.section)) return &l;
    return nullptr;
}

LCID LocaleOf(const Language& language) {
    return (language.sublanguage << 10) | language.primary;
}

LCID LocaleOf(const std::string& name) {
    const Language* language = Find(name);
    return language ? LocaleOf(*language) : 0;
}

unsigned CodePageOfCharSet(BYTE charSet) {
    if (charSet == 0) return 0;
    for (const Language& l : All())
        if (l.charSet == charSet) return l.codePage;
    return 0;
}

}  // namespace languages
