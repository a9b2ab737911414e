// What medium-pack writes, each write checked, and what it reads back from
// an image: the list of the disc's files that xorriso packs, and the labels
// of an ISO 9660 image.
#pragma once

#include <string>
#include <vector>

namespace medium_pack {

// Writes `bytes` as the whole of the file `path` (made, or emptied first)
// and closes it. Empty when every byte was written; else why not.
std::string WriteWhole(const std::string& path, const std::string& bytes);

// Has the system put what the file `path` holds on the disk. Empty when it
// has; else why not.
std::string Flush(const std::string& path);

// One file or folder of the disc ("/tools/setup.exe"), and the host's file
// or folder it is made of; a folder is made of an empty one.
struct Graft {
    std::string onDisc;
    std::string from;
};

// The grafts as xorriso's --quoted_path_list reads them (with
// -graft-points): one a line, each in single quotes, "=" and "\" escaped, so
// that any name, a line break in it too, comes through as it is.
std::string PathList(const std::vector<Graft>& grafts);

// The labels an ISO 9660 image holds: its volume identifier, and the one of
// its Joliet names, which Windows shows; blanks at the end dropped, both in
// UTF-8.
struct ImageLabels {
    std::string volume;
    std::string joliet;  // empty without Joliet names
};

// Reads the labels of the image at `path`. False when the file has no
// primary volume descriptor at 32 KiB, which every ISO 9660 image has: it is
// no disc image.
bool ReadLabels(const std::string& path, ImageLabels& labels);

}  // namespace medium_pack
