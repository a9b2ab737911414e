// The code-page rules on any text, in every code page the host knows: the
// searches land on character boundaries and on what they look for, and
// upper-casing keeps every character's length.
#include "platform/codepage.h"
#include "fuzz_support.h"

namespace {
const unsigned kPages[] = {1252, 932, 936, 949, 950, 1251};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const platform::CodePage page(kPages[data[0] % (sizeof kPages / sizeof kPages[0])]);
    const char c = static_cast<char>(data[1]);
    const std::string s(reinterpret_cast<const char*>(data + 2), size - 2);

    std::vector<bool> boundary(s.size() + 1, false);
    for (size_t at = 0; at < s.size();) {
        boundary[at] = true;
        const size_t n = page.CharLength(s, at);
        fuzz::Check(n == 1 || n == 2, "a character is one or two bytes");
        at += n;
        fuzz::Check(at <= s.size(), "a character ends inside the text");
    }
    boundary[s.size()] = true;

    // What the program searches for is a single-byte character; a lead byte
    // is never one.
    if (!page.IsLeadByte(static_cast<unsigned char>(c))) {
        size_t count = 0;
        size_t last = std::string::npos;
        for (size_t at = page.Find(s, c); at != std::string::npos; at = page.Find(s, c, at + 1)) {
            fuzz::Check(at < s.size() && boundary[at] && s[at] == c, "Find lands on the character");
            fuzz::Check(page.CharLength(s, at) == 1, "Find gives a single-byte character");
            last = at;
            if (++count > s.size()) break;
        }
        fuzz::Check(page.FindLast(s, c) == last, "FindLast is the last Find");
    }

    const std::string what = s.substr(0, s.size() < 3 ? s.size() : 3);
    if (!what.empty()) {
        // From the second character on: the first occurrence is not found
        // again, a later one may be.
        const size_t at = page.FindText(s, what, page.CharLength(s, 0));
        if (at != std::string::npos)
            fuzz::Check(boundary[at] && s.compare(at, what.size(), what) == 0,
                        "FindText lands on the text");
    }

    const std::string upper = page.Upper(s);
    fuzz::Check(upper.size() == s.size(), "upper case keeps the length");
    for (size_t at = 0; at < s.size(); at += page.CharLength(s, at))
        fuzz::Check(page.CharLength(upper, at) == page.CharLength(s, at),
                    "upper case keeps every character's length");
    fuzz::Check(page.Upper(upper) == upper, "upper case of upper case changes nothing");
    return 0;
}
