// The checker's rules, by subject: what the pages show and leave out
// (rules_tree.cpp), the names of the medium's files and folders (rules_names.cpp), and
// each descriptor's values and the file it names (rules_descriptor.cpp).
// Each adds its findings to the report; the translation file's are in
// translation_check.cpp.
#pragma once

#include "catalog/command.h"
#include "platform/ini_layout.h"
#include "platform/ini_reader.h"
#include "platform/system.h"
#include "tools/medium_check/check_internal.h"
#include "tools/medium_check/pages.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace medium_check {

const size_t kMenuValue = CCatalogItem::kMaxValue;  // what the menu reads of a value
const DWORD kWholeValue = 65536;  // enough for how long a value usually is
const DWORD kLargestValue = 1u << 25;  // and the most it is read to

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
inline std::string MenuValue(const std::string& whole) {
    return whole.substr(0, std::min(whole.size(), kMenuValue));
}

class Rules {
public:
    Rules(const MenuPages& pages, Report& report)
        : m_pages(pages), m_report(report), m_recorder(pages.Recorder()), m_root(pages.Folder()) {}

    // rules_tree.cpp
    // A root without a descriptor: the menu's window is empty, and the
    // descriptors below are never read.
    void CheckRootWithoutDescriptor();
    // What no page shows: options after the seventh, entries under a
    // product, sub-menus without entries.
    void CheckNode(const CCatalogItem& node);
    // Entries the scan left out, and the descriptors under them.
    void CheckDropped();
    // Display texts that reach the length the menu builds them to, of the
    // item and everything below it.
    void CheckTexts(const CCatalogItem& item);
    // Symbolic links that lead out of the medium, nowhere, or round: none
    // of them is on the disc.
    void CheckLinks();

    // rules_names.cpp
    // Names of files and folders that Windows cannot hold, beside every
    // descriptor read.
    void CheckNames();

    // rules_descriptor.cpp
    // One descriptor's values; the texts the translation should cover are
    // added to `texts`.
    void CheckDescriptor(const std::string& path, std::vector<DescriptorText>& texts);
    // Downloads need the library beside the menu program.
    void CheckDownloads();

private:
    void Add(Severity severity, const char* code, const std::string& file, unsigned line,
             const std::string& message) {
        m_report.findings.push_back({severity, code, file, line, message});
    }
    std::string Shown(const std::string& path) const { return m_pages.Shown(path); }
    std::string Relative(const std::string& path) const { return m_pages.Relative(path); }
    int Depth(const std::string& descriptor) const { return m_pages.Depth(descriptor); }

    void ReportHidden(const std::string& folder, const std::string& shownFolder);
    bool ReportTooLong(const std::string& folder);
    static void FindDescriptors(const std::string& folder, std::vector<std::string>& found);
    void CheckPin(const std::string& file, command::Kind kind, const std::string& pin,
                  unsigned line, unsigned fileLine);
    static bool IsWholeNumber(const std::string& s);
    command::Kind CheckFile(const std::string& descriptor, const std::string& value,
                            unsigned line);

    const MenuPages& m_pages;
    Report& m_report;
    const ScanRecorder& m_recorder;
    const std::string& m_root;
};

}  // namespace medium_check
