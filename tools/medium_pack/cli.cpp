// The command line of medium-pack, and the disc it has xorriso write.
#include "tools/medium_pack/pack.h"

#include "platform/system.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

extern char** environ;

namespace fs = std::filesystem;

namespace medium_pack {
namespace {

std::string Usage() {
    return "usage: medium-pack MEDIUM_FOLDER -o IMAGE.iso [--label TEXT] [--dist DIR] [--force]\n"
           "Checks MEDIUM_FOLDER as medium-check does, adds the menu's files it lacks at its\n"
           "root and an autorun.inf, and writes the disc image IMAGE.iso (ISO 9660 with\n"
           "Joliet names).\n"
           "  -o IMAGE.iso    the image to write\n"
           "  --label TEXT    the disc's label; the menu's first title unless given, cut to\n"
           "                  " + std::to_string(kLabelLength) + " characters\n"
           "  --dist DIR      where wizard.exe, Online.dll, filemove.avi and translat.ini\n"
           "                  come from; " MEDIUM_PACK_DIST " unless given\n"
           "  --force         write the image although the medium has errors\n"
           "Exit status: 0 with the image written, 1 when the medium has errors, 2 for bad\n"
           "usage or missing files, 3 when the image could not be written.\n";
}

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file and folder below `root`, relative to it with '/', in a fixed
// order. Links are followed, as the image follows them.
std::vector<std::string> Walk(const fs::path& root, std::string& error) {
    std::vector<std::string> paths;
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::follow_directory_symlink, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        paths.push_back(it->path().lexically_relative(root).generic_string());
    if (ec) error = ec.message();
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string Size(std::uintmax_t bytes) {
    std::ostringstream s;
    s.setf(std::ios::fixed);
    s.precision(1);
    if (bytes >= 1024 * 1024) s << static_cast<double>(bytes) / (1024 * 1024) << " MiB";
    else s << bytes << " bytes";
    return s.str();
}

// Runs xorriso with `args`, its output into `log`. 0 when it wrote the
// image; else the reason.
std::string RunXorriso(const std::vector<std::string>& args, const std::string& log) {
    std::vector<char*> argv;
    std::vector<std::string> all = args;
    all.insert(all.begin(), "xorriso");
    for (std::string& a : all) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "xorriso", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return rc == ENOENT ? "xorriso is not installed (tools/setup.sh installs it)"
                            : std::string("cannot start xorriso: ") + std::strerror(rc);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
    std::string said = ReadFile(log);
    if (said.size() > 2000) said = "..." + said.substr(said.size() - 2000);
    return "xorriso failed:\n" + said;
}

struct TempFolder {
    fs::path path;
    TempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string t = std::string(base && *base ? base : "/tmp") + "/medium-pack.XXXXXX";
        if (mkdtemp(&t[0])) path = t;
    }
    ~TempFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

}  // namespace

int Run(const std::vector<std::string>& args, std::string& out, std::string& err) {
    std::string medium, image, label, dist = MEDIUM_PACK_DIST;
    bool force = false, haveLabel = false;
    auto bad = [&](const std::string& why) {
        err = "medium-pack: " + why + "\n" + Usage();
        return 2;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i], value;
        const bool takesValue = arg == "-o" || arg == "--label" || arg == "--dist";
        const size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        } else if (takesValue) {
            if (i + 1 == args.size()) return bad(arg + " needs a value");
            value = args[++i];
        }
        if (arg == "--help" || arg == "-h") {
            out = Usage();
            return 0;
        } else if (arg == "-o") {
            image = value;
        } else if (arg == "--label") {
            label = value;
            haveLabel = true;
        } else if (arg == "--dist") {
            dist = value;
        } else if (arg == "--force") {
            force = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return bad("unknown option " + arg);
        } else if (medium.empty()) {
            medium = arg;
        } else {
            return bad("one medium folder at a time (" + medium + ", " + arg + ")");
        }
    }
    if (medium.empty()) return bad("which medium folder?");
    if (image.empty()) return bad("which image? (-o IMAGE.iso)");
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(fs::absolute(medium), ec);
    if (ec || !fs::is_directory(root)) return bad("no folder " + medium);
    const fs::path target = fs::weakly_canonical(fs::absolute(image), ec);
    if (ec || !fs::is_directory(target.parent_path()))
        return bad("no folder for the image " + image);
    if (fs::is_directory(target)) return bad(image + " is a folder");
    const std::string below = target.lexically_relative(root).generic_string();
    if (!below.empty() && below.compare(0, 2, "..") != 0)
        return bad("the image " + image + " would be inside the medium it is made of");
    if (haveLabel && DiscLabel(label).empty()) return bad("the label is empty");

    std::string walkError;
    std::vector<std::string> paths = Walk(root, walkError);
    if (!walkError.empty()) {
        err = "medium-pack: cannot read " + medium + ": " + walkError + "\n";
        return 2;
    }
    std::set<std::string> atRoot;  // what the medium has at its root, any case
    for (const std::string& p : paths)
        if (p.find('/') == std::string::npos) atRoot.insert(LowerAscii(p));

    // The menu's files the medium lacks, from the shipped ones.
    std::vector<std::string> added, missing;
    for (const std::string& name : ShippedFiles()) {
        if (atRoot.count(LowerAscii(name))) continue;
        if (fs::is_regular_file(fs::path(dist) / name)) added.push_back(name);
        else missing.push_back(name);
    }
    if (!missing.empty()) {
        std::string list;
        for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
        err = "medium-pack: the medium has no " + list + ", and " + dist +
              " has none either: run `make dist`, or give --dist DIR\n";
        return 2;
    }
    const bool ownAutorun = atRoot.count("autorun.inf") != 0;
    std::vector<std::string> onDisc = paths;
    for (const std::string& a : added) onDisc.push_back(a);
    if (!ownAutorun) onDisc.push_back("autorun.inf");

    // The menu as the disc's files make it.
    medium_check::Settings settings;
    settings.medium = platform::FullPath(root.string());
    settings.shownAs = "D:";
    if (std::find(added.begin(), added.end(), "translat.ini") != added.end())
        settings.translation = platform::FullPath((fs::path(dist) / "translat.ini").string());
    medium_check::Report report = medium_check::Check(settings);
    const bool addsOnline = std::find(added.begin(), added.end(), "Online.dll") != added.end();
    std::vector<Finding> checked;
    for (const Finding& f : report.findings)
        if (!(addsOnline && f.code == "online-dll-missing")) checked.push_back(f);

    std::vector<Finding> own;
    if (ownAutorun) {
        std::set<std::string> folded;
        for (const std::string& p : onDisc) folded.insert(LowerAscii(p));
        std::string name = "autorun.inf";
        for (const std::string& p : paths)
            if (LowerAscii(p) == "autorun.inf") name = p;
        CheckAutorun(ReadFile(root / name),
                     [&](const std::string& path) {
                         std::string p = path;
                         std::replace(p.begin(), p.end(), '\\', '/');
                         return folded.count(LowerAscii(p)) != 0;
                     },
                     own);
    }
    CheckNames(onDisc, own);

    size_t errors = 0, warnings = 0;
    std::set<std::string> errorCodes;
    for (const auto* list : {&checked, &own})
        for (const Finding& f : *list) {
            if (f.severity == Severity::Error) {
                ++errors;
                errorCodes.insert(f.code);
            } else {
                ++warnings;
            }
        }
    out += "Medium       " + medium + "\n";
    out += "Findings: " + std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
           std::to_string(warnings) + (warnings == 1 ? " warning\n" : " warnings\n");
    out += platform::AnsiToUtf8(medium_check::FindingLines(checked), report.codePage);
    out += medium_check::FindingLines(own);
    if (errors && !force) {
        err = "medium-pack: " + std::to_string(errors) +
              (errors == 1 ? " error" : " errors") +
              ": no image written (medium-check shows the menu; --force writes the image anyway)\n";
        return 1;
    }
    if (errors) {
        std::string codes;
        for (const std::string& c : errorCodes) codes += (codes.empty() ? "" : ", ") + c;
        err = "medium-pack: --force: writing the image despite " + std::to_string(errors) +
              (errors == 1 ? " error" : " errors") + " (" + codes + ")\n";
    }

    if (!haveLabel) {
        label = report.pages.empty() ? root.filename().string()
                                     : platform::AnsiToUtf8(report.pages.front().title,
                                                            report.codePage);
    }
    const std::string disc = DiscLabel(label);

    TempFolder temp;
    if (temp.path.empty()) {
        err += "medium-pack: cannot make a temporary folder\n";
        return 3;
    }
    std::vector<std::string> xargs = {"-as", "mkisofs", "-quiet", "-o", target.string() + ".part",
                                      "-V", disc, "-J", "-r", "-iso-level", "3",
                                      "-input-charset", "UTF-8", "-f", "-graft-points",
                                      "/=" + root.string()};
    for (const std::string& a : added) xargs.push_back("/" + a + "=" + (fs::path(dist) / a).string());
    if (!ownAutorun) {
        const fs::path autorun = temp.path / "autorun.inf";
        std::ofstream(autorun, std::ios::binary) << AutorunFor(disc);
        xargs.push_back("/autorun.inf=" + autorun.string());
    }
    fs::remove(target.string() + ".part", ec);
    const std::string failed = RunXorriso(xargs, (temp.path / "xorriso.log").string());
    if (!failed.empty()) {
        fs::remove(target.string() + ".part", ec);
        err += "medium-pack: " + failed + "\n";
        return 3;
    }
    fs::rename(target.string() + ".part", target, ec);
    if (ec) {
        err += "medium-pack: cannot write " + image + ": " + ec.message() + "\n";
        return 3;
    }

    std::uintmax_t bytes = 0;
    size_t files = 0;
    for (const std::string& p : paths) {
        if (fs::is_regular_file(root / p, ec)) {
            ++files;
            bytes += fs::file_size(root / p, ec);
        }
    }
    std::string addedList;
    for (const std::string& a : added) addedList += (addedList.empty() ? "" : ", ") + a;
    if (!ownAutorun) addedList += (addedList.empty() ? "" : ", ") + std::string("autorun.inf");
    out += "\nImage        " + image + " (" + Size(fs::file_size(target, ec)) + ")\n";
    out += "Label        " + disc + "\n";
    out += "Files        " + std::to_string(files) + " of the medium (" + Size(bytes) + ")";
    out += addedList.empty() ? "\n" : "; added " + addedList + "\n";
    if (ownAutorun) out += "autorun.inf  the medium's own, kept\n";
    return 0;
}

}  // namespace medium_pack
