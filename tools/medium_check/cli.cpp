// The command line of the medium checker.
#include "tools/medium_check/check_internal.h"

#include "platform/folder_search.h"
#include "platform/system.h"

#include <cstdlib>

namespace medium_check {
namespace {

std::string Usage() {
    std::string names;
    for (const std::string& n : LanguageNames()) names += (names.empty() ? "" : ", ") + n;
    return "usage: medium-check MEDIUM_FOLDER [--language NAME | --locale LCID]\n"
           "                    [--translation FILE] [--as FOLDER] [--json]\n"
           "Shows the menu that wizard.exe makes of MEDIUM_FOLDER, page by page, and what\n"
           "is wrong with it.\n"
           "  --language NAME     the translation to use: " + names + ";\n"
           "                      english unless given\n"
           "  --locale LCID       the translation the menu picks for this locale (0x0411)\n"
           "  --translation FILE  the translation file; MEDIUM_FOLDER\\translat.ini unless given\n"
           "  --as FOLDER         show paths as they will be on the medium (--as D:)\n"
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
    Settings settings;
    std::string medium, language, locale, translation;
    bool json = false, haveLocale = false, haveLanguage = false;

    auto bad = [&](const std::string& why) {
        err = "medium-check: " + why + "\n" + Usage();
        return 2;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i], value;
        const bool takesValue = arg == "--language" || arg == "--locale" ||
                                arg == "--translation" || arg == "--as";
        const size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        } else if (takesValue) {
            if (i + 1 == args.size()) return bad(arg + " needs a value");
            value = args[++i];
        }
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            out = Usage();
            return 0;
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--language") {
            language = value;
            haveLanguage = true;
        } else if (arg == "--locale") {
            locale = value;
            haveLocale = true;
        } else if (arg == "--translation") {
            translation = value;
        } else if (arg == "--as") {
            settings.shownAs = value;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return bad("unknown option " + arg);
        } else if (medium.empty()) {
            medium = arg;
        } else {
            return bad("one medium folder at a time (" + medium + ", " + arg + ")");
        }
    }
    if (medium.empty()) return bad("which medium folder?");
    if (haveLanguage && haveLocale) return bad("--language or --locale, not both");
    if (haveLanguage) {
        settings.locale = LocaleOfLanguage(language);
        if (!settings.locale) return bad("no language " + language);
    }
    if (haveLocale && !ParseLocale(locale, settings.locale))
        return bad("not a locale number: " + locale);

    settings.medium = platform::FullPath(medium);
    if (settings.medium.empty() || !IsFolder(settings.medium))
        return bad("no folder " + medium);
    if (!translation.empty()) {
        settings.translation = platform::FullPath(translation);
        if (settings.translation.empty() || !platform::PathExists(settings.translation) ||
            IsFolder(settings.translation))
            return bad("no translation file " + translation);
    }

    const Report report = Check(settings);
    out = json ? FormatJson(report) : FormatText(report);
    return report.Count(Severity::Error) ? 1 : 0;
}

}  // namespace medium_check
