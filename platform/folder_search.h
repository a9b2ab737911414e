// A search of one folder, in the manner of FindFirstFileA / FindNextFileA:
// start with a pattern, then advance entry by entry. Paths are in the
// program's (Windows) form on both builds. The search is closed when the
// object goes.
//
// On Windows the calls go to the system. On the host the folder is read with
// the directory functions and made to answer the same way:
//   - a pattern of MAX_PATH (260) bytes or more is refused, as the ANSI file
//     functions refuse it, so both builds give up on the same deep folders;
//   - "*" and "*.*" give every entry; any other name is matched without
//     regard to case ('*' and '?' are wildcards), as Windows matches names;
//   - an entry whose name holds a backslash character cannot be named in the
//     Windows form and is left out; so is one whose name Windows' file
//     functions cannot open (a control character, one of < > " | ? *, or a
//     dot at the end), which the menu under Windows never shows either;
//   - a symbolic link is never reported as a folder, so that a link to a
//     folder above cannot make a walk go round for ever.
#pragma once

#include "platform/wintypes.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class FolderSearch {
public:
    FolderSearch();
    ~FolderSearch();
    FolderSearch(const FolderSearch&) = delete;
    FolderSearch& operator=(const FolderSearch&) = delete;

    // Starts a search of `pattern`: a folder, a backslash and a file name
    // that may hold wildcards. False when nothing matches, the folder cannot
    // be read, or the pattern is too long. A search already under way is
    // closed first.
    bool FindFile(const std::string& pattern);
    // Makes the next entry the current one. Returns whether another entry
    // follows it. Must only be called after FindFile succeeded, and again
    // only while it returned true.
    bool FindNext();
    void Close();

    // The current entry.
    std::string GetFileName() const;
    // The pattern's folder with its backslash, then the current entry's name
    // (the searched folder + "\" + name).
    std::string GetFilePath() const;
    bool IsDirectory() const;
    // The current entry is "." or "..".
    bool IsDots() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Whether a file or folder of that name (no wildcards) exists, with names
// matched as a search matches them and the same MAX_PATH bound. The same
// answer as FolderSearch().FindFile(path), for a fraction of the cost on
// Windows, where it is a single attribute query.
bool PathExists(const std::string& path);

}  // namespace platform
