// The finding line and the counts of the tools' text reports.
#include "tools/medium_common/findings.h"

#include "tools/medium_common/text.h"

namespace medium_common {

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Error: return "error";
        case Severity::Warning: return "warning";
        case Severity::Note: return "note";
    }
    return "";
}

std::string FindingLine(const Finding& f) {
    std::string severity = SeverityName(f.severity);
    severity.resize(9, ' ');  // the longest, "warning", and two blanks
    std::string where = Escaped(f.file, Escape::Line);
    if (f.line) where += ":" + std::to_string(f.line);
    return "  " + severity + f.code + "  " + (where.empty() ? "" : where + ": ") +
           Escaped(f.message, Escape::Line) + "\n";
}

std::string Tally(size_t errors, size_t warnings, size_t notes) {
    return Counted(errors, "error", "errors") + ", " + Counted(warnings, "warning", "warnings") +
           (notes ? ", " + Counted(notes, "note", "notes") : "");
}

std::string Tally(const std::vector<Finding>& findings) {
    size_t n[3] = {0, 0, 0};
    for (const Finding& f : findings) ++n[static_cast<int>(f.severity)];
    return Tally(n[0], n[1], n[2]);
}

}  // namespace medium_common
