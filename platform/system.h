// The seams between the program's own logic and Windows. On Windows each
// call goes to the system itself; on the host it goes to our own stand-in,
// which follows the same rules (the test suites run the same cases on both).
#pragma once

#include "platform/codepage.h"
#include "platform/wintypes.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Initialisation files (GetPrivateProfileStringA / GetPrivateProfileSectionA).
DWORD ProfileString(const char* section, const char* key, const char* def,
                    char* buf, DWORD size, const char* path);
DWORD ProfileSection(const char* section, char* buf, DWORD size,
                     const char* path);

// One section of an initialisation file, read with a single ProfileSection
// call. String then gives for a key of that section what ProfileString would
// give, without going back to the file. A section too long to read whole is
// left to ProfileString key by key.
class ProfileSectionReader {
public:
    ProfileSectionReader(const char* section, const char* path);
    DWORD String(const char* key, const char* def, char* buf, DWORD size) const;

private:
    std::string m_section, m_path;
    std::vector<char> m_list;
    DWORD m_length;
    bool m_complete;
};

// Lets the thread's windows run: takes every waiting message off the queue
// and dispatches it, except WM_QUIT, which is dropped. Then calls the hook
// set by SetDrainHook, if any (tests use it to act in the middle of a long
// operation; on the host it is all that happens).
void DrainMessageQueue();
void SetDrainHook(std::function<void()> hook);

// The locale of the calling thread (GetThreadLocale). On the host it is
// what SetHostThreadLocale last set, 0x0409 (English, United States) first.
LCID ThreadLocale();
void SetHostThreadLocale(LCID lcid);

// A built-in text of the program's string table, in the ANSI code page;
// empty when the table has no such id.
std::string LoadBuiltinText(UINT id);

// Paths. The program keeps the Windows form (backslashes); on the host the
// seam converts to the file system's form at the boundary.
std::string NativePath(const std::string& windowsPath);
std::string WindowsPath(const std::string& nativePath);

// On the host: lets the Windows-form folder `windowsFolder` ("D:") stand for
// the host's folder `hostFolder`, as a drive letter stands for a disc.
// NativePath then maps it, and every path below it, into that folder, so the
// limits of Windows paths apply to the path under the Windows name and the
// host's path keeps only the host's own limits, and any character the host
// allows in a name. An empty `windowsFolder` ends it. Returns false on
// Windows, where every path is the system's own and nothing is mapped.
bool SetHostDrive(const std::string& windowsFolder, const std::string& hostFolder);

// On the host, while a drive is set: whether the symbolic link at the host
// path `nativePath` is a folder as the disc holds it. The disc holds a link
// that ends in a folder inside the drive's folder, and that is not the
// folder holding the link nor one above it, as the folder it names; it does
// not hold the others. False without a drive, and on Windows.
bool HostLinkIsDiscFolder(const std::string& nativePath);

// The folder of a path: the path up to, not including, its last backslash
// (the second byte of a double-byte character is none). Empty when the path
// holds no backslash.
std::string FolderOf(const std::string& path, const CodePage& page = CodePage::System());

}  // namespace platform
