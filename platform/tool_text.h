// Seams that only the tools use: a path a user typed, made absolute, and
// text of a code page in UTF-8. The menu program carries none of it.
#pragma once

#include <string>

namespace platform {

// A path a user typed, made absolute in the Windows form (GetFullPathNameA):
// relative to the current folder, "." and ".." resolved, no trailing
// backslash except after a drive. Empty when it cannot be made.
std::string FullPath(const std::string& userPath);

// A folder a user typed, made absolute in the form of the system the tool
// runs on; empty when there is no such folder. On Windows the folder of
// FullPath. On the host the path is first taken as the host takes it, where a
// backslash is a character of a name ("/media/a\\b" is one folder), and
// failing that in the Windows form, as FullPath takes it.
std::string HostFolder(const std::string& userPath);

// Whether `path` (in the Windows form) is a file as this machine's own calls
// see it: on the host without the 260-byte bound of the program's seams,
// which holds for paths on the disc, not for a tool's own files.
bool IsHostFile(const std::string& path);

// A text of code page `codePage` (0: the system's ANSI code page) in UTF-8;
// a byte sequence the code page does not define becomes U+FFFD.
std::string AnsiToUtf8(const std::string& ansi, unsigned codePage = 0);

}  // namespace platform
