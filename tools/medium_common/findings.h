// What the authors' tools find wrong with a medium: the checker's findings,
// medium-pack's and medium-preview's alike, and how their text reports
// write them.
#pragma once

#include <string>
#include <vector>

namespace medium_common {

// Errors are mistakes the user will meet; warnings what the author should
// know and may intend; notes information alone, which no exit status and no
// count of warnings includes.
enum class Severity { Error, Warning, Note };

struct Finding {
    Severity severity;
    std::string code;     // the kind of finding, a fixed name for scripts
    std::string file;     // the file it comes from, relative to the medium
    unsigned line;        // its line in that file; 0 when it concerns no line
    std::string message;
};

// "error", "warning" or "note", as the reports and the JSON name them.
const char* SeverityName(Severity severity);

// One finding as every text report lists it, its line break included:
// "  warning  translation-missing  QXMSETUP.INI:2: name ..." (no file: the
// message follows the code). The file and the message are written out as
// Escape::Line does, so that neither can break the report's layout.
std::string FindingLine(const Finding& finding);

// How many findings of each severity: "1 error, 2 warnings", and ", 3 notes"
// when there are notes.
std::string Tally(size_t errors, size_t warnings, size_t notes);
std::string Tally(const std::vector<Finding>& findings);

}  // namespace medium_common
