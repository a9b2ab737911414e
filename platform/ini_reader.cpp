#include "platform/ini_reader.h"

#include "platform/codepage.h"
#include "platform/ini_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/unicode.h"
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace ini {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\r';
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsSpace(s[b])) ++b;
    while (e > b && IsSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

#ifndef _WIN32
// UTF-16 (little endian) in the host's ANSI code page; a character the page
// lacks becomes "?", one a code unit (a surrogate pair giving two), as it
// does for the system's profile functions.
std::string ToAnsi(const std::string& utf16) {
    const auto unknown = [](const std::string&, size_t, std::string& out) {
        out += '?';
        return size_t{2};
    };
    const std::string page = "CP" + std::to_string(platform::CodePage::System().Number());
    std::string out;
    if (!unicode::Recode(utf16, "UTF-16LE", page, unknown, out) &&
        !unicode::Recode(utf16, "UTF-16LE", "CP1252", unknown, out))
        return std::string();
    return out;
}

// UTF-8 as the system decodes it: a sequence that is not well formed
// becomes one U+FFFD.
std::string Utf8ToUtf16(const std::string& bytes, size_t from) {
    return unicode::ToUtf16(unicode::FromUtf8(bytes, unicode::Broken::Replacement, from));
}
#else
std::string ToAnsi(const std::string& utf16) {
    if (utf16.empty()) return std::string();
    const wchar_t* src = reinterpret_cast<const wchar_t*>(utf16.data());
    const int len = static_cast<int>(utf16.size() / 2);
    const int n = WideCharToMultiByte(CP_ACP, 0, src, len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, src, len, &out[0], n, nullptr, nullptr);
    return out;
}

std::string Utf8ToUtf16(const std::string& bytes, size_t from) {
    const int len = static_cast<int>(bytes.size() - from);
    if (len <= 0) return std::string();
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, len, nullptr, 0);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n) * 2, '\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, len, reinterpret_cast<wchar_t*>(&out[0]),
                        n);
    return out;
}
#endif

// UTF-16 from byte `from` on as the system holds it, little endian; a last
// byte without its pair is no character.
std::string Utf16LE(const std::string& bytes, size_t from, bool bigEndian) {
    std::string out;
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        out += bytes[bigEndian ? i + 1 : i];
        out += bytes[bigEndian ? i : i + 1];
    }
    return out;
}

// A file that begins with a byte order mark is read in its encoding (UTF-8,
// UTF-16 little or big endian) and converted to the ANSI code page, as the
// system's profile functions read it; any other file is taken as it is.
std::string Decode(const std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return ToAnsi(Utf8ToUtf16(bytes, 3));
    if (bytes.compare(0, 2, "\xFF\xFE") == 0)
        return ToAnsi(Utf16LE(bytes, 2, false));
    if (bytes.compare(0, 2, "\xFE\xFF") == 0)
        return ToAnsi(Utf16LE(bytes, 2, true));
    return bytes;
}

// Reads the whole file, in the ANSI code page. False when it cannot be
// opened as a regular file.
bool ReadFile(const char* path, std::string& text) {
    if (!path) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::string bytes;
    char chunk[8192];
    size_t n;
    bool ok = true;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
    if (std::ferror(f)) ok = false;  // a folder opens but cannot be read
    std::fclose(f);
    if (ok) text = Decode(bytes);
    return ok;
}

// Splits the file into sections. Lines before the first header belong to a
// section with an empty name. Within a line, a NUL ends its content.
std::vector<FileSection> Parse(const std::string& text) {
    std::vector<FileSection> sections;
    size_t pos = 0;
    unsigned lineNumber = 0;
    while (pos < text.size()) {
        ++lineNumber;
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        size_t nul = line.find('\0');
        if (nul != std::string::npos) line.resize(nul);
        line = Trim(line);
        if (line.empty()) continue;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            if (close != std::string::npos) {
                sections.push_back(FileSection{Trim(line.substr(1, close - 1)), {}, lineNumber});
                continue;
            }
        }
        if (sections.empty()) sections.push_back(FileSection{});
        FileEntry e;
        e.line = lineNumber;
        size_t eq = line.find('=');
        if (eq == std::string::npos) {
            e.name = line;
        } else {
            e.name = Trim(line.substr(0, eq));
            e.value = Trim(line.substr(eq + 1));
            e.hasValue = true;
        }
        sections.back().entries.push_back(std::move(e));
    }
    return sections;
}

// The first section of that name; later sections of the same name are unseen.
const FileSection* FindSection(const std::vector<FileSection>& sections,
                           const char* name) {
    for (const FileSection& s : sections)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

DWORD CopyOut(const char* text, size_t len, char* buf, DWORD size) {
    if (size == 0) return 0;
    if (len > size - 1) len = size - 1;
    std::memcpy(buf, text, len);
    buf[len] = '\0';
    return static_cast<DWORD>(len);
}

// A found value as the reading functions give it: one pair of enclosing
// quotes removed, cut to the buffer.
DWORD CopyValue(const std::string& v, char* buf, DWORD size) {
    size_t b = 0, len = v.size();
    if (len >= 2 && (v[0] == '"' || v[0] == '\'') && v[len - 1] == v[0]) {
        b = 1;
        len -= 2;
    }
    return CopyOut(v.data() + b, len, buf, size);
}

}  // namespace

bool ReadSections(const char* path, std::vector<FileSection>& sections) {
    std::string text;
    if (!ReadFile(path, text)) return false;
    sections = Parse(text);
    return true;
}

bool SameName(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
    }
    return true;
}

bool IsComment(const FileEntry& e) { return !e.name.empty() && e.name[0] == ';'; }

std::string ListLine(const FileEntry& e) {
    return e.hasValue ? e.name + "=" + e.value : e.name;
}

std::string TrimName(const char* name) { return name ? Trim(name) : std::string(); }

DWORD ListString(const char* list, DWORD length, const char* key,
                 const char* def, char* buf, DWORD size) {
    if (!def) def = "";
    if (list && key) {
        const std::string keyName = Trim(key);
        size_t pos = 0;
        while (pos < length) {
            const size_t end = std::find(list + pos, list + length, '\0') - list;
            const std::string line(list + pos, end - pos);
            pos = end + 1;
            if (line.empty()) break;  // the list's end
            const size_t eq = line.find('=');
            if (!SameName(line.substr(0, eq), keyName.c_str())) continue;
            // The first line of that name decides, with or without a value.
            if (eq == std::string::npos) break;
            return CopyValue(line.substr(eq + 1), buf, size);
        }
    }
    return CopyOut(def, std::strlen(def), buf, size);
}

DWORD ReadString(const char* section, const char* key, const char* def,
                 char* buf, DWORD size, const char* path) {
    if (!def) def = "";
    std::string text;
    const FileEntry* found = nullptr;
    std::vector<FileSection> sections;
    if (section && key && ReadFile(path, text)) {
        sections = Parse(text);
        // The names asked for are trimmed like the names in the file.
        const std::string sectionName = Trim(section), keyName = Trim(key);
        if (const FileSection* s = FindSection(sections, sectionName.c_str())) {
            for (const FileEntry& e : s->entries) {
                if (SameName(e.name, keyName.c_str())) {
                    found = &e;
                    break;
                }
            }
        }
    }
    if (!found || !found->hasValue) return CopyOut(def, std::strlen(def), buf, size);
    return CopyValue(found->value, buf, size);
}

DWORD ReadSection(const char* section, char* buf, DWORD size,
                  const char* path) {
    if (!buf || size == 0) return 0;
    std::string list;
    std::string text;
    if (section && ReadFile(path, text)) {
        std::vector<FileSection> sections = Parse(text);
        if (const FileSection* s = FindSection(sections, section)) {
            for (const FileEntry& e : s->entries) {
                if (IsComment(e)) continue;
                list += ListLine(e);
                list += '\0';
            }
        }
    }
    if (size == 1) {
        buf[0] = '\0';
        return 0;
    }
    if (list.size() + 2 <= size) {
        std::memcpy(buf, list.data(), list.size());
        buf[list.size()] = '\0';
        if (list.empty()) buf[1] = '\0';
        return static_cast<DWORD>(list.size());
    }
    std::memcpy(buf, list.data(), size - 2);
    buf[size - 2] = '\0';
    buf[size - 1] = '\0';
    return size - 2;
}

}  // namespace ini
