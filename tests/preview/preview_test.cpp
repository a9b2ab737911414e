// What the walker's records of the drawn pages come to: the findings only
// pictures give, each on its page and naming the file to change.
#include "tools/medium_preview/preview.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using medium_check::Report;

Report TwoPages() {
    Report r;
    r.translation = "translat.ini";
    medium_check::Page first;
    first.number = 1;
    first.title = "Collection";
    first.descriptor = "QXMSETUP.INI";
    medium_check::Option a, b;
    a.title = "A";
    b.title = "B";
    a.slot = 1;
    a.descriptor = "a\\QXMSETUP.INI";
    b.slot = 2;
    b.descriptor = "b\\QXMSETUP.INI";
    first.options = {a, b};
    medium_check::Page second;
    second.number = 2;
    second.title = "Tools";
    second.descriptor = "a\\QXMSETUP.INI";
    second.parent = 1;
    second.parentSlot = 1;
    r.pages = {first, second};
    return r;
}

// A control line as the walker writes it.
// Options 1 and 2 show the checker's titles unless told otherwise.
std::string Ctl(int id, int width, int client = 160, int needed = 1, int shown = 1,
                int missing = 0, std::string text = "", int visible = 1) {
    if (text.empty()) text = id == 1010 ? "A" : id == 1003 ? "B" : "Text";
    return "ctl\t" + std::to_string(id) + "\t" + std::to_string(visible) + "\t" +
           std::to_string(width) + "\t" + std::to_string(client) + "\t" +
           std::to_string(needed) + "\t" + std::to_string(shown) + "\t" +
           std::to_string(missing) + "\tTahoma\t" + text + "\n";
}

const std::string kPage1 = "shot\tpage-1.bmp\t1\t0\n" + Ctl(1001, 90, 240, 1, 1, 0, "Collection");
const std::string kPage2 = "shot\tpage-2.bmp\t2\t0\n" + Ctl(1001, 50, 240, 1, 1, 0, "Tools");
const std::string kHover1 = "shot\tpage-1-option-1.bmp\t1\t1\n";

struct Case {
    const char* what;
    std::string walk;
    // "code page file" of each finding, in order, one per line.
    std::string expected;
    std::string font = "Tahoma";  // the face the translation asks for
};

// glyphs-missing is an error or a warning by what was measured: its
// warnings say so.
std::string Summary(const std::vector<medium_preview::PageFinding>& findings) {
    std::string s;
    for (const auto& f : findings)
        s += f.finding.code +
             (f.finding.code == "glyphs-missing" && f.finding.severity == medium_check::Severity::Warning
                  ? " warning "
                  : " ") +
             std::to_string(f.page) + " " + f.finding.file + "\n";
    return s;
}

TEST(PreviewFindings, FromWhatTheWindowShowed) {
    const Case cases[] = {
        {"all fits", kPage1 + Ctl(1010, 160) + Ctl(1003, 120) + Ctl(1009, 300, 380, 2, 2) + kPage2,
         ""},
        {"option one pixel too wide", kPage1 + Ctl(1010, 100) + Ctl(1003, 161) + kPage2,
         "title-clipped 1 b\\QXMSETUP.INI\n"},
        {"options in another order, the clipped one found by its title",
         kPage1 + Ctl(1010, 170, 160, 1, 1, 0, "B") + Ctl(1003, 10, 160, 1, 1, 0, "A") + kPage2,
         "order-differs 1 QXMSETUP.INI\ntitle-clipped 1 b\\QXMSETUP.INI\n"},
        {"hidden option is not measured",
         kPage1 + Ctl(1010, 10) + Ctl(1003, 400, 160, 1, 1, 0, "B", 0) + kPage2, ""},
        {"wide title of a sub-menu",
         kPage1 + "shot\tpage-2.bmp\t2\t0\n" + Ctl(1001, 300, 240, 1, 1, 0, "Tools"),
         "title-clipped 2 a\\QXMSETUP.INI\n"},
        {"titles are measured in the plain picture only",
         kPage1 + Ctl(1010, 100) + kHover1 + Ctl(1010, 170) + kPage2, ""},
        {"another page than the checker's",
         "shot\tpage-1.bmp\t1\t0\n" + Ctl(1001, 90, 240, 1, 1, 0, "Colle\\tction") + kPage2,
         "page-differs 1 QXMSETUP.INI\n"},
        {"description of option 1 needs a third line, seen twice",
         kPage1 + kHover1 + Ctl(1009, 900, 380, 3, 2, 0, "long") +
             "shot\tpage-1-option-2.bmp\t1\t2\n" + Ctl(1009, 900, 380, 3, 2, 0, "long") + kPage2,
         "description-overflow 1 a\\QXMSETUP.INI\n"},
        {"the hint itself overflows", kPage1 + Ctl(1009, 900, 380, 3, 2, 0, "hint") + kPage2,
         "description-overflow 1 translat.ini\n"},
        {"missing glyphs: one finding a page, each text once",
         kPage1 + Ctl(1010, 50, 160, 1, 1, 1) + Ctl(1003, 50, 160, 1, 1, 1) + kHover1 +
             Ctl(1010, 50, 160, 1, 1, 1) + "shot\tpage-2.bmp\t2\t0\n" +
             Ctl(1001, 50, 240, 1, 1, 5, "Tools") + Ctl(1010, 50, 160, 1, 1, 1),
         "glyphs-missing 1 translat.ini\nglyphs-missing 2 translat.ini\n"},
        {"missing glyphs in another face than the one asked for: this machine lacks it",
         kPage1 + Ctl(1010, 50, 160, 1, 1, 3) + kPage2, "glyphs-missing warning 1 translat.ini\n",
         "MS UI Gothic"},
        {"the face asked for, written in other letters", kPage1 + Ctl(1010, 50, 160, 1, 1, 3) + kPage2,
         "glyphs-missing 1 translat.ini\n", "TAHOMA"},
        {"the walk broke off", kPage1 + "error\t1\toption 1 ended the menu instead of opening page 2\n",
         "preview-failed 1 \npreview-failed 0 \n"},
        {"the walker failed, in its words", "exit\t1\tpreview-walker: no ProbeHook\n",
         "preview-failed 0 \npreview-failed 0 \n"},
        {"the walker failed after logging why", kPage1 + kPage2 + "error\t2\tno picture\nexit\t1\t\n",
         "preview-failed 2 \n"},
        {"the walker ended well", kPage1 + kPage2 + "exit\t0\t\n", ""},
    };
    for (const Case& c : cases) {
        Report report = TwoPages();
        report.font = c.font;
        const auto findings = medium_preview::PictureFindings(medium_preview::ParseWalk(c.walk),
                                                              report, "english", 100);
        EXPECT_EQ(Summary(findings), c.expected) << c.what;
    }
}

TEST(PreviewFindings, MessagesSayWhatWasMeasuredAndWhere) {
    const auto findings = medium_preview::PictureFindings(
        medium_preview::ParseWalk(kPage1 + Ctl(1003, 171, 160, 1, 1, 0, "Backup") + kPage2),
        TwoPages(), "japanese", 150);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].finding.message,
              "page 1, option 2: \"Backup\" is 171 pixels wide, its line 160 (japanese, 150 %)");
}

// A walk that failed is no clean preview: its status is 2, and the report
// names the program, the walker's reason and the pages it did not picture.
TEST(PreviewReport, AFailedWalkEndsWithStatusTwo) {
    char dir[] = "/tmp/preview_testXXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string out = dir;
    ASSERT_TRUE(std::filesystem::create_directory(out + "/english"));
    std::ofstream(out + "/english/walk.txt") << "exit\t3221225477\tpreview-walker: no ProbeHook\n";
    std::string text, err;
    EXPECT_EQ(medium_preview::Main({"index", SOURCE_DIR "/examples/medium", out, "--program",
                                    "x/wizard.exe, the 64-bit build", "english:100:english"},
                                   text, err),
              2);
    EXPECT_NE(text.find("Program   x/wizard.exe, the 64-bit build\n"), std::string::npos) << text;
    EXPECT_NE(text.find("error    preview-failed  the walker failed (exit status 3221225477): "
                        "preview-walker: no ProbeHook (english, 100 %)\n  error    preview-failed  "
                        "0 of 3 pages pictured; none of page 1, 2 and 3"),
              std::string::npos)
        << text;
    std::filesystem::remove_all(dir);
}

// The command line, as the other tools' tables test theirs: what to walk,
// or the usage, or why not.
TEST(PreviewRun, SaysWhatToWalkOrWhyNot) {
    char dir[] = "/tmp/preview_runXXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string sample = SOURCE_DIR "/examples/medium", out = std::string(dir) + "/out";
    // French translates the medium's name; Arabic has the menu's texts alone.
    // The folder's name holds a backslash, a character like any other here.
    const std::string french = std::string(dir) + "/fr\\ench";
    std::filesystem::create_directory(french);
    std::ofstream(french + "/QXMSETUP.INI") << "[common]\r\nname=Root\r\n";
    std::ofstream(french + "/translat.ini") << "[english]\nFont=Arial\n[arabic]\nFont=Tahoma\n"
                                               "[french]\nRoot=Racine\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string output;
    } cases[] = {
        {{sample, "-o", out}, 0, "run\tjapanese\t100\tjapanese\nrun\trussian\t100\trussian\n"},
        {{sample, "-o", out}, 0, "run\tenglish\t100\tenglish\nrun\tspanish"},
        {{sample, "--out=" + out, "--lang", "japanese", "--scale", "100,150", "--json"}, 0,
         "json\t--json\nrun\tjapanese\t100\tjapanese\nrun\tjapanese\t150\tjapanese-150\n"},
        {{sample, "-o", out, "--dist", "d"}, 0, "\ndist\td\nprefix\t\n"},
        {{sample, "-o", out, "--prefix", std::string(dir) + "/wp/"}, 0,
         "\nprefix\t" + std::string(dir) + "/wp\n"},
        {{sample, "-o", out, "--prefix", sample + "/wp"}, 2,
         "the Wine prefix cannot go inside the medium"},
        {{french, "-o", out}, 0, "run\tenglish\t100\tenglish\nrun\tfrench\t100\tfrench\n"},
        {{french, "-o", out, "--lang", "all"}, 0, "run\tenglish\t100\tenglish\nrun\tarabic"},
        {{"--help"}, 0, "usage: medium-preview MEDIUM_FOLDER"},
        {{sample}, 2, "where to? (-o OUT_FOLDER)"},
        {{"-o", out}, 2, "which medium folder?"},
        {{sample, sample, "-o", out}, 2, "one medium at a time"},
        {{sample, "-o"}, 2, "-o needs a value"},
        {{sample, "-o", out, "--bogus"}, 2, "unknown option --bogus"},
        {{sample, "-o", out, "--scale", "1x0"}, 2, "not a scale in per cent: 1x0"},
        {{sample, "-o", out, "--scale", "100,450"}, 2, "scale 450 is not between 100 and 400"},
        {{sample, "-o", out, "--lang", "klingon"}, 2, "no language klingon"},
        {{sample, "-o", sample + "/pictures"}, 2, "the pictures cannot go inside the medium"},
        {{std::string(dir) + "/nowhere", "-o", out}, 2, "no folder"},
    };
    for (const auto& c : cases) {
        std::string text, err, label;
        for (const std::string& a : c.args) label += a + " ";
        EXPECT_EQ(medium_preview::Run(c.args, text, err), c.status) << label << err;
        EXPECT_NE((text + err).find(c.output), std::string::npos) << label << "\n" << text << err;
    }
    EXPECT_FALSE(std::filesystem::exists(sample + "/pictures"));
    std::filesystem::remove_all(dir);
}

}  // namespace
