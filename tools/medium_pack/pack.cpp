// The rules medium-pack holds a disc to: its label, its autorun.inf and its
// names.
#include "tools/medium_pack/pack.h"

#include "platform/unicode.h"

#include <algorithm>
#include <map>

namespace medium_pack {
namespace {

// UTF-8 to code points; a byte that starts no valid sequence stands for
// itself (as Latin-1 would), so that every name has a length.
std::u32string Decode(const std::string& s) { return unicode::FromUtf8(s, unicode::Broken::Byte); }

size_t Utf16Length(const std::u32string& s) {
    size_t n = 0;
    for (char32_t c : s) n += c >= 0x10000 ? 2 : 1;
    return n;
}

// Letter case as Windows compares names on a disc, for the scripts of the
// menu's languages that have case: Latin (Vietnamese's letters too), Greek
// and Cyrillic.
char32_t Fold(char32_t c) {
    auto evenUpper = [c](char32_t first, char32_t last) { return c >= first && c <= last && (c - first) % 2 == 0; };
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (evenUpper(0x100, 0x137) || evenUpper(0x139, 0x148) || evenUpper(0x14A, 0x177) ||
        evenUpper(0x179, 0x17E) || c == 0x1A0 || c == 0x1AF || evenUpper(0x1EA0, 0x1EF9))
        return c + 1;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

std::u32string Folded(const std::u32string& s) {
    std::u32string out = s;
    for (char32_t& c : out) c = Fold(c);
    return out;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

// An autorun.inf's bytes as UTF-8: UTF-16 when it begins with the
// byte-order mark, else taken as it is (ASCII in practice).
std::string AutorunAsUtf8(const std::string& bytes) {
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE)
        return bytes;
    return unicode::ToUtf8(unicode::FromUtf16(bytes, false, 2));
}

// The program or file that a value of open= or icon= names: the text in
// double quotes when it starts with one, else up to the first blank (open)
// or comma (icon); a leading ".\" or "\" means the disc's root.
std::string NamedFile(const std::string& value, char end) {
    std::string v = Trim(value);
    std::string file;
    if (!v.empty() && v[0] == '"') {
        const size_t close = v.find('"', 1);
        file = v.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        file = v.substr(0, v.find(end));
    }
    file = Trim(file);
    if (file.compare(0, 2, ".\\") == 0) file.erase(0, 2);
    while (!file.empty() && file[0] == '\\') file.erase(0, 1);
    return file;
}

}  // namespace

const std::vector<std::string>& ShippedFiles() {
    static const std::vector<std::string> kFiles = [] {
        std::vector<std::string> files;
        const std::string list = MEDIUM_PACK_SHIPPED;
        for (size_t from = 0; from <= list.size();) {
            const size_t comma = std::min(list.find(',', from), list.size());
            files.push_back(list.substr(from, comma - from));
            from = comma + 1;
        }
        return files;
    }();
    return kFiles;
}

std::string DiscLabel(const std::string& text) {
    std::u32string s = Decode(text);
    for (char32_t& c : s)
        if (c < 0x20 || c == 0x7F) c = ' ';
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    s = s.substr(b, e - b);
    size_t fit = 0;  // the characters whose UTF-8 fills kLabelBytes
    for (size_t bytes = 0; fit < s.size(); ++fit) {
        bytes += unicode::ToUtf8(s.substr(fit, 1)).size();
        if (bytes > kLabelBytes) break;
    }
    if (fit < s.size()) {
        // A word cut in two reads worse than one left out.
        size_t cut = s[fit] == ' ' ? fit : s.rfind(U' ', fit);
        if (cut == std::u32string::npos || cut == 0) cut = fit;
        s.resize(cut);
        while (!s.empty() && s.back() == ' ') s.pop_back();
    }
    return unicode::ToUtf8(s);
}

std::string AutorunFor(const std::string& label) {
    const std::string text = "[autorun]\r\nopen=wizard.exe\r\nicon=wizard.exe\r\nlabel=" + label +
                             "\r\n";
    bool ascii = true;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    if (ascii) return text;
    return "\xFF\xFE" + unicode::ToUtf16(Decode(text));
}

void CheckAutorun(const std::string& bytes, const std::function<bool(const std::string&)>& onDisc,
                  std::vector<Finding>& out) {
    const std::string file = "autorun.inf";
    auto add = [&](Severity s, const char* code, unsigned line, const std::string& message) {
        out.push_back(Finding{s, code, file, line, message});
    };
    const std::string text = AutorunAsUtf8(bytes);
    bool inAutorun = false, haveSection = false, starts = false;
    unsigned number = 0;
    for (size_t pos = 0; pos <= text.size();) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++number;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            inAutorun = Lower(Trim(line.substr(1, close == std::string::npos ? std::string::npos
                                                                              : close - 1))) ==
                        "autorun";
            haveSection = haveSection || inAutorun;
            continue;
        }
        if (!inAutorun) continue;
        const size_t eq = line.find('=');
        const std::string key = Lower(Trim(line.substr(0, eq)));
        const std::string value = eq == std::string::npos ? "" : Trim(line.substr(eq + 1));
        if (key == "open") {
            starts = true;
            const std::string program = NamedFile(value, ' ');
            if (program.empty() || !onDisc(program)) {
                add(Severity::Error, "autorun-program-missing", number,
                    "open= names \"" + program + "\", which is not on the disc: nothing starts");
            } else if (Lower(program) != "wizard.exe") {
                add(Severity::Warning, "autorun-not-menu", number,
                    "open= starts \"" + program + "\", not the menu (wizard.exe)");
            }
        } else if (key == "icon") {
            const std::string icon = NamedFile(value, ',');
            if (icon.empty() || !onDisc(icon))
                add(Severity::Warning, "autorun-icon-missing", number,
                    "icon= names \"" + icon + "\", which is not on the disc: the drive keeps its own icon");
        } else if (key == "label") {
            // Any text; Windows shows it as the drive's name.
        } else if (key == "shellexecute" || key == "action" || key == "useautoplay" ||
                   key == "shell" || key.compare(0, 6, "shell\\") == 0) {
            if (key == "shellexecute") starts = true;
            add(Severity::Warning, "autorun-ignored-on-removable", number,
                key + "= works from a CD or DVD drive only: Windows ignores it on USB sticks and "
                      "other removable drives");
        } else {
            add(Severity::Warning, "autorun-key-unknown", number,
                "Windows knows no key \"" + key + "\" in [autorun]: it is ignored");
        }
    }
    if (!haveSection) {
        add(Severity::Error, "autorun-without-section", 0,
            "no [autorun] section: Windows does nothing with the file, and the menu does not start");
    } else if (!starts) {
        add(Severity::Warning, "autorun-starts-nothing", 0,
            "no open= line: the disc shows its icon and label but does not start the menu");
    }
}

size_t AnsiLength(const std::string& utf8) {
    size_t n = 0;
    for (char32_t c : Decode(utf8)) n += c < 0x80 ? 1 : 2;
    return n;
}

void CheckNames(const std::vector<std::string>& paths, std::vector<Finding>& out) {
    // Per folder: each name by its folded form, the first one met.
    std::map<std::string, std::map<std::u32string, std::string>> folders;
    for (const std::string& path : paths) {
        std::string shown = path;  // as the checker's findings show files
        for (char& c : shown)
            if (c == '/') c = '\\';
        const size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        const std::u32string wide = Decode(name);
        if (Utf16Length(wide) > kJolietName)
            out.push_back(Finding{Severity::Error, "name-too-long-for-joliet", shown, 0,
                                  "a name of " + std::to_string(Utf16Length(wide)) +
                                      " characters: Joliet, the names Windows reads from a disc, "
                                      "holds " + std::to_string(kJolietName)});
        auto& names = folders[folder];
        auto seen = names.emplace(Folded(wide), name);
        if (!seen.second && seen.first->second != name)
            out.push_back(Finding{Severity::Error, "names-differ-in-case", shown, 0,
                                  "\"" + name + "\" and \"" + seen.first->second +
                                      "\" differ only in letter case: Windows reaches one of them"});
        const size_t length = AnsiLength("D:\\" + shown);
        if (length > kMenuPath)
            out.push_back(Finding{Severity::Error, "path-too-long", shown, 0,
                                  "with the drive letter the path has " + std::to_string(length) +
                                      " bytes: the menu holds " + std::to_string(kMenuPath)});
    }
}

}  // namespace medium_pack
