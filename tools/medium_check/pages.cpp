#include "tools/medium_check/pages.h"

#include "catalog/command.h"
#include "localisation/languages.h"
#include "menu/menu_logic.h"
#include "platform/codepage.h"
#include "platform/folder_search.h"
#include "platform/tool_text.h"
#include "resources/resource.h"

#include <algorithm>
#include <cctype>

namespace medium_check {
namespace {

struct ObserverScope {
    explicit ObserverScope(CScanObserver* observer) { CCatalogItem::SetScanObserver(observer); }
    ~ObserverScope() { CCatalogItem::SetScanObserver(nullptr); }
};

// A folder without its trailing backslashes.
std::string Trimmed(std::string folder) {
    const platform::CodePage page = platform::CodePage::System();
    while (!folder.empty() && page.FindLast(folder, '\\') == folder.size() - 1) folder.pop_back();
    return folder;
}

// Where the menu finds the medium on the disc.
std::string DiscRootOf(const Settings& settings) {
    return IsDiscRoot(settings.shownAs) ? Trimmed(settings.shownAs) : std::string("D:");
}

}  // namespace

bool IsDiscRoot(const std::string& root) {
    const platform::CodePage page = platform::CodePage::System();
    const unsigned char letter = root.empty() ? 0 : static_cast<unsigned char>(root[0]);
    if (root.size() >= 2 && root[1] == ':' && std::isalpha(letter) && letter < 0x80)
        return root.size() == 2 || root[2] == '\\';
    // "\\server\share", and nothing empty between its backslashes.
    if (root.compare(0, 2, "\\\\") != 0) return false;
    const std::string rest = Trimmed(root.substr(2));
    const size_t share = page.Find(rest, '\\');
    return !rest.empty() && share != std::string::npos && share > 0 && share + 1 < rest.size() &&
           rest.find("\\\\") == std::string::npos;
}

MenuPages::MenuPages(const Settings& settings)
    : m_settings(settings),
      m_drive(DiscRootOf(settings), settings.folder.empty() ? platform::NativePath(settings.medium)
                                                            : settings.folder) {
    // The menu takes its folder without the backslash, a drive root too.
    m_root = m_drive.Mapped() ? DiscRootOf(settings) : Trimmed(settings.medium);
    // What a path below the root begins with in the report.
    m_shownBelow = Trimmed(settings.shownAs.empty() ? settings.medium : settings.shownAs) + "\\";
}

void MenuPages::Plan(Report& report) {
    m_translation = m_settings.translation.empty() ? m_root + "\\translat.ini"
                                                   : m_settings.translation;
    report.medium = Shown(m_root);
    report.translation = Relative(m_translation);
    report.translationFound = m_settings.translation.empty()
                                  ? platform::PathExists(m_translation) && !IsFolder(m_translation)
                                  : platform::IsHostFile(m_translation);

    // The menu's own start: the translation first, then the scan.
    m_translator.Load(m_settings.locale, m_translation.c_str());
    report.language = m_translator.SelectLanguage(m_settings.locale);
    report.charSet = m_translator.m_nCharSet;
    report.codePage = languages::CodePageOfCharSet(m_translator.m_nCharSet);
    report.font = m_translator.GetFontFace();
    report.caption = m_translator.GetText(IDS_CAPTION);
    report.hint = m_translator.GetText(IDS_CHOOSE_OPTION);

    {
        ObserverScope scope(&m_recorder);
        m_item.ScanFolder(m_root);
    }
    if (!m_recorder.DescriptorOf(m_item).empty()) AddPage(report, m_item, 0, 0);
}

// A path on the medium as the report shows it.
std::string MenuPages::Shown(const std::string& path) const {
    if (path == m_root) {
        // "D:" alone would be the drive's current folder.
        const std::string root = m_shownBelow.substr(0, m_shownBelow.size() - 1);
        return root.size() == 2 && root[1] == ':' ? m_shownBelow : root;
    }
    if (path.compare(0, m_root.size() + 1, m_root + "\\") != 0) return path;
    return m_shownBelow + path.substr(m_root.size() + 1);
}

// A description line that ends in the command `command`, with the command
// as the report shows it.
std::string MenuPages::ShownDescription(const std::string& text,
                                        const std::string& command) const {
    const std::string tail = "(" + command + ")";
    if (command.empty() || text.size() < tail.size() ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
        return text;
    return text.substr(0, text.size() - tail.size()) + "(" + Shown(command) + ")";
}

// A file of the medium relative to its root.
std::string MenuPages::Relative(const std::string& path) const {
    if (path.compare(0, m_root.size() + 1, m_root + "\\") == 0)
        return path.substr(m_root.size() + 1);
    return Shown(path);
}

int MenuPages::Depth(const std::string& descriptor) const {
    const std::string rel = Relative(descriptor);
    return static_cast<int>(std::count(rel.begin(), rel.end(), '\\'));
}

std::string MenuPages::BulletName(const CCatalogItem& item) const {
    const menu::BulletChoice choice = menu::ChooseBullet(&item, false);
    if (choice.byKey != menu::Bullet::None) return item.GetIcon();
    switch (choice.byCommand) {
        case menu::Bullet::Folder: return "folder";
        case menu::Bullet::Web: return "globe";
        default: return "compact disc";
    }
}

int MenuPages::AddPage(Report& report, const CCatalogItem& node, int parent, int parentSlot) {
    Page page;
    page.number = static_cast<int>(report.pages.size()) + 1;
    page.title = node.GetTitle();
    page.descriptor = Relative(m_recorder.DescriptorOf(node));
    page.parent = parent;
    page.parentSlot = parentSlot;
    page.titleDescription = menu::DescriptionText(node, true);
    report.pages.push_back(page);
    const size_t index = report.pages.size() - 1;

    int slot = 0;
    for (const auto& child : node.m_children) {
        if (++slot > static_cast<int>(menu::kSlots)) break;
        Option option;
        option.slot = slot;
        option.title = child->GetTitle();
        option.bullet = BulletName(*child);
        option.description = ShownDescription(menu::DescriptionText(*child, false), child->GetFile());
        option.descriptor = Relative(m_recorder.DescriptorOf(*child));
        const std::string cmd = child->GetFile();
        switch (command::Classify(cmd)) {
            case command::Kind::SubMenu:
                option.action = Action::Page;
                option.page = AddPage(report, *child, page.number, slot);
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
        report.pages[index].options.push_back(option);
    }
    return page.number;
}

}  // namespace medium_check
