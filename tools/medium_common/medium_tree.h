// A medium's folder as the disc made of it holds it: its files and folders,
// with every symbolic link resolved. A link whose end lies inside the medium
// is the file or folder it names; one that leads out of the medium, names
// nothing, or names a folder that holds the link itself is none of the
// disc's. medium-check reports those links, medium-pack packs what is left.
//
// Links are the host's: on Windows the walk finds none, and ReadMedium gives
// an empty tree.
#pragma once

#include <string>
#include <vector>

namespace medium_common {

enum class LinkKind {
    Inside,    // its end is a file or folder of the medium
    Leaves,    // its end lies outside the medium (through `..`, an absolute path, other links)
    Dangling,  // it names nothing (or links that go round, or that cannot be followed)
    Loop,      // it names a folder that holds it: the disc would hold that folder in itself
};

struct MediumLink {
    std::string path;    // where the link is, relative to the medium, '/' between the parts
    std::string target;  // what it holds, as written
    // Where it ends: relative to the medium when Inside or Loop (empty for
    // the root itself), the host's path when it Leaves; for a Dangling one,
    // why it names nothing.
    std::string end;
    LinkKind kind = LinkKind::Inside;
    bool folder = false;  // it names a folder
};

struct MediumEntry {
    std::string path;    // on the disc, relative to its root, '/' between the parts
    std::string source;  // the host's file or folder it is made of, free of links
    bool folder = false;
};

struct MediumTree {
    std::vector<MediumEntry> entries;  // by path; without the root
    std::vector<MediumLink> links;     // each link once, where it is, by path
    std::vector<std::string> others;   // neither file nor folder (pipes, devices): not on the disc
    std::string error;                 // a folder that could not be read: the tree is not whole
};

// The disc of the medium at `root` (a host path). Through links, a folder
// may be on the disc more than once; past kMostEntries entries the walk stops
// with an error.
MediumTree ReadMedium(const std::string& root);

const size_t kMostEntries = 1000000;

}  // namespace medium_common
