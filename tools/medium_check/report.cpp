// The report as text for people and as JSON for scripts.
#include "tools/medium_check/check_internal.h"

#include "platform/system.h"
#include "platform/tool_text.h"
#include "tools/medium_common/text.h"

namespace medium_check {
namespace {

using medium_common::SeverityName;

const char* ActionName(Action a) {
    switch (a) {
        case Action::Page: return "page";
        case Action::Program: return "program";
        case Action::Shell: return "shell";
        case Action::Download: return "download";
    }
    return "";
}

// A one-line text with its control characters written out, so that a text
// of the medium cannot break the report's layout, nor reach the terminal
// as a command (an escape sequence).
std::string Printable(const std::string& text) {
    return medium_common::Escaped(text, medium_common::Escape::Line);
}

// Each line of `text` after `indent`, written out as Printable does.
std::string Indented(const std::string& text, const std::string& indent) {
    std::string out;
    size_t from = 0;
    for (;;) {
        const size_t nl = text.find('\n', from);
        const std::string line =
            text.substr(from, nl == std::string::npos ? std::string::npos : nl - from);
        std::string lead = indent;
        if (line.empty()) lead.erase(lead.find_last_not_of(' ') + 1);
        out += lead + Printable(line) + "\n";
        if (nl == std::string::npos) break;
        from = nl + 1;
    }
    return out;
}

std::string Click(const Option& o, const std::vector<Page>& pages) {
    switch (o.action) {
        case Action::Page: {
            const Page& target = pages[static_cast<size_t>(o.page - 1)];
            return "opens page " + std::to_string(o.page) +
                   (target.options.empty() ? ", which has no options" : "");
        }
        case Action::Program: {
            const char* asks = o.elevation == Elevation::Administrator
                                   ? "; Windows asks for administrator rights first"
                               : o.elevation == Elevation::Highest
                                   ? "; Windows asks an administrator's consent first"
                                   : "";
            return "starts " + Printable(o.target) + asks;
        }
        case Action::Shell: return "opens " + Printable(o.target) + " in the browser";
        case Action::Download:
            return "downloads " + Printable(o.target) + " to " + Printable(o.destination) +
                   ", then starts it";
    }
    return "";
}

// JSON strings are UTF-8; the report's texts are in its code page. Each is
// converted before it is escaped: in a double-byte code page the second byte
// of a character may look like a backslash.
std::string JsonString(const std::string& ansi, unsigned codePage) {
    return medium_common::JsonText(platform::AnsiToUtf8(ansi, codePage));
}

std::string JsonNumberOrNull(int n) { return n ? std::to_string(n) : "null"; }

}  // namespace

std::string FormatText(const Report& r) {
    std::string out;
    out += "Medium       " + Printable(r.medium) + "\n";
    out += "Language     " + Printable(r.language) + " (character set " +
           std::to_string(r.charSet) + "), font \"" + Printable(r.font) + "\"\n";
    out += "Translation  " + Printable(r.translation);
    if (!r.translationFound) {
        out += " (none: English texts)";
    } else {
        std::string list;
        for (const std::string& s : r.sections)
            list += (list.empty() ? "" : ", ") + Printable(s);
        out += " (" + (list.empty() ? std::string("no language sections") : list) + ")";
        if (!r.languageFound) {
            bool english = false;
            for (const std::string& s : r.sections) english = english || s == "english";
            out += "; no [" + Printable(r.language) + "]: " +
                   (english ? "the menu reads [english]" : "English texts");
        }
    }
    out += "\nCaption      " + Printable(r.caption) + "\n";
    out += "Hint         " + Printable(r.hint) + "\n";

    for (const Page& p : r.pages) {
        out += "\nPage " + std::to_string(p.number) + ": " + Printable(p.title) + "   (" +
               Printable(p.descriptor) + ")\n";
        if (p.parent)
            out += "  title: folder with an upward arrow; option " + std::to_string(p.parentSlot) +
                   " of page " + std::to_string(p.parent) + ", and a click goes back there\n";
        else
            out += "  title: no bullet\n";
        out += Indented(p.titleDescription, "       | ");
        for (const Option& o : p.options) {
            out += "  " + std::to_string(o.slot) + ". [" + Printable(o.bullet) + "] " +
                   Printable(o.title) +
                   "   (" + Printable(o.descriptor) + ")\n";
            out += Indented(o.description, "       | ");
            out += "       click: " + Click(o, r.pages) + "\n";
        }
        if (p.options.empty()) out += "  (no options)\n";
    }

    out += "\nFindings: " + medium_common::Tally(r.findings) + "\n";
    out += FindingLines(r.findings);
    return platform::AnsiToUtf8(out, r.codePage);
}

std::string FindingLines(const std::vector<Finding>& findings) {
    std::string out;
    for (const Finding& f : findings) out += medium_common::FindingLine(f);
    return out;
}

std::string FormatJson(const Report& r) {
    const auto Json = [&](const std::string& text) { return JsonString(text, r.codePage); };
    std::string out = "{\n";
    out += "  \"medium\": " + Json(r.medium) + ",\n";
    out += "  \"language\": " + Json(r.language) + ",\n";
    out += "  \"languageFound\": " + std::string(r.languageFound ? "true" : "false") + ",\n";
    out += "  \"charSet\": " + std::to_string(r.charSet) + ",\n";
    out += "  \"font\": " + Json(r.font) + ",\n";
    out += "  \"translation\": " + Json(r.translation) + ",\n";
    out += "  \"translationFound\": " + std::string(r.translationFound ? "true" : "false") + ",\n";
    out += "  \"sections\": [";
    for (size_t i = 0; i < r.sections.size(); ++i) out += (i ? ", " : "") + Json(r.sections[i]);
    out += "],\n";
    out += "  \"languages\": [";
    for (size_t i = 0; i < r.languages.size(); ++i) out += (i ? ", " : "") + Json(r.languages[i]);
    out += "],\n";
    out += "  \"caption\": " + Json(r.caption) + ",\n";
    out += "  \"hint\": " + Json(r.hint) + ",\n";
    out += "  \"pages\": [";
    for (size_t i = 0; i < r.pages.size(); ++i) {
        const Page& p = r.pages[i];
        out += i ? ",\n" : "\n";
        out += "    {\"page\": " + std::to_string(p.number) + ", \"title\": " + Json(p.title) +
               ", \"descriptor\": " + Json(p.descriptor) +
               ", \"parent\": " + JsonNumberOrNull(p.parent) +
               ", \"parentSlot\": " + JsonNumberOrNull(p.parentSlot) +
               ", \"titleDescription\": " + Json(p.titleDescription) + ",\n     \"options\": [";
        for (size_t k = 0; k < p.options.size(); ++k) {
            const Option& o = p.options[k];
            out += k ? ",\n" : "\n";
            out += "      {\"slot\": " + std::to_string(o.slot) + ", \"title\": " + Json(o.title) +
                   ", \"bullet\": " + Json(o.bullet) + ", \"description\": " + Json(o.description) +
                   ", \"descriptor\": " + Json(o.descriptor) + ", \"action\": \"" +
                   ActionName(o.action) + "\", \"target\": " +
                   (o.action == Action::Page ? "null" : Json(o.target)) +
                   ", \"destination\": " +
                   (o.action == Action::Download ? Json(o.destination) : "null") +
                   ", \"elevation\": " +
                   (*ElevationLevel(o.elevation) ? Json(ElevationLevel(o.elevation)) : "null") +
                   ", \"page\": " + JsonNumberOrNull(o.page) + "}";
        }
        out += p.options.empty() ? "]}" : "\n     ]}";
    }
    out += r.pages.empty() ? "],\n" : "\n  ],\n";
    out += "  \"findings\": [";
    for (size_t i = 0; i < r.findings.size(); ++i) {
        const Finding& f = r.findings[i];
        out += i ? ",\n" : "\n";
        out += std::string("    {\"severity\": \"") + SeverityName(f.severity) +
               "\", \"code\": \"" + f.code + "\", \"file\": " + Json(f.file) +
               ", \"line\": " + JsonNumberOrNull(static_cast<int>(f.line)) +
               ", \"message\": " + Json(f.message) + "}";
    }
    out += r.findings.empty() ? "],\n" : "\n  ],\n";
    out += "  \"errors\": " + std::to_string(r.Count(Severity::Error)) + ",\n";
    out += "  \"warnings\": " + std::to_string(r.Count(Severity::Warning)) + ",\n";
    out += "  \"notes\": " + std::to_string(r.Count(Severity::Note)) + "\n}\n";
    return out;
}

}  // namespace medium_check
