// The command line of medium-pack, and the disc it has xorriso write.
#include "tools/medium_pack/pack.h"
#include "tools/medium_check/pe_certificates.h"
#include "tools/medium_pack/image.h"
#include "tools/medium_pack/run.h"
#include "tools/medium_pack/sign.h"

#include "platform/system.h"
#include "platform/tool_text.h"
#include "tools/medium_common/medium_tree.h"
#include "tools/medium_common/options.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
           "                  the " + std::to_string(kLabelBytes) + " bytes (UTF-8) a label holds\n"
           "  --dist DIR      where " + files + "\n"
           "                  come from; " MEDIUM_PACK_DIST " unless given\n"
           "  --force         write the image although the medium has errors, and over a\n"
           "                  file that is no disc image\n"
           "  --sign CERT     sign the image's wizard.exe and Online.dll (Authenticode,\n"
           "                  SHA-256) with CERT: PKCS#12 (.pfx, .p12), or PEM with its chain\n"
           "  --key KEY       the private key of a PEM certificate\n"
           "  --password-file FILE  the password of CERT or KEY, on the file's first line\n"
           "  --timestamp URL have the signatures time-stamped by this RFC 3161 server\n"
           "Exit status: 0 with the image written, 1 when the medium has errors, 2 for bad\n"
           "usage or missing files, 3 when the image or a file on the way could not be\n"
           "written, 4 when signing was refused or failed, 5 when IMAGE.iso is a file that\n"
           "is not replaced.\n";
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

// A path as the findings show the medium's files.
std::string Shown(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A file the image is made of, and what it is to the author.
struct Input {
    std::string path;
    std::string what;
};

// Why the existing `target` is not replaced by the image: one of the
// image's own inputs never is, another file only when it is an image made
// before, or with `force`. Empty when it is replaced, or is not there.
std::string NotReplaced(const fs::path& target, const std::vector<Input>& inputs, bool force) {
    struct stat at;
    if (stat(target.c_str(), &at) != 0) return "";
    if (!S_ISREG(at.st_mode)) return "is not a file: the image goes to a file of its own";
    for (const Input& input : inputs) {
        struct stat st;
        if (stat(input.path.c_str(), &st) == 0 && st.st_dev == at.st_dev && st.st_ino == at.st_ino)
            return "is " + input.what +
                   ", which the image is made of: it is never replaced, not even with --force";
    }
    ImageLabels labels;
    if (force || ReadLabels(target.string(), labels)) return "";
    return "exists and is no disc image (it has no ISO 9660 volume descriptor at 32 KiB): it "
           "is not replaced without --force";
}

std::string Size(std::uintmax_t bytes) {
    std::ostringstream s;
    s.setf(std::ios::fixed);
    s.precision(1);
    if (bytes >= 1024 * 1024) s << static_cast<double>(bytes) / (1024 * 1024) << " MiB";
    else s << bytes << " bytes";
    return s.str();
}

// The image while xorriso writes it, beside the place it goes to: a name of
// its own, so that nothing there is overwritten, and removed unless kept.
class PartImage {
public:
    explicit PartImage(const fs::path& target) {
        std::string name = target.string() + ".XXXXXX.part";
        const int fd = mkstemps(&name[0], 5);
        if (fd < 0) {
            m_error = "cannot write beside " + target.string() + ": " + std::strerror(errno);
            return;
        }
        // The mode a new file gets, not the private one of a temporary file.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
        close(fd);
        m_path = name;
    }
    ~PartImage() {
        if (!m_path.empty()) unlink(m_path.c_str());
    }
    PartImage(const PartImage&) = delete;
    PartImage& operator=(const PartImage&) = delete;
    const std::string& Path() const { return m_path; }
    const std::string& Error() const { return m_error; }
    // It has become the image.
    void Keep() { m_path.clear(); }

private:
    std::string m_path, m_error;
};

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

    // The medium as its disc holds it: links resolved, and those that lead
    // out of it, nowhere or round left out.
    const medium_common::MediumTree tree = medium_common::ReadMedium(root.string());
    if (!tree.error.empty()) {
        err = "medium-pack: cannot read " + medium + ": " + tree.error + "\n";
        return 2;
    }
    std::vector<std::string> paths;
    std::map<std::string, std::string> sources;  // path on the disc -> the host's file
    for (const medium_common::MediumEntry& e : tree.entries) {
        paths.push_back(e.path);
        if (!e.folder) sources[e.path] = e.source;
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

    // A file at -o already.
    std::vector<Input> inputs;
    for (const std::string& name : ShippedFiles())
        inputs.push_back({(fs::path(dist) / name).string(), name + " of --dist " + dist});
    inputs.push_back({signing.cert, "the certificate of --sign"});
    inputs.push_back({signing.key, "the key of --key"});
    inputs.push_back({signing.passwordFile, "the password file"});
    for (const auto& file : sources) inputs.push_back({file.second, Shown(file.first) + " of the medium"});
    const std::string kept = NotReplaced(target, inputs, force);
    if (!kept.empty()) {
        err = "medium-pack: " + image + " " + kept + "; no image written\n";
        return 5;
    }
    if (!missing.empty()) {
        std::string list;
        for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
        err = "medium-pack: the medium has no " + list + ", and " + dist +
              " has none either: run `make dist`, or give --dist DIR\n";
        return 2;
    }

    TempFolder temp;
    if (temp.path.empty()) {
        err += "medium-pack: cannot make a temporary folder: " + std::string(std::strerror(errno)) +
               "\n";
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

    const bool ownAutorun = atRoot.count("autorun.inf") != 0;
    std::vector<std::string> onDisc = paths;
    for (const std::string& a : added) onDisc.push_back(a);
    if (!ownAutorun) onDisc.push_back("autorun.inf");

    // The menu as the disc's files make it.
    medium_check::Settings settings;
    medium_check::SetMediumFolder(settings, root.string());  // a folder: it was looked at above
    settings.shownAs = "D:";
    const bool addsTranslation =
        std::find(added.begin(), added.end(), "translat.ini") != added.end();
    if (addsTranslation)
        settings.translation = platform::FullPath((fs::path(dist) / "translat.ini").string());
    medium_check::Report report = medium_check::Check(settings);
    const bool addsOnline = std::find(added.begin(), added.end(), "Online.dll") != added.end();
    std::vector<Finding> checked;
    // The translation that ships translates none of the medium's texts:
    // that is no news about a medium without a translation of its own.
    // Every path of the disc is measured below, the checker's among them.
    for (const Finding& f : report.findings)
        if (!(addsOnline && f.code == "online-dll-missing") &&
            !(addsTranslation && f.code == "language-not-covered") && f.code != "path-too-long")
            checked.push_back(f);

    std::vector<Finding> own;
    if (ownAutorun) {
        std::set<std::string> folded;
        for (const std::string& p : onDisc) folded.insert(LowerAscii(p));
        std::string name = "autorun.inf";
        for (const std::string& p : paths)
            if (LowerAscii(p) == "autorun.inf") name = p;
        CheckAutorun(ReadFile(sources[name]),
                     [&](const std::string& path) {
                         std::string p = path;
                         std::replace(p.begin(), p.end(), '\\', '/');
                         return folded.count(LowerAscii(p)) != 0;
                     },
                     own);
    }
    CheckNames(onDisc, own);

    size_t errors = 0;
    std::set<std::string> errorCodes;
    std::vector<Finding> all = checked;
    all.insert(all.end(), own.begin(), own.end());
    for (const Finding& f : all)
        if (f.severity == Severity::Error) {
            ++errors;
            errorCodes.insert(f.code);
        }
    out += "Medium       " + medium + "\n";
    out += "Findings: " + medium_common::Tally(all) + "\n";
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
            m.from = sources[m.onDisc];
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
    for (const medium_common::MediumLink& link : tree.links)
        if (link.kind == medium_common::LinkKind::Inside)
            out += "Link         " + Shown(link.path) + " is packed as the " +
                   (link.folder ? "folder" : "file") + " it names, " +
                   (link.end.empty() ? std::string("the medium's root") : Shown(link.end)) + "\n";
    if (!tree.others.empty()) {
        std::string list;
        for (const std::string& o : tree.others) list += (list.empty() ? "" : ", ") + Shown(o);
        out += "Left out     " + list + " (neither files nor folders: pipes, sockets, devices)\n";
    }
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
    auto cannot = [&](const std::string& why) {
        err += "medium-pack: " + why + "\nmedium-pack: no image written\n";
        return 3;
    };

    // The menu's files as the image will hold them: signed copies, with
    // the medium's own names where it has them.
    std::map<std::string, std::string> signedCopies;  // name on the disc -> copy
    if (sign) {
        const std::string saved = signer.SaveChain();
        if (!saved.empty()) return cannot(saved);
        if (!fs::create_directory(temp.path / "signed", ec) || ec)
            return cannot("cannot make " + (temp.path / "signed").string() + ": " + ec.message());
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

    // What goes on the disc, each file and folder named: nothing else
    // comes in, not through a link either.
    const fs::path empty = temp.path / "folder";
    if (!fs::create_directory(empty, ec) || ec)
        return cannot("cannot make " + empty.string() + ": " + ec.message());
    std::vector<Graft> grafts;
    for (const medium_common::MediumEntry& e : tree.entries) {
        if (e.folder) grafts.push_back({"/" + e.path, empty.string()});
        else if (!signedCopies.count(e.path)) grafts.push_back({"/" + e.path, e.source});
    }
    for (const std::string& a : added)
        if (!signedCopies.count(a))
            grafts.push_back({"/" + a, fs::canonical(fs::path(dist) / a, ec).string()});
    for (const auto& copy : signedCopies) grafts.push_back({"/" + copy.first, copy.second});
    if (!ownAutorun) {
        const fs::path autorun = temp.path / "autorun.inf";
        const std::string failed = WriteWhole(autorun.string(), AutorunFor(disc));
        if (!failed.empty()) return cannot(failed);
        grafts.push_back({"/autorun.inf", autorun.string()});
    }
    const fs::path list = temp.path / "files";
    std::string failed = WriteWhole(list.string(), PathList(grafts));
    if (!failed.empty()) return cannot(failed);

    PartImage part(target);
    if (!part.Error().empty()) return cannot(part.Error());
    failed = RunProgram("xorriso",
                        {"-as", "mkisofs", "-quiet", "-o", part.Path(), "-V", disc, "-J", "-r",
                         "-iso-level", "3", "-input-charset", "UTF-8", "-graft-points",
                         "--quoted_path_list", list.string()},
                        (temp.path / "xorriso.log").string());
    if (!failed.empty()) return cannot(failed);
    failed = Flush(part.Path());
    if (!failed.empty()) return cannot(failed);
    ImageLabels written;
    if (!ReadLabels(part.Path(), written))
        return cannot("xorriso wrote no ISO 9660 image to " + part.Path());
    if (std::rename(part.Path().c_str(), target.c_str()) != 0)
        return cannot("cannot write " + image + ": " + std::strerror(errno));
    part.Keep();

    std::uintmax_t bytes = 0;
    size_t files = 0;
    for (const auto& file : sources) {
        ++files;
        bytes += fs::file_size(file.second, ec);
    }
    std::string addedList;
    for (const std::string& a : added) addedList += (addedList.empty() ? "" : ", ") + a;
    if (!ownAutorun) addedList += (addedList.empty() ? "" : ", ") + std::string("autorun.inf");
    out += "\nImage        " + image + " (" + Size(fs::file_size(target, ec)) + ")\n";
    out += "Label        " + written.volume;
    if (written.joliet != written.volume)
        out += " (Windows shows \"" + written.joliet + "\" where no autorun.inf names the drive)";
    out += "\n";
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
