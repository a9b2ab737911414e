#include "localisation/languages.h"
#include "localisation/translator.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "resources/builtin_texts.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::TempDir;

namespace {

LCID Locale(unsigned primary, unsigned sub) { return (sub << 10) | primary; }

struct LanguageCase {
    LCID locale;
    const char* section;
    int charSet;
};

const LanguageCase kLanguageCases[] = {
    {Locale(0x01, 3), "arabic", 178},     // Arabic (Egypt)
    {Locale(0x04, 2), "chinese", 134},    // Chinese (PRC)
    {Locale(0x04, 1), "english", 0},      // Chinese (Taiwan)
    {Locale(0x04, 3), "english", 0},      // Chinese (Hong Kong)
    {Locale(0x04, 4), "english", 0},      // Chinese (Singapore)
    {Locale(0x0A, 2), "spanish", 0},      // Spanish (Mexico)
    {Locale(0x0C, 3), "french", 0},       // French (Canada)
    {Locale(0x0D, 1), "hebrew", 177},
    {Locale(0x11, 1), "japanese", 128},
    {Locale(0x19, 1), "russian", 204},
    {Locale(0x1E, 1), "thai", 222},
    {Locale(0x2A, 1), "vietnamese", 0},
    {Locale(0x3E, 1), "malay", 0},
    {Locale(0x09, 1), "english", 0},
    {Locale(0x07, 1), "english", 0},      // German: not in the table
    {0x00010411, "japanese", 128},        // sort bits above the language id
};

TEST(SelectLanguage, FollowsTheLanguageTable) {
    for (const LanguageCase& c : kLanguageCases) {
        CTranslator t;
        t.m_nCharSet = 99;
        EXPECT_EQ(t.SelectLanguage(c.locale), c.section) << std::hex << c.locale;
        EXPECT_EQ(t.m_nCharSet, c.charSet) << std::hex << c.locale;
    }
}

// The tools start the menu in each language's own locale and find the
// language again by its section's name, in any case.
TEST(SelectLanguage, EachLanguagesOwnLocaleReadsItsSection) {
    for (const languages::Language& l : languages::All()) {
        CTranslator t;
        EXPECT_EQ(t.SelectLanguage(languages::LocaleOf(l)), l.section);
        EXPECT_EQ(languages::LocaleOf(std::string(l.section)), languages::LocaleOf(l));
    }
    EXPECT_EQ(languages::LocaleOf("JAPANESE"), 0x0411u);
    EXPECT_EQ(languages::LocaleOf("klingon"), 0u);
}

class TranslatorLoad : public ::testing::Test {
protected:
    void TearDown() override {
        translation::Clear();
        platform::SetDrainHook(nullptr);
        platform::CodePage::SetHostAnsi(1252);
    }
    std::string Write(const std::string& text) {
        dir.Write("translat.ini", text);
        return dir / "translat.ini";
    }
    TempDir dir;
    CTranslator t;
};

const LCID kEnglishUS = 0x0409;
const LCID kRussian = 0x0419;
const LCID kFrench = 0x040C;

TEST_F(TranslatorLoad, LinesBecomeEntries) {
    std::string file = Write(
        "[english]\n"
        "a=b=c\n"                         // everything after the first "="
        "Choose an option by clicking on it=Click one\n"
        "choose an option by clicking on it=lower case key\n"
        "twice=first\n"
        "twice=second\n"
        "emptied=kept\n"
        "emptied=   \n"                   // empty after trimming: skipped
        "no equals sign here\n"
        "Font=\n"
        "=for the empty text\n");
    EXPECT_TRUE(t.Load(kEnglishUS, file.c_str()));
    EXPECT_EQ(t.Translate("a"), "b=c");
    EXPECT_EQ(t.GetText(IDS_CHOOSE_OPTION), "Click one");
    EXPECT_EQ(t.Translate("twice"), "second");
    EXPECT_EQ(t.Translate("emptied"), "kept");
    EXPECT_EQ(t.Translate("no equals sign here"), "no equals sign here");
    EXPECT_EQ(t.GetFontFace(), "Arial");
    EXPECT_EQ(t.Translate(""), "for the empty text");
    EXPECT_EQ(t.GetText(9999), "for the empty text");  // no such id
    EXPECT_EQ(t.GetText(IDS_CAPTION), TEXT_CAPTION);
    EXPECT_EQ(t.Translate(nullptr), "");
}

TEST_F(TranslatorLoad, OneTableForAllKindsOfKeys) {
    std::string file = Write(
        "[english]\n"
        "Font=Tahoma\n"
        "Error=Problem\n");
    t.Load(kEnglishUS, file.c_str());
    CTranslator other;  // never loaded itself
    EXPECT_EQ(other.Translate("Font"), "Tahoma");
    EXPECT_EQ(other.GetFontFace(), "Tahoma");
    EXPECT_EQ(other.GetText(IDS_ERROR), "Problem");
    EXPECT_EQ(other.Translate("Error"), "Problem");
}

TEST_F(TranslatorLoad, ChoosesTheSectionAndFallsBackToEnglish) {
    std::string file = Write(
        "[english]\nError=Error (en)\n"
        "[french]\nError=Erreur\n");
    t.Load(kFrench, file.c_str());
    EXPECT_EQ(t.GetText(IDS_ERROR), "Erreur");
    EXPECT_EQ(t.m_nCharSet, 0);

    t.Load(kRussian, file.c_str());  // no "russian" section
    EXPECT_EQ(t.GetText(IDS_ERROR), "Error (en)");
    EXPECT_EQ(t.m_nCharSet, 204);
    EXPECT_EQ(translation::Count(), 1u);  // the French entries are gone
}

TEST_F(TranslatorLoad, NothingToReadLeavesTheEnglishTexts) {
    dir.MakeDir("folder.ini");
    const std::string cases[] = {dir / "missing.ini", Write(""),
                                 Write("[german]\nError=Fehler\n"),
                                 dir / "folder.ini"};
    for (const std::string& file : cases) {
        t.Load(kRussian, file.c_str());
        EXPECT_EQ(translation::Count(), 0u) << file;
        EXPECT_EQ(t.GetText(IDS_ERROR), "Error") << file;
        EXPECT_EQ(t.GetFontFace(), "Arial") << file;
        EXPECT_EQ(t.m_nCharSet, 204) << file;
    }
}

TEST_F(TranslatorLoad, LocaleZeroEmptiesTheTableAndKeepsTheCharSet) {
    std::string file = Write("[russian]\nError=Ошибка\n");
    t.Load(kRussian, file.c_str());
    ASSERT_EQ(translation::Count(), 1u);
    t.Load(0, file.c_str());
    EXPECT_EQ(translation::Count(), 0u);
    EXPECT_EQ(t.m_nCharSet, 204);
}

TEST_F(TranslatorLoad, DrainsTheQueueAfterEveryLine) {
    std::string file = Write("[english]\na=1\nno equals\nb=\nc=3\n");
    int drains = 0;
    platform::SetDrainHook([&] { ++drains; });
    t.Load(kEnglishUS, file.c_str());
    EXPECT_EQ(drains, 4);
}

TEST_F(TranslatorLoad, OnlyTheFirst16KBOfTheSectionAreLoaded) {
    std::string text = "[english]\n";
    const int kLines = 2000;  // 2000 lines of 12 bytes = 24 KB
    for (int i = 0; i < kLines; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "k%04d=value\n", i);
        text += line;
    }
    std::string file = Write(text);
    t.Load(kEnglishUS, file.c_str());
    // 16,384 bytes hold 16,382 bytes of list: 1365 whole lines of 12 bytes,
    // then the cut piece "k1", which is left out.
    EXPECT_EQ(t.Translate("k0000"), "value");
    EXPECT_EQ(t.Translate("k1364"), "value");
    EXPECT_EQ(t.Translate("k1366"), "k1366");
    EXPECT_EQ(translation::Count(), 1365u);
}

TEST_F(TranslatorLoad, ALineCutByTheSectionLimitIsNotLoadedHalf) {
    // 16,373 bytes of list for the first line, so the limit of 16,382 falls
    // in the value of the second: the service returns "cut=abcde".
    const std::string longValue(16370, 'x');
    std::string file = Write("[english]\na=" + longValue + "\ncut=abcdefgh\nlost=1\n");
    t.Load(kEnglishUS, file.c_str());
    EXPECT_EQ(t.Translate("a"), longValue);
    EXPECT_EQ(t.Translate("cut"), "cut");
    EXPECT_EQ(t.Translate("lost"), "lost");
    EXPECT_EQ(translation::Count(), 1u);
}

TEST_F(TranslatorLoad, LongFontNamesAreCutTo31Bytes) {
    std::string file = Write("[english]\nFont=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij\n");
    t.Load(kEnglishUS, file.c_str());
    EXPECT_EQ(t.GetFontFace(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
}

TEST_F(TranslatorLoad, BadFilesGiveNoEntriesAndNoCrash) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    const std::string cases[] = {
        garbage,
        "[english]" + std::string(100 * 1024, 'x'),           // no newline at all
        "[english]\n" + std::string(100 * 1024, 'y') + "=z\n",  // 100 KB line
    };
    for (const std::string& text : cases) {
        std::string file = Write(text);
        t.Load(kEnglishUS, file.c_str());
        EXPECT_EQ(t.GetText(IDS_ERROR), "Error");
    }
}

#ifndef _WIN32
// The host's code page is a parameter; on Windows the system's own is used.
TEST_F(TranslatorLoad, DoubleByteCharactersAreSteppedOverWhole) {
    platform::CodePage::SetHostAnsi(932);
    // "\x95\x3D" is one Shift-JIS character whose second byte is "=".
    std::string file = Write(
        "[japanese]\n"
        "\x95\x3D" "key=value\n"
        "tail=\x83\x5C  \n");  // ends in a character whose second byte is "\\"
    t.Load(0x0411, file.c_str());
    EXPECT_EQ(t.Translate("\x95\x3D" "key"), "value");
    EXPECT_EQ(t.Translate("tail"), "\x83\x5C");
}
#endif

}  // namespace
