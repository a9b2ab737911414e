#include "platform/ini_reader.h"

#include <algorithm>
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

// Reads the whole file. False when it cannot be opened as a regular file.
bool ReadFile(const char* path, std::string& text) {
    if (!path) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char chunk[8192];
    size_t n;
    bool ok = true;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
    if (std::ferror(f)) ok = false;  // a folder opens but cannot be read
    std::fclose(f);
    return ok;
}

// Splits the file into sections. Lines before the first header belong to a
// section with an empty name. Within a line, a NUL ends its content.
std::vector<Section> Parse(const std::string& text) {
    std::vector<Section> sections;
    size_t pos = 0;
    unsigned lineNumber = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
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
