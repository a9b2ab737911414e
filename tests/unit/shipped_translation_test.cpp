// The translat.ini that ships: every language of the menu's table reads its
// own section, with the menu's texts translated in the script of the
// language and a face that carries it.
#include "localisation/languages.h"
#include "localisation/translator.h"
#include "platform/folder_search.h"
#include "platform/system.h"
#include "platform/tool_text.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string ShippedFile() {
    std::string path = SHIPPED_TRANSLATION;
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
#else
    return platform::WindowsPath(path);
#endif
}

// The code points of a UTF-8 text.
std::u32string CodePoints(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (size_t k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out += cp;
        i += n;
    }
    return out;
}

struct Language {
    const char* name;
    unsigned codePage;  // the one the menu draws the language in
    char32_t first, last;  // a block of the language's own letters
    const char* font;
};

// Malay is written in ASCII alone: no block (0).
const Language kLanguages[] = {
    {"arabic", 1256, 0x0600, 0x06FF, "Tahoma"},
    {"chinese", 936, 0x4E00, 0x9FFF, "SimSun"},
    {"french", 1252, 0x00C0, 0x00FF, "Arial"},
    {"hebrew", 1255, 0x05D0, 0x05EA, "Tahoma"},
    {"japanese", 932, 0x30A0, 0x30FF, "MS UI Gothic"},
    {"malay", 1252, 0, 0, "Arial"},
    {"russian", 1251, 0x0410, 0x044F, "Arial"},
    {"spanish", 1252, 0x00C0, 0x00FF, "Arial"},
    {"thai", 874, 0x0E01, 0x0E5B, "Tahoma"},
    {"vietnamese", 1258, 0x0102, 0x01B0, "Arial"},
};

TEST(ShippedTranslation, EveryLanguageHasTheMenusTextsInItsScript) {
    const std::string file = ShippedFile();
    ASSERT_TRUE(platform::PathExists(file)) << file;
    const UINT ids[] = {IDS_CAPTION, IDS_UNABLE_TO_START, IDS_ERROR, IDS_CHOOSE_OPTION};
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.name);
        CTranslator t;
        const LCID locale = languages::LocaleOf(l.name);
        ASSERT_NE(locale, 0u);
        t.Load(locale, file.c_str());
        const unsigned page = languages::CodePageOfCharSet(t.m_nCharSet);
        // Languages of character set 0 are drawn in the system's code page,
        // which a user of the language has as theirs.
        EXPECT_TRUE(page == 0 || page == l.codePage) << page;
        EXPECT_EQ(t.GetFontFace(), l.font);
        bool ownLetters = false;
        for (UINT id : ids) {
            const std::string english = platform::LoadBuiltinText(id);
            std::string value;
            ASSERT_TRUE(translation::Lookup(english, &value)) << english;
            const std::string utf8 = platform::AnsiToUtf8(value, l.codePage);
            EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos) << utf8;
            for (char32_t c : CodePoints(utf8))
                if (c >= l.first && c <= l.last) ownLetters = true;
        }
        EXPECT_TRUE(ownLetters || !l.first);
    }
}

TEST(ShippedTranslation, EnglishKeepsTheBuiltInTexts) {
    CTranslator t;
    t.Load(0x0409, ShippedFile().c_str());
    EXPECT_EQ(t.GetText(IDS_CAPTION), platform::LoadBuiltinText(IDS_CAPTION));
    EXPECT_EQ(t.GetFontFace(), "Arial");
}

}  // namespace
