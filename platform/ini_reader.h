// A reader of initialisation files that behaves like the Windows profile
// functions (as Wine implements them), for builds without those functions.
#pragma once

#include "platform/wintypes.h"

#include <string>
#include <vector>

namespace ini {

// Like GetPrivateProfileStringA: copies the value of `key` in `section`
// (names compared without regard to ASCII case) into `buf`, blanks around it
// removed and one pair of enclosing quotes stripped, cut to size - 1 bytes.
// Gives `def` when the file, the section or the key is missing. Returns the
// number of bytes copied, not counting the terminating NUL.
DWORD ReadString(const char* section, const char* key, const char* def,
                 char* buf, DWORD size, const char* path);

// Like GetPrivateProfileStringA on a section already read: `list` and
// `length` are what ReadSection (or GetPrivateProfileSectionA) gave for the
// section, and the key is found in it as ReadString finds it in the file.
DWORD ListString(const char* list, DWORD length, const char* key,
                 const char* def, char* buf, DWORD size);

// A section or key name as the reading functions compare it: blanks around
// it removed.
std::string TrimName(const char* name);

// Like GetPrivateProfileSectionA: the lines of `section` as "key=value"
// strings, each ended by a NUL, the list ended by an empty string. A list
// that does not fit is cut to size - 2 bytes and the result is size - 2.
// Returns 0 when there is nothing (no file, no such section, empty section).
DWORD ReadSection(const char* section, char* buf, DWORD size,
                  const char* path);

// Where the lines of a file's sections stand, for tools that point an author
// at a line. Every section in file order, duplicates included (the reading
// functions above see only the first of a name); the lines before the first
// header form a section with an empty name and line 0. Each entry is one line
// of the list ReadSection gives, in the same form, with its line number
// (counted from 1). Empty when the file cannot be read.
struct LayoutLine {
    unsigned line;
    std::string text;
};
struct SectionLayout {
    std::string name;
    unsigned line;
    std::vector<LayoutLine> entries;
};
std::vector<SectionLayout> ReadLayout(const char* path);
// The line of `key` in `section`, found as ReadString finds it: the first
// section of that name, its first line of that name. 0 when absent.
unsigned LineOf(const std::vector<SectionLayout>& layout, const char* section,
                const char* key);

}  // namespace ini
