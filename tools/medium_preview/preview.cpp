// The host side of medium-preview.
#include "tools/medium_preview/preview.h"

#include "localisation/languages.h"
#include "menu/menu_logic.h"
#include "platform/system.h"
#include "platform/tool_text.h"
#include "tools/medium_common/text.h"
#include "resources/resource.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace medium_preview {

using medium_check::Finding;
using medium_check::Report;
using medium_check::Severity;

namespace {

// What a walk that could not do its work is reported as.

// The control of the option in slot `slot` (1 to 7).
int OptionId(int slot) { return menu::kSlotControls[slot - 1].option; }


int Number(const std::string& text) { return std::atoi(text.c_str()); }

// A text of the window in quotes, on one line.
std::string Quoted(const std::string& text) { return medium_common::Quote(text, SIZE_MAX, true); }

std::string Tag(const std::string& language, int scale) {
    return language + ", " + std::to_string(scale) + " %";
}

const medium_check::Page* PageOf(const Report& report, int number) {
    if (number < 1 || static_cast<size_t>(number) > report.pages.size()) return nullptr;
    return &report.pages[static_cast<size_t>(number - 1)];
}

// The checker's option that the window showed with `text` (UTF-8) in `slot`:
// by its title, as the menu may order options of equal priority otherwise
// than the checker's system lists the folders; failing that, by the slot.
const medium_check::Option* OptionOf(const Report& report, const medium_check::Page* page,
                                     int slot, const std::string& text) {
    if (!page) return nullptr;
    for (const medium_check::Option& o : page->options)
        if (platform::AnsiToUtf8(o.title, report.codePage) == text) return &o;
    for (const medium_check::Option& o : page->options)
        if (o.slot == slot) return &o;
    return nullptr;
}

std::string TextOf(const Shot& shot, int id) {
    const Control* c = shot.Find(id);
    return c ? c->text : std::string();
}

std::string Html(const std::string& text) {
    return medium_common::Escaped(text, medium_common::Escape::Html);
}

using medium_common::SeverityName;


std::string Anchor(const LanguageRun& run) { return run.language + "-" + std::to_string(run.scale); }

std::string Where(const Finding& f) {
    return f.line ? f.file + ":" + std::to_string(f.line) : f.file;
}

}  // namespace

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = line.find(sep, from);
        parts.push_back(line.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

int CountFindings(const std::vector<LanguageRun>& runs, Severity severity) {
    int n = 0;
    for (const LanguageRun& run : runs)
        for (const PageFinding& f : run.findings) n += f.finding.severity == severity;
    return n;
}

const Control* Shot::Find(int id) const {
    for (const Control& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

Walk ParseWalk(const std::string& text) {
    Walk walk;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> f = Split(line, '\t');
        if (f[0] == "shot" && f.size() == 4) {
            Shot shot;
            // medium-preview turns every bitmap the walker saves into PNG.
            shot.picture = f[1];
            const size_t dot = shot.picture.rfind(".bmp");
            if (dot != std::string::npos && dot + 4 == shot.picture.size())
                shot.picture.replace(dot, 4, ".png");
            shot.page = Number(f[2]);
            shot.slot = Number(f[3]);
            walk.shots.push_back(shot);
        } else if (f[0] == "ctl" && f.size() == 10 && !walk.shots.empty()) {
            Control c;
            c.id = Number(f[1]);
            c.visible = f[2] == "1";
            c.textWidth = Number(f[3]);
            c.clientWidth = Number(f[4]);
            c.linesNeeded = Number(f[5]);
            c.linesShown = Number(f[6]);
            c.missing = Number(f[7]);
            c.face = medium_common::Unescaped(f[8]);
            c.text = medium_common::Unescaped(f[9]);
            walk.shots.back().controls.push_back(c);
        } else if (f[0] == "splash" && f.size() == 2) {
            walk.splash.push_back(f[1].substr(0, f[1].rfind('.')) + ".png");
        } else if (f[0] == "error" && f.size() >= 3) {
            walk.errors.push_back(WalkError{Number(f[1]), f[2]});
        } else if (f[0] == "exit" && f.size() >= 2) {
            walk.exitStatus = f[1];
            walk.exitReason = f.size() > 2 ? f[2] : std::string();
        }
    }
    return walk;
}

std::vector<PageFinding> PictureFindings(const Walk& walk, const Report& report,
                                         const std::string& language, int scale) {
    const auto utf8 = [&](const std::string& ansi) {
        return platform::AnsiToUtf8(ansi, report.codePage);
    };
    const std::string tag = " (" + Tag(language, scale) + ")";
    std::vector<PageFinding> out;
    const auto add = [&](int page, Severity severity, const char* code, const std::string& file,
                         const std::string& message) {
        out.push_back(PageFinding{page, Finding{severity, code, file, 0, message + tag}});
    };

    for (const WalkError& e : walk.errors)
        add(e.page, Severity::Error, kWalkFailed, "", e.message);
    // The walker's own words; one that logged its errors above and said
    // nothing more needs no second finding.
    if (!walk.exitStatus.empty() && walk.exitStatus != "0" &&
        (!walk.exitReason.empty() || walk.errors.empty()))
        add(0, Severity::Error, kWalkFailed, "",
            "the walker failed (exit status " + walk.exitStatus + ")" +
                (walk.exitReason.empty() ? ", giving no reason" : ": " + walk.exitReason));
    std::vector<std::string> unpictured;
    for (const medium_check::Page& p : report.pages) {
        bool pictured = false;
        for (const Shot& shot : walk.shots)
            pictured = pictured || (shot.page == p.number && shot.slot == 0);
        if (!pictured) unpictured.push_back(std::to_string(p.number));
    }
    if (!unpictured.empty())
        add(0, Severity::Error, kWalkFailed, "",
            std::to_string(report.pages.size() - unpictured.size()) + " of " +
                std::to_string(report.pages.size()) + " pages pictured; none of page " +
                medium_common::ListOf(unpictured, 10));

    std::set<std::string> overflowSeen, glyphsSeen;
    struct Missing {
        std::string face;
        std::vector<std::string> texts;
        int characters = 0;
    };
    std::map<int, Missing> missing;

    for (const Shot& shot : walk.shots) {
        const medium_check::Page* page = PageOf(report, shot.page);
        const std::string at = "page " + std::to_string(shot.page);
        if (shot.slot == 0) {
            // Every text of the page in its plain state.
            const Control* title = shot.Find(IDC_TITLE);
            if (title && page && title->text != utf8(page->title))
                add(shot.page, Severity::Error, "page-differs", utf8(page->descriptor),
                    at + ": the menu shows " + Quoted(title->text) + " where the checker has " +
                        Quoted(utf8(page->title)));
            if (title && title->visible && title->textWidth > title->clientWidth)
                add(shot.page, Severity::Warning, "title-clipped",
                    page ? utf8(page->descriptor) : "",
                    at + ", title: " + Quoted(title->text) + " is " +
                        std::to_string(title->textWidth) + " pixels wide, its line " +
                        std::to_string(title->clientWidth));
            // Options of equal priority come in the order the folder lists
            // them, which differs between systems and media.
            if (page) {
                std::vector<std::string> shown, listed;
                for (int slot = 1; slot <= menu::kSlots; ++slot) {
                    const Control* c = shot.Find(OptionId(slot));
                    if (c && c->visible) shown.push_back(Quoted(c->text));
                }
                for (const medium_check::Option& o : page->options)
                    listed.push_back(Quoted(utf8(o.title)));
                if (shown != listed && shown.size() == listed.size())
                    add(shot.page, Severity::Warning, "order-differs", utf8(page->descriptor),
                        at + ": the menu shows " + medium_common::ListOf(shown) +
                            "; the checker found " + medium_common::ListOf(listed) +
                            ". Options of the same priority come in the order the medium's "
                            "folder lists them; priorities make it the same on every medium");
            }
            for (int slot = 1; slot <= menu::kSlots; ++slot) {
                const Control* c = shot.Find(OptionId(slot));
                if (!c || !c->visible || c->textWidth <= c->clientWidth) continue;
                const medium_check::Option* o = OptionOf(report, page, slot, c->text);
                add(shot.page, Severity::Warning, "title-clipped", o ? utf8(o->descriptor) : "",
                    at + ", option " + std::to_string(slot) + ": " + Quoted(c->text) + " is " +
                        std::to_string(c->textWidth) + " pixels wide, its line " +
                        std::to_string(c->clientWidth));
            }
        }
        // The description line as the hovered option (or none) fills it.
        const Control* d = shot.Find(IDC_DESCRIPTION);
        if (d && d->visible && d->linesNeeded > d->linesShown &&
            overflowSeen.insert(d->text).second) {
            const medium_check::Option* o =
                shot.slot ? OptionOf(report, page, shot.slot, TextOf(shot, OptionId(shot.slot)))
                          : nullptr;
            const std::string what = shot.slot ? at + ", option " + std::to_string(shot.slot)
                                               : at + ", the hint";
            add(shot.page, Severity::Warning, "description-overflow",
                o ? utf8(o->descriptor) : utf8(report.translation),
                what + ": the description needs " + std::to_string(d->linesNeeded) +
                    " lines at its width, the description line shows " +
                    std::to_string(d->linesShown) + ": " + Quoted(d->text));
        }
        for (const Control& c : shot.controls) {
            if (!c.visible || c.missing == 0 || !glyphsSeen.insert(c.text).second) continue;
            Missing& m = missing[shot.page];
            m.face = c.face;
            m.texts.push_back(Quoted(c.text));
            m.characters += c.missing;
        }
    }
    const std::string requested = utf8(report.font);
    for (const auto& [page, m] : missing) {
        const size_t n = m.texts.size();
        const bool machine = FaceMissingHere(requested, m.face);
        add(page, machine ? Severity::Warning : Severity::Error, "glyphs-missing",
            utf8(report.translation),
            "page " + std::to_string(page) + ": " + std::to_string(n) +
                (n == 1 ? " text is" : " texts are") + " drawn in \"" + m.face +
                "\", which has no glyph for " + std::to_string(m.characters) +
                (n == 1 ? " of its characters: " : " of their characters: ") +
                m.texts.front() + (n > 1 ? " and " + std::to_string(n - 1) + " more" : "") +
                (machine ? "; this machine has no face \"" + requested +
                               "\", which the translation asks for: a fault of this machine, "
                               "not of the medium (tools/dev/setup.sh installs faces that stand "
                               "in for those Windows has for its languages)"
                         : "; the face the translation asks for lacks them: the user sees boxes"));
    }
    return out;
}

bool FaceMissingHere(const std::string& requested, const std::string& drawn) {
    // Face names are the same in any letter case; ASCII is enough for the
    // names that differ only so.
    const auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    return lower(requested) != lower(drawn);
}

std::vector<PageFinding> CheckerFindings(const Report& report, const Report& pages) {
    std::vector<PageFinding> out;
    for (const Finding& f : report.findings) {
        int page = 0;
        for (const medium_check::Page& p : pages.pages) {
            bool names = p.descriptor == f.file;
            for (const medium_check::Option& o : p.options) names = names || o.descriptor == f.file;
            if (names) {
                page = p.number;
                break;
            }
        }
        Finding utf8 = f;
        utf8.file = platform::AnsiToUtf8(f.file, report.codePage);
        utf8.message = platform::AnsiToUtf8(f.message, report.codePage);
        out.push_back(PageFinding{page, utf8});
    }
    return out;
}

std::string IndexHtml(const std::string& medium, const std::vector<LanguageRun>& runs,
                      const std::string& program) {
    size_t pictures = 0;
    for (const LanguageRun& run : runs) pictures += run.walk.shots.size();
    std::string out =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>Preview of " +
        Html(medium) +
        "</title>\n<style>\n"
        "body { font-family: sans-serif; margin: 1em 2em; overflow-wrap: anywhere; }\n"
        ".page { border-top: 1px solid #ccc; padding: .5em 0 1em; }\n"
        // The page as it is, the findings beside it while there is room.
        ".row { display: flex; flex-wrap: wrap; gap: 1.5em; align-items: flex-start; }\n"
        ".row > div { flex: 1 1 22em; min-width: 0; }\n"
        "img { max-width: 100%; height: auto; }\n"
        // Hovered pages two abreast in a window 1,400 pixels wide: a page at
        // 100 % at its own size, a larger scale made smaller to fit.
        ".hovers { display: grid; gap: .8em; margin-top: .8em;\n"
        "  grid-template-columns: repeat(auto-fill, minmax(min(100%, 560px), 1fr)); }\n"
        ".hovers img { display: block; }\n"
        ".splash { display: flex; flex-wrap: wrap; gap: .8em; }\n"
        "figure { margin: 0; } figcaption { font-size: 85%; color: #444; }\n"
        ".error { color: #a00; } .warning { color: #850; } .note { color: #555; }\n"
        "code { background: #f3f3f3; }\n"
        "</style></head><body>\n<h1>Preview of " + Html(medium) + "</h1>\n" +
        (program.empty() ? "" : "<p>Program: " + Html(program) + "</p>\n") + "<p>" +
        std::to_string(pictures) + " pictures; " +
        medium_common::Tally(static_cast<size_t>(CountFindings(runs, Severity::Error)),
                             static_cast<size_t>(CountFindings(runs, Severity::Warning)),
                             static_cast<size_t>(CountFindings(runs, Severity::Note))) +
        ".";
    for (const LanguageRun& run : runs)
        out += " <a href=\"#" + Anchor(run) + "\">" + Html(Tag(run.language, run.scale)) + "</a>";
    out += "</p>\n";

    const auto list = [](const std::vector<const PageFinding*>& findings) {
        if (findings.empty()) return std::string("<p>No findings.</p>\n");
        std::string ul = "<ul class=\"findings\">\n";
        for (const PageFinding* f : findings)
            ul += "<li class=\"" + std::string(SeverityName(f->finding.severity)) + "\">" +
                  SeverityName(f->finding.severity) + " <code>" + Html(f->finding.code) +
                  "</code> " + (f->finding.file.empty() ? "" : Html(Where(f->finding)) + ": ") +
                  Html(f->finding.message) + "</li>\n";
        return ul + "</ul>\n";
    };

    for (const LanguageRun& run : runs) {
        out += "<section id=\"" + Anchor(run) + "\">\n<h2>" + Html(Tag(run.language, run.scale)) +
               "</h2>\n";
        std::vector<const PageFinding*> general;
        for (const PageFinding& f : run.findings)
            if (f.page == 0) general.push_back(&f);
        if (!general.empty()) out += "<h3>The whole medium</h3>\n" + list(general);
        if (!run.walk.splash.empty()) out += "<h3>The medium's own splash</h3>\n<div class=\"splash\">\n";
        for (const std::string& s : run.walk.splash)
            out += "<img src=\"" + Html(run.folder + "/" + s) + "\" alt=\"Splash\">\n";
        if (!run.walk.splash.empty()) out += "</div>\n";
        for (const medium_check::Page& page : run.report.pages) {
            std::vector<const PageFinding*> mine;
            for (const PageFinding& f : run.findings)
                if (f.page == page.number) mine.push_back(&f);
            const std::string title = platform::AnsiToUtf8(page.title, run.report.codePage);
            out += "<div class=\"page\" id=\"" + Anchor(run) + "-page-" +
                   std::to_string(page.number) + "\">\n<h3>Page " + std::to_string(page.number) +
                   ": " + Html(title) + "</h3>\n<div class=\"row\">\n";
            const Shot* plain = nullptr;
            for (const Shot& s : run.walk.shots)
                if (s.page == page.number && s.slot == 0) plain = &s;
            if (plain)
                out += "<img src=\"" + Html(run.folder + "/" + plain->picture) + "\" alt=\"Page " +
                       std::to_string(page.number) + "\">\n";
            else
                out += "<p class=\"error\">The walk did not reach this page.</p>\n";
            out += "<div>\n" + list(mine) + "</div>\n</div>\n<div class=\"hovers\">\n";
            for (const Shot& s : run.walk.shots) {
                if (s.page != page.number || s.slot == 0) continue;
                out += "<figure><a href=\"" + Html(run.folder + "/" + s.picture) + "\"><img src=\"" +
                       Html(run.folder + "/" + s.picture) + "\" alt=\"option " +
                       std::to_string(s.slot) + "\"></a><figcaption>option " +
                       std::to_string(s.slot) + ": " + Html(TextOf(s, OptionId(s.slot))) +
                       "</figcaption></figure>\n";
            }
            out += "</div>\n</div>\n";
        }
        out += "</section>\n";
    }
    return out + "</body></html>\n";
}

std::string Json(const std::string& medium, const std::string& output,
                 const std::vector<LanguageRun>& runs, const std::string& program) {
    using medium_common::JsonText;
    const auto orNull = [](int n) { return n ? std::to_string(n) : std::string("null"); };
    std::string out = "{\n  \"medium\": " + JsonText(medium) + ",\n  \"program\": " +
                      (program.empty() ? "null" : JsonText(program)) + ",\n  \"output\": " +
                      JsonText(output) + ",\n  \"index\": " + JsonText(output + "/index.html") +
                      ",\n  \"runs\": [";
    for (size_t r = 0; r < runs.size(); ++r) {
        const LanguageRun& run = runs[r];
        out += r ? ",\n" : "\n";
        out += "    {\"language\": " + JsonText(run.language) + ", \"scale\": " +
               std::to_string(run.scale) + ", \"folder\": " + JsonText(run.folder) +
               ", \"pictures\": " + std::to_string(run.walk.shots.size()) + ",\n     \"pages\": [";
        bool first = true;
        for (const medium_check::Page& page : run.report.pages) {
            out += first ? "\n" : ",\n";
            first = false;
            std::string picture = "null", hovers;
            for (const Shot& s : run.walk.shots) {
                if (s.page != page.number) continue;
                const std::string path = JsonText(run.folder + "/" + s.picture);
                if (s.slot == 0) {
                    picture = path;
                } else {
                    hovers += (hovers.empty() ? "" : ", ") + std::string("{\"slot\": ") +
                              std::to_string(s.slot) + ", \"picture\": " + path + "}";
                }
            }
            out += "      {\"page\": " + std::to_string(page.number) + ", \"title\": " +
                   JsonText(platform::AnsiToUtf8(page.title, run.report.codePage)) +
                   ", \"picture\": " + picture + ", \"hovers\": [" + hovers + "]}";
        }
        out += "\n     ],\n     \"findings\": [";
        for (size_t i = 0; i < run.findings.size(); ++i) {
            const PageFinding& f = run.findings[i];
            out += i ? ",\n" : "\n";
            out += std::string("      {\"severity\": \"") + SeverityName(f.finding.severity) +
                   "\", \"code\": " + JsonText(f.finding.code) + ", \"file\": " +
                   JsonText(f.finding.file) + ", \"line\": " +
                   orNull(static_cast<int>(f.finding.line)) + ", \"page\": " + orNull(f.page) +
                   ", \"message\": " + JsonText(f.finding.message) + "}";
        }
        out += run.findings.empty() ? "]}" : "\n     ]}";
    }
    out += runs.empty() ? "],\n" : "\n  ],\n";
    out += "  \"errors\": " + std::to_string(CountFindings(runs, Severity::Error)) + ",\n";
    out += "  \"warnings\": " + std::to_string(CountFindings(runs, Severity::Warning)) + ",\n";
    out += "  \"notes\": " + std::to_string(CountFindings(runs, Severity::Note)) + "\n}\n";
    return out;
}

std::string Text(const std::string& medium, const std::string& output,
                 const std::vector<LanguageRun>& runs, const std::string& program) {
    size_t pictures = 0;
    for (const LanguageRun& run : runs) pictures += run.walk.shots.size();
    std::string out = "Medium    " + medium + "\n" +
                      (program.empty() ? "" : "Program   " + program + "\n") + "Pictures  " +
                      std::to_string(pictures) + " in " +
                      output + ", contact sheet " + output + "/index.html\n";
    for (const LanguageRun& run : runs) {
        std::vector<Finding> checker, pictured;
        const size_t own = run.checkerFindings;
        for (size_t i = 0; i < run.findings.size(); ++i)
            (i < own ? checker : pictured).push_back(run.findings[i].finding);
        out += "\n" + Tag(run.language, run.scale) + ": " +
               std::to_string(run.report.pages.size()) + " pages, " +
               std::to_string(run.walk.shots.size()) + " pictures in " + run.folder +
               "; the checker's findings: " + medium_common::Tally(checker) +
               "; the pictures': " + medium_common::Tally(pictured) + "\n";
        for (const Finding& f : pictured) out += medium_common::FindingLine(f);
    }
    return out;
}

}  // namespace medium_preview
