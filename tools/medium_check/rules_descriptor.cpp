// Each descriptor's values, and the program, address or download its
// "file" names.
#include "tools/medium_check/rules.h"

#include "menu/menu_logic.h"
#include "platform/codepage.h"
#include "platform/folder_names.h"
#include "platform/folder_search.h"
#include "platform/tool_text.h"
#include "tools/medium_check/manifest.h"

#include <cstdlib>
#include <map>

namespace medium_check {
namespace {

bool EndsWithUpper(const std::string& s, const char* suffix) {
    const std::string x(suffix);
    return s.size() >= x.size() &&
           platform::CodePage::System().Upper(s.substr(s.size() - x.size())) == x;
}

// What the system can start as a program: CreateProcess runs these.
bool IsProgramName(const std::string& path) {
    return EndsWithUpper(path, ".EXE") || EndsWithUpper(path, ".COM") ||
           EndsWithUpper(path, ".BAT") || EndsWithUpper(path, ".CMD");
}

// The names of a path, between its separators ("." and ".." too).
std::vector<std::string> PathParts(const std::string& value) {
    const platform::CodePage page = platform::CodePage::System();
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i <= value.size();) {
        const size_t n = i < value.size() ? page.CharLength(value, i) : 1;
        if (i == value.size() || (n == 1 && (value[i] == '\\' || value[i] == '/'))) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part.append(value, i, n);
        }
        i += n;
    }
    return parts;
}

// Whether a relative path climbs above the medium's root, starting from a
// folder `depth` levels below it.
bool ClimbsAboveRoot(const std::string& value, int depth) {
    for (const std::string& part : PathParts(value)) {
        if (part == "..") {
            if (--depth < 0) return true;
        } else if (part != ".") {
            ++depth;
        }
    }
    return false;
}

}  // namespace

void Rules::CheckDescriptor(const std::string& path, std::vector<DescriptorText>& texts) {
    const DescriptorFile descriptor(path);
    const std::string file = Relative(path);
    static const char* const kKeys[] = {"name", "version", "description",
                                        "file", "icon", "priority", "sha256",
                                        "picture", "splash", "windowicon"};
    std::map<std::string, std::string> whole;
    for (const char* key : kKeys) {
        const std::string& value = whole[key] = descriptor.Whole(key);
        if (value.size() > kMenuValue)
            Add(Severity::Warning, "value-cut", file, descriptor.Line(key),
                std::string("\"") + key + "\" is " + std::to_string(value.size()) +
                    " bytes long; the menu reads the first " + std::to_string(kMenuValue) +
                    " and loses " + Quote(value.substr(kMenuValue), 30));
    }
    for (const char* key : {"name", "version", "description"}) {
        const std::string text = MenuValue(whole[key]);
        if (!text.empty()) texts.push_back({key, text, file, descriptor.Line(key)});
    }

    const std::string icon = MenuValue(whole["icon"]);
    if (!icon.empty() &&
        menu::BulletForKey(platform::CodePage::System().Upper(icon)) == menu::Bullet::None)
        Add(Severity::Warning, "icon-unknown", file, descriptor.Line("icon"),
            "icon " + Quote(icon) + " is not one of " + ListOf(menu::IconKeys()) +
                "; the bullet follows from \"file\" instead");

    const std::string priority = MenuValue(whole["priority"]);
    if (!priority.empty() && !IsWholeNumber(priority))
        Add(Severity::Warning, "priority-not-number", file, descriptor.Line("priority"),
            "priority " + Quote(priority) + " is not a whole number; the menu reads it as " +
                std::to_string(std::atoi(priority.c_str())));

    // The root's "file" is never used: its page is shown, never clicked.
    if (Depth(path) > 0) {
        const command::Kind kind =
            CheckFile(path, MenuValue(whole["file"]), descriptor.Line("file"));
        CheckPin(file, kind, MenuValue(whole["sha256"]), descriptor.Line("sha256"),
                 descriptor.Line("file"));
    }
}

// "sha256": the digest a download must have before the menu starts it.
void Rules::CheckPin(const std::string& file, command::Kind kind, const std::string& pin,
              unsigned line, unsigned fileLine) {
    if (kind == command::Kind::Download && pin.empty()) {
        Add(Severity::Warning, "download-unpinned", file, fileLine,
            "downloads without \"sha256\": the menu cannot tell whether what arrives is "
            "the program this medium was made with; add sha256= with what sha256sum "
            "prints for it");
        return;
    }
    if (pin.empty()) return;
    if (!command::IsSha256Digest(pin)) {
        Add(Severity::Error, "sha256-malformed", file, line,
            "\"sha256\" " + Quote(pin, 70) +
                " is not 64 hexadecimal digits; the menu refuses to download and tells the "
                "user the file is not the one meant");
    }
    if (kind != command::Kind::Download)
        Add(Severity::Warning, "sha256-not-download", file, line,
            "\"sha256\" is checked only on a download; this option " +
                std::string(kind == command::Kind::SubMenu ? "opens a page"
                            : kind == command::Kind::Shell ? "opens an address in the shell"
                                                           : "starts a file on the medium") +
                " and never checks it");
}

bool Rules::IsWholeNumber(const std::string& s) {
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size() || s.size() - i > 10) return false;
    for (size_t j = i; j < s.size(); ++j)
        if (s[j] < '0' || s[j] > '9') return false;
    const long long v = std::atoll(s.c_str());
    return v >= -2147483647LL - 1 && v <= 2147483647LL;
}

// `value` is "file" as the menu reads it; the menu's command made of it
// is the joined path, unless the value was kept as written.
command::Kind Rules::CheckFile(const std::string& descriptor, const std::string& value,
                        unsigned line) {
    const std::string file = Relative(descriptor);
    const std::string joined = m_recorder.CommandOf(descriptor);
    const command::Kind kind = command::Classify(joined);
    const std::string what = "\"file\" " + Quote(value);

    if (kind == command::Kind::SubMenu) return kind;
    if (kind == command::Kind::Shell) {
        Add(Severity::Warning, "address-shell", file, line,
            "opens " + value + " in the user's browser (through the shell); the menu "
            "then closes");
        return kind;
    }
    if (kind == command::Kind::Download) {
        const std::string dest = command::DownloadDestination("%TEMP%\\", value);
        Add(Severity::Warning, "address-download", file, line,
            "downloads " + value + " to " + dest + " and starts it");
        const std::string scheme = command::AddressScheme(value);
        if (scheme != "https")
            Add(Severity::Warning, "download-unencrypted", file, line,
                "downloads over plain " + scheme +
                    " and starts what arrives: anyone on the way can replace the "
                    "program; use https");
        const std::string name = command::AddressLastName(value);
        if (command::IsDeviceName(name))
            Add(Severity::Warning, "download-device-name", file, line,
                "the address ends in " + Quote(name) +
                    ", a name Windows keeps for a device; the menu saves the download as " +
                    dest);
        return kind;
    }
    // A program or document. Every rule runs on the value: a finding does
    // not hide the next one.
    bool onMedium = false;  // the menu looks for it on the medium
    if (command::BeginsLikeAddress(value)) {
        Add(Severity::Error, "file-not-address", file, line,
            what + " begins like an address but is none (only http:, https: and ftp: "
            "are); the menu keeps it as written instead of looking in this folder, and "
            "cannot start it; write .\\" + value + " for a file here");
    } else if (platform::CodePage::System().Find(value, ':') != std::string::npos ||
               value.compare(0, 2, "\\\\") == 0) {
        Add(Severity::Error, "file-leaves-medium", file, line,
            what + " names a drive or another computer; the menu joins it to the "
            "descriptor's folder and runs " + Shown(joined) +
            ", which cannot exist; write the path relative to this folder");
    } else if (ClimbsAboveRoot(value, Depth(descriptor))) {
        Add(Severity::Error, "file-leaves-medium", file, line,
            what + " climbs above the medium's root with \"..\": " + Shown(joined) +
            " is not on the medium");
    } else {
        onMedium = true;
    }
    // A name Windows cannot open is never found there, whatever this
    // machine's file system holds.
    const char* unopenable = nullptr;
    std::string badName;
    for (const std::string& part : onMedium ? PathParts(value) : std::vector<std::string>()) {
        if ((unopenable = platform::CharacterProblem(part))) {
            badName = part;
            break;
        }
    }
    if (unopenable)
        Add(Severity::Error, "name-not-portable", file, line,
            what + " has " + unopenable + " in the name " + Quote(badName) +
                ", which Windows does not allow: the menu cannot start it");
    const bool exists = onMedium && !unopenable && platform::PathExists(joined);
    const bool folder = exists && IsFolder(joined);
    if (onMedium && !value.empty() && (value[0] == '\\' || value[0] == '/'))
        Add(Severity::Warning, "file-leading-backslash", file, line,
            what + " begins with a backslash, yet it does not start at the medium's "
            "root: the menu runs " + Shown(joined) + ", in this folder");
    if (onMedium && joined.size() >= MAX_PATH)
        Add(Severity::Error, "path-too-long", file, line,
            what + ": on the disc its path, " + Quote(joined, 70) + ", is " +
                std::to_string(joined.size()) + " bytes long, and Windows starts no program " +
                "from a path of " + std::to_string(MAX_PATH) + " bytes or more");
    else if (onMedium && !unopenable && !exists)
        Add(Severity::Error, "file-missing", file, line,
            what + ": " + Shown(joined) + " does not exist");
    if (folder)
        Add(Severity::Error, "file-is-folder", file, line,
            what + " is a folder, which cannot be started; end it with a backslash (or "
            "leave \"file\" out) for a sub-menu");
    else if (!IsProgramName(joined))
        Add(Severity::Error, "file-not-program", file, line,
            what + " is not a program (.exe, .com, .bat or .cmd): the menu starts the "
            "file itself, so a click on it fails");
    else if (exists && ProgramElevation(joined) == Elevation::Broken)
        Add(Severity::Error, "manifest-broken", file, line,
            what + " carries a manifest that is not well-formed XML: Windows refuses to "
            "start it");
    if (exists && !folder) CheckSignature(joined, Relative(platform::FullPath(joined)), m_report);
    return kind;
}

// Downloads need the library beside the menu program.
void Rules::CheckDownloads() {
    if (m_pages.Downloads().empty()) return;
    if (platform::PathExists(m_root + "\\wizard.exe") &&
        !platform::PathExists(m_root + "\\Online.dll"))
        Add(Severity::Error, "online-dll-missing", m_pages.Downloads().front(), 0,
            "the medium has wizard.exe but no Online.dll beside it, so no download "
            "can start");
}

}  // namespace medium_check
