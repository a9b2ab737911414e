// The command line of the medium checker.
#include "tools/medium_check/check_internal.h"

#include "localisation/languages.h"
#include "platform/folder_search.h"
#include "platform/system.h"
#include "platform/tool_text.h"
#include "tools/medium_common/options.h"

#include <cstdlib>

namespace medium_check {
namespace {

std::string Usage() {
    std::string names;
    for (const languages::Language& l : languages::All())
        names += (names.empty() ? "" : ", ") + std::string(l.section);
    return "usage: medium-check MEDIUM_FOLDER [--language NAME | --locale LCID]\n"
           "                    [--translation FILE] [--as FOLDER] [--json]\n"
           "Shows the menu that wizard.exe makes of MEDIUM_FOLDER, page by page, and what\n"
           "is wrong with it.\n"
           "  --language NAME     the translation to use: " + names + ";\n"
           "                      english unless given\n"
           "  --locale LCID       the translation the menu picks for this locale (0x0411)\n"
           "  --translation FILE  the translation file; MEDIUM_FOLDER\\translat.ini unless given\n"
           "  --as FOLDER         the medium's root on the disc (D:, E:\\setup, \\\\server\\share):\n"
           "                      paths are shown as they will be there; they are checked\n"
           "                      against Windows' limits there, at D:\\ unless given\n"
           "  --json              the same report as JSON\n"
           "Exit status: 0 without errors, 1 with errors, 2 for bad usage.\n";
}

bool ParseLocale(const std::string& text, LCID& locale) {
    if (text.empty()) return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (*end || v > 0xFFFFFFFFul) return false;
    locale = static_cast<LCID>(v);
    return true;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::string& out, std::string& err) {
    using medium_common::OptionKind;
    auto bad = [&](const std::string& why) {
        err = "medium-check: " + why + "\n" + Usage();
        return 2;
    };
    medium_common::CommandLine line;
    const std::string error = medium_common::ParseCommandLine(
        args,
        {{"--help", OptionKind::Help}, {"-h", OptionKind::Help}, {"/?", OptionKind::Help},
         {"--json", OptionKind::Switch}, {"--language", OptionKind::Value},
         {"--locale", OptionKind::Value}, {"--translation", OptionKind::Value},
         {"--as", OptionKind::Value}},
        1, "medium folder", line);
    if (!error.empty()) return bad(error);
    if (line.help) {
        out = Usage();
        return 0;
    }
    Settings settings;
    settings.shownAs = line.Value("--as");
    if (line.Has("--as") && !IsDiscRoot(settings.shownAs))
        return bad("--as needs the medium's root in Windows form (D:, D:\\setup or "
                   "\\\\server\\share), not " + settings.shownAs);
    const std::string medium = line.operands.empty() ? "" : line.operands.front();
    const std::string language = line.Value("--language"), locale = line.Value("--locale"),
                      translation = line.Value("--translation");
    const bool json = line.Has("--json"), haveLocale = line.Has("--locale"),
               haveLanguage = line.Has("--language");
    if (medium.empty()) return bad("which medium folder?");
    if (haveLanguage && haveLocale) return bad("--language or --locale, not both");
    if (haveLanguage) {
        settings.locale = languages::LocaleOf(language);
        if (!settings.locale) return bad("no language " + language);
    }
    if (haveLocale && !ParseLocale(locale, settings.locale))
        return bad("not a locale number: " + locale);

    // The folder as this machine names it: its own path has only the limits
    // of this machine's file system.
    if (!SetMediumFolder(settings, medium)) return bad("no folder " + medium);
    if (!translation.empty()) {
        settings.translation = platform::FullPath(translation);
        if (!platform::IsHostFile(settings.translation))
            return bad("no translation file " + translation);
    }

    const Report report = Check(settings);
    out = json ? FormatJson(report) : FormatText(report);
    return report.Count(Severity::Error) ? 1 : 0;
}

}  // namespace medium_check
