#include "catalog/command.h"

#include "platform/system.h"

#include <cstdio>

namespace command {

bool EndsWithBackslash(const std::string& s, const platform::CodePage& page) {
    return !s.empty() && page.FindLast(s, '\\') == s.size() - 1;
}

namespace {

bool StartsWith(const std::string& s, const char* prefix,
                const platform::CodePage& page) {
    const std::string p(prefix);
    return s.size() >= p.size() && page.Upper(s.substr(0, p.size())) == p;
}

}  // namespace

bool IsDeviceName(const std::string& name) {
    // Windows takes the part before the first "." (blanks and dots at its
    // end do not count) for the device, whatever follows.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) stem.pop_back();
    for (char& c : stem)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

std::string AddressScheme(const std::string& cmd, const platform::CodePage& page) {
    static const struct {
        const char* prefix;
        const char* scheme;
    } kSchemes[] = {{"HTTP:", "http"}, {"HTTPS:", "https"}, {"FTP:", "ftp"}};
    for (const auto& s : kSchemes)
        if (StartsWith(cmd, s.prefix, page)) return s.scheme;
    return std::string();
}

bool IsAddress(const std::string& cmd, const platform::CodePage& page) {
    return !AddressScheme(cmd, page).empty();
}

bool BeginsLikeAddress(const std::string& file, const platform::CodePage& page) {
    return StartsWith(file, "HTTP", page) || StartsWith(file, "FTP", page);
}

Kind Classify(const std::string& cmd, const platform::CodePage& page) {
    if (cmd.empty() || EndsWithBackslash(cmd, page)) return Kind::SubMenu;
    if (!IsAddress(cmd, page)) return Kind::Program;
    // ".EXE" is plain ASCII and its "." can never be the second byte of a
    // double-byte character, so the last four bytes decide.
    if (cmd.size() >= 4 && page.Upper(cmd.substr(cmd.size() - 4)) == ".EXE")
        return Kind::Download;
    return Kind::Shell;
}

std::string AddressLastName(const std::string& address, const platform::CodePage& page) {
    size_t start = 0;
    const size_t slash = page.FindLast(address, '/');
    const size_t backslash = page.FindLast(address, '\\');
    if (slash != std::string::npos) start = slash + 1;
    if (backslash != std::string::npos && backslash + 1 > start) start = backslash + 1;
    return address.substr(start);
}

std::string DownloadDestination(const std::string& tempPath,
                                const std::string& address,
                                const platform::CodePage& page) {
    std::string dest = tempPath.substr(0, tempPath.find('\0'));
    if (dest.empty()) dest = "C:";
    if (!EndsWithBackslash(dest, page)) dest += '\\';

    const std::string last = AddressLastName(address, page);
    std::string name;
    for (size_t i = 0; i < last.size();) {
        const size_t n = page.CharLength(last, i);
        if (n == 1) {
            const char c = last[i];
            const bool reserved = c == ':' || c == '*' || c == '?' || c == '"' ||
                                  c == '<' || c == '>' || c == '|' ||
                                  static_cast<unsigned char>(c) < 0x20;
            name += reserved ? '_' : c;
        } else {
            name.append(last, i, n);
        }
        i += n;
    }
    if (IsDeviceName(name)) name.insert(0, 1, '_');
    return dest + name;
}

bool IsSha256Digest(const std::string& text) {
    if (text.size() != 64) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

bool SameDigest(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string WorkingFolder(const std::string& path,
                          const platform::CodePage& page) {
    std::string folder = platform::FolderOf(path, page);
    // "D:" alone would mean the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

std::string CommandLine(const std::string& path) {
    if (path.find_first_of(" \t") == std::string::npos) return path;
    return "\"" + path + "\"";
}

std::string LaunchFailureText(const char* systemText, unsigned long code) {
    if (systemText && *systemText) return systemText;
    char text[96];
    std::snprintf(text, sizeof text,
                  "Windows could not start the program (error %lu).", code);
    return text;
}

}  // namespace command
