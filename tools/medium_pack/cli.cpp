// The command line of medium-pack, and the disc it has xorriso write.
#include "tools/medium_pack/pack.h"
#include "tools/medium_check/pe_certificates.h"
#include "tools/medium_pack/run.h"
#include "tools/medium_pack/sign.h"

#include "platform/system.h"
#include "platform/tool_text.h"
#include "tools/medium_common/options.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace medium_pack {
namespace {

std::string Usage() {
    const std::vector<std::string>& shipped = ShippedFiles();
    std::string files;
    for (size_t i = 0; i < shipped.size(); ++i)
        files += (i == 0 ? "" : i + 1 == shipped.size() ? " and " : ", ") + shipped[i];
    return "usage: medium-pack MEDIUM_FOLDER -o IMAGE.iso [--label TEXT] [--dist DIR] [--force]\n"
           "                   [--sign CERT [--key KEY] [--password-file FILE] [--timestamp URL]]\n"
           "Checks MEDIUM_FOLDER as medium-check does, adds the menu's files it lacks at its\n"
           "root and an autorun.inf, and writes the disc image IMAGE.iso (ISO 9660 with\n"
           "Joliet names).\n"
           "  -o IMAGE.iso    the image to write\n"
           "  --label TEXT    the disc's label; the menu's first title unless given, cut to\n"
           "                  " + std::to_string(kLabelLength) + " characters\n"
           "  --dist DIR      where " + files + "\n"
           "                  come from; " MEDIUM_PACK_DIST " unless given\n"
           "  --force         write the image although the medium has errors\n"
           "  --sign CERT     sign the image's wizard.exe and Online.dll (Authenticode,\n"
           "                  SHA-256) with CERT: PKCS#12 (.pfx, .p12), or PEM with its chain\n"
           "  --key KEY       the private key of a PEM certificate\n"
           "  --password-file FILE  the password of CERT or KEY, on the file's first line\n"
           "  --timestamp URL have the signatures time-stamped by this RFC 3161 server\n"
           "Exit status: 0 with the image written, 1 when the medium has errors, 2 for bad\n"
           "usage or missing files, 3 when the image could not be written, 4 when signing\n"
           "was refused or failed.\n";
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
    using medium_common::OptionKind;
    auto bad = [&](const std::string& why) {
        err = "medium-pack: " + why + "\n" + Usage();
        return 2;
    };
    medium_common::CommandLine line;
    const std::string error = medium_common::ParseCommandLine(
        args,
        {{"--help", OptionKind::Help}, {"-h", OptionKind::Help}, {"-o", OptionKind::Value},
         {"--label", OptionKind::Value}, {"--dist", OptionKind::Value},
         {"--force", OptionKind::Switch}, {"--sign", OptionKind::Value},
         {"--key", OptionKind::Value}, {"--password-file", OptionKind::Value},
         {"--timestamp", OptionKind::Value}},
        1, "medium folder", line);
    if (!error.empty()) return bad(error);
    if (line.help) {
        out = Usage();
        return 0;
    }
    const std::string medium = line.operands.empty() ? "" : line.operands.front();
    const std::string image = line.Value("-o"), dist = line.Value("--dist", MEDIUM_PACK_DIST);
    std::string label = line.Value("--label");
    const bool force = line.Has("--force"), haveLabel = line.Has("--label");
    SigningSettings signing;
    signing.cert = line.Value("--sign");
    signing.key = line.Value("--key");
    signing.passwordFile = line.Value("--password-file");
    signing.timestamp = line.Value("--timestamp");
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
    const bool sign = !signing.cert.empty();
    if (!sign && !(signing.key + signing.passwordFile + signing.timestamp).empty())
        return bad("--key, --password-file and --timestamp go with --sign");
    for (const std::string& f : {signing.cert, signing.key, signing.passwordFile})
        if (!f.empty() && (!fs::exists(f) || fs::is_directory(f))) return bad("no file " + f);

    TempFolder temp;
    if (temp.path.empty()) {
        err += "medium-pack: cannot make a temporary folder\n";
        return 3;
    }
    // The certificate is checked before the medium: nothing is signed with
    // one that cannot sign.
    Signer signer;
    if (sign) {
        const std::string refused = signer.Load(signing, temp.path.string());
        if (!refused.empty()) {
            err = "medium-pack: " + refused + "\nmedium-pack: nothing signed, no image written\n";
            return 4;
        }
    }

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
    settings.folder = root.string();
    settings.shownAs = "D:";
    if (std::find(added.begin(), added.end(), "translat.ini") != added.end())
        settings.translation = platform::FullPath((fs::path(dist) / "translat.ini").string());
    medium_check::Report report = medium_check::Check(settings);
    const bool addsOnline = std::find(added.begin(), added.end(), "Online.dll") != added.end();
    std::vector<Finding> checked;
    // Every path of the disc is measured below, the checker's among them.
    for (const Finding& f : report.findings)
        if (!(addsOnline && f.code == "online-dll-missing") && f.code != "path-too-long")
            checked.push_back(f);

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
    // Where the menu's files in the image come from, and their names there.
    struct MenuFile {
        std::string onDisc;
        fs::path from;
    };
    std::vector<MenuFile> menuFiles;
    for (const std::string name : {"wizard.exe", "Online.dll"}) {
        MenuFile m{name, fs::path(dist) / name};
        if (std::find(added.begin(), added.end(), name) == added.end()) {
            for (const std::string& p : paths)
                if (LowerAscii(p) == LowerAscii(name)) m.onDisc = p;
            m.from = root / m.onDisc;
        }
        menuFiles.push_back(m);
    }
    std::string unsignedPrograms;
    const medium_check::CertificateTable menu =
        medium_check::ReadCertificateTable(menuFiles.front().from.string());
    if (!sign && menu.pe && !menu.signedData)
        unsignedPrograms = menuFiles.front().onDisc + " (the menu: --sign signs it)";
    for (const Finding& f : checked)
        if (f.code == "program-unsigned")
            unsignedPrograms += (unsignedPrograms.empty() ? "" : ", ") +
                                platform::AnsiToUtf8(f.file, report.codePage);
    if (!unsignedPrograms.empty())
        out += "Unsigned     " + unsignedPrograms +
               " (program-unsigned: Windows warns about them or blocks them)\n";
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

    // The menu's files as the image will hold them: signed copies, with
    // the medium's own names where it has them.
    std::map<std::string, std::string> signedCopies;  // name on the disc -> copy
    if (sign) {
        fs::create_directory(temp.path / "signed", ec);
        for (const MenuFile& m : menuFiles) {
            const std::string copy = (temp.path / "signed" / m.from.filename()).string();
            std::string failed = signer.Refusal(m.from.string());
            if (failed.empty()) failed = signer.Sign(m.from.string(), copy);
            if (!failed.empty()) {
                err += "medium-pack: " + m.onDisc + " " + failed +
                       "\nmedium-pack: no image written\n";
                return 4;
            }
            signedCopies[m.onDisc] = copy;
        }
        if (signing.timestamp.empty())
            err += "medium-pack: warning: no --timestamp: the signatures stop being valid when "
                   "the certificate expires (" + signer.Expires() + ")\n";
    }
    std::vector<std::string> xargs = {"-as", "mkisofs", "-quiet", "-o", target.string() + ".part",
                                      "-V", disc, "-J", "-r", "-iso-level", "3",
                                      "-input-charset", "UTF-8", "-f", "-graft-points",
                                      "/=" + root.string()};
    for (const std::string& a : added)
        if (!signedCopies.count(a)) xargs.push_back("/" + a + "=" + (fs::path(dist) / a).string());
    for (const auto& copy : signedCopies) xargs.push_back("/" + copy.first + "=" + copy.second);
    if (!ownAutorun) {
        const fs::path autorun = temp.path / "autorun.inf";
        std::ofstream(autorun, std::ios::binary) << AutorunFor(disc);
        xargs.push_back("/autorun.inf=" + autorun.string());
    }
    fs::remove(target.string() + ".part", ec);
    const std::string failed = RunProgram("xorriso", xargs, (temp.path / "xorriso.log").string());
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
    if (sign) {
        std::string names;
        for (const auto& copy : signedCopies) names += (names.empty() ? "" : ", ") + copy.first;
        out += "Signed       " + names + " by \"" + signer.Subject() + "\" (until " +
               signer.Expires() + "), checked against its chain; " +
               (signing.timestamp.empty() ? std::string("no time stamp")
                                          : "time-stamped by " + signing.timestamp) + "\n";
    }
    return 0;
}

}  // namespace medium_pack
