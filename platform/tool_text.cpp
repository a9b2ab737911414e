#include "platform/tool_text.h"

#include "platform/codepage.h"
#include "platform/system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/unicode.h"

#include <sys/stat.h>

#include <algorithm>
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

std::string HostFolder(const std::string& userPath) {
    const std::string full = FullPath(userPath);
    const DWORD attributes = full.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string();
    return full;
}

bool IsHostFile(const std::string& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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

namespace {

// "." and ".." resolved by the name alone, as Windows resolves them: the
// parts of `path` between separators, after `root`.
std::string Resolved(const std::string& root, const std::string& path, char separator) {
    std::vector<std::string> parts;
    size_t from = 0;
    while (from <= path.size()) {
        size_t end = path.size();
        if (separator == '/') {
            const size_t slash = path.find('/', from);
            if (slash != std::string::npos) end = slash;
        } else {
            // Either separator of the Windows form; never the second byte of
            // a double-byte character.
            const CodePage page = CodePage::System();
            const size_t back = page.Find(path, '\\', from), fore = page.Find(path, '/', from);
            end = std::min({end, back, fore});
        }
        const std::string part = path.substr(from, end - from);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        from = end + 1;
    }
    std::string out = root;
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i || out.empty() || out.back() != separator ? std::string(1, separator) : "") +
               parts[i];
    return out.empty() ? std::string(1, separator) : out;
}

// A host path made absolute against the current folder; empty when that
// cannot be read.
std::string Absolute(const std::string& native) {
    if (native[0] == '/') return native;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return std::string();
    return std::string(cwd) + "/" + native;
}

bool IsHostFolder(const std::string& native) {
    struct stat st;
    return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string FullPath(const std::string& userPath) {
    if (userPath.empty()) return std::string();
    // A path on a drive stays on it, as on Windows.
    if (userPath.size() >= 2 && userPath[1] == ':' &&
        ((userPath[0] >= 'A' && userPath[0] <= 'Z') || (userPath[0] >= 'a' && userPath[0] <= 'z'))) {
        const std::string full = Resolved(userPath.substr(0, 2), userPath.substr(2), '\\');
        return full.size() == 2 ? full + "\\" : full;
    }
    const std::string native = Absolute(NativePath(userPath));
    return native.empty() ? std::string() : WindowsPath(Resolved("", native, '/'));
}

std::string HostFolder(const std::string& userPath) {
    if (userPath.empty()) return std::string();
    const std::string absolute = Absolute(userPath);
    const std::string native = absolute.empty() ? absolute : Resolved("", absolute, '/');
    if (!native.empty() && IsHostFolder(native)) return native;
    const std::string full = FullPath(userPath);
    if (full.empty() || !IsHostFolder(NativePath(full))) return std::string();
    return NativePath(full);
}

bool IsHostFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
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
