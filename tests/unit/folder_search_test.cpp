// The folder search seam: the same answers from the system's search (under
// Wine) and from the host's stand-in.
#include "platform/folder_search.h"
#include "platform/system.h"
#include "test_support.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

using testing_support::TempDir;

namespace {

// Every entry a search of `pattern` gives, sorted, folders marked with '/'.
// "-" when the search does not start.
std::string Found(const std::string& pattern) {
    platform::FolderSearch search;
    if (!search.FindFile(pattern)) return "-";
    std::vector<std::string> names;
    bool more = true;
    while (more) {
        more = search.FindNext();
        names.push_back(search.GetFileName() + (search.IsDirectory() ? "/" : ""));
    }
    std::sort(names.begin(), names.end());
    std::string all;
    for (const std::string& n : names) all += (all.empty() ? "" : " ") + n;
    return all;
}

struct PatternCase {
    const char* mask;
    const char* expected;
};

TEST(FolderSearch, PatternsMatchWithoutRegardToCase) {
    TempDir dir;
    dir.Write("a.txt", "");
    dir.Write("B.TXT", "");
    dir.Write("readme", "");
    dir.Write("qxmsetup.ini", "");
    dir.Write("QXMSETUP.INI.bak", "");
    dir.MakeDir("Sub");
    const PatternCase cases[] = {
        {"*.*", "../ ./ B.TXT QXMSETUP.INI.bak Sub/ a.txt qxmsetup.ini readme"},
        {"*", "../ ./ B.TXT QXMSETUP.INI.bak Sub/ a.txt qxmsetup.ini readme"},
        {"*.txt", "B.TXT a.txt"},
        {"?.TxT", "B.TXT a.txt"},
        {"A*", "a.txt"},
        {"QXMSETUP.INI", "qxmsetup.ini"},
        {"QXMSETUP.INI.BAK", "QXMSETUP.INI.bak"},
        {"sub", "Sub/"},
        {"QXMSETUP.IN", "-"},
        {"missing", "-"},
        {"*.zip", "-"},
    };
    for (const PatternCase& c : cases)
        EXPECT_EQ(Found(dir / c.mask), c.expected) << c.mask;
}

TEST(FolderSearch, EntriesCarryTheSearchedFolder) {
    TempDir dir;
    dir.Write("sub\\x.ini", "");
    platform::FolderSearch search;
    ASSERT_TRUE(search.FindFile(dir / "sub\\X.INI"));
    EXPECT_FALSE(search.FindNext());
    EXPECT_EQ(search.GetFileName(), "x.ini");
    EXPECT_EQ(search.GetFilePath(), dir / "sub\\x.ini");
    EXPECT_FALSE(search.IsDirectory());
    EXPECT_FALSE(search.IsDots());
    // A new search on the same object starts afresh.
    ASSERT_TRUE(search.FindFile(dir.Path() + "\\*.*"));
    bool more = true, sawDots = false;
    while (more) {
        more = search.FindNext();
        if (search.IsDots()) {
            sawDots = true;
            EXPECT_TRUE(search.IsDirectory());
        } else {
            EXPECT_EQ(search.GetFilePath(), dir / "sub");
        }
    }
    EXPECT_TRUE(sawDots);
    EXPECT_FALSE(search.FindNext());  // past the end: nothing more
}

TEST(FolderSearch, NoSearchInAFileOrBeyondThePathLimit) {
    TempDir dir;
    dir.Write("file.txt", "");
    EXPECT_EQ(Found(dir / "file.txt\\*.*"), "-");
    EXPECT_EQ(Found(dir / "missing\\*.*"), "-");
    EXPECT_EQ(Found(dir.Path() + "\\"), "-");
    // However the name is spelt, a pattern of 260 bytes or more is refused.
    std::string longName = dir.Path() + "\\" + std::string(300, '*');
    EXPECT_EQ(Found(longName), "-");
    dir.MakeDir("a");
    dir.MakeDir("ab");
    std::string padded = dir / ((dir / "a").size() % 2 ? "ab" : "a");
    while (padded.size() + 4 < 260) padded += "\\.";
    EXPECT_EQ(padded.size() + 4, 260u);
    EXPECT_EQ(Found(padded + "\\*.*"), "-");
    padded.resize(padded.size() - 2);
    EXPECT_NE(Found(padded + "\\*.*"), "-");
}

// Searches that cannot start, by an exact name (a descriptor, a program the
// checker looks for) and by a pattern alike: each gives nothing, and the
// host's stand-in never hands the directory functions a null handle.
TEST(FolderSearch, FailuresGiveNothing) {
    TempDir dir;
    dir.Write("file.txt", "");
    dir.Write("locked\\setup.exe", "");
    struct FailureCase {
        const char* what;
        std::string folder;
        bool needsPermissions;
    };
    std::string deep = dir.Path();
    while (deep.size() < 240) deep += "\\nosuchdir";
    const FailureCase cases[] = {
        {"missing folder", dir / "nosuchdir", false},
        {"missing folders", dir / "nosuchdir\\below", false},
        {"a file where a folder is expected", dir / "file.txt", false},
        {"no permission", dir / "locked", true},
        {"missing, just under the length limit", deep, false},
        {"too long", dir.Path() + "\\" + std::string(300, 'n'), false},
    };
#ifndef _WIN32
    chmod(platform::NativePath(dir / "locked").c_str(), 0);
    const bool permissionsHold = geteuid() != 0;  // root reads every folder
#else
    const bool permissionsHold = false;  // no such folder is made here
#endif
    for (const FailureCase& c : cases) {
        if (c.needsPermissions && !permissionsHold) continue;
        for (const char* name : {"SETUP.EXE", "setup.exe", "*.*", "s?tup.*"}) {
            const std::string pattern = c.folder + "\\" + name;
            EXPECT_EQ(Found(pattern), "-") << c.what << ": " << name;
            if (std::string(name).find_first_of("*?") == std::string::npos) {
                EXPECT_FALSE(platform::PathExists(pattern)) << c.what << ": " << name;
            }
        }
    }
#ifndef _WIN32
    chmod(platform::NativePath(dir / "locked").c_str(), 0755);
#endif
}

}  // namespace
