// The medium checker: scans a medium exactly as the menu program does, with
// the same catalog and translation code, and tells its author what the menu
// will show, page by page, and what is wrong with it.
#pragma once

#include "platform/wintypes.h"
#include "tools/medium_check/manifest.h"
#include "tools/medium_common/findings.h"

#include <string>
#include <vector>

namespace medium_check {

using medium_common::Finding;
using medium_common::Severity;

enum class Action { Page, Program, Shell, Download };

struct Option {
    int slot = 0;               // 1 to 7
    std::string title;
    std::string bullet;         // an icon key ("BOOK"), or the icon the
                                // command gives: "folder", "globe", "compact disc"
    std::string description;    // the description line, "\n" between its lines
    std::string descriptor;
    Action action = Action::Page;
    std::string target;         // the program or the address
    std::string destination;    // a download: where the file is written
    Elevation elevation = Elevation::None;  // a program: what its manifest asks for
    int page = 0;               // a sub-menu: the page it opens
};

struct Page {
    int number = 0;
    std::string title;
    std::string descriptor;
    int parent = 0;             // 0 for the first page
    int parentSlot = 0;
    std::string titleDescription;  // what pointing at the title shows
    std::vector<Option> options;
};

struct Settings {
    std::string medium;       // absolute, Windows form
    std::string folder;       // the same folder in the host's own form; empty: that of `medium`
    // The medium's root on the disc ("D:", "E:\\setup"): where the menu
    // finds it, so paths are checked against Windows' limits as they will be
    // there, and how the report shows them. Empty: checked as "D:" and shown
    // as `medium`.
    std::string shownAs;
    LCID locale = 0x0409;
    std::string translation;  // the translation file; empty: the medium's translat.ini
};

struct Report {
    std::string medium;            // as shown
    std::string language;          // the section the menu reads
    bool languageFound = false;    // that section is in the translation file
    int charSet = 0;
    // The code page the menu's texts are drawn in: the one of the font's
    // character set, or 0 for the system's ANSI code page.
    unsigned codePage = 0;
    std::string font;
    std::string translation;       // the file, as shown
    bool translationFound = false;
    std::vector<std::string> sections;  // the language sections the file has
    // The medium's languages: english, then each section that translates
    // one of the medium's names, versions or descriptions, or its caption.
    std::vector<std::string> languages = {"english"};
    std::string caption;
    std::string hint;
    std::vector<Page> pages;
    std::vector<Finding> findings;

    int Count(Severity severity) const;
};

Report Check(const Settings& settings);

// The medium's languages (Report::languages), each section of the
// translation file as well with `every`: english first, then in the order of
// the language table.
std::vector<std::string> MediumLanguages(const Settings& settings, bool every = false);

// A folder that can be read (a drive root too).
bool IsFolder(const std::string& path);

// Sets `medium` and `folder` to the medium folder a user typed, as this
// machine names it (platform::HostFolder: its path has only this machine's
// limits, and may hold a backslash); false when there is no such folder.
bool SetMediumFolder(Settings& settings, const std::string& typed);

// Whether `root` can be a medium's root on the disc, as --as gives it: a
// drive ("D:", "D:\\", "D:\\setup") or a folder of another computer
// ("\\\\server\\share").
bool IsDiscRoot(const std::string& root);

// Both in UTF-8, converted from the report's code page.
std::string FormatText(const Report& report);
std::string FormatJson(const Report& report);
// The findings as the text report lists them, one a line, in the bytes
// they are in.
std::string FindingLines(const std::vector<Finding>& findings);

// The whole program: arguments (without the program's name) in, what to
// print to standard output and standard error out, and the exit status:
// 0 without errors, 1 with errors, 2 for bad usage.
int Run(const std::vector<std::string>& args, std::string& out, std::string& err);

}  // namespace medium_check
