#include "platform/tool_text.h"

#include "platform/codepage.h"
#include "platform/system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/unicode.h"

#include <climits>
#include <unistd.h>
#include <vector>
#endif

namespace platform {

#ifdef _WIN32

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
    const CodePage page(cp);
    // An undefined byte (or a lead byte at the end): one U+FFFD.
    const auto undefined = [&page](const std::string& in, size_t at, std::string& out) {
        out += "\xEF\xBF\xBD";
        return page.CharLength(in, at);
    };
    std::string out;
    if (!unicode::Recode(ansi, "CP" + std::to_string(cp), "UTF-8", undefined, out) &&
        !unicode::Recode(ansi, "CP1252", "UTF-8", undefined, out))
        return ansi;
    return out;
}

#endif

}  // namespace platform
