// An initialisation file as the reading functions of ini_reader.h see it:
// its sections and their lines in file order, duplicates included. Shared by
// those functions and the tools' layout reader (ini_layout.h).
#pragma once

#include <string>
#include <vector>

namespace ini {

struct FileEntry {
    std::string name;
    std::string value;
    bool hasValue = false;
    unsigned line = 0;
};

// The lines before the first header form a section with an empty name and
// line 0.
struct FileSection {
    std::string name;
    std::vector<FileEntry> entries;
    unsigned line = 0;
};

// The file's sections, read in the ANSI code page (a file with a byte order
// mark converted from its encoding). False when it cannot be opened as a
// regular file.
bool ReadSections(const char* path, std::vector<FileSection>& sections);

// Names as the reading functions compare them: ASCII letters without regard
// to case.
bool SameName(const std::string& a, const char* b);

// A comment line (";") is no part of a section's list.
bool IsComment(const FileEntry& e);

// One line of a section's list: the name, and "=" and the value if it has
// one.
std::string ListLine(const FileEntry& e);

}  // namespace ini
