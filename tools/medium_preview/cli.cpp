// medium-preview's command lines: the user's (Run), and the steps
// tools/medium-preview takes between its walks under Wine (Main).
#include "tools/medium_preview/preview.h"

#include "localisation/languages.h"
#include "platform/system.h"
#include "platform/tool_text.h"
#include "tools/medium_common/options.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace medium_preview {

std::string UnixLocale(const std::string& language) {
    const languages::Language* l = languages::Find(language);
    return l ? std::string(l->locale) + ".UTF-8" : std::string();
}

namespace {

const char kRunUsage[] =
    "usage: medium-preview MEDIUM_FOLDER -o OUT_FOLDER [--dist DIR] [--prefix DIR]\n"
    "                      [--lang LIST] [--scale LIST] [--json]\n"
    "Saves the menu that wizard.exe makes of MEDIUM_FOLDER as pictures:\n"
    "OUT_FOLDER/LANGUAGE/page-N.png for each page, page-N-option-K.png with option K\n"
    "under the mouse, and OUT_FOLDER/index.html, a contact sheet with the findings\n"
    "beside each page. Scales other than 100 go to OUT_FOLDER/LANGUAGE-SCALE/.\n"
    "  -o OUT_FOLDER   where the pictures go (made; its old pictures are replaced)\n"
    "  --dist DIR      the folder with the wizard.exe to run; the Windows build\n"
    "                  this machine runs unless given (build/dist, or build/win64/dist\n"
    "                  on a machine that runs no 32-bit programs). Its wizard.exe\n"
    "                  runs under the Wine of its own build (32- or 64-bit, as its\n"
    "                  file says), walked by that build's walker. The shell's\n"
    "                  WIZARD_WIN, WINEPREFIX, WINEARCH and WINELOADER are not read:\n"
    "                  --dist build/win64/dist runs the 64-bit build\n"
    "  --prefix DIR    the Wine prefix to run it in (made when missing);\n"
    "                  $XDG_CACHE_HOME/vantrell-wizard/preview-win32 (or -win64)\n"
    "                  unless given, in ~/.cache without XDG_CACHE_HOME. One run\n"
    "                  at a time in a prefix\n"
    "  --lang LIST     languages, comma-separated: english,japanese; all: english\n"
    "                  and every section of translat.ini. Unless given, english and\n"
    "                  the medium's languages: the sections that translate its\n"
    "                  names, versions, descriptions or caption\n"
    "  --scale LIST    display scales in per cent: 100,150,200; 100 unless given\n"
    "  --json          print the findings and pictures as JSON\n"
    "Exit status: 0 without errors, 1 with errors, 2 when it cannot run or a walk\n"
    "fails (preview-failed: the walker's own reason, or pages without a picture).\n"
    "A face this machine lacks (glyphs-missing about this machine) is a warning.\n";

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> items;
    for (const std::string& item : Split(list, ','))
        if (!item.empty()) items.push_back(item);
    return items;
}

const char kUsage[] =
    "usage: medium-preview-report start ARGUMENTS  (the walks that medium-preview ARGUMENTS makes)\n"
    "       medium-preview-report languages MEDIUM\n"
    "       medium-preview-report plan MEDIUM LANGUAGE PLAN_FILE  (prints the locale)\n"
    "       medium-preview-report index MEDIUM OUT_FOLDER [--medium ORIGINAL] [--json]\n"
    "                             [--program TEXT]\n"
    "                             LANGUAGE:SCALE:FOLDER...\n"
    "The host side of medium-preview: the languages a medium has, the pages to walk,\n"
    "and the contact sheet with the findings of the walks in OUT_FOLDER. MEDIUM is\n"
    "the copy the menu ran on; the checker's findings are those of ORIGINAL. TEXT\n"
    "names the program the pictures are of.\n";

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int Main(const std::vector<std::string>& args, std::string& out, std::string& err) {
    const auto bad = [&](const std::string& why) {
        err = "medium-preview-report: " + why + "\n" + kUsage;
        return 2;
    };
    if (!args.empty() && args[0] == "start")
        return Run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (args.size() < 2) return bad("what to do, and on which medium?");
    const std::string& command = args[0];
    medium_check::Settings settings;
    if (!medium_check::SetMediumFolder(settings, args[1])) return bad("no folder " + args[1]);

    if (command == "languages" && args.size() == 2) {
        for (const std::string& name : medium_check::MediumLanguages(settings))
            out += name + " " + UnixLocale(name) + "\n";
        return 0;
    }
    if (command == "plan" && args.size() == 4) {
        settings.locale = languages::LocaleOf(args[2]);
        if (!settings.locale) return bad("no language " + args[2]);
        const medium_check::Report report = medium_check::Check(settings);
        std::string plan;
        for (const medium_check::Page& p : report.pages)
            plan += std::to_string(p.number) + " " + std::to_string(p.parent) + " " +
                    std::to_string(p.parentSlot) + "\t" + p.title + "\n";
        if (!WriteFile(args[3], plan)) return bad("cannot write " + args[3]);
        out = UnixLocale(args[2]) + "\n";
        return 0;
    }
    if (command == "index" && args.size() >= 4) {
        medium_common::CommandLine line;
        const std::string error = medium_common::ParseCommandLine(
            std::vector<std::string>(args.begin() + 1, args.end()),
            {{"--json", medium_common::OptionKind::Switch},
             {"--medium", medium_common::OptionKind::Value},
             {"--program", medium_common::OptionKind::Value}},
            SIZE_MAX, "", line);
        if (!error.empty()) return bad(error);
        if (line.operands.size() < 2) return bad("which folder of pictures?");
        const std::string folder = line.operands[1];
        const std::string shown = line.Value("--medium", args[1]);
        const std::string program = line.Value("--program");
        const bool json = line.Has("--json");
        medium_check::Settings original = settings;
        if (!medium_check::SetMediumFolder(original, shown)) return bad("no folder " + shown);
        std::vector<LanguageRun> runs;
        for (size_t i = 2; i < line.operands.size(); ++i) {
            const std::vector<std::string> spec = Split(line.operands[i], ':');
            if (spec.size() != 3) return bad("not LANGUAGE:SCALE:FOLDER: " + line.operands[i]);
            LanguageRun run;
            run.language = spec[0];
            run.scale = std::atoi(spec[1].c_str());
            run.folder = spec[2];
            settings.locale = languages::LocaleOf(run.language);
            if (!settings.locale) return bad("no language " + run.language);
            original.locale = settings.locale;
            run.report = medium_check::Check(settings);
            std::string walk;
            if (ReadFile(folder + "/" + run.folder + "/walk.txt", walk))
                run.walk = ParseWalk(walk);
            else
                run.walk.errors.push_back(WalkError{0, "the menu was not walked: no walk.txt"});
            run.findings = CheckerFindings(medium_check::Check(original), run.report);
            run.checkerFindings = run.findings.size();
            for (PageFinding& f : PictureFindings(run.walk, run.report, run.language, run.scale))
                run.findings.push_back(f);
            runs.push_back(run);
        }
        if (!WriteFile(folder + "/index.html", IndexHtml(shown, runs, program)))
            return bad("cannot write " + folder + "/index.html");
        out = json ? Json(shown, folder, runs, program) : Text(shown, folder, runs, program);
        for (const LanguageRun& run : runs)
            for (const PageFinding& f : run.findings)
                if (f.finding.code == kWalkFailed) return 2;
        return CountFindings(runs, medium_check::Severity::Error) ? 1 : 0;
    }
    return bad("unknown command " + command);
}


int Run(const std::vector<std::string>& args, std::string& out, std::string& err) {
    using medium_common::OptionKind;
    const auto bad = [&](const std::string& why, bool usage = true) {
        err = "medium-preview: " + why + "\n" + (usage ? kRunUsage : "");
        return 2;
    };
    medium_common::CommandLine line;
    const std::string error = medium_common::ParseCommandLine(
        args,
        {{"-h", OptionKind::Help}, {"--help", OptionKind::Help}, {"-o", OptionKind::Value},
         {"--out", OptionKind::Value}, {"--dist", OptionKind::Value},
         {"--prefix", OptionKind::Value}, {"--lang", OptionKind::Value},
         {"--scale", OptionKind::Value}, {"--json", OptionKind::Switch}},
        1, "medium", line);
    if (!error.empty()) return bad(error, error.compare(0, 4, "one ") != 0);
    if (line.help) {
        out = kRunUsage;
        return 0;
    }
    const std::string medium = line.operands.empty() ? "" : line.operands.front();
    const std::string output = line.Value("--out", line.Value("-o"));
    if (medium.empty()) return bad("which medium folder?");
    if (output.empty()) return bad("where to? (-o OUT_FOLDER)");
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(medium, ec)) return bad("no folder " + medium, false);
    const std::string prefix = line.Value("--prefix");
    if (line.Has("--prefix") && prefix.empty()) return bad("--prefix needs a folder");
    const std::vector<std::string> scales = SplitList(line.Value("--scale", "100"));
    for (const std::string& s : scales) {
        if (s.find_first_not_of("0123456789") != std::string::npos || s.size() > 3)
            return bad("not a scale in per cent: " + s, false);
        if (std::atoi(s.c_str()) < 100 || std::atoi(s.c_str()) > 400)
            return bad("scale " + s + " is not between 100 and 400", false);
    }
    medium_check::Settings settings;
    if (!medium_check::SetMediumFolder(settings, medium)) return bad("no folder " + medium, false);
    std::vector<std::string> langs = SplitList(line.Value("--lang"));
    if (langs.empty() || langs == std::vector<std::string>{"all"})
        langs = medium_check::MediumLanguages(settings, !langs.empty());
    for (const std::string& lang : langs)
        if (!languages::Find(lang)) return bad("no language " + lang, false);

    // Refused before anything is made, so that nothing is left in the medium.
    const fs::path mediumPath = fs::absolute(medium).lexically_normal();
    const fs::path outPath = fs::absolute(output).lexically_normal();
    const auto inside = [&](const fs::path& path) {
        const std::string below = path.lexically_relative(mediumPath).generic_string();
        return below == "." || below == "./" || (!below.empty() && below.compare(0, 2, "..") != 0);
    };
    if (inside(outPath)) return bad("the pictures cannot go inside the medium", false);
    const fs::path prefixPath = prefix.empty() ? fs::path() : fs::absolute(prefix).lexically_normal();
    if (!prefix.empty() && inside(prefixPath))
        return bad("the Wine prefix cannot go inside the medium", false);
    fs::create_directories(outPath, ec);
    if (ec || !fs::is_directory(outPath)) return bad("cannot make " + output, false);

    // The walks, for the script that runs them: each scale's languages in
    // turn, each into a folder of its own.
    const auto trimmed = [](fs::path p) {
        std::string s = p.string();
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        return s;
    };
    out = "medium\t" + trimmed(mediumPath) + "\nshown\t" + medium + "\nout\t" + trimmed(outPath) + "\ndist\t" +
          line.Value("--dist") + "\nprefix\t" + (prefix.empty() ? "" : trimmed(prefixPath)) +
          "\njson\t" + (line.Has("--json") ? "--json" : "") + "\n";
    for (const std::string& scale : scales)
        for (const std::string& lang : langs)
            out += "run\t" + lang + "\t" + scale + "\t" +
                   (scale == "100" ? lang : lang + "-" + scale) + "\n";
    return 0;
}

}  // namespace medium_preview
