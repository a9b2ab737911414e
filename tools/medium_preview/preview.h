// medium-preview's host side: what the walker recorded in the menu window,
// the findings only the drawn pages show, and the contact sheet and JSON
// that put them beside the checker's report.
#pragma once

#include "tools/medium_check/check.h"

#include <string>
#include <vector>

namespace medium_preview {

// One control of the menu window as the probe measured it in its own font.
struct Control {
    int id = 0;
    bool visible = false;
    int textWidth = 0;     // the text on one line, in pixels
    int clientWidth = 0;
    int linesNeeded = 0;   // wrapped at the control's width
    int linesShown = 0;    // that fit its height
    int missing = 0;       // characters the face has no glyph for
    std::string face;      // the face in use (UTF-8)
    std::string text;      // UTF-8
};

// One picture: a page, plain (slot 0) or with option `slot` hovered.
struct Shot {
    std::string picture;   // file name in the run's folder
    int page = 0;
    int slot = 0;
    std::vector<Control> controls;
    const Control* Find(int id) const;
};

struct WalkError {
    int page = 0;
    std::string message;
};

struct Walk {
    std::vector<Shot> shots;
    std::vector<WalkError> errors;
    // How the walker ended, which medium-preview adds to walk.txt: its exit
    // status (empty when not recorded) and what it wrote to its error output.
    std::string exitStatus;
    std::string exitReason;
    std::vector<std::string> splash;  // the medium's own splash pictures, as shown
};

// walk.txt as the walker writes it and medium-preview completes it.
Walk ParseWalk(const std::string& text);

// A finding in UTF-8, with the page it belongs to (0: the whole run).
struct PageFinding {
    int page = 0;
    medium_check::Finding finding;
};

// One program run: a language at a display scale.
struct LanguageRun {
    std::string language;
    int scale = 100;
    std::string folder;    // relative to the output folder
    medium_check::Report report;
    Walk walk;
    std::vector<PageFinding> findings;  // the checker's, then the pictures'
    size_t checkerFindings = 0;         // how many of them are the checker's
};

// What the pictures of a run show that the checker cannot know: texts
// wider than their line, descriptions longer than the description line,
// characters the face lacks, pages other than the checker's, and what the
// walk could not do: a walker that failed, a page of `report` without its
// picture (both preview-failed). Texts of `report` are in its code page.
std::vector<PageFinding> PictureFindings(const Walk& walk, const medium_check::Report& report,
                                         const std::string& language, int scale);

// Whether missing glyphs are this machine's doing: the face that drew the
// texts (`drawn`) is not the one the translation asks for (`requested`), so
// this machine lacks that face. glyphs-missing is then a warning about the
// machine; else the medium's font lacks the characters, an error.
bool FaceMissingHere(const std::string& requested, const std::string& drawn);

// The checker's findings of `report` in UTF-8, each on the page of `pages`
// that shows the descriptor it names (0 for the others).
std::vector<PageFinding> CheckerFindings(const medium_check::Report& report,
                                         const medium_check::Report& pages);

// `program` names the wizard.exe the pictures are of, and its build.
std::string IndexHtml(const std::string& medium, const std::vector<LanguageRun>& runs,
                      const std::string& program = "");
std::string Json(const std::string& medium, const std::string& output,
                 const std::vector<LanguageRun>& runs, const std::string& program = "");
std::string Text(const std::string& medium, const std::string& output,
                 const std::vector<LanguageRun>& runs, const std::string& program = "");

// The code of the findings of a walk that failed.
const char kWalkFailed[] = "preview-failed";

// How many findings of that severity the runs have.
int CountFindings(const std::vector<LanguageRun>& runs, medium_check::Severity severity);

// `line` cut at each `sep`.
std::vector<std::string> Split(const std::string& line, char sep);

// The locale name a Wine process needs for a language section; empty for
// a name the menu does not know.
std::string UnixLocale(const std::string& language);

// The user's command line of medium-preview (without the program's name):
// the usage for --help, else the walks to make, for tools/medium-preview to
// run under Wine, one line each, tab-separated: "medium PATH" (absolute),
// "shown MEDIUM" (as given), "out PATH",
// "dist DIR" (empty: the build's), "prefix DIR" (absolute; empty: the
// user's cache folder), "json --json" (or empty), then
// "run LANGUAGE SCALE FOLDER" for each language at each scale. Exit status 2
// for bad usage, with the reason in `err`.
int Run(const std::vector<std::string>& args, std::string& out, std::string& err);

// The steps of tools/medium-preview: `start ARGUMENTS` (Run),
// `languages MEDIUM`, `plan MEDIUM LANGUAGE FILE`, or
// `index MEDIUM OUT [--medium ORIGINAL] [--json] [--program TEXT]
// LANGUAGE:SCALE:FOLDER...`.
// The index's status is 2 when a walk failed (preview-failed), else 1 with
// errors and 0 without.
int Main(const std::vector<std::string>& args, std::string& out, std::string& err);

}  // namespace medium_preview
