// The menu of a medium as pages: the menu's own start on it (the
// translation, then the scan), with where each item came from and how the
// report shows the medium's paths. The checker's rules, medium-pack and
// medium-preview read the pages it plans.
#pragma once

#include "catalog/catalog_item.h"
#include "localisation/translator.h"
#include "platform/system.h"
#include "tools/medium_check/check.h"

#include <map>
#include <string>
#include <vector>

namespace medium_check {

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

// The medium's folder under its root on the disc while the object lives
// (platform::SetHostDrive): the scan then meets the paths the menu meets on
// the disc, within the same limits, wherever the folder lies on this machine.
class DiscDrive {
public:
    DiscDrive(const std::string& root, const std::string& hostFolder)
        : m_mapped(platform::SetHostDrive(root, hostFolder)) {}
    ~DiscDrive() {
        if (m_mapped) platform::SetHostDrive(std::string(), std::string());
    }
    DiscDrive(const DiscDrive&) = delete;
    DiscDrive& operator=(const DiscDrive&) = delete;
    // False on Windows, where the medium is read where it lies.
    bool Mapped() const { return m_mapped; }

private:
    bool m_mapped;
};

class MenuPages {
public:
    explicit MenuPages(const Settings& settings);
    MenuPages(const MenuPages&) = delete;
    MenuPages& operator=(const MenuPages&) = delete;

    // The menu's start: loads the translation, scans the medium, and fills
    // the report's header and its pages (none when the root has no
    // descriptor).
    void Plan(Report& report);

    const Settings& GetSettings() const { return m_settings; }
    // The medium's root as the menu takes it: without a trailing backslash.
    const std::string& Folder() const { return m_root; }
    // The translation file the menu reads.
    const std::string& TranslationPath() const { return m_translation; }
    CTranslator& Translator() { return m_translator; }
    const CCatalogItem& Root() const { return m_item; }
    const ScanRecorder& Recorder() const { return m_recorder; }
    // The descriptors of the downloads on the pages, in page order.
    const std::vector<std::string>& Downloads() const { return m_downloads; }

    // A path on the medium as the report shows it.
    std::string Shown(const std::string& path) const;
    // A description line that ends in the command `command`, with the
    // command as the report shows it.
    std::string ShownDescription(const std::string& text, const std::string& command) const;
    // A file of the medium relative to its root.
    std::string Relative(const std::string& path) const;
    // How many folders below the root a descriptor lies.
    int Depth(const std::string& descriptor) const;

private:
    std::string BulletName(const CCatalogItem& item) const;
    int AddPage(Report& report, const CCatalogItem& node, int parent, int parentSlot);

    Settings m_settings;
    DiscDrive m_drive;
    std::string m_root;
    std::string m_shownBelow;
    std::string m_translation;
    CTranslator m_translator;
    CCatalogItem m_item;
    ScanRecorder m_recorder;
    std::vector<std::string> m_downloads;
};

}  // namespace medium_check
