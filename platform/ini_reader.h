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

}  // namespace ini
