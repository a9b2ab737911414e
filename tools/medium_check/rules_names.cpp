// The names of the medium's folders.
#include "tools/medium_check/rules.h"

#include "platform/codepage.h"
#include "platform/folder_names.h"
#include "platform/folder_search.h"

#include <algorithm>

namespace medium_check {

// Folder names that Windows cannot hold, beside every descriptor read:
// the menu leaves out those it cannot open, and a Windows medium cannot
// carry the others.
void Rules::CheckFolderNames() {
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

}  // namespace medium_check
