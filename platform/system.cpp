#include "platform/system.h"

#include "platform/codepage.h"
#include "platform/ini_reader.h"
#include "resources/builtin_texts.h"

#include <algorithm>

#ifndef _WIN32
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#endif

namespace platform {
namespace {

std::function<void()>& DrainHook() {
    static std::function<void()> hook;
    return hook;
}

#ifndef _WIN32
LCID g_threadLocale = 0x0409;
#endif

}  // namespace

void SetDrainHook(std::function<void()> hook) { DrainHook() = std::move(hook); }

ProfileSectionReader::ProfileSectionReader(const char* section, const char* path)
    : m_section(section ? section : ""), m_path(path ? path : ""), m_length(0),
      m_complete(false) {
    if (!section || !path) return;
    const std::string name = ini::TrimName(section);
    // A list that ends two bytes short of the buffer may have been cut.
    for (DWORD size = 4096; size <= (1u << 22); size *= 4) {
        m_list.assign(size, '\0');
        const DWORD n = ProfileSection(name.c_str(), m_list.data(), size, m_path.c_str());
        if (n + 2 < size) {
            m_length = n;
            m_complete = true;
            return;
        }
    }
    m_list.clear();
}

DWORD ProfileSectionReader::String(const char* key, const char* def, char* buf,
                                   DWORD size) const {
    if (!m_complete)
        return ProfileString(m_section.c_str(), key, def, buf, size, m_path.c_str());
    return ini::ListString(m_list.data(), m_length, key, def, buf, size);
}

std::string FolderOf(const std::string& path, const CodePage& page) {
    const size_t slash = page.FindLast(path, '\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

#ifdef _WIN32

DWORD ProfileString(const char* section, const char* key, const char* def,
                    char* buf, DWORD size, const char* path) {
    return GetPrivateProfileStringA(section, key, def, buf, size, path);
}

DWORD ProfileSection(const char* section, char* buf, DWORD size,
                     const char* path) {
    return GetPrivateProfileSectionA(section, buf, size, path);
}

void DrainMessageQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (DrainHook()) DrainHook()();
}

LCID ThreadLocale() { return GetThreadLocale(); }
void SetHostThreadLocale(LCID) {}

std::string LoadBuiltinText(UINT id) {
    char buf[1024];
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
    return n > 0 ? std::string(buf, n) : std::string();
}

std::string NativePath(const std::string& windowsPath) { return windowsPath; }
std::string WindowsPath(const std::string& nativePath) { return nativePath; }
bool SetHostDrive(const std::string&, const std::string&) { return false; }
bool HostLinkIsDiscFolder(const std::string&) { return false; }
#else

DWORD ProfileString(const char* section, const char* key, const char* def,
                    char* buf, DWORD size, const char* path) {
    std::string native = NativePath(path ? path : "");
    return ini::ReadString(section, key, def, buf, size, native.c_str());
}

DWORD ProfileSection(const char* section, char* buf, DWORD size,
                     const char* path) {
    std::string native = NativePath(path ? path : "");
    return ini::ReadSection(section, buf, size, native.c_str());
}

void DrainMessageQueue() {
    if (DrainHook()) DrainHook()();
}

LCID ThreadLocale() { return g_threadLocale; }
void SetHostThreadLocale(LCID lcid) { g_threadLocale = lcid; }

std::string LoadBuiltinText(UINT id) {
    for (const BuiltinText& t : kBuiltinTexts)
        if (t.id == id) return t.text;
    return std::string();
}

namespace {

struct HostDrive {
    std::string windows;  // without a trailing backslash
    std::string host;
};

HostDrive& TheHostDrive() {
    static HostDrive drive;
    return drive;
}

}  // namespace

bool SetHostDrive(const std::string& windowsFolder, const std::string& hostFolder) {
    HostDrive& drive = TheHostDrive();
    drive.windows = windowsFolder;
    const CodePage page = CodePage::System();
    while (!drive.windows.empty() && page.FindLast(drive.windows, '\\') == drive.windows.size() - 1)
        drive.windows.pop_back();
    drive.host = drive.windows.empty() ? std::string() : hostFolder;
    while (drive.host.size() > 1 && drive.host.back() == '/') drive.host.pop_back();
    return true;
}

bool HostLinkIsDiscFolder(const std::string& nativePath) {
    const HostDrive& drive = TheHostDrive();
    if (drive.windows.empty()) return false;
    // Whole paths, every link on the way resolved.
    const auto real = [](const std::string& path) {
        char buffer[PATH_MAX];
        return realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
    };
    const auto within = [](const std::string& path, const std::string& folder) {
        return path.compare(0, folder.size(), folder) == 0 &&
               (path.size() == folder.size() || folder == "/" || path[folder.size()] == '/');
    };
    const std::string root = real(drive.host);
    const std::string end = real(nativePath);
    const size_t slash = nativePath.find_last_of('/');
    const std::string holder = real(slash == std::string::npos ? "." : nativePath.substr(0, slash + 1));
    struct stat st;
    return !root.empty() && !end.empty() && !holder.empty() && within(end, root) &&
           !within(holder, end) && stat(end.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string NativePath(const std::string& windowsPath) {
    // Only whole backslash characters: in a double-byte code page the second
    // byte of a character may have the backslash's value.
    const CodePage page = CodePage::System();
    const HostDrive& drive = TheHostDrive();
    std::string p = windowsPath;
    size_t from = 0;
    if (!drive.windows.empty() && p.compare(0, drive.windows.size(), drive.windows) == 0 &&
        (p.size() == drive.windows.size() || p[drive.windows.size()] == '\\')) {
        // The host folder's own path is taken as it is.
        p = drive.host + p.substr(drive.windows.size());
        from = drive.host.size();
    }
    for (size_t i = page.Find(p, '\\', from); i != std::string::npos; i = page.Find(p, '\\', i + 1))
        p[i] = '/';
    return p;
}

std::string WindowsPath(const std::string& nativePath) {
    std::string p = nativePath;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}
#endif

}  // namespace platform
