#include "platform/system.h"

#include "platform/codepage.h"
#include "platform/ini_reader.h"
#include "localisation/builtin_texts.h"

#include <algorithm>

#ifndef _WIN32
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iconv.h>
#include <unistd.h>
#include <vector>
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

std::string FullPath(const std::string& userPath) {
    if (userPath.empty()) return std::string();
    char buf[MAX_PATH];
    char* name = nullptr;
    const DWORD n = GetFullPathNameA(userPath.c_str(), MAX_PATH, buf, &name);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string path(buf, n);
    // "D:\" keeps its backslash; "D:\medium\" loses it.
    const CodePage page = CodePage::System();
    while (path.size() > 3 && page.FindLast(path, '\\') == path.size() - 1)
        path.pop_back();
    return path;
}

std::string AnsiToUtf8(const std::string& ansi, unsigned codePage) {
    if (ansi.empty()) return std::string();
    const UINT cp = codePage ? codePage : CP_ACP;
    const int wide = MultiByteToWideChar(cp, 0, ansi.data(),
                                         static_cast<int>(ansi.size()), nullptr, 0);
    if (wide <= 0) return std::string();
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(cp, 0, ansi.data(), static_cast<int>(ansi.size()), &w[0], wide);
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], n, nullptr, nullptr);
    return out;
}

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

std::string NativePath(const std::string& windowsPath) {
    // Only whole backslash characters: in a double-byte code page the second
    // byte of a character may have the backslash's value.
    const CodePage page = CodePage::System();
    std::string p = windowsPath;
    for (size_t i = page.Find(p, '\\'); i != std::string::npos; i = page.Find(p, '\\', i + 1))
        p[i] = '/';
    return p;
}

std::string WindowsPath(const std::string& nativePath) {
    std::string p = nativePath;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

std::string FullPath(const std::string& userPath) {
    if (userPath.empty()) return std::string();
    std::string native = NativePath(userPath);
    if (native[0] != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd)) return std::string();
        native = std::string(cwd) + "/" + native;
    }
    // "." and ".." by the name alone, as Windows resolves them.
    std::vector<std::string> parts;
    size_t from = 0;
    while (from <= native.size()) {
        size_t slash = native.find('/', from);
        if (slash == std::string::npos) slash = native.size();
        const std::string part = native.substr(from, slash - from);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        from = slash + 1;
    }
    std::string path;
    for (const std::string& part : parts) path += "/" + part;
    return WindowsPath(path.empty() ? "/" : path);
}

std::string AnsiToUtf8(const std::string& ansi, unsigned codePage) {
    const unsigned cp = codePage ? codePage : CodePage::System().Number();
    const std::string name = "CP" + std::to_string(cp);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) return ansi;
    std::string out;
    std::string in = ansi;
    char* src = &in[0];
    size_t left = in.size();
    char chunk[256];
    while (left > 0) {
        char* dst = chunk;
        size_t room = sizeof chunk;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(chunk, static_cast<size_t>(dst - chunk));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // An undefined byte (or a lead byte at the end): one U+FFFD.
            out += "\xEF\xBF\xBD";
            const CodePage page(cp);
            const size_t at = static_cast<size_t>(src - &in[0]);
            const size_t skip = std::min(page.CharLength(in, at), left);
            src += skip;
            left -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

#endif

}  // namespace platform
