#include "platform/codepage.h"

#include "platform/wintypes.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

struct UpperPair {
    unsigned from;
    unsigned to;
};

#include "platform/codepage_tables.inc"

struct PageRules {
    unsigned cp;
    const unsigned char* lead;
    const UpperPair* upper;
    size_t upperCount;
};

template <size_t N>
constexpr PageRules Rules(unsigned cp, const unsigned char* lead,
                          const UpperPair (&upper)[N]) {
    return PageRules{cp, lead, upper, N};
}

const PageRules kPages[] = {
    Rules(1252, kLead1252, kUpper1252), Rules(932, kLead932, kUpper932),
    Rules(936, kLead936, kUpper936),    Rules(949, kLead949, kUpper949),
    Rules(950, kLead950, kUpper950),
};

const PageRules* FindRules(unsigned cp) {
    for (const PageRules& r : kPages)
        if (r.cp == cp) return &r;
    return nullptr;
}

unsigned UpperOf(const PageRules* r, unsigned ch) {
    if (!r) return (ch >= 'a' && ch <= 'z') ? ch - 32 : ch;
    const UpperPair* end = r->upper + r->upperCount;
    const UpperPair* p = std::lower_bound(
        r->upper, end, ch,
        [](const UpperPair& a, unsigned v) { return a.from < v; });
    return (p != end && p->from == ch) ? p->to : ch;
}

unsigned g_hostAnsi = 1252;

}  // namespace

CodePage::CodePage(unsigned cp) : m_cp(cp), m_system(false) {}

void CodePage::SetHostAnsi(unsigned cp) { g_hostAnsi = cp; }

CodePage CodePage::System() {
#ifdef _WIN32
    CodePage page(GetACP());
    page.m_system = true;
    return page;
#else
    return CodePage(g_hostAnsi);
#endif
}

bool CodePage::IsLeadByte(unsigned char c) const {
#ifdef _WIN32
    if (m_system) return IsDBCSLeadByte(c) != 0;
#endif
    const PageRules* r = FindRules(m_cp);
    return r && r->lead[c];
}

size_t CodePage::CharLength(const std::string& s, size_t pos) const {
    if (pos + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[pos])))
        return 2;
    return 1;
}

size_t CodePage::Find(const std::string& s, char c, size_t from) const {
    for (size_t i = from; i < s.size(); i += CharLength(s, i))
        if (s[i] == c) return i;
    return std::string::npos;
}

size_t CodePage::FindLast(const std::string& s, char c) const {
    size_t found = std::string::npos;
    for (size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (s[i] == c) found = i;
    return found;
}

size_t CodePage::FindText(const std::string& s, const std::string& what,
                          size_t from) const {
    if (what.empty()) return from <= s.size() ? from : std::string::npos;
    // `from` is trusted to be a character boundary.
    for (size_t i = from; i + what.size() <= s.size(); i += CharLength(s, i))
        if (s.compare(i, what.size(), what) == 0) return i;
    return std::string::npos;
}

std::string CodePage::Upper(const std::string& s) const {
    std::string out = s;
#ifdef _WIN32
    if (m_system) {
        if (!out.empty()) CharUpperBuffA(&out[0], static_cast<DWORD>(out.size()));
        return out;
    }
#endif
    const PageRules* r = FindRules(m_cp);
    for (size_t i = 0; i < out.size();) {
        size_t n = CharLength(out, i);
        unsigned char b0 = static_cast<unsigned char>(out[i]);
        if (n == 2) {
            unsigned ch = (b0 << 8) | static_cast<unsigned char>(out[i + 1]);
            unsigned up = UpperOf(r, ch);
            out[i] = static_cast<char>(up >> 8);
            out[i + 1] = static_cast<char>(up & 0xFF);
        } else if (!IsLeadByte(b0)) {
            out[i] = static_cast<char>(UpperOf(r, b0));
        }
        i += n;
    }
    return out;
}

}  // namespace platform
