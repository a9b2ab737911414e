// The media scan: a folder's descriptor file fills the item, and every
// subfolder that carries one of its own becomes a child.
#include "catalog/catalog_item.h"

#include "platform/codepage.h"
#include "platform/folder_search.h"
#include "platform/system.h"

namespace {
CScanObserver* g_observer = nullptr;
}  // namespace

void CCatalogItem::SetScanObserver(CScanObserver* observer) { g_observer = observer; }

bool CCatalogItem::ScanFolder(const std::string& folder) {
    const platform::CodePage page = platform::CodePage::System();
    const std::string descriptorPath = folder + "\\" + kDescriptorName;

    platform::FolderSearch entries;
    if (!entries.FindFile(folder + "\\*.*")) return true;

    bool more = true;
    while (more) {
        // The descriptor is looked up afresh before every entry: once it has
        // gone (the medium was taken out), the folder is given up.
        const bool present = platform::PathExists(descriptorPath);
        if (present) {
            more = entries.FindNext();
            if (entries.IsDots()) {
                // nothing to do
            } else if (entries.IsDirectory()) {
                std::unique_ptr<CCatalogItem> child(new CCatalogItem);
                child->ScanFolder(entries.GetFilePath());
                // Not attached yet, so a "%T" in its name still counts as text.
                if (!child->GetTitle().empty())
                    AddChild(std::move(child));
                else if (g_observer)
                    g_observer->FolderDropped(*child, entries.GetFilePath());
            } else if (page.Upper(entries.GetFileName()) == kDescriptorName) {
                ReadDescriptor(entries.GetFilePath().c_str());
                if (g_observer) g_observer->DescriptorRead(*this, entries.GetFilePath());
            }
        }
        // Keep the splash and the other windows running during a long scan.
        platform::DrainMessageQueue();
        if (!present) break;
    }
    return true;
}
