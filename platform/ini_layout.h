// Where the lines of an initialisation file's sections stand, for tools that
// point an author at a line. The menu program carries none of it.
#pragma once

#include <string>
#include <vector>

namespace ini {

// Every section in file order, duplicates included (the reading functions
// of ini_reader.h see only the first of a name); the lines before the first
// header form a section with an empty name and line 0. Each entry is one
// line of the list ReadSection gives, in the same form, with its line number
// (counted from 1). Empty when the file cannot be read.
struct LayoutLine {
    unsigned line;
    std::string text;
};
struct SectionLayout {
    std::string name;
    unsigned line;
    std::vector<LayoutLine> entries;
};
std::vector<SectionLayout> ReadLayout(const char* path);
// The line of `key` in `section`, found as ReadString finds it: the first
// section of that name, its first line of that name. 0 when absent.
unsigned LineOf(const std::vector<SectionLayout>& layout, const char* section,
                const char* key);

}  // namespace ini
