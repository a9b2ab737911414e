// The author's own look of a medium: the picture at the left, the splash
// pictures and the window's icon, named by keys of section "common" of the
// root descriptor (the one beside the menu program). Values are read as
// every other key of a descriptor is, and paths are relative to the root.
// Without these keys the menu shows its own artwork.
#pragma once

#include <string>
#include <vector>

namespace look {

// The most splash pictures the menu shows; further ones are left out.
const size_t kMostSplash = 5;
// What separates the splash pictures in the value of "splash".
const char kSplashSeparator = ';';

// The three keys' values as the menu reads them.
struct Look {
    std::string picture;              // "picture"
    std::vector<std::string> splash;  // "splash", taken apart (every one named)
    std::string windowIcon;           // "windowicon"
};

// The root descriptor of the medium whose root is `folder`.
std::string RootDescriptor(const std::string& folder);

// "splash" of the descriptor at `descriptor`, taken apart: one read of one
// key, for the splash that comes up before the medium is read.
std::vector<std::string> ReadSplash(const std::string& descriptor);
// All three keys of the descriptor at `descriptor`, read together.
Look Read(const std::string& descriptor);

// A list value taken apart at kSplashSeparator: blanks around each part are
// removed, and empty parts left out.
std::vector<std::string> SplitList(const std::string& value);

// The file a value names: `folder` + "\" + value, joined as written, as
// "file" is joined to its descriptor's folder.
std::string PathOf(const std::string& folder, const std::string& value);

// The paths of the first kMostSplash pictures a medium's splash shows.
std::vector<std::string> SplashPaths(const std::string& folder,
                                     const std::vector<std::string>& values);

}  // namespace look
