// One table of initialisation-file cases. Both builds run it through the
// platform seam: on Windows that is the system's own reader, on the host our
// stand-in, so the host reader is held to what Windows (Wine) does. On
// Windows the stand-in also runs against the system reader directly.
#include "platform/ini_layout.h"
#include "platform/ini_reader.h"
#include "platform/system.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::TempDir;

namespace {

const std::string kMain =
    "before=outside\r\n"
    "[common]\r\n"
    "name = \"Hello World\"  \r\n"
    "single=  'quoted' \r\n"
    "unbalanced=\"open\r\n"
    "doubled=\"\"twice\"\"\r\n"
    "lone=\"\r\n"
    "; comment=hidden\r\n"
    "#hash=shown\r\n"
    "   indented   =   v1 \t \r\n"
    "UPPER=case\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "noequals\r\n"
    "=emptykey\r\n"
    "eq=a=b=c\r\n"
    "nbsp=end\xA0\r\n"
    "[broken\r\n"
    "after=broken header\r\n"
    "[Common]\r\n"
    "name=second section\r\n"
    "other=only here\r\n"
    "[ spaced ] trailing junk\r\n"
    "a=1\r\n"
    "[empty]\r\n"
    "[lf]\n"
    "k=v\n"
    "last=no newline";

struct KeyCase {
    const char* section;
    const char* key;
    const char* expected;
};

const KeyCase kKeyCases[] = {
    {"common", "name", "Hello World"},
    {"COMMON", "NAME", "Hello World"},
    {"common", "single", "quoted"},
    {"common", "unbalanced", "\"open"},
    {"common", "doubled", "\"twice\""},
    {"common", "lone", "\""},
    {"common", "#hash", "shown"},
    {"common", "indented", "v1"},
    {"common", "upper", "case"},
    {"common", "dup", "first"},
    {"common", "noequals", "DEFAULT"},
    {"common", "", "emptykey"},
    {"common", "eq", "a=b=c"},
    {"common", "nbsp", "end\xA0"},
    {"common", "after", "broken header"},
    {"common", "other", "DEFAULT"},
    {"common", "missing", "DEFAULT"},
    {"", "before", "outside"},
    {"spaced", "a", "1"},
    {" spaced ", "a", "1"},
    {"common", " indented ", "v1"},
    {"empty", "a", "DEFAULT"},
    {"lf", "k", "v"},
    {"lf", "last", "no newline"},
    {"nosuch", "name", "DEFAULT"},
};

std::string Section(const std::string& path, const char* section, DWORD size,
                    DWORD* result) {
    std::vector<char> buf(size + 8, '#');
    *result = platform::ProfileSection(section, buf.data(), size, path.c_str());
    return std::string(buf.data(), size);
}

// What a section read must give: the list, then the result.
struct SectionCase {
    const char* section;
    DWORD size;
    std::string bytes;  // the first `size` bytes of the buffer
    DWORD result;
};

#define COMMON_LIST                                                      \
    "name=\"Hello World\"\0single='quoted'\0unbalanced=\"open\0"      \
                "doubled=\"\"twice\"\"\0lone=\"\0#hash=shown\0indented=v1\0"      \
                "UPPER=case\0dup=first\0dup=second\0noequals\0=emptykey\0"      \
                "eq=a=b=c\0nbsp=end\xA0\0[broken\0after=broken header\0"
const std::string kCommonList(COMMON_LIST, sizeof(COMMON_LIST) - 1);

std::vector<SectionCase> SectionCases() {
    return {
        {"common", 300, kCommonList + std::string(1, '\0') +
                            std::string(300 - kCommonList.size() - 1, '#'),
         static_cast<DWORD>(kCommonList.size())},
        {"Common", 300, kCommonList + std::string(1, '\0') +
                            std::string(300 - kCommonList.size() - 1, '#'),
         static_cast<DWORD>(kCommonList.size())},
        {"spaced", 8, std::string("a=1\0\0###", 8), 4},
        {"spaced", 5, std::string("a=1\0\0", 5), 3},
        {"spaced", 4, std::string("a=\0\0", 4), 2},
        {"spaced", 3, std::string("a\0\0", 3), 1},
        {"spaced", 2, std::string("\0\0", 2), 0},
        {"common", 24, std::string("name=\"Hello World\"\0sin\0\0", 24), 22},
        {"empty", 8, std::string("\0\0######", 8), 0},
        {"nosuch", 8, std::string("\0\0######", 8), 0},
        {"lf", 32, std::string("k=v\0last=no newline\0\0###########", 32), 20},
    };
}

class IniTable : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("main.ini", kMain);
        path = dir / "main.ini";
    }
    TempDir dir;
    std::string path;
};

TEST_F(IniTable, KeysFollowTheProfileRules) {
    for (const KeyCase& c : kKeyCases) {
        char buf[260];
        DWORD n = platform::ProfileString(c.section, c.key, "DEFAULT", buf,
                                          sizeof buf, path.c_str());
        EXPECT_EQ(std::string(buf, n), c.expected)
            << "[" << c.section << "] " << c.key;
        EXPECT_EQ(n, std::string(c.expected).size());
    }
}

TEST_F(IniTable, SectionsAreNulSeparatedListsCutToTheBuffer) {
    for (const SectionCase& c : SectionCases()) {
        DWORD n = 0;
        std::string got = Section(path, c.section, c.size, &n);
        EXPECT_EQ(got, c.bytes) << "[" << c.section << "] size " << c.size;
        EXPECT_EQ(n, c.result) << "[" << c.section << "] size " << c.size;
    }
}

TEST_F(IniTable, LongValuesAreCutToTheBuffer) {
    std::string value(300, 'x');
    dir.Write("long.ini", "[common]\nname=" + value + "\n");
    char buf[260];
    DWORD n = platform::ProfileString("common", "name", "", buf, sizeof buf,
                                      (dir / "long.ini").c_str());
    EXPECT_EQ(n, 259u);
    EXPECT_EQ(std::string(buf), value.substr(0, 259));
}

TEST_F(IniTable, MissingEmptyAndFolderFilesGiveTheDefault) {
    dir.Write("empty.ini", "");
    dir.MakeDir("folder.ini");
    for (const char* name : {"missing.ini", "empty.ini", "folder.ini"}) {
        std::string file = dir / name;
        char buf[260];
        DWORD n = platform::ProfileString("common", "name", "def", buf, sizeof buf,
                                          file.c_str());
        EXPECT_EQ(std::string(buf, n), "def") << name;
        std::vector<char> list(64, '#');
        EXPECT_EQ(platform::ProfileSection("common", list.data(), 64, file.c_str()),
                  0u)
            << name;
        EXPECT_EQ(list[0], '\0');
    }
}

// A descriptor is read with one section read and its keys looked up in the
// list; every key of the table, at every buffer size, must come out as the
// profile seam (on Windows the system's GetPrivateProfileStringA) gives it.
TEST_F(IniTable, OneSectionReadGivesWhatEachKeyReadGives) {
    std::string longList;
    for (int i = 0; i < 2000; ++i) longList += "filler" + std::to_string(i) + "=x\n";
    dir.Write("long.ini", "[common]\n" + longList + "name=" + std::string(300, 'y') + "\n");
    dir.Write("empty.ini", "");
    dir.MakeDir("folder.ini");
    std::vector<KeyCase> cases(std::begin(kKeyCases), std::end(kKeyCases));
    std::vector<std::string> files(cases.size(), path);
    const std::string more[][3] = {{"long.ini", "name", std::string(259, 'y')},
                                   {"long.ini", "filler1999", "x"},
                                   {"missing.ini", "name", "DEFAULT"},
                                   {"empty.ini", "name", "DEFAULT"},
                                   {"folder.ini", "name", "DEFAULT"}};
    for (const auto& m : more) {
        cases.push_back({"common", m[1].c_str(), m[2].c_str()});
        files.push_back(dir / m[0]);
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        const KeyCase& c = cases[i];
        const platform::ProfileSectionReader section(c.section, files[i].c_str());
        for (DWORD size : {1u, 2u, 3u, 5u, 260u}) {
            char a[260], b[260];
            const DWORD na = section.String(c.key, "DEFAULT", a, size);
            const DWORD nb = platform::ProfileString(c.section, c.key, "DEFAULT", b, size,
                                                     files[i].c_str());
            ASSERT_EQ(std::string(a, na), std::string(b, nb))
                << files[i] << " [" << c.section << "] " << c.key << " " << size;
            if (size == 260) {
                EXPECT_EQ(std::string(a, na), c.expected) << c.key;
            }
        }
    }
}

TEST_F(IniTable, NulBytesEndTheirLine) {
    // Long enough plain text that the reader does not take it for UTF-16.
    dir.Write("zerobyte.ini", "; a file with a NUL byte in the middle of a line\n" +
                             std::string("[nul]\nk=a\0b\nk2=after\n", 21));
    std::string file = dir / "zerobyte.ini";
    char buf[260];
    DWORD n = platform::ProfileString("nul", "k", "", buf, sizeof buf, file.c_str());
    EXPECT_EQ(std::string(buf, n), "a");
    n = platform::ProfileString("nul", "k2", "", buf, sizeof buf, file.c_str());
    EXPECT_EQ(std::string(buf, n), "after");
}

// Files with a byte order mark are read in their encoding and handed over
// in the ANSI code page (1252 here); other files are taken byte for byte.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

struct EncodingCase {
    const char* what;
    std::string bytes;
    const char* key;
    std::string value;  // of `key` in [common]
    std::string list;   // the section [common] as a list, NULs included
};

std::vector<EncodingCase> EncodingCases() {
    const std::u16string body = u"[common]\r\nname=Unicode name \u00e9\r\nk=v\r\n";
    const std::string list("name=Unicode name \xE9\0k=v\0", 24);
    return {
        {"UTF-16 LE", Utf16(body, false), "name", "Unicode name \xE9", list},
        {"UTF-16 BE", Utf16(u"[Common]\r\nname=big endian \u00e9\r\n", true), "name",
         "big endian \xE9", std::string("name=big endian \xE9\0", 18)},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[common]\r\nname=\xC3\xA9\r\n", "name", "\xE9",
         std::string("name=\xE9\0", 7)},
        {"UTF-8 without BOM", "[common]\r\nname=\xC3\xA9\r\n", "name", "\xC3\xA9",
         std::string("name=\xC3\xA9\0", 8)},
        {"UTF-8 BOM alone", "\xEF\xBB\xBF", "name", "DEFAULT", ""},
        {"UTF-16 BOM alone", "\xFF\xFE", "name", "DEFAULT", ""},
        {"UTF-16 BE BOM alone", "\xFE\xFF", "name", "DEFAULT", ""},
        // A last byte without its pair: the complete lines before it stand.
        {"UTF-16 cut in a pair", Utf16(body, false) + "x", "k", "v", ""},
        {"a character the code page lacks", Utf16(u"[common]\r\nname=\u4e2d!\r\n", false),
         "name", "?!", std::string("name=?!\0", 8)},
        {"a surrogate pair", Utf16(u"[common]\r\nname=\U0001F600.\r\n", false), "name",
         "??.", std::string("name=??.\0", 9)},
    };
}

TEST_F(IniTable, ByteOrderMarksChooseTheEncoding) {
    for (const EncodingCase& c : EncodingCases()) {
        dir.Write("enc.ini", c.bytes);
        const std::string file = dir / "enc.ini";
        char buf[260];
        DWORD n = platform::ProfileString("common", c.key, "DEFAULT", buf, sizeof buf,
                                          file.c_str());
        EXPECT_EQ(std::string(buf, n), c.value) << c.what;
        if (c.what == std::string("UTF-16 cut in a pair")) continue;
        std::vector<char> list(128, '#');
        n = platform::ProfileSection("common", list.data(), 128, file.c_str());
        EXPECT_EQ(std::string(list.data(), n), c.list) << c.what;
#ifdef _WIN32
        n = ini::ReadString("common", c.key, "DEFAULT", buf, sizeof buf, file.c_str());
        EXPECT_EQ(std::string(buf, n), c.value) << c.what << " (stand-in)";
        std::vector<char> own(128, '#');
        n = ini::ReadSection("common", own.data(), 128, file.c_str());
        EXPECT_EQ(std::string(own.data(), n), c.list) << c.what << " (stand-in)";
#endif
    }
}

// Every section with its header line, and each line of a section's list
// with the line it comes from. The lists are those the profile seam gives
// (on Windows the system's), so a tool can point at the line of any entry.
TEST_F(IniTable, LayoutGivesTheLineOfEveryListEntry) {
    const std::vector<ini::SectionLayout> layout =
        ini::ReadLayout(platform::NativePath(path).c_str());
    struct Head {
        const char* name;
        unsigned line;
    };
    const Head heads[] = {{"", 0},        {"common", 2}, {"Common", 20},
                          {"spaced", 23}, {"empty", 25}, {"lf", 26}};
    ASSERT_EQ(layout.size(), sizeof heads / sizeof heads[0]);
    for (size_t i = 0; i < layout.size(); ++i) {
        EXPECT_EQ(layout[i].name, heads[i].name);
        EXPECT_EQ(layout[i].line, heads[i].line);
    }
    std::vector<unsigned> commonLines;
    for (const ini::LayoutLine& l : layout[1].entries) commonLines.push_back(l.line);
    EXPECT_EQ(commonLines, (std::vector<unsigned>{3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15,
                                                   16, 17, 18, 19}));
    EXPECT_EQ(layout[5].entries.back().line, 28u);

    // The first section of each name is the one the lists come from.
    for (size_t i : {1u, 3u, 5u}) {
        std::string list;
        for (const ini::LayoutLine& l : layout[i].entries) list += l.text + '\0';
        char buf[400];
        const DWORD n = platform::ProfileSection(layout[i].name.c_str(), buf, sizeof buf,
                                                 path.c_str());
        EXPECT_EQ(std::string(buf, n), list) << layout[i].name;
    }
}

#ifdef _WIN32
// The stand-in against the system's reader, for every buffer size.
TEST_F(IniTable, StandInAgreesWithTheSystemReader) {
    for (const char* section : {"common", "spaced", "lf", "", "empty"}) {
        for (DWORD size = 2; size < 240; ++size) {
            std::vector<char> a(size + 4, '#'), b(size + 4, '#');
            DWORD na = GetPrivateProfileSectionA(section, a.data(), size, path.c_str());
            DWORD nb = ini::ReadSection(section, b.data(), size, path.c_str());
            ASSERT_EQ(na, nb) << section << " " << size;
            ASSERT_EQ(a, b) << section << " " << size;
        }
    }
    for (const KeyCase& c : kKeyCases) {
        for (DWORD size : {1u, 2u, 3u, 5u, 260u}) {
            char a[260], b[260];
            DWORD na = GetPrivateProfileStringA(c.section, c.key, "DEFAULT", a, size,
                                                path.c_str());
            DWORD nb = ini::ReadString(c.section, c.key, "DEFAULT", b, size,
                                       path.c_str());
            ASSERT_EQ(na, nb) << c.key << " " << size;
            ASSERT_EQ(std::string(a, na), std::string(b, nb)) << c.key << " " << size;
        }
    }
}
#endif

}  // namespace
