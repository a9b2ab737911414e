// The names of the medium's files and folders.
#include "tools/medium_check/rules.h"

#include "platform/codepage.h"
#include "platform/folder_names.h"
#include "platform/folder_search.h"

#include <algorithm>

namespace medium_check {

// Names of files and folders that Windows cannot hold, beside every
// descriptor read: the menu leaves out the folders it cannot open, a click
// on such a file fails, and a Windows medium cannot carry the others.
void Rules::CheckNames() {
    const platform::CodePage page = platform::CodePage::System();
    for (const std::string& path : m_recorder.AllDescriptors()) {
        if (page.Find(path, '\\') == std::string::npos) continue;
        const std::string folder = platform::FolderOf(path, page);
        struct Name {
            std::string name;
            bool folder;
            bool shown;  // a search of the folder lists it
            bool operator<(const Name& o) const { return name < o.name; }
        };
        std::vector<Name> names;
        platform::FolderSearch entries;
        if (entries.FindFile(folder + "\\*.*")) {
            bool more = true;
            while (more) {
                more = entries.FindNext();
                if (!entries.IsDots())
                    names.push_back({entries.GetFileName(), entries.IsDirectory(), true});
            }
        }
        for (const platform::NamedEntry& entry : platform::HiddenEntries(folder))
            names.push_back({entry.name, entry.folder, false});
        std::sort(names.begin(), names.end());
        for (const Name& entry : names) {
            const char* problem = platform::NameProblem(entry.name);
            if (!problem) continue;
            const char* outcome =
                !entry.folder ? ": Windows cannot open it"
                : entry.shown && page.Find(entry.name, '?') == std::string::npos
                    ? ": on Windows the entry cannot be reached"
                    : ": the menu does not show it";
            Add(Severity::Error, "name-not-portable", Relative(path), 0,
                std::string(entry.folder ? "the folder " : "the file ") + Quote(entry.name) +
                    " has " + problem + " in its name, which Windows does not allow" + outcome);
        }
    }
}

}  // namespace medium_check
