// The medium checker on the sample medium and on small media laid out here,
// on both builds.
#include "localisation/languages.h"
#include "platform/codepage.h"
#include "platform/picture_file.h"
#include "platform/system.h"
#include "platform/tool_text.h"
#include "test_support.h"
#include "tools/medium_check/check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#include <sys/stat.h>
#endif

using medium_check::Finding;
using medium_check::Report;
using medium_check::Settings;
using medium_check::Severity;
using testing_support::TempDir;

namespace {

// A file of the source tree in the program's form.
std::string SourcePath(std::string path) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
#else
    return platform::WindowsPath(path);
#endif
}

std::string SampleMedium() { return SourcePath(SOURCE_DIR "/examples/medium"); }

// A program the toolchain made, with a manifest of `shape` (tests/CMakeLists.txt).
std::string Program(const std::string& shape) {
    return testing_support::ReadAll(SourcePath(TEST_PROGRAMS "/" + shape + ".exe"));
}

// The part of a text report from its first page to the findings.
std::string PagesOf(const std::string& text) {
    const size_t from = text.find("\nPage 1:");
    const size_t to = text.find("\nFindings:");
    return from == std::string::npos ? text : text.substr(from + 1, to - from);
}

const char kSamplePages[] = R"(Page 1: Vantrell Software Collection 2026   (QXMSETUP.INI)
  title: no bullet
       | Vantrell Software Collection 2026
  1. [YQ] Office Suite 3.2   (office\QXMSETUP.INI)
       | Installs Office Suite 3.2: word processing, spreadsheets and presentations.
       | (D:\office\setup.exe)
       click: starts D:\office\setup.exe
  2. [JEK] Graphics Studio 5.0   (graphics\QXMSETUP.INI)
       | Installs Graphics Studio 5.0 for drawings, photos and diagrams.
       | (D:\graphics\setup.exe)
       click: starts D:\graphics\setup.exe
  3. [ZOV] Media Player   (media\QXMSETUP.INI)
       | Plays music and video in every common format.
       | (D:\media\setup.exe)
       click: starts D:\media\setup.exe
  4. [FOLDER] Utilities   (tools\QXMSETUP.INI)
       | Small tools for everyday work: archives, backups and more.
       click: opens page 2
  5. [BOOK] User Manuals   (manuals\QXMSETUP.INI)
       | The manuals of every product on this disc.
       | (D:\manuals\manuals.txt)
       click: starts D:\manuals\manuals.txt
  6. [folder] Device Drivers   (drivers\QXMSETUP.INI)
       | Drivers for printers and scanners.
       click: opens page 3
  7. [WEB] Product Updates   (updates\QXMSETUP.INI)
       | Opens the update page of the Vantrell Software Collection 2026 in your browser.
       | (http://www.example.com/updates/)
       click: opens http://www.example.com/updates/ in the browser

Page 2: Utilities   (tools\QXMSETUP.INI)
  title: folder with an upward arrow; option 4 of page 1, and a click goes back there
       | Everything on this disc, ready to install.
  1. [compact disc] Archive Manager 1.4   (tools\archiver\QXMSETUP.INI)
       | Packs and unpacks archives. One of the Utilities.
       | (D:\tools\archiver\setup.exe)
       click: starts D:\tools\archiver\setup.exe
  2. [compact disc] Backup Assistant   (tools\backup\QXMSETUP.INI)
       | Copies your documents to a safe place every day.
       | (D:\tools\backup\setup.exe)
       click: starts D:\tools\backup\setup.exe
  3. [WEB] Document Viewer   (tools\viewer\QXMSETUP.INI)
       | Downloads the latest Document Viewer and installs it.
       | (http://www.example.com/downloads/viewer.exe)
       click: downloads http://www.example.com/downloads/viewer.exe to %TEMP%\viewer.exe, then starts it
  4. [globe] Support on the Web   (tools\support\QXMSETUP.INI)
       | Opens the support pages for every product on this disc in your browser.
       | (https://www.example.com/support/)
       click: opens https://www.example.com/support/ in the browser
  5. [compact disc] Disc Check   (tools\check\QXMSETUP.INI)
       | Checks that every file of this disc can be read.
       | (D:\tools\check\check.exe)
       click: starts D:\tools\check\check.exe

Page 3: Device Drivers   (drivers\QXMSETUP.INI)
  title: folder with an upward arrow; option 6 of page 1, and a click goes back there
       | Everything on this disc, ready to install.
  1. [compact disc] Printer Driver 2.3   (drivers\printer\QXMSETUP.INI)
       | For every printer of the Device Drivers collection.
       | (D:\drivers\printer\setup.exe)
       click: starts D:\drivers\printer\setup.exe
  2. [compact disc] Scanner Driver 1.9   (drivers\scanner\QXMSETUP.INI)
       | For every scanner of the Device Drivers collection.
       | (D:\drivers\scanner\setup.exe)
       click: starts D:\drivers\scanner\setup.exe

)";

// A finding as the tables below expect it.
struct Expect {
    Severity severity;
    std::string code;
    std::string file;
    unsigned line;
};

std::string Describe(const std::vector<Finding>& findings) {
    std::string s;
    for (const Finding& f : findings)
        s += std::string(medium_common::SeverityName(f.severity)) + " " + f.code + " " + f.file +
             ":" + std::to_string(f.line) + "  " + f.message + "\n";
    return s;
}

void ExpectFindings(const Report& report, const std::vector<Expect>& expected,
                    const std::string& label) {
    bool same = report.findings.size() == expected.size();
    for (size_t i = 0; same && i < expected.size(); ++i) {
        const Finding& f = report.findings[i];
        same = f.severity == expected[i].severity && f.code == expected[i].code &&
               f.file == expected[i].file && f.line == expected[i].line;
    }
    EXPECT_TRUE(same) << label << ": found\n" << Describe(report.findings);
}

TEST(MediumCheck, PrintsTheSampleMediumPageByPage) {
    Settings settings;
    settings.medium = SampleMedium();
    settings.shownAs = "D:";
    const Report report = medium_check::Check(settings);
    const std::string text = medium_check::FormatText(report);
    EXPECT_EQ(PagesOf(text), kSamplePages);
    // The README shows this very report.
    EXPECT_NE(testing_support::ReadAll(SourcePath(SOURCE_DIR "/README.md")).find(text),
              std::string::npos)
        << "README.md shows another report than\n" << text;
    EXPECT_EQ(report.caption, "Vantrell Installation Wizard");
    EXPECT_EQ(report.sections,
              (std::vector<std::string>{"english", "spanish", "french", "japanese", "russian"}));
    EXPECT_EQ(report.languages, report.sections);

    // The sample carries no programs (the demo puts them in place), and its
    // manuals are a text file.
    std::vector<std::string> errors;
    for (const Finding& f : report.findings)
        if (f.severity == Severity::Error) errors.push_back(f.code + " " + f.file);
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "file-missing drivers\\printer\\QXMSETUP.INI",
                          "file-missing drivers\\scanner\\QXMSETUP.INI",
                          "file-missing graphics\\QXMSETUP.INI",
                          "file-not-program manuals\\QXMSETUP.INI",
                          "file-missing media\\QXMSETUP.INI",
                          "file-missing office\\QXMSETUP.INI",
                          "file-missing tools\\archiver\\QXMSETUP.INI",
                          "file-missing tools\\backup\\QXMSETUP.INI",
                          "file-missing tools\\check\\QXMSETUP.INI",
                      }));
}

// The report is UTF-8, converted from the code page the menu's font draws
// the language in.
TEST(MediumCheck, ShowsTheSampleMediumInTheChosenLanguage) {
    struct Case {
        const char* language;
        const char* caption;
        const char* utilities;  // option 4 of the first page
    };
    const Case cases[] = {
        {"french", "Caption      Assistant d'installation Vantrell\n",
         "4. [FOLDER] Utilitaires   (tools\\QXMSETUP.INI)"},
        {"japanese", "Caption      Vantrell \u30a4\u30f3\u30b9\u30c8\u30fc\u30eb "
                     "\u30a6\u30a3\u30b6\u30fc\u30c9\n",
         "4. [FOLDER] \u30e6\u30fc\u30c6\u30a3\u30ea\u30c6\u30a3   (tools\\QXMSETUP.INI)"},
        {"russian", "Caption      \u041c\u0430\u0441\u0442\u0435\u0440 "
                    "\u0443\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0438 Vantrell\n",
         "4. [FOLDER] \u0423\u0442\u0438\u043b\u0438\u0442\u044b   (tools\\QXMSETUP.INI)"},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.medium = SampleMedium();
        settings.locale = languages::LocaleOf(c.language);
        const Report report = medium_check::Check(settings);
        EXPECT_EQ(report.language, c.language);
        const std::string text = medium_check::FormatText(report);
        EXPECT_NE(text.find(c.caption), std::string::npos) << c.language << "\n" << text;
        EXPECT_NE(text.find(c.utilities), std::string::npos) << c.language << "\n" << text;
    }
}

// A small medium: files by their path under the medium.
struct Layout {
    using Files = std::vector<std::pair<std::string, std::string>>;
    Layout(const char* n, Files f, std::vector<Expect> e, std::string h = "")
        : name(n), files(std::move(f)), expected(std::move(e)), host(std::move(h)) {}
    const char* name;
    Files files;
    std::vector<Expect> expected;
    std::string host;  // the host's own path of the medium below the temporary folder
};

const std::string kRoot = "[common]\r\nname=Root\r\n";
// A layout's file that is a symbolic link to `target`.
const char kLink[] = "\x01link to ";
std::string LinkTo(const std::string& target) { return kLink + target; }
std::string Entry(const std::string& name, const std::string& more = "") {
    return "[common]\r\nname=" + name + "\r\n" + more;
}
std::string Product(const std::string& name, const std::string& file,
                    const std::string& more = "") {
    return Entry(name, "file=" + file + "\r\n" + more);
}
const Severity E = Severity::Error;
const Severity W = Severity::Warning;
const Severity N = Severity::Note;

// Picture files of `w` x `h` pixels as far as the checker reads them: whole,
// with the sizes in their headers (their pixels are never decoded).
std::string Le(uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i));
    return s;
}
std::string Be32(uint32_t v) { std::string s = Le(v, 4); return {s.rbegin(), s.rend()}; }
std::string Chunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    return Be32(static_cast<uint32_t>(data.size())) + body +
           Be32(platform::Crc32(body.data(), body.size()));
}
std::string Png(int w, int h) {
    return "\x89PNG\r\n\x1a\n" + Chunk("IHDR", Be32(w) + Be32(h) + std::string("\x08\x02\0\0\0", 5)) +
           Chunk("IDAT", "x") + Chunk("IEND", "");
}
std::string Bmp(int w, int h) {
    const int stride = (w * 3 + 3) / 4 * 4;
    return "BM" + Le(54 + stride * h, 4) + Le(0, 4) + Le(54, 4) + Le(40, 4) + Le(w, 4) + Le(h, 4) +
           Le(1, 2) + Le(24, 2) + std::string(24, '\0') + std::string(stride * h, '\x7f');
}
std::string Jpeg(int w, int h) {
    const std::string size = Be32(static_cast<uint32_t>(h) << 16 | static_cast<uint32_t>(w));
    return std::string("\xFF\xD8\xFF\xC0\0\x0b\x08", 7) + size + std::string("\x01\x01\x11\0", 4) +
           std::string("\xFF\xDA\0\x08\x01\x01\0\0\x3f\0coded\xFF\xD9", 17);
}
std::string Ico(int size) {
    const uint32_t bytes = 40 + size * size * 4 + size * size / 8;
    return Le(0x10000, 4) + Le(1, 2) + Le(size, 1) + Le(size, 1) + Le(0, 2) + Le(1, 2) + Le(32, 2) +
           Le(bytes, 4) + Le(22, 4) + Le(40, 4) + Le(size, 4) + Le(2 * size, 4) + Le(1, 2) +
           Le(32, 2) + std::string(bytes - 16, '\0');
}

std::vector<Layout> Layouts() {
    std::vector<Layout> cases;
    cases.push_back({"a clean medium",
                     {{"QXMSETUP.INI", kRoot},
                      {"app\\QXMSETUP.INI", Product("App", "setup.exe", "icon=cd\r\npriority=-3\r\n")},
                      {"app\\setup.exe", "MZ"},
                      {"app\\data\\files.txt", "x"},
                      {"group\\QXMSETUP.INI", Entry("Group")},
                      {"group\\tool\\QXMSETUP.INI", Product("Tool", "run.bat")},
                      {"group\\tool\\run.bat", "@echo off"}},
                     {}});

    Layout eight{"eight options", {{"QXMSETUP.INI", kRoot}}, {}};
    for (int i = 1; i <= 8; ++i) {
        const std::string folder = "p" + std::to_string(i);
        eight.files.push_back({folder + "\\QXMSETUP.INI",
                               Product("P" + std::to_string(i), "setup.exe",
                                       "priority=" + std::to_string(i) + "\r\n")});
        eight.files.push_back({folder + "\\setup.exe", "MZ"});
    }
    eight.files.push_back({"p8\\more\\QXMSETUP.INI", Entry("More")});
    eight.expected = {{E, "unreachable-option", "p8\\QXMSETUP.INI", 0}};
    cases.push_back(eight);

    cases.push_back({"entries that disappear",
                     {{"QXMSETUP.INI", kRoot},
                      {"noname\\QXMSETUP.INI", "[common]\r\nicon=cd\r\n"},
                      {"noname\\inner\\QXMSETUP.INI", Entry("Inner")},
                      {"version\\QXMSETUP.INI", Entry("%V")}},
                     {{E, "entry-disappears", "noname\\QXMSETUP.INI", 0},
                      {E, "entry-disappears", "version\\QXMSETUP.INI", 2}}});

    cases.push_back({"descriptors the scan never visits",
                     {{"QXMSETUP.INI", kRoot},
                      {"data\\inner\\QXMSETUP.INI", Entry("Inner")},
                      {"data\\inner\\deeper\\QXMSETUP.INI", Entry("Deeper")}},
                     {{E, "descriptor-not-read", "data\\inner\\QXMSETUP.INI", 0}}});

    cases.push_back({"a root without descriptor",
                     {{"app\\QXMSETUP.INI", Product("App", "setup.exe")}, {"app\\setup.exe", "MZ"}},
                     {{E, "root-without-descriptor", "QXMSETUP.INI", 0},
                      {E, "descriptor-not-read", "app\\QXMSETUP.INI", 0}}});

    cases.push_back({"files that do not work",
                     {{"QXMSETUP.INI", kRoot},
                      {"a\\QXMSETUP.INI", Product("A", "missing.exe")},
                      {"b\\QXMSETUP.INI", Product("B", "..\\..\\setup.exe")},
                      {"c\\QXMSETUP.INI", Product("C", "C:\\tools\\setup.exe")},
                      {"d\\QXMSETUP.INI", Product("D", "\\setup.exe")},
                      {"e\\QXMSETUP.INI", Product("E", "readme.txt")},
                      {"e\\readme.txt", "x"},
                      {"f\\QXMSETUP.INI", Product("F", "data")},
                      {"f\\data\\x.txt", "x"},
                      {"g\\QXMSETUP.INI", Product("G", "httpd.exe")},
                      {"g\\httpd.exe", "MZ"}},
                     {{E, "file-missing", "a\\QXMSETUP.INI", 3},
                      {E, "file-leaves-medium", "b\\QXMSETUP.INI", 3},
                      {E, "file-leaves-medium", "c\\QXMSETUP.INI", 3},
                      {W, "file-leading-backslash", "d\\QXMSETUP.INI", 3},
                      {E, "file-missing", "d\\QXMSETUP.INI", 3},
                      {E, "file-not-program", "e\\QXMSETUP.INI", 3},
                      {E, "file-is-folder", "f\\QXMSETUP.INI", 3},
                      {E, "file-not-address", "g\\QXMSETUP.INI", 3}}});

    cases.push_back({"one finding does not hide the next",
                     {{"QXMSETUP.INI", kRoot},
                      {"h\\QXMSETUP.INI", Product("H", "\\readme.pdf")},
                      {"h\\readme.pdf", "%PDF"},
                      {"i\\QXMSETUP.INI", Product("I", "manual.pdf")},
                      {"j\\QXMSETUP.INI", Product("J", "set?p.exe")},
                      {"j\\setup.exe", "MZ"},
                      {"k\\QXMSETUP.INI", Product("K", "\\data")},
                      {"k\\data\\x.txt", "x"}},
                     {{W, "file-leading-backslash", "h\\QXMSETUP.INI", 3},
                      {E, "file-not-program", "h\\QXMSETUP.INI", 3},
                      {E, "file-missing", "i\\QXMSETUP.INI", 3},
                      {E, "file-not-program", "i\\QXMSETUP.INI", 3},
                      {E, "name-not-portable", "j\\QXMSETUP.INI", 3},
                      {W, "file-leading-backslash", "k\\QXMSETUP.INI", 3},
                      {E, "file-is-folder", "k\\QXMSETUP.INI", 3}}});

    cases.push_back({"paths that stay on the medium",
                     {{"QXMSETUP.INI", kRoot},
                      {"a\\QXMSETUP.INI", Product("A", "..\\common\\setup.exe")},
                      {"common\\setup.exe", "MZ"},
                      {"b\\QXMSETUP.INI", Product("B", "\\setup.exe")},
                      {"b\\setup.exe", "MZ"}},
                     {{W, "file-leading-backslash", "b\\QXMSETUP.INI", 3}}});

    cases.push_back({"addresses",
                     {{"QXMSETUP.INI", kRoot},
                      {"a\\QXMSETUP.INI", Product("A", "https://example.com/support/")},
                      {"b\\QXMSETUP.INI", Product("B", "https://example.com/get/setup.exe")},
                      {"c\\QXMSETUP.INI", Product("C", "HTTP://example.com/get/Setup.Exe")},
                      {"d\\QXMSETUP.INI", Product("D", "ftp://example.com/pub/setup.exe")}},
                     {{W, "address-shell", "a\\QXMSETUP.INI", 3},
                      {W, "address-download", "b\\QXMSETUP.INI", 3},
                      {W, "download-unpinned", "b\\QXMSETUP.INI", 3},
                      {W, "address-download", "c\\QXMSETUP.INI", 3},
                      {W, "download-unencrypted", "c\\QXMSETUP.INI", 3},
                      {W, "download-unpinned", "c\\QXMSETUP.INI", 3},
                      {W, "address-download", "d\\QXMSETUP.INI", 3},
                      {W, "download-unencrypted", "d\\QXMSETUP.INI", 3},
                      {W, "download-unpinned", "d\\QXMSETUP.INI", 3}}});

    const std::string pin = "9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08";
    cases.push_back({"pinned downloads",
                     {{"QXMSETUP.INI", kRoot},
                      {"a\\QXMSETUP.INI",
                       Product("A", "https://example.com/get/setup.exe", "sha256=" + pin + "\r\n")},
                      {"b\\QXMSETUP.INI",
                       Product("B", "https://example.com/get/setup.exe", "sha256=" + pin + "0\r\n")},
                      {"c\\QXMSETUP.INI", Product("C", "c.exe", "sha256=" + pin + "\r\n")},
                      {"c\\c.exe", "MZ"},
                      {"d\\QXMSETUP.INI",
                       Product("D", "https://example.com/Nul.exe", "sha256=\"" + pin + "\"\r\n")},
                      {"e\\QXMSETUP.INI", Product("E", "e.exe", "sha256=pin\r\n")},
                      {"e\\e.exe", "MZ"}},
                     {{W, "address-download", "a\\QXMSETUP.INI", 3},
                      {W, "address-download", "b\\QXMSETUP.INI", 3},
                      {E, "sha256-malformed", "b\\QXMSETUP.INI", 4},
                      {W, "sha256-not-download", "c\\QXMSETUP.INI", 4},
                      {W, "address-download", "d\\QXMSETUP.INI", 3},
                      {W, "download-device-name", "d\\QXMSETUP.INI", 3},
                      {E, "sha256-malformed", "e\\QXMSETUP.INI", 4},
                      {W, "sha256-not-download", "e\\QXMSETUP.INI", 4}}});

    cases.push_back({"a download without Online.dll",
                     {{"QXMSETUP.INI", kRoot},
                      {"wizard.exe", "MZ"},
                      {"b\\QXMSETUP.INI", Product("B", "https://example.com/get/setup.exe")}},
                     {{E, "online-dll-missing", "b\\QXMSETUP.INI", 0},
                      {W, "address-download", "b\\QXMSETUP.INI", 3},
                      {W, "download-unpinned", "b\\QXMSETUP.INI", 3}}});

    cases.push_back({"values the menu reads otherwise",
                     {{"QXMSETUP.INI", kRoot},
                      {"a\\QXMSETUP.INI", Entry(std::string(300, 'n'), "file=a.exe\r\n")},
                      {"a\\a.exe", "MZ"},
                      {"b\\QXMSETUP.INI", Product("B", "b.exe", "icon=star\r\n")},
                      {"b\\b.exe", "MZ"},
                      {"c\\QXMSETUP.INI", Product("C", "c.exe", "priority=10abc\r\n")},
                      {"c\\c.exe", "MZ"},
                      {"d\\QXMSETUP.INI", Product("D", "d.exe", "priority=99999999999\r\n")},
                      {"d\\d.exe", "MZ"}},
                     {{W, "value-cut", "a\\QXMSETUP.INI", 2},
                      {W, "icon-unknown", "b\\QXMSETUP.INI", 4},
                      {W, "priority-not-number", "c\\QXMSETUP.INI", 4},
                      {W, "priority-not-number", "d\\QXMSETUP.INI", 4}}});

    cases.push_back({"entries no page shows",
                     {{"QXMSETUP.INI", kRoot},
                      {"app\\QXMSETUP.INI", Product("App", "setup.exe")},
                      {"app\\setup.exe", "MZ"},
                      {"app\\extra\\QXMSETUP.INI", Entry("Extra")},
                      {"empty\\QXMSETUP.INI", Entry("Empty")}},
                     {{E, "entries-below-product", "app\\QXMSETUP.INI", 0},
                      {W, "empty-submenu", "empty\\QXMSETUP.INI", 0}}});

    cases.push_back({"a program in a folder that does not exist",
                     {{"QXMSETUP.INI", kRoot},
                      {"a\\QXMSETUP.INI", Product("A", "nosuchdir\\setup.exe")}},
                     {{E, "file-missing", "a\\QXMSETUP.INI", 3}}});

    cases.push_back({"a program with a broken manifest",
                     {{"QXMSETUP.INI", kRoot},
                      {"b\\QXMSETUP.INI", Product("B", "setup.exe")},
                      {"b\\setup.exe", Program("broken")}},
                     {{E, "manifest-broken", "b\\QXMSETUP.INI", 3},
                      {W, "program-unsigned", "b\\setup.exe", 0}}});

    using testing_support::MinimalPe;
    const std::string cut = MinimalPe(2).substr(0, 520);  // its table ends past the file
    cases.push_back({"programs without a signature",
                     {{"QXMSETUP.INI", kRoot},
                      {"a\\QXMSETUP.INI", Product("A", "setup.exe")}, {"a\\setup.exe", MinimalPe()},
                      {"b\\QXMSETUP.INI", Product("B", "..\\a\\setup.exe")},
                      {"c\\QXMSETUP.INI", Product("C", "setup.exe")}, {"c\\setup.exe", MinimalPe(2)},
                      {"d\\QXMSETUP.INI", Product("D", "setup.exe")}, {"d\\setup.exe", MinimalPe(1)},
                      {"e\\QXMSETUP.INI", Product("E", "setup.exe")}, {"e\\setup.exe", cut},
                      {"f\\QXMSETUP.INI", Product("F", "run.bat")}, {"f\\run.bat", MinimalPe()}},
                     {{W, "program-unsigned", "a\\setup.exe", 0},
                      {W, "program-unsigned", "d\\setup.exe", 0},
                      {W, "program-unsigned", "e\\setup.exe", 0}}});
    cases.push_back({"the medium's own look",
                     {{"QXMSETUP.INI", kRoot + "picture=art\\p.png\r\nwindowicon=art\\i.ico\r\n"
                                               "splash = art\\1.bmp ;art\\2.jpg;\r\n"},
                      {"art\\p.png", Png(318, 542)}, {"art\\i.ico", Ico(64)},
                      {"art\\1.bmp", Bmp(880, 400)}, {"art\\2.jpg", Jpeg(1320, 600)}},
                     {}});
    std::string cutPng = Png(880, 400);
    cutPng.resize(cutPng.size() - 8);
    cases.push_back({"art the menu cannot use",
                     {{"QXMSETUP.INI", kRoot + "picture=none.png\r\nwindowicon=p.png\r\n"
                                               "splash=a.txt;art;cut.png;huge.png;C:\\s.png\r\n"},
                      {"a.txt", "text"}, {"art\\x.png", Png(880, 400)}, {"cut.png", cutPng},
                      {"huge.png", Png(30000, 30000)}, {"p.png", Png(64, 64)}},
                     {{E, "art-missing", "QXMSETUP.INI", 3},
                      {E, "art-unreadable", "QXMSETUP.INI", 4},
                      {E, "art-unreadable", "QXMSETUP.INI", 5},
                      {E, "art-unreadable", "QXMSETUP.INI", 5},
                      {E, "art-unreadable", "QXMSETUP.INI", 5},
                      {E, "art-unreadable", "QXMSETUP.INI", 5},
                      {E, "art-missing", "QXMSETUP.INI", 5}}});
    cases.push_back({"art the menu enlarges or cuts",
                     {{"QXMSETUP.INI", kRoot + "picture=p.png\r\nwindowicon=i.ico\r\n"
                                               "splash=w.png;2.bmp;3.bmp;4.bmp;5.bmp;6.bmp\r\n"},
                      {"p.png", Png(159, 271)}, {"i.ico", Ico(32)}, {"w.png", Png(1000, 1000)},
                      {"2.bmp", Bmp(880, 400)}, {"3.bmp", Bmp(880, 400)}, {"4.bmp", Bmp(880, 400)},
                      {"5.bmp", Bmp(880, 400)}, {"6.bmp", Bmp(880, 400)}},
                     {{W, "art-small", "QXMSETUP.INI", 3},
                      {W, "art-small", "QXMSETUP.INI", 4},
                      {W, "art-aspect", "QXMSETUP.INI", 5},
                      {W, "art-too-many", "QXMSETUP.INI", 5}}});

    // 129 "%T" a level: 258 bytes, then 33 KB, then 4 MB, then 555 MB.
    std::string grow;
    for (int i = 0; i < 129; ++i) grow += "%T";
    cases.push_back({"titles that grow",
                     {{"QXMSETUP.INI", Entry(grow)},
                      {"a\\QXMSETUP.INI", Entry(grow)},
                      {"a\\b\\QXMSETUP.INI", Entry(grow, "description=%P\r\n")},
                      {"a\\b\\c\\QXMSETUP.INI", Product("C", "c.exe")},
                      {"a\\b\\c\\c.exe", "MZ"}},
                     {{W, "text-too-long", "a\\QXMSETUP.INI", 2},
                      {W, "text-too-long", "a\\b\\QXMSETUP.INI", 2},
                      {W, "text-too-long", "a\\b\\QXMSETUP.INI", 3}}});

#ifndef _WIN32
    // Names that only the host's file system can hold; Windows (and Wine)
    // cannot make them, so the host alone lays them out.
    cases.push_back({"file and folder names Windows does not allow",
                     {{"QXMSETUP.INI", kRoot},
                      {"a<b\\QXMSETUP.INI", Product("Angle", "setup.exe")},
                      {"a<b\\setup.exe", "MZ"},
                      {"new\nline\\QXMSETUP.INI", Product("Newline", "setup.exe")},
                      {"new\nline\\setup.exe", "MZ"},
                      {"trail.\\QXMSETUP.INI", Product("Trail", "setup.exe")},
                      {"trail.\\setup.exe", "MZ"},
                      {"CON\\QXMSETUP.INI", Product("Con", "setup.exe")},
                      {"CON\\setup.exe", "MZ"},
                      {"ok\\QXMSETUP.INI", Product("Ok", "setup.exe")},
                      {"ok\\setup.exe", "MZ"},
                      {"ok\\a*b.txt", "x"}, {"ok\\a:b.txt", "x"}, {"ok\\a\"b.txt", "x"},
                      {"ok\\new\nline.txt", "x"}, {"ok\\trail.txt.", "x"}, {"ok\\nul.txt", "x"}},
                     {{E, "name-not-portable", "QXMSETUP.INI", 0},
                      {E, "name-not-portable", "QXMSETUP.INI", 0},
                      {E, "name-not-portable", "QXMSETUP.INI", 0},
                      {E, "name-not-portable", "QXMSETUP.INI", 0},
                      {E, "name-not-portable", "ok\\QXMSETUP.INI", 0},
                      {E, "name-not-portable", "ok\\QXMSETUP.INI", 0},
                      {E, "name-not-portable", "ok\\QXMSETUP.INI", 0},
                      {E, "name-not-portable", "ok\\QXMSETUP.INI", 0},
                      {E, "name-not-portable", "ok\\QXMSETUP.INI", 0},
                      {E, "name-not-portable", "ok\\QXMSETUP.INI", 0}}});
    // The medium's own path on this machine has only this machine's limits,
    // and may hold a backslash: the disc's paths are what counts.
    const std::vector<std::pair<std::string, std::string>> small = {
        {"QXMSETUP.INI", kRoot}, {"app\\QXMSETUP.INI", Product("App", "setup.exe")},
        {"app\\setup.exe", "MZ"}, {"doc\\QXMSETUP.INI", Product("Doc", "doc.pdf")},
        {"doc\\doc.pdf", "%PDF"}};
    std::string deep;
    for (int i = 0; i < 30; ++i) deep += "/a-folder-" + std::to_string(i);
    cases.push_back({"a medium 300 bytes deep on this machine", small,
                     {{E, "file-not-program", "doc\\QXMSETUP.INI", 3}}, deep.substr(1)});
    cases.push_back({"a medium in a folder whose name holds a backslash", small,
                     {{E, "file-not-program", "doc\\QXMSETUP.INI", 3}}, "back\\slash"});
    // On the disc ("D:\\"), a descriptor of 267 bytes and a program of 271.
    const std::string a(120, 'a'), b(130, 'b'), c(140, 'c');
    cases.push_back({"paths too long for the disc",
                     {{"QXMSETUP.INI", kRoot},
                      {a + "\\QXMSETUP.INI", Entry("Group")},
                      {a + "\\" + b + "\\QXMSETUP.INI", Product("Deep", "setup.exe")},
                      {a + "\\ok\\QXMSETUP.INI", Product("Ok", c + ".exe")},
                      {a + "\\ok\\" + c + ".exe", "MZ"}},
                     {{E, "path-too-long", a + "\\" + b + "\\QXMSETUP.INI", 0},
                      {E, "path-too-long", a + "\\ok\\QXMSETUP.INI", 3}}});
    cases.push_back({"links out of the medium, nowhere and round",
                     {{"QXMSETUP.INI", kRoot},
                      {"a\\QXMSETUP.INI", Product("A", "setup.exe")},
                      {"a\\setup.exe", "MZ"},
                      {"b\\QXMSETUP.INI", Product("B", "setup.exe")},
                      {"b\\setup.exe", LinkTo("../a/setup.exe")},
                      {"a\\up", LinkTo("..")},
                      {"alias", LinkTo("a")},
                      {"c\\QXMSETUP.INI", Product("C", "gone.exe")},
                      {"c2", LinkTo("c")},
                      {"shadow", LinkTo("/etc/passwd")},
                      {"etc", LinkTo("../../../../../../../../../../../../etc")},
                      {"hop", LinkTo("shadow")},
                      {"gone", LinkTo("missing.exe")}},
                     {{E, "file-missing", "c\\QXMSETUP.INI", 3},
                      {E, "file-missing", "c2\\QXMSETUP.INI", 3},
                      {W, "link-loops", "a\\up", 0},
                      {E, "link-leaves-medium", "etc", 0},
                      {W, "link-dangling", "gone", 0},
                      {E, "link-leaves-medium", "hop", 0},
                      {E, "link-leaves-medium", "shadow", 0}}});
#endif
    return cases;
}

class MediumCheckLayouts : public ::testing::Test {
protected:
    Report CheckLayout(const Layout& layout, const std::string& translation = "") {
        TempDir dir;
        const std::string under = layout.host.empty() ? "" : "medium\\";
        for (const auto& file : layout.files) {
#ifndef _WIN32
            if (file.second.compare(0, sizeof kLink - 1, kLink) == 0) {
                const std::string at = platform::NativePath(dir / (under + file.first));
                EXPECT_EQ(symlink(file.second.c_str() + sizeof kLink - 1, at.c_str()), 0) << at;
                continue;
            }
#endif
            dir.Write(under + file.first, file.second);
        }
        if (!translation.empty()) dir.Write(under + "translat.ini", translation);
        Settings settings;
        settings.medium = dir.Path();
#ifndef _WIN32
        if (!layout.host.empty()) {
            // Moved there by the host's own calls, which take the path as it is.
            const std::string from = platform::NativePath(dir / "medium");
            settings.folder = platform::NativePath(dir.Path()) + "/" + layout.host;
            for (size_t slash = settings.folder.find('/', 1); slash != std::string::npos;
                 slash = settings.folder.find('/', slash + 1))
                mkdir(settings.folder.substr(0, slash).c_str(), 0755);
            EXPECT_EQ(std::rename(from.c_str(), settings.folder.c_str()), 0) << layout.name;
            settings.medium = platform::WindowsPath(settings.folder);
        }
#endif
        return medium_check::Check(settings);
    }
};

TEST_F(MediumCheckLayouts, EachFaultIsFoundAtItsPlace) {
    for (const Layout& layout : Layouts())
        ExpectFindings(CheckLayout(layout), layout.expected, layout.name);
}

TEST_F(MediumCheckLayouts, MessagesNameWhatGoesWithAnEntry) {
    const std::vector<Layout> layouts = Layouts();
    const Report dropped = CheckLayout(layouts[2]);
    ASSERT_FALSE(dropped.findings.empty());
    EXPECT_NE(dropped.findings[0].message.find("\"Inner\""), std::string::npos)
        << dropped.findings[0].message;
    const Report eight = CheckLayout(layouts[1]);
    ASSERT_EQ(eight.pages.size(), 1u);
    EXPECT_EQ(eight.pages[0].options.size(), 7u);
    ASSERT_FALSE(eight.findings.empty());
    EXPECT_NE(eight.findings[0].message.find("1 entry below it"), std::string::npos)
        << eight.findings[0].message;
    const auto enlarged = std::find_if(layouts.begin(), layouts.end(), [](const Layout& l) {
        return std::string(l.name) == "art the menu enlarges or cuts";
    });
    ASSERT_NE(enlarged, layouts.end());
    const Report art = CheckLayout(*enlarged);
    ASSERT_EQ(art.findings.size(), 4u) << Describe(art.findings);
    EXPECT_NE(art.findings[0].message.find("enlarges the picture at 150 % and 200 %"),
              std::string::npos) << art.findings[0].message;
    EXPECT_NE(art.findings[2].message.find("cuts 54 % off its top and bottom"), std::string::npos)
        << art.findings[2].message;
}

// What the report says of a value the menu cuts, of names Windows does not
// allow, and of a title cut at the display limit.
TEST_F(MediumCheckLayouts, ReportsRealLengthsAndPrintableNames) {
    Layout layout{"long value",
                  {{"QXMSETUP.INI", kRoot},
                   {"a\\QXMSETUP.INI", Product("A", "a.exe", "description=" +
                                                                std::string(1 << 20, 'd') + "\r\n")},
                   {"a\\a.exe", "MZ"}},
                  {}};
#ifndef _WIN32
    layout.files.push_back({"new\nline\\QXMSETUP.INI", Product("Newline", "setup.exe")});
#endif
    const Report report = CheckLayout(layout);
    const std::string text = medium_check::FormatText(report);
    EXPECT_NE(text.find("\"description\" is 1048576 bytes long"), std::string::npos) << text;
#ifndef _WIN32
    // Only the options the menu shows, and the name on one line of the report.
    ASSERT_EQ(report.pages.size(), 1u);
    EXPECT_EQ(report.pages[0].options.size(), 1u);
    EXPECT_NE(text.find("\"new\\nline\" has a control character in its name"),
              std::string::npos)
        << text;
    for (size_t from = 0, nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1)
        EXPECT_NE(text.compare(from, 5, "line\\"), 0) << text;
#endif
}

struct TranslationCase {
    const char* name;
    std::string translation;
    std::vector<Expect> expected;
};

// The translation that ships, with `lines` added to the sections named.
std::string ShippedWith(const std::vector<std::pair<std::string, std::string>>& lines) {
    std::string text = testing_support::ReadAll(SourcePath(SHIPPED_TRANSLATION));
    for (const auto& l : lines) {
        const size_t header = text.find("[" + l.first + "]");
        if (header != std::string::npos) text.insert(text.find('\n', header) + 1, l.second);
    }
    return text;
}

std::string LongSection() {
    // 2,000 lines of 12 bytes: line 1,367 is the one the limit cuts.
    std::string text = "[french]\n";
    for (int i = 0; i < 2000; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "k%04d=value\n", i);
        text += line;
    }
    return text;
}

TEST_F(MediumCheckLayouts, TranslationFaultsAreFoundAtTheirLines) {
    const Layout medium{"", {{"QXMSETUP.INI", kRoot + "description=About\r\n"},
                             {"app\\QXMSETUP.INI", Product("App", "setup.exe")},
                             {"app\\setup.exe", "MZ"}}, {}};
    const TranslationCase cases[] = {
        {"a complete translation",
         "[english]\nFont=Arial\n[french]\nRoot=Racine\nAbout=A propos\nApp=Appli\n"
         "[spanish]\nRoot=Raiz\nAbout=Acerca\nApp=Aplicacion\n",
         {}},
        {"a section too long", LongSection(),
         {{N, "language-not-covered", "translat.ini", 1},
          {E, "section-too-long", "translat.ini", 1367}}},
        {"a long face name",
         "[english]\nFont=" + std::string(40, 'F') + "\n",
         {{W, "font-too-long", "translat.ini", 2}}},
        {"a line without =", "[english]\nFont=Arial\nno equals here\n",
         {{W, "line-without-equals", "translat.ini", 3}}},
        {"texts one language lacks",
         "[english]\nFont=Arial\n[french]\nRoot=Racine\nApp=Appli\n[spanish]\nApp=Aplicacion\n",
         {{W, "translation-missing", "QXMSETUP.INI", 2}}},
        {"[english] counts once it translates descriptors",
         "[english]\nApp=The App\n[french]\nApp=Appli\nRoot=Racine\n",
         {{W, "translation-missing", "QXMSETUP.INI", 2}}},
        {"languages that translate none of the medium's texts",
         "[english]\nFont=Arial\n[french]\nRoot=Racine\nApp=Appli\n[arabic]\nFont=Tahoma\n",
         {{N, "language-not-covered", "translat.ini", 6}}},
        {"the shipped translation with two languages of the medium's own",
         ShippedWith({{"french", "Root=Racine\nAbout=A propos\nApp=Appli\n"},
                      {"russian", "Root=\xCA\xEE\xF0\xE5\xED\xFC\n"}}),
         {{W, "translation-missing", "QXMSETUP.INI", 3},
          {W, "translation-missing", "app\\QXMSETUP.INI", 2},
          {N, "language-not-covered", "translat.ini", 9},
          {N, "language-not-covered", "translat.ini", 17},
          {N, "language-not-covered", "translat.ini", 35},
          {N, "language-not-covered", "translat.ini", 43},
          {N, "language-not-covered", "translat.ini", 51},
          {N, "language-not-covered", "translat.ini", 66},
          {N, "language-not-covered", "translat.ini", 73},
          {N, "language-not-covered", "translat.ini", 81}}},
        {"a caption renamed in some languages",
         "[english]\nVantrell Installation Wizard=Acme Setup\n[french]\nRoot=Racine\nAbout=A\n"
         "App=Appli\n[spanish]\nVantrell Installation Wizard=Asistente de instalaci\xF3n de "
         "Vantrell\nRoot=Raiz\nAbout=Acerca\nApp=Aplicacion\n",
         {{W, "caption-not-renamed", "translat.ini", 7}}},
        {"sections never read",
         "stray=line\n[english]\nFont=Arial\n[german]\nRoot=Wurzel\n[English]\nFont=Tahoma\n",
         {{W, "section-never-read", "translat.ini", 1},
          {W, "section-never-read", "translat.ini", 4},
          {W, "section-never-read", "translat.ini", 6}}},
    };
    for (const TranslationCase& c : cases)
        ExpectFindings(CheckLayout(medium, c.translation), c.expected, c.name);
}

struct RunCase {
    std::vector<std::string> args;  // "MEDIUM" stands for a medium folder
    int status;
    const char* output;  // a text the output (or the error) holds
};

TEST_F(MediumCheckLayouts, CommandLineAndExitStatus) {
    TempDir clean, broken, asking;
    clean.Write("QXMSETUP.INI", kRoot);
    clean.Write("app\\QXMSETUP.INI", Product("App", "setup.exe"));
    clean.Write("app\\setup.exe", "MZ");
    broken.Write("QXMSETUP.INI", kRoot);
    broken.Write("app\\QXMSETUP.INI", Product("App", "missing.exe"));
    const std::string good = clean.Path(), bad = broken.Path();
    TempDir withThai;
    withThai.Write("QXMSETUP.INI", kRoot);
    withThai.Write("translat.ini", "[english]\nFont=Arial\n[thai]\nFont=Tahoma\n");
    const std::string noted = withThai.Path();
    asking.Write("QXMSETUP.INI", kRoot);
    for (const char* shape : {"none", "asInvoker", "requireAdministrator", "highestAvailable"}) {
        asking.Write(std::string(shape) + "\\QXMSETUP.INI", Product(shape, "setup.exe"));
        asking.Write(std::string(shape) + "\\setup.exe", Program(shape));
    }
    const std::string admin = asking.Path();
    // Texts of the medium that would be commands to a terminal.
    TempDir hostile;
    hostile.Write("QXMSETUP.INI", kRoot);
    hostile.Write("app\\QXMSETUP.INI",
                  Product("App", "setup.exe",
                          "description=\x1b[2J\x1b[HFindings: 0 errors\r\nicon=\x1b[5m\r\n"));
    hostile.Write("app\\setup.exe", "MZ");
    hostile.Write("translat.ini", "[english]\r\nFont=\x1b]0;x\x07" "Arial\r\n"
                                  "Vantrell Installation Wizard=\x1b[2JOwn\r\n");
    const std::string escapes = hostile.Path();
    TempDir odd;
    odd.Write("m\\QXMSETUP.INI", kRoot);
    odd.Write("m\\app\\QXMSETUP.INI", Product("App", "setup.exe"));
    odd.Write("m\\app\\setup.exe", "MZ");
    std::string deep = "t";
#ifndef _WIN32
    // A folder whose name holds a backslash, named as this machine names it.
    const std::string moved = platform::NativePath(odd.Path()) + "/x\\y";
    EXPECT_EQ(std::rename(platform::NativePath(odd / "m").c_str(), moved.c_str()), 0);
    // A translation 300 bytes deep on this machine.
    for (int i = 0; i < 30; ++i) deep += "\\a-folder-" + std::to_string(i);
#else
    const std::string moved = odd / "m";
#endif
    odd.Write(deep + "\\translat.ini", "[english]\r\nFont=Tahoma\r\n");
    const std::string deepIni = odd / (deep + "\\translat.ini");

    const RunCase cases[] = {
        {{moved}, 0, "Findings: 0 errors, 0 warnings"},
        {{escapes}, 0, "       | \\x1b[2J\\x1b[HFindings: 0 errors\n"},
        {{escapes}, 0, "font \"\\x1b]0;x\\x07Arial\""},
        {{escapes}, 0, "Caption      \\x1b[2JOwn\n"},
        {{moved, "--as", "\\\\server\\share"}, 0, "click: starts \\\\server\\share\\app\\setup.exe"},
        {{moved, "--as", "/media/cd"}, 2, "--as needs the medium's root in Windows form"},
        {{bad}, 1, "missing.exe does not exist"},
        {{bad}, 1, "Findings: 1 error, 0 warnings\n  error    file-missing  app\\QXMSETUP.INI:3: "},
        {{noted}, 0, "Findings: 0 errors, 0 warnings, 1 note\n  note     language-not-covered  "
                     "translat.ini:3: [thai] translates none"},
        {{good, "--json"}, 0, "\"errors\": 0"},
        {{good, "--language", "japanese"}, 0, "Language     japanese (character set 128)"},
        {{good, "--language=RUSSIAN"}, 0, "Language     russian (character set 204)"},
        {{good, "--locale", "0x0804"}, 0, "Language     chinese (character set 134)"},
        {{good, "--locale", "1028"}, 0, "Language     english (character set 0)"},
        {{good, "--as", "E:"}, 0, "click: starts E:\\app\\setup.exe"},
        {{admin, "--as", "D:"}, 0, "starts D:\\none\\setup.exe\n"},
        {{admin, "--as", "D:"}, 0, "starts D:\\asInvoker\\setup.exe\n"},
        {{admin, "--as", "D:"}, 0,
         "D:\\requireAdministrator\\setup.exe; Windows asks for administrator rights first\n"},
        {{admin, "--as", "D:"}, 0,
         "starts D:\\highestAvailable\\setup.exe; Windows asks an administrator's consent first\n"},
        {{admin, "--as", "D:", "--json"}, 0,
         "\\\\requireAdministrator\\\\setup.exe\", \"destination\": null, "
         "\"elevation\": \"requireAdministrator\""},
        {{"--help"}, 0, "usage: medium-check"},
        {{"/?"}, 0, "usage: medium-check"},
        {{good, "--as=E:"}, 0, "click: starts E:\\app\\setup.exe"},
        {{good, "--bogus", "--help"}, 2, "unknown option --bogus"},
        {{}, 2, "which medium folder?"},
        {{good, "--bogus"}, 2, "unknown option --bogus"},
        {{good, good}, 2, "one medium folder at a time"},
        {{good, "--language", "klingon"}, 2, "no language klingon"},
        {{good, "--language", "french", "--locale", "0x40c"}, 2, "not both"},
        {{good, "--locale", "12z"}, 2, "not a locale number"},
        {{good, "--translation", deepIni}, 0, "font \"Tahoma\""},
        {{good, "--translation"}, 2, "--translation needs a value"},
        {{good, "--translation", good + "\\none.ini"}, 2, "no translation file"},
        {{good, "--translation", good + "\\app"}, 2, "no translation file"},
        {{good + "\\nowhere"}, 2, "no folder"},
    };
    for (const RunCase& c : cases) {
        std::string out, err, label;
        for (const std::string& a : c.args) label += a + " ";
        const int status = medium_check::Run(c.args, out, err);
        EXPECT_EQ(status, c.status) << label << "\n" << out << err;
        EXPECT_NE((out + err).find(c.output), std::string::npos) << label << "\n" << out << err;
    }
}

TEST_F(MediumCheckLayouts, JsonHasAStableShape) {
    if (platform::CodePage::System().Number() != 1252) GTEST_SKIP() << "needs code page 1252";
    TempDir dir;
    dir.Write("QXMSETUP.INI", "[common]\r\nname=Caf\xE9\r\n");
    dir.Write("app\\QXMSETUP.INI", Product("App", "https://example.com/\"x\"/setup.exe"));
    Settings settings;
    settings.medium = dir.Path();
    settings.shownAs = "D:";
    const std::string json = medium_check::FormatJson(medium_check::Check(settings));
    const char expected[] = R"json({
  "medium": "D:\\",
  "language": "english",
  "languageFound": false,
  "charSet": 0,
  "font": "Arial",
  "translation": "translat.ini",
  "translationFound": false,
  "sections": [],
  "languages": ["english"],
  "caption": "Vantrell Installation Wizard",
  "hint": "Choose an option by clicking on it",
  "pages": [
    {"page": 1, "title": "Café", "descriptor": "QXMSETUP.INI", "parent": null, "parentSlot": null, "titleDescription": "Café",
     "options": [
      {"slot": 1, "title": "App", "bullet": "globe", "description": "\n(https://example.com/\"x\"/setup.exe)", "descriptor": "app\\QXMSETUP.INI", "action": "download", "target": "https://example.com/\"x\"/setup.exe", "destination": "%TEMP%\\setup.exe", "elevation": null, "page": null}
     ]}
  ],
  "findings": [
    {"severity": "warning", "code": "address-download", "file": "app\\QXMSETUP.INI", "line": 3, "message": "downloads https://example.com/\"x\"/setup.exe to %TEMP%\\setup.exe and starts it"},
    {"severity": "warning", "code": "download-unpinned", "file": "app\\QXMSETUP.INI", "line": 3, "message": "downloads without \"sha256\": the menu cannot tell whether what arrives is the program this medium was made with; add sha256= with what sha256sum prints for it"}
  ],
  "errors": 0,
  "warnings": 2,
  "notes": 0
}
)json";
    EXPECT_EQ(json, expected);
}

// A program cut short, or with any word of it damaged, is read without
// fault, and only its own manifest can make it ask for more rights.
TEST(MediumCheckSeams, DamagedProgramsAreReadSafely) {
    using medium_check::Elevation;
    const std::string program = Program("requireAdministrator");
    const auto elevation = [](const std::string& bytes) {
        const medium_check::ReadAt read = [&](std::uint64_t at, size_t n, char* out) {
            if (at > bytes.size() || n > bytes.size() - at) return false;
            std::copy_n(bytes.data() + at, n, out);
            return true;
        };
        std::string manifest;
        return medium_check::ProgramManifest(read, manifest)
                   ? medium_check::ManifestElevation(manifest)
                   : Elevation::None;
    };
    ASSERT_EQ(elevation(program), Elevation::Administrator);
    for (size_t n = 0; n < program.size(); n += 16)
        EXPECT_NE(elevation(program.substr(0, n)), Elevation::Highest) << n;
    // The headers, and the resource directory that leads to the manifest.
    const size_t text = program.find("<?xml");
    ASSERT_GT(text, 1024u + 256u);
    for (size_t at = 0; at < text + 32; at = at == 1024 ? text - 256 : at + 4)
        for (const char* word : {"\xFF\xFF\xFF\xFF", "\xF0\xFF\xFF\x7F", "\x00\x00\x00\x80"}) {
            std::string damaged = program;
            damaged.replace(at, 4, word, 4);
            EXPECT_NE(elevation(damaged), Elevation::Highest) << at;
        }
}

TEST(MediumCheckSeams, FullPathAndUtf8) {
    TempDir dir;
    dir.MakeDir("b");
    EXPECT_EQ(platform::FullPath(dir / "a\\..\\b\\"), dir / "b");
    EXPECT_EQ(platform::FullPath(dir / ".\\b"), dir / "b");
    EXPECT_EQ(platform::FullPath(""), "");
    if (platform::CodePage::System().Number() == 1252) {
        EXPECT_EQ(platform::AnsiToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
        EXPECT_EQ(platform::AnsiToUtf8("plain"), "plain");
    }
}

}  // namespace
