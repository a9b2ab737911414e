// One entry of the menu, read from one descriptor file, and the tree the
// entries form: each item owns its children, ordered by priority.
#pragma once

#include "localisation/translator.h"

#include <list>
#include <memory>
#include <string>

class CCatalogItem;
namespace platform {
class ProfileSectionReader;
}

// Told what a media scan reads and what it leaves out, for tools that check a
// medium before it ships. The menu program sets none.
class CScanObserver {
public:
    virtual ~CScanObserver() {}
    // `item` has just been filled from the descriptor file at `path`.
    virtual void DescriptorRead(const CCatalogItem& item, const std::string& path) = 0;
    // `item`, scanned from the subfolder `folder`, has an empty title: it is
    // about to be destroyed together with its subtree.
    virtual void FolderDropped(const CCatalogItem& item, const std::string& folder) = 0;
};

class CCatalogItem {
public:
    // The descriptor file every folder of a medium carries.
    static const char* const kDescriptorName;  // "QXMSETUP.INI"
    // The most of a descriptor's value that is read, in bytes: a path
    // buffer's worth without its NUL.
    static const size_t kMaxValue = MAX_PATH - 1;

    CCatalogItem();
    virtual ~CCatalogItem();
    CCatalogItem(const CCatalogItem&) = delete;
    CCatalogItem& operator=(const CCatalogItem&) = delete;

    // Fills the item from the section "common" of the descriptor at `path`.
    void ReadDescriptor(const char* path);
    // The value of `key` in `descriptor` (its section "common") as
    // ReadDescriptor reads every key: kMaxValue bytes at the most.
    static std::string ReadKey(const platform::ProfileSectionReader& descriptor, const char* key);
    // Reads `folder`'s descriptor into this item and builds its subtree from
    // the subfolders. `folder` has no trailing backslash. Always true.
    bool ScanFolder(const std::string& folder);
    // The observer of every scan from now on; null for none.
    static void SetScanObserver(CScanObserver* observer);

    void SetName(const std::string& text) { m_strName = text; }
    void SetVersion(const std::string& text) { m_strVersion = text; }
    void SetDescription(const std::string& text) { m_strDescription = text; }
    void SetFile(const std::string& text) { m_strFile = text; }
    void SetIcon(const std::string& text) { m_strIcon = text; }

    std::string GetFile() const { return m_strFile; }
    std::string GetIcon() const { return m_strIcon; }
    std::string GetVersion() const { return m_strVersion; }
    // The "sha256" value as read: the digest a downloaded program must have.
    // Empty when the descriptor pins nothing.
    std::string GetSha256() const { return m_strSha256; }
    void SetSha256(const std::string& text) { m_strSha256 = text; }

    // Takes ownership of `child` and places it among the children by its
    // priority: non-zero priorities ascending, ties in order of arrival,
    // priority 0 last.
    void AddChild(std::unique_ptr<CCatalogItem> child);
    // The longest display text, in bytes: far more than any window shows.
    // A name that fills in its parent's title several times would otherwise
    // grow without bound down the tree.
    static const size_t kMaxDisplayText = 4096;

    // The display title: the name with "%V" and "%T" filled in. Every step
    // of its making is cut to kMaxDisplayText bytes on a character boundary,
    // so the work is bounded too; `cut`, when given, tells whether any step
    // was. A text that was never cut is exactly the filled-in name.
    std::string GetTitle(bool* cut = nullptr) const;
    // The display description: "%P", "%V" and "%T" filled in, bounded in
    // the same way.
    std::string GetDisplayDescription(bool* cut = nullptr) const;

    std::string m_strName;
    std::string m_strVersion;
    std::string m_strDescription;
    std::string m_strFile;
    int m_nPriority;
    std::string m_strIcon;
    CCatalogItem* m_pParent;
    std::list<std::unique_ptr<CCatalogItem>> m_children;
    CTranslator m_translator;
    std::string m_strSha256;
};
