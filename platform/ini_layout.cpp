#include "platform/ini_layout.h"

#include "platform/ini_file.h"
#include "platform/ini_reader.h"

namespace ini {

std::vector<SectionLayout> ReadLayout(const char* path) {
    std::vector<SectionLayout> layout;
    std::vector<FileSection> sections;
    if (!ReadSections(path, sections)) return layout;
    for (const FileSection& s : sections) {
        SectionLayout section{s.name, s.line, {}};
        for (const FileEntry& e : s.entries)
            if (!IsComment(e)) section.entries.push_back({e.line, ListLine(e)});
        layout.push_back(std::move(section));
    }
    return layout;
}

unsigned LineOf(const std::vector<SectionLayout>& layout, const char* section,
                const char* key) {
    if (!section || !key) return 0;
    const std::string sectionName = TrimName(section), keyName = TrimName(key);
    for (const SectionLayout& s : layout) {
        if (!SameName(s.name, sectionName.c_str())) continue;
        for (const LayoutLine& l : s.entries)
            if (SameName(l.text.substr(0, l.text.find('=')), keyName.c_str())) return l.line;
        return 0;
    }
    return 0;
}

}  // namespace ini
