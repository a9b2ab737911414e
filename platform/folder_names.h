// Names of files and folders as Windows takes them, for tools that tell an
// author about names the menu never sees. The menu program carries none of
// it.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Why Windows cannot hold `name` as the name of a file or folder: null when
// it can, else the reason in words ("a control character", "the character
// \"<\"", "a dot at the end", "a blank at the end", "the device name CON").
// "." and ".." are fine.
const char* NameProblem(const std::string& name);
// The part of it about the characters themselves: a control character or
// one of < > : " / \\ | ? *, which no path can hold in a name.
const char* CharacterProblem(const std::string& name);

struct NamedEntry {
    std::string name;
    bool folder = false;
};

// The files and subfolders of `folder` that a search (folder_search.h)
// leaves out for their names. On Windows the system itself decides what a
// search shows, and the list is empty.
std::vector<NamedEntry> HiddenEntries(const std::string& folder);

}  // namespace platform
