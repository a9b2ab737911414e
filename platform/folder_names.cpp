#include "platform/folder_names.h"

#include "platform/codepage.h"
#include "platform/folder_search.h"
#include "platform/system.h"

#include <algorithm>
#include <set>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace platform {

const char* CharacterProblem(const std::string& name) {
    const CodePage page = CodePage::System();
    for (size_t i = 0; i < name.size(); i += page.CharLength(name, i)) {
        if (page.CharLength(name, i) != 1) continue;
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20) return "a control character";
        switch (c) {
            case '<': return "the character \"<\"";
            case '>': return "the character \">\"";
            case ':': return "the character \":\"";
            case '"': return "the character '\"'";
            case '/': return "the character \"/\"";
            case '\\': return "the character \"\\\"";
            case '|': return "the character \"|\"";
            case '?': return "the character \"?\"";
            case '*': return "the character \"*\"";
        }
    }
    return nullptr;
}

const char* NameProblem(const std::string& name) {
    if (name == "." || name == "..") return nullptr;
    if (const char* problem = CharacterProblem(name)) return problem;
    const CodePage page = CodePage::System();
    if (!name.empty() && page.FindLast(name, '.') == name.size() - 1) return "a dot at the end";
    if (!name.empty() && page.FindLast(name, ' ') == name.size() - 1) return "a blank at the end";
    // Device names, alone or before an extension, in any case.
    static const char* const kDevices[] = {
        "the device name CON",  "the device name PRN",  "the device name AUX",
        "the device name NUL",  "the device name COM1", "the device name COM2",
        "the device name COM3", "the device name COM4", "the device name COM5",
        "the device name COM6", "the device name COM7", "the device name COM8",
        "the device name COM9", "the device name LPT1", "the device name LPT2",
        "the device name LPT3", "the device name LPT4", "the device name LPT5",
        "the device name LPT6", "the device name LPT7", "the device name LPT8",
        "the device name LPT9"};
    const size_t kPrefix = sizeof "the device name " - 1;
    std::string stem = name.substr(0, page.Find(name, '.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    stem = page.Upper(stem);
    for (const char* device : kDevices)
        if (stem == device + kPrefix) return device;
    return nullptr;
}

std::vector<NamedEntry> HiddenEntries(const std::string& folder) {
    std::vector<NamedEntry> hidden;
#ifndef _WIN32
    // What the folder holds, less what a search of it shows.
    std::set<std::string> shown;
    FolderSearch search;
    if (search.FindFile(folder + "\\*.*")) {
        bool more = true;
        while (more) {
            more = search.FindNext();
            shown.insert(search.GetFileName());
        }
    }
    const std::string native = NativePath(folder);
    DIR* dir = opendir(native.empty() ? "." : native.c_str());
    if (!dir) return hidden;
    while (const dirent* d = readdir(dir)) {
        const std::string name(d->d_name);
        if (shown.count(name)) continue;
        struct stat st;
        if (lstat((native + "/" + name).c_str(), &st) == 0)
            hidden.push_back({name, S_ISDIR(st.st_mode)});
    }
    closedir(dir);
    std::sort(hidden.begin(), hidden.end(), [](const NamedEntry& a, const NamedEntry& b) {
        return a.name < b.name;
    });
#else
    (void)folder;
#endif
    return hidden;
}

}  // namespace platform
