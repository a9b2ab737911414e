#include "platform/codepage.h"
#include "platform/wintypes.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

using platform::CodePage;

using testing_support::kHyou;
using testing_support::kSo;

namespace {

// A Shift-JIS character whose second byte is an equals sign.
const std::string kEq = "\x95\x3D";     // second byte "="

struct SearchCase {
    unsigned cp;
    std::string text;
    char c;
    size_t first;
    size_t last;
};

TEST(CodePage, SearchesStepOverDoubleByteCharacters) {
    const size_t npos = std::string::npos;
    const SearchCase cases[] = {
        {932, "D:\\" + kSo + "ft", '\\', 2, 2},
        {932, "D:\\" + kSo + "\\x", '\\', 2, 5},
        {932, kHyou + kHyou, '\\', npos, npos},
        {932, kEq + "key=value", '=', 5, 5},
        {932, kEq, '=', npos, npos},
        {1252, kSo + "\\", '\\', 1, 2},          // single-byte page: all bytes count
        {936, "\x81\x5C\\", '\\', 2, 2},
        {949, "\xB0\x5C=", '\\', npos, npos},
        {950, "\xA5\x5C\\", '\\', 2, 2},
        {932, "ab\x83", '\x83', 2, 2},            // a lone lead byte at the end
    };
    for (const SearchCase& c : cases) {
        CodePage page(c.cp);
        EXPECT_EQ(page.Find(c.text, c.c), c.first) << c.cp << " " << c.text;
        EXPECT_EQ(page.FindLast(c.text, c.c), c.last) << c.cp << " " << c.text;
    }
}

TEST(CodePage, FindsTextOnlyAtCharacterBoundaries) {
    CodePage sjis(932);
    // "\x5C%V" would match inside the character if bytes were searched.
    std::string text = "\x83%V%V";
    EXPECT_EQ(sjis.FindText(text, "%V"), 3u);
    EXPECT_EQ(sjis.FindText(text, "%V", 5), std::string::npos);
    EXPECT_EQ(CodePage(1252).FindText(text, "%V"), 1u);
}

struct UpperCase {
    unsigned cp;
    std::string in;
    std::string out;
};

TEST(CodePage, UpperCasesSingleAndDoubleByteLetters) {
    const UpperCase cases[] = {
        {1252, "folder", "FOLDER"},
        {1252, "Book 1", "BOOK 1"},
        {1252, "\xE9t\xE9 \xFF", "\xC9T\xC9 \x9F"},      // été ÿ
        {1252, "\xDF\xF7", "\xDF\xF7"},                // ß and ÷ stay
        {932, "web" + kSo, "WEB" + kSo},                // the "\" byte untouched
        {932, "\x82\x81\x82\x9A", "\x82\x60\x82\x79"},  // full-width a, z
        {932, "\x83\x5C" "a", "\x83\x5C" "A"},
        {936, "\xA3\xE1x", "\xA3\xC1X"},                // full-width a
        {949, "\xA3\xE1", "\xA3\xC1"},
        {950, "\xA2\xE9", "\xA2\xCF"},                  // full-width a
        {437, "cd\xE9", "CD\xE9"},                       // unknown page: ASCII only
    };
    for (const UpperCase& c : cases)
        EXPECT_EQ(CodePage(c.cp).Upper(c.in), c.out) << c.cp << " " << c.in;
}

#ifdef _WIN32
// The host rules of the system's code page against Windows' own functions.
TEST(CodePage, HostRulesAgreeWithTheSystem) {
    CodePage system = CodePage::System();
    CodePage host(GetACP());
    ASSERT_FALSE(host.Upper("abc") != "ABC");
    for (int b = 1; b < 256; ++b) {
        ASSERT_EQ(system.IsLeadByte(b), host.IsLeadByte(b)) << b;
        std::string one(1, static_cast<char>(b));
        if (!host.IsLeadByte(b)) {
            EXPECT_EQ(system.Upper(one + "x"), host.Upper(one + "x")) << b;
            continue;
        }
        for (int t = 0x40; t < 0xFF; ++t) {
            std::string two = one + static_cast<char>(t) + "q";
            WCHAR w[2];
            // Bytes that form no character are garbage in, garbage out.
            if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, two.data(), 2, w, 2) != 1)
                continue;
            // Where the upper case has no character in the page, the
            // system's conversion breaks the text; ours keeps the character.
            std::string sys = system.Upper(two);
            if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, sys.data(), 2, w, 2) != 1)
                continue;
            ASSERT_EQ(sys, host.Upper(two)) << b << " " << t;
        }
    }
}
#endif

}  // namespace
