#include "tools/medium_check/check_internal.h"

#include "catalog/catalog_item.h"
#include "catalog/command.h"
#include "localisation/translator.h"
#include "menu/menu_logic.h"
#include "platform/codepage.h"
#include "platform/folder_search.h"
#include "platform/ini_reader.h"
#include "platform/system.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

namespace medium_check {
namespace {

const size_t kMenuValue = CCatalogItem::kMaxValue;  // what the menu reads of a value
const DWORD kWholeValue = 65536;  // enough for how long a value usually is
const DWORD kLargestValue = 1u << 25;  // and the most it is read to
const size_t kSlots = menu::kSlots;

// Records which descriptor file filled which item, and what the scan left
// out, while the menu's own scan runs.
class ScanRecorder : public CScanObserver {
public:
    struct Dropped {
        std::string folder;
        std::string descriptor;  // empty: the folder has no descriptor file
        std::string name;
        std::string version;
        std::vector<std::string> below;  // titles of the entries under it
    };

    void DescriptorRead(const CCatalogItem& item, const std::string& path) override {
        m_descriptors[&item] = path;
        m_commands[path] = item.GetFile();
    }

    void FolderDropped(const CCatalogItem& item, const std::string& folder) override {
        Dropped d;
        d.folder = folder;
        d.descriptor = Take(item);
        d.name = item.m_strName;
        d.version = item.GetVersion();
        Collect(item, d.below);
        m_dropped.push_back(std::move(d));
    }

    // The descriptor of an item still in the tree; empty when none.
    std::string DescriptorOf(const CCatalogItem& item) const {
        auto it = m_descriptors.find(&item);
        return it == m_descriptors.end() ? std::string() : it->second;
    }
    const std::vector<Dropped>& DroppedFolders() const { return m_dropped; }
    // The command the menu made of a descriptor's "file".
    std::string CommandOf(const std::string& descriptor) const {
        auto it = m_commands.find(descriptor);
        return it == m_commands.end() ? std::string() : it->second;
    }
    // Every descriptor file the scan read, dropped or not.
    std::vector<std::string> AllDescriptors() const {
        std::vector<std::string> all = m_droppedDescriptors;
        for (const auto& entry : m_descriptors) all.push_back(entry.second);
        return all;
    }

private:
    // The item goes with the dropped subtree: forget it, so that a new item
    // at the same address is not taken for it.
    std::string Take(const CCatalogItem& item) {
        auto it = m_descriptors.find(&item);
        if (it == m_descriptors.end()) return std::string();
        std::string path = it->second;
        m_descriptors.erase(it);
        m_droppedDescriptors.push_back(path);
        return path;
    }
    void Collect(const CCatalogItem& item, std::vector<std::string>& below) {
        for (const auto& child : item.m_children) {
            below.push_back(child->GetTitle());
            Take(*child);
            Collect(*child, below);
        }
    }

    std::map<const CCatalogItem*, std::string> m_descriptors;
    std::map<std::string, std::string> m_commands;
    std::vector<std::string> m_droppedDescriptors;
    std::vector<Dropped> m_dropped;
};

struct ObserverScope {
    explicit ObserverScope(CScanObserver* observer) { CCatalogItem::SetScanObserver(observer); }
    ~ObserverScope() { CCatalogItem::SetScanObserver(nullptr); }
};

// Titles for a message, each in quotes, three at the most.
std::string TitleList(const std::vector<std::string>& titles) {
    std::vector<std::string> quoted;
    for (const std::string& t : titles) quoted.push_back(Quote(t, 40));
    return ListOf(quoted, 3);
}

size_t CountBelow(const CCatalogItem& item) {
    size_t n = 0;
    for (const auto& child : item.m_children) n += 1 + CountBelow(*child);
    return n;
}

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

// Whether a relative path climbs above the medium's root, starting from a
// folder `depth` levels below it.
bool ClimbsAboveRoot(const std::string& value, int depth) {
    const platform::CodePage page = platform::CodePage::System();
    std::string part;
    for (size_t i = 0; i <= value.size();) {
        const size_t n = i < value.size() ? page.CharLength(value, i) : 1;
        if (i == value.size() || (n == 1 && (value[i] == '\\' || value[i] == '/'))) {
            if (part == "..") {
                if (--depth < 0) return true;
            } else if (!part.empty() && part != ".") {
                ++depth;
            }
            part.clear();
        } else {
            part.append(value, i, n);
        }
        i += n;
    }
    return false;
}

// One descriptor file: its values as the profile functions read them, whole
// (to see what the menu cuts), and the lines of its keys.
class DescriptorFile {
public:
    explicit DescriptorFile(const std::string& path)
        : m_path(path),
          m_layout(ini::ReadLayout(platform::NativePath(path).c_str())),
          m_buffer(new char[kWholeValue]) {}

    // A value that fills the buffer is read again with a larger one, so
    // that its real length is known.
    std::string Whole(const char* key) const {
        DWORD size = kWholeValue;
        std::unique_ptr<char[]> larger;
        char* buf = m_buffer.get();
        for (;;) {
            const DWORD n = platform::ProfileString("common", key, "", buf, size, m_path.c_str());
            if (n < size - 1 || size >= kLargestValue)
                return std::string(buf, n < size ? n : size - 1);
            size *= 8;
            larger.reset(new char[size]);
            buf = larger.get();
        }
    }
    unsigned Line(const char* key) const { return ini::LineOf(m_layout, "common", key); }

private:
    std::string m_path;
    std::vector<ini::SectionLayout> m_layout;
    std::unique_ptr<char[]> m_buffer;
};

// What the menu reads of a value.
std::string MenuValue(const std::string& whole) {
    return whole.substr(0, std::min(whole.size(), kMenuValue));
}

class Checker {
public:
    explicit Checker(const Settings& settings) : m_settings(settings) {
        m_root = settings.medium;
        // The menu takes its folder without the backslash, a drive root too.
        const platform::CodePage page = platform::CodePage::System();
        while (!m_root.empty() && page.FindLast(m_root, '\\') == m_root.size() - 1)
            m_root.pop_back();
        // What a path below the root begins with in the report.
        std::string as = settings.shownAs.empty() ? m_root : settings.shownAs;
        while (!as.empty() && page.FindLast(as, '\\') == as.size() - 1) as.pop_back();
        m_shownBelow = as + "\\";
    }

    Report Run() {
        const std::string translation = m_settings.translation.empty()
                                            ? m_root + "\\translat.ini"
                                            : m_settings.translation;
        m_report.medium = Shown(m_settings.medium);
        m_report.translation = Relative(translation);
        m_report.translationFound = platform::PathExists(translation) && !IsFolder(translation);

        // The menu's own start: the translation first, then the scan.
        CTranslator translator;
        translator.Load(m_settings.locale, translation.c_str());
        m_report.language = translator.SelectLanguage(m_settings.locale);
        m_report.charSet = translator.m_nCharSet;
        m_report.codePage = CodePageOfCharSet(translator.m_nCharSet);
        m_report.font = translator.GetFontFace();
        m_report.caption = translator.GetText(IDS_CAPTION);
        m_report.hint = translator.GetText(IDS_CHOOSE_OPTION);

        CCatalogItem root;
        {
            ObserverScope scope(&m_recorder);
            root.ScanFolder(m_root);
        }

        if (m_recorder.DescriptorOf(root).empty()) {
            Add(Severity::Error, "root-without-descriptor", CCatalogItem::kDescriptorName, 0,
                "the medium's root has no " + std::string(CCatalogItem::kDescriptorName) +
                    ": the menu shows an empty window, with no title and no options");
            ReportHidden(m_root, "the medium's root");
        } else {
            AddPage(root, 0, 0);
            CheckNode(root);
        }
        CheckDropped();
        CheckFolderNames();
        CheckTexts(root);

        std::vector<DescriptorText> texts;
        for (const std::string& path : m_recorder.AllDescriptors()) CheckDescriptor(path, texts);
        if (!m_recorder.DescriptorOf(root).empty())
            CheckArt(m_root, m_recorder.DescriptorOf(root), m_report.findings);
        CheckDownloads();

        if (m_report.translationFound) {
            CheckTranslation(translation, m_report.translation, texts, m_report);
            translator.Load(m_settings.locale, translation.c_str());
        }
        for (const std::string& name : m_report.sections)
            if (name == m_report.language) m_report.languageFound = true;

        // Files in a fixed order (each folder's descriptor before those of
        // its subfolders), then lines; findings of one place keep their order.
        std::vector<std::pair<std::string, Finding>> keyed;
        for (Finding& f : m_report.findings) keyed.push_back({SortKey(f.file), std::move(f)});
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
            if (a.first != b.first) return a.first < b.first;
            return a.second.line < b.second.line;
        });
        m_report.findings.clear();
        for (auto& k : keyed) m_report.findings.push_back(std::move(k.second));
        return m_report;
    }

private:
    static std::string SortKey(const std::string& file) {
        // The translation file after every descriptor.
        const platform::CodePage page = platform::CodePage::System();
        if (page.Upper(file).find(CCatalogItem::kDescriptorName) == std::string::npos)
            return "\x7F" + file;
        const size_t slash = page.FindLast(file, '\\');
        std::string key = slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
        // Folder by folder: "a\b\" before "a\b2\" and "a\b\c\".
        for (size_t i = page.Find(key, '\\'); i != std::string::npos; i = page.Find(key, '\\', i + 1))
            key[i] = '\x01';
        return key;
    }

    void Add(Severity severity, const char* code, const std::string& file, unsigned line,
             const std::string& message) {
        m_report.findings.push_back({severity, code, file, line, message});
    }

    // A path on the medium as the report shows it.
    std::string Shown(const std::string& path) const {
        if (path == m_root) {
            // "D:" alone would be the drive's current folder.
            const std::string root = m_shownBelow.substr(0, m_shownBelow.size() - 1);
            return root.size() == 2 && root[1] == ':' ? m_shownBelow : root;
        }
        if (path.compare(0, m_root.size() + 1, m_root + "\\") != 0) return path;
        return m_shownBelow + path.substr(m_root.size() + 1);
    }
    // Every path on the medium in a text, as the report shows it.
    std::string ShownText(const std::string& text) const {
        const platform::CodePage page = platform::CodePage::System();
        const std::string from = m_root + "\\";
        std::string out;
        size_t at = 0;
        for (size_t hit; (hit = page.FindText(text, from, at)) != std::string::npos;) {
            out.append(text, at, hit - at);
            out += m_shownBelow;
            at = hit + from.size();
        }
        return out + text.substr(at);
    }
    // A file of the medium relative to its root.
    std::string Relative(const std::string& path) const {
        if (path.compare(0, m_root.size() + 1, m_root + "\\") == 0)
            return path.substr(m_root.size() + 1);
        return Shown(path);
    }
    int Depth(const std::string& descriptor) const {
        const std::string rel = Relative(descriptor);
        return static_cast<int>(std::count(rel.begin(), rel.end(), '\\'));
    }

    std::string BulletName(const CCatalogItem& item) const {
        const menu::BulletChoice choice = menu::ChooseBullet(&item, false);
        if (choice.byKey != menu::Bullet::None) return item.GetIcon();
        switch (choice.byCommand) {
            case menu::Bullet::Folder: return "folder";
            case menu::Bullet::Web: return "globe";
            default: return "compact disc";
        }
    }

    int AddPage(const CCatalogItem& node, int parent, int parentSlot) {
        Page page;
        page.number = static_cast<int>(m_report.pages.size()) + 1;
        page.title = node.GetTitle();
        page.descriptor = Relative(m_recorder.DescriptorOf(node));
        page.parent = parent;
        page.parentSlot = parentSlot;
        page.titleDescription = ShownText(menu::DescriptionText(node, true));
        m_report.pages.push_back(page);
        const size_t index = m_report.pages.size() - 1;

        int slot = 0;
        for (const auto& child : node.m_children) {
            if (++slot > static_cast<int>(kSlots)) break;
            Option option;
            option.slot = slot;
            option.title = child->GetTitle();
            option.bullet = BulletName(*child);
            option.description = ShownText(menu::DescriptionText(*child, false));
            option.descriptor = Relative(m_recorder.DescriptorOf(*child));
            const std::string cmd = child->GetFile();
            switch (command::Classify(cmd)) {
                case command::Kind::SubMenu:
                    option.action = Action::Page;
                    option.page = AddPage(*child, page.number, slot);
                    break;
                case command::Kind::Program:
                    option.action = Action::Program;
                    option.target = Shown(cmd);
                    option.elevation = ProgramElevation(cmd);
                    break;
                case command::Kind::Shell:
                    option.action = Action::Shell;
                    option.target = cmd;
                    break;
                case command::Kind::Download:
                    option.action = Action::Download;
                    option.target = cmd;
                    option.destination = command::DownloadDestination("%TEMP%\\", cmd);
                    m_downloads.push_back(option.descriptor);
                    break;
            }
            m_report.pages[index].options.push_back(option);
        }
        return page.number;
    }

    // What no page shows: options after the seventh, entries under a
    // product, sub-menus without entries.
    void CheckNode(const CCatalogItem& node) {
        size_t slot = 0;
        for (const auto& child : node.m_children) {
            ++slot;
            const std::string descriptor = Relative(m_recorder.DescriptorOf(*child));
            if (slot > kSlots) {
                std::string message = "option " + std::to_string(slot) + " of " +
                                      Quote(node.GetTitle(), 40) + ", " +
                                      Quote(child->GetTitle(), 40) +
                                      ", is never shown: a page has room for seven options";
                const size_t below = CountBelow(*child);
                if (below) message += "; the " + Counted(below, "entry", "entries") +
                                      " below it go with it";
                Add(Severity::Error, "unreachable-option", descriptor, 0, message);
                continue;
            }
            const std::string cmd = child->GetFile();
            const command::Kind kind = command::Classify(cmd);
            if (kind == command::Kind::SubMenu) {
                if (child->m_children.empty())
                    Add(Severity::Warning, "empty-submenu", descriptor, 0,
                        "a sub-menu without entries: a click on " + Quote(child->GetTitle(), 40) +
                            " shows a page with its title alone (give it a \"file\", or "
                            "folders with descriptors below it)");
                CheckNode(*child);
            } else if (!child->m_children.empty()) {
                std::vector<std::string> titles;
                for (const auto& below : child->m_children) titles.push_back(below->GetTitle());
                Add(Severity::Error, "entries-below-product", descriptor, 0,
                    "a click on " + Quote(child->GetTitle(), 40) + " " +
                        (kind == command::Kind::Program    ? "starts a program"
                         : kind == command::Kind::Download ? "downloads a program"
                                                           : "opens an address") +
                        ", so the " + Counted(titles.size(), "entry", "entries") + " below it (" +
                        TitleList(titles) + ") are never shown");
            }
        }
    }

    void CheckDropped() {
        for (const ScanRecorder::Dropped& d : m_recorder.DroppedFolders()) {
            if (d.descriptor.empty()) {
                ReportHidden(d.folder, Quote(Relative(d.folder)));
                continue;
            }
            std::string message = d.name.empty()
                ? std::string("the entry has no name, so the menu leaves it out")
                : "the name " + Quote(d.name) + " is empty once %V is filled with the version " +
                      Quote(d.version) + ", so the menu leaves the entry out";
            if (!d.below.empty())
                message += ", with the " + Counted(d.below.size(), "entry", "entries") +
                           " below it (" + TitleList(d.below) + ")";
            Add(Severity::Error, "entry-disappears", Relative(d.descriptor),
                DescriptorFile(d.descriptor).Line("name"), message);
        }
    }

    // Folder names that Windows cannot hold, beside every descriptor read:
    // the menu leaves out those it cannot open, and a Windows medium cannot
    // carry the others.
    void CheckFolderNames() {
        const platform::CodePage page = platform::CodePage::System();
        for (const std::string& path : m_recorder.AllDescriptors()) {
            if (page.Find(path, '\\') == std::string::npos) continue;
            const std::string folder = platform::FolderOf(path, page);
            std::vector<std::pair<std::string, bool>> names;  // name, shown
            platform::FolderSearch entries;
            if (entries.FindFile(folder + "\\*.*")) {
                bool more = true;
                while (more) {
                    more = entries.FindNext();
                    if (entries.IsDirectory() && !entries.IsDots())
                        names.push_back({entries.GetFileName(), true});
                }
            }
            for (const std::string& name : platform::HiddenFolders(folder))
                names.push_back({name, false});
            std::sort(names.begin(), names.end());
            for (const auto& entry : names) {
                const char* problem = platform::NameProblem(entry.first);
                if (!problem) continue;
                Add(Severity::Error, "name-not-portable", Relative(path), 0,
                    "the folder " + Quote(entry.first) + " has " + problem +
                        " in its name, which Windows does not allow" +
                        (entry.second && page.Find(entry.first, '?') == std::string::npos
                             ? ": on Windows the entry cannot be reached"
                             : ": the menu does not show it"));
            }
        }
    }

    // Display texts that reach the length the menu builds them to, of the
    // item and everything below it.
    void CheckTexts(const CCatalogItem& item) {
        const std::string descriptor = m_recorder.DescriptorOf(item);
        const std::string file = Relative(descriptor);
        const std::string limit = std::to_string(CCatalogItem::kMaxDisplayText);
        bool cut = false;
        const std::string title = item.GetTitle(&cut);
        if (cut)
            Add(Severity::Warning, "text-too-long", file, DescriptorFile(descriptor).Line("name"),
                "the title " + Quote(title, 40) + " grows past " + limit +
                    " bytes (every \"%T\" brings in the whole title above it); the menu cuts "
                    "it there");
        item.GetDisplayDescription(&cut);
        if (cut)
            Add(Severity::Warning, "text-too-long", file,
                DescriptorFile(descriptor).Line("description"),
                "the description of " + Quote(title, 40) + " grows past " + limit +
                    " bytes; the menu cuts it there");
        for (const auto& child : item.m_children) CheckTexts(*child);
    }

    // Descriptor files under a folder that has none: the scan never goes
    // there.
    void ReportHidden(const std::string& folder, const std::string& shownFolder) {
        std::vector<std::string> found;
        FindDescriptors(folder, found);
        for (const std::string& path : found)
            Add(Severity::Error, "descriptor-not-read", Relative(path), 0,
                "never read: " + shownFolder + " above it has no " +
                    std::string(CCatalogItem::kDescriptorName) +
                    ", and the menu looks no further down a folder without one");
    }

    static void FindDescriptors(const std::string& folder, std::vector<std::string>& found) {
        const platform::CodePage page = platform::CodePage::System();
        platform::FolderSearch entries;
        if (!entries.FindFile(folder + "\\*.*")) return;
        std::vector<std::string> subfolders;
        bool more = true;
        while (more) {
            more = entries.FindNext();
            if (entries.IsDots()) continue;
            if (entries.IsDirectory())
                subfolders.push_back(entries.GetFilePath());
            else if (page.Upper(entries.GetFileName()) == CCatalogItem::kDescriptorName)
                found.push_back(entries.GetFilePath());
        }
        std::sort(subfolders.begin(), subfolders.end());
        // Only the topmost: below a descriptor that is never read, the
        // others follow from it.
        if (!found.empty()) return;
        for (const std::string& sub : subfolders) FindDescriptors(sub, found);
    }

    void CheckDescriptor(const std::string& path, std::vector<DescriptorText>& texts) {
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
    void CheckPin(const std::string& file, command::Kind kind, const std::string& pin,
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
            return;
        }
        if (kind != command::Kind::Download)
            Add(Severity::Warning, "sha256-not-download", file, line,
                "\"sha256\" is checked only on a download; this option " +
                    std::string(kind == command::Kind::SubMenu ? "opens a page"
                                : kind == command::Kind::Shell ? "opens an address in the shell"
                                                               : "starts a file on the medium") +
                    " and never checks it");
    }

    static bool IsWholeNumber(const std::string& s) {
        size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
        if (i == s.size() || s.size() - i > 10) return false;
        for (size_t j = i; j < s.size(); ++j)
            if (s[j] < '0' || s[j] > '9') return false;
        const long long v = std::atoll(s.c_str());
        return v >= -2147483647LL - 1 && v <= 2147483647LL;
    }

    // `value` is "file" as the menu reads it; the menu's command made of it
    // is the joined path, unless the value was kept as written.
    command::Kind CheckFile(const std::string& descriptor, const std::string& value,
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
        // A program or document.
        if (command::BeginsLikeAddress(value)) {
            Add(Severity::Error, "file-not-address", file, line,
                what + " begins like an address but is none (only http:, https: and ftp: "
                "are); the menu keeps it as written instead of looking in this folder, and "
                "cannot start it; write .\\" + value + " for a file here");
            return kind;
        }
        if (platform::CodePage::System().Find(value, ':') != std::string::npos ||
            value.compare(0, 2, "\\\\") == 0) {
            Add(Severity::Error, "file-leaves-medium", file, line,
                what + " names a drive or another computer; the menu joins it to the "
                "descriptor's folder and runs " + Shown(joined) +
                ", which cannot exist; write the path relative to this folder");
            return kind;
        }
        if (ClimbsAboveRoot(value, Depth(descriptor))) {
            Add(Severity::Error, "file-leaves-medium", file, line,
                what + " climbs above the medium's root with \"..\": " + Shown(joined) +
                " is not on the medium");
            return kind;
        }
        const bool exists = platform::PathExists(joined);
        if (exists) CheckSignature(joined, Relative(platform::FullPath(joined)), m_report);
        if (!value.empty() && (value[0] == '\\' || value[0] == '/')) {
            Add(exists ? Severity::Warning : Severity::Error, "file-leading-backslash", file,
                line,
                what + " begins with a backslash, yet it does not start at the medium's "
                "root: the menu runs " + Shown(joined) + ", in this folder" +
                    (exists ? std::string() : std::string(", which does not exist")));
            return kind;
        }
        if (!exists) {
            Add(Severity::Error, "file-missing", file, line,
                what + ": " + Shown(joined) + " does not exist");
            return kind;
        }
        if (IsFolder(joined)) {
            Add(Severity::Error, "file-is-folder", file, line,
                what + " is a folder, which cannot be started; end it with a backslash (or "
                "leave \"file\" out) for a sub-menu");
            return kind;
        }
        if (!IsProgramName(joined))
            Add(Severity::Error, "file-not-program", file, line,
                what + " is not a program (.exe, .com, .bat or .cmd): the menu starts the "
                "file itself, so a click on it fails");
        else if (ProgramElevation(joined) == Elevation::Broken)
            Add(Severity::Error, "manifest-broken", file, line,
                what + " carries a manifest that is not well-formed XML: Windows refuses to "
                "start it");
        return kind;
    }

    // Downloads need the library beside the menu program.
    void CheckDownloads() {
        if (m_downloads.empty()) return;
        if (platform::PathExists(m_root + "\\wizard.exe") &&
            !platform::PathExists(m_root + "\\Online.dll"))
            Add(Severity::Error, "online-dll-missing", m_downloads.front(), 0,
                "the medium has wizard.exe but no Online.dll beside it, so no download "
                "can start");
    }

    const Settings& m_settings;
    std::string m_root;
    std::string m_shownBelow;
    ScanRecorder m_recorder;
    Report m_report;
    std::vector<std::string> m_downloads;
};

}  // namespace

int Report::Count(Severity severity) const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [&](const Finding& f) { return f.severity == severity; }));
}

std::string Counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string ListOf(const std::vector<std::string>& items, size_t most) {
    const size_t shown = std::min(items.size(), most);
    std::string list;
    for (size_t i = 0; i < shown; ++i) {
        if (i) list += i + 1 == items.size() ? " and " : ", ";
        list += items[i];
    }
    if (items.size() > shown) list += " and " + std::to_string(items.size() - shown) + " more";
    return list;
}

bool IsFolder(const std::string& path) {
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    platform::FolderSearch search;
    return search.FindFile(folder + "\\*.*");
}

std::string Quote(const std::string& text, size_t max) {
    if (text.size() <= max) return "\"" + text + "\"";
    const platform::CodePage page = platform::CodePage::System();
    size_t end = 0;
    while (end < text.size() && end + page.CharLength(text, end) <= max)
        end += page.CharLength(text, end);
    return "\"" + text.substr(0, end) + "...\"";
}

Report Check(const Settings& settings) {
    Checker checker(settings);
    return checker.Run();
}

}  // namespace medium_check
