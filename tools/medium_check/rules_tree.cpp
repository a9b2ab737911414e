// What the pages show and leave out.
#include "tools/medium_check/rules.h"

#include "menu/menu_logic.h"
#include "platform/codepage.h"
#include "platform/folder_names.h"
#include "platform/folder_search.h"
#include "tools/medium_common/medium_tree.h"

#include <algorithm>

namespace medium_check {
namespace {

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

}  // namespace

void Rules::CheckRootWithoutDescriptor() {
    Add(Severity::Error, "root-without-descriptor", CCatalogItem::kDescriptorName, 0,
        "the medium's root has no " + std::string(CCatalogItem::kDescriptorName) +
            ": the menu shows an empty window, with no title and no options");
    ReportHidden(m_root, "the medium's root");
}

// What no page shows: options after the seventh, entries under a
// product, sub-menus without entries.
void Rules::CheckNode(const CCatalogItem& node) {
    size_t slot = 0;
    for (const auto& child : node.m_children) {
        ++slot;
        const std::string descriptor = Relative(m_recorder.DescriptorOf(*child));
        if (slot > menu::kSlots) {
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

void Rules::CheckDropped() {
    for (const ScanRecorder::Dropped& d : m_recorder.DroppedFolders()) {
        if (d.descriptor.empty()) {
            if (!ReportTooLong(d.folder)) ReportHidden(d.folder, Quote(Relative(d.folder)));
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

// Display texts that reach the length the menu builds them to, of the
// item and everything below it.
void Rules::CheckTexts(const CCatalogItem& item) {
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

void Rules::CheckLinks() {
    using medium_common::LinkKind;
    const medium_common::MediumTree tree = medium_common::ReadMedium(platform::NativePath(m_root));
    for (const medium_common::MediumLink& link : tree.links) {
        std::string file = link.path;
        std::replace(file.begin(), file.end(), '/', '\\');
        const std::string to = "a link to " + Quote(link.target, 120);
        if (link.kind == LinkKind::Leaves)
            Add(Severity::Error, "link-leaves-medium", file, 0,
                to + (link.end == link.target ? "" : ", which comes to " + Quote(link.end, 120)) +
                    ", outside the medium: medium-pack never packs it; copy what belongs on "
                    "the disc into the medium");
        else if (link.kind == LinkKind::Dangling)
            Add(Severity::Warning, "link-dangling", file, 0,
                to + " that names nothing (" + link.end + "): the disc does not have it");
        else if (link.kind == LinkKind::Loop)
            Add(Severity::Warning, "link-loops", file, 0,
                to + ", a folder that holds the link itself: the disc cannot hold a folder "
                     "inside itself, and does not have the link");
    }
}

// A descriptor whose path on the disc is too long for Windows' file
// functions (MAX_PATH with its terminating zero): the menu never reads it,
// nor anything below it. This machine's own calls still find it.
bool Rules::ReportTooLong(const std::string& folder) {
    const std::string descriptor = folder + "\\" + CCatalogItem::kDescriptorName;
    if (descriptor.size() < MAX_PATH) return false;
    const platform::CodePage page = platform::CodePage::System();
    // What a search of the folder shows, where its path allows one, and
    // what this machine's own calls show beyond.
    std::vector<platform::NamedEntry> entries = platform::HiddenEntries(folder);
    platform::FolderSearch search;
    for (bool more = search.FindFile(folder + "\\*.*"); more;) {
        more = search.FindNext();
        entries.push_back({search.GetFileName(), search.IsDirectory()});
    }
    for (const platform::NamedEntry& entry : entries) {
        if (entry.folder || page.Upper(entry.name) != CCatalogItem::kDescriptorName) continue;
        Add(Severity::Error, "path-too-long", Relative(folder + "\\" + entry.name), 0,
            "never read: on the disc its path, " + Quote(descriptor, 70) + ", is " +
                std::to_string(descriptor.size()) + " bytes long, and Windows opens no path of " +
                std::to_string(MAX_PATH) + " bytes or more; shorten the folder names above it");
        return true;
    }
    return false;
}

// Descriptor files under a folder that has none: the scan never goes
// there.
void Rules::ReportHidden(const std::string& folder, const std::string& shownFolder) {
    std::vector<std::string> found;
    FindDescriptors(folder, found);
    for (const std::string& path : found)
        Add(Severity::Error, "descriptor-not-read", Relative(path), 0,
            "never read: " + shownFolder + " above it has no " +
                std::string(CCatalogItem::kDescriptorName) +
                ", and the menu looks no further down a folder without one");
}

void Rules::FindDescriptors(const std::string& folder, std::vector<std::string>& found) {
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

}  // namespace medium_check
