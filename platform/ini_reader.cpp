#include "platform/ini_reader.h"

#include "platform/codepage.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace ini {
namespace {

struct Entry {
    std::string name;
    std::string value;
    bool hasValue = false;
    unsigned line = 0;
};

struct Section {
    std::string name;
    std::vector<Entry> entries;
    unsigned line = 0;
};

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

// A file's text in UTF-16 code units, as the system holds a profile file.
using Wide = std::vector<std::uint16_t>;

Wide FromUtf16(const std::string& bytes, size_t from, bool bigEndian) {
    Wide w;
    // A last byte without its pair is no character.
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        const unsigned a = static_cast<unsigned char>(bytes[i]);
        const unsigned b = static_cast<unsigned char>(bytes[i + 1]);
        w.push_back(static_cast<std::uint16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    return w;
}

#ifndef _WIN32
// UTF-8 as the system decodes it: a sequence that is not well formed (cut,
// overlong, a surrogate, past U+10FFFF) becomes one U+FFFD.
Wide FromUtf8(const std::string& bytes, size_t from) {
    Wide w;
    size_t i = from;
    while (i < bytes.size()) {
        const unsigned c = static_cast<unsigned char>(bytes[i]);
        size_t n = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2
                 : c >= 0xF0 && c <= 0xF4 ? 3 : SIZE_MAX;
        if (n == 0) {
            w.push_back(static_cast<std::uint16_t>(c));
            ++i;
            continue;
        }
        std::uint32_t cp = n == 1 ? c & 0x1F : n == 2 ? c & 0x0F : c & 0x07;
        size_t k = 1;
        bool ok = n != SIZE_MAX;
        for (; ok && k <= n; ++k) {
            if (i + k >= bytes.size()) { ok = false; break; }
            const unsigned t = static_cast<unsigned char>(bytes[i + k]);
            // The second byte's range rules out overlong forms, surrogates
            // and values past U+10FFFF.
            unsigned lo = 0x80, hi = 0xBF;
            if (k == 1) {
                if (c == 0xE0) lo = 0xA0;
                if (c == 0xED) hi = 0x9F;
                if (c == 0xF0) lo = 0x90;
                if (c == 0xF4) hi = 0x8F;
            }
            if (t < lo || t > hi) { ok = false; break; }
            cp = (cp << 6) | (t & 0x3F);
        }
        if (!ok) {
            w.push_back(0xFFFD);
            i += k;  // the bytes that began the broken sequence
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            w.push_back(static_cast<std::uint16_t>(0xD800 | (cp >> 10)));
            w.push_back(static_cast<std::uint16_t>(0xDC00 | (cp & 0x3FF)));
        } else {
            w.push_back(static_cast<std::uint16_t>(cp));
        }
        i += n + 1;
    }
    return w;
}

// UTF-16 to the host's ANSI code page; a character the page lacks becomes
// "?", as it does for the system's profile functions.
std::string ToAnsi(const Wide& w) {
    const std::string page = "CP" + std::to_string(platform::CodePage::System().Number());
    iconv_t cd = iconv_open(page.c_str(), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("CP1252", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
    std::string in;
    in.reserve(w.size() * 2);
    for (std::uint16_t u : w) {
        in += static_cast<char>(u & 0xFF);
        in += static_cast<char>(u >> 8);
    }
    std::string out;
    char* src = &in[0];
    size_t left = in.size();
    char chunk[4096];
    while (left > 0) {
        char* dst = chunk;
        size_t room = sizeof chunk;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(chunk, static_cast<size_t>(dst - chunk));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // One "?" a code unit, a surrogate pair giving two, as the
            // system's conversion gives them.
            out += '?';
            src += 2;
            left -= 2;
        }
    }
    iconv_close(cd);
    return out;
}
#else
Wide FromUtf8(const std::string& bytes, size_t from) {
    Wide w;
    const int len = static_cast<int>(bytes.size() - from);
    if (len <= 0) return w;
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, len, nullptr, 0);
    if (n <= 0) return w;
    w.resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, len,
                        reinterpret_cast<wchar_t*>(w.data()), n);
    return w;
}

std::string ToAnsi(const Wide& w) {
    if (w.empty()) return std::string();
    const wchar_t* src = reinterpret_cast<const wchar_t*>(w.data());
    const int len = static_cast<int>(w.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, src, len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, src, len, &out[0], n, nullptr, nullptr);
    return out;
}
#endif

// A file that begins with a byte order mark is read in its encoding (UTF-8,
// UTF-16 little or big endian) and converted to the ANSI code page, as the
// system's profile functions read it; any other file is taken as it is.
std::string Decode(const std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return ToAnsi(FromUtf8(bytes, 3));
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return ToAnsi(FromUtf16(bytes, 2, false));
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return ToAnsi(FromUtf16(bytes, 2, true));
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
std::vector<Section> Parse(const std::string& text) {
    std::vector<Section> sections;
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
                sections.push_back(Section{Trim(line.substr(1, close - 1)), {}, lineNumber});
                continue;
            }
        }
        if (sections.empty()) sections.push_back(Section{});
        Entry e;
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
const Section* FindSection(const std::vector<Section>& sections,
                           const char* name) {
    for (const Section& s : sections)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

// Comment lines are not part of a section's list.
bool IsComment(const Entry& e) { return !e.name.empty() && e.name[0] == ';'; }

// One line of a section's list: the name, and "=" and the value if it has one.
std::string ListLine(const Entry& e) {
    return e.hasValue ? e.name + "=" + e.value : e.name;
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
    const Entry* found = nullptr;
    std::vector<Section> sections;
    if (section && key && ReadFile(path, text)) {
        sections = Parse(text);
        // The names asked for are trimmed like the names in the file.
        const std::string sectionName = Trim(section), keyName = Trim(key);
        if (const Section* s = FindSection(sections, sectionName.c_str())) {
            for (const Entry& e : s->entries) {
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
        std::vector<Section> sections = Parse(text);
        if (const Section* s = FindSection(sections, section)) {
            for (const Entry& e : s->entries) {
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

std::vector<SectionLayout> ReadLayout(const char* path) {
    std::vector<SectionLayout> layout;
    std::string text;
    if (!ReadFile(path, text)) return layout;
    for (const Section& s : Parse(text)) {
        SectionLayout section{s.name, s.line, {}};
        for (const Entry& e : s.entries)
            if (!IsComment(e)) section.entries.push_back({e.line, ListLine(e)});
        layout.push_back(std::move(section));
    }
    return layout;
}

unsigned LineOf(const std::vector<SectionLayout>& layout, const char* section,
                const char* key) {
    if (!section || !key) return 0;
    const std::string sectionName = Trim(section), keyName = Trim(key);
    for (const SectionLayout& s : layout) {
        if (!SameName(s.name, sectionName.c_str())) continue;
        for (const LayoutLine& l : s.entries)
            if (SameName(l.text.substr(0, l.text.find('=')), keyName.c_str())) return l.line;
        return 0;
    }
    return 0;
}

}  // namespace ini
