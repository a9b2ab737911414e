// The media scan on real folders made by the tests, on both builds.
#include "catalog/catalog_item.h"
#include "localisation/translator.h"
#include "platform/codepage.h"
#include "platform/folder_search.h"
#include "platform/system.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using testing_support::TempDir;

namespace {

std::string Desc(const std::string& name, int priority = 0,
                 const std::string& extra = "") {
    std::string text = "[common]\r\n";
    if (!name.empty()) text += "name=" + name + "\r\n";
    if (priority) text += "priority=" + std::to_string(priority) + "\r\n";
    return text + extra;
}

// The tree as text: Title(Child,Child(...)).
std::string Dump(const CCatalogItem& item) {
    std::string s = item.GetTitle();
    if (item.m_children.empty()) return s;
    s += "(";
    bool first = true;
    for (const auto& child : item.m_children) {
        if (!first) s += ",";
        first = false;
        s += Dump(*child);
    }
    return s + ")";
}

// The names of a folder's entries in the order the folder search gives them.
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    platform::FolderSearch search;
    if (!search.FindFile(folder + "\\*.*")) return names;
    bool more = true;
    while (more) {
        more = search.FindNext();
        if (!search.IsDots()) names.push_back(search.GetFileName());
    }
    return names;
}

// Files and folders at any depth, past what the ANSI file functions accept.
std::string Join(const std::vector<std::string>& parts) {
    std::string s;
    for (const std::string& p : parts) s += (s.empty() ? "" : "\\") + p;
    return s;
}

#ifdef _WIN32
std::wstring Long(const std::string& path) {
    std::wstring wide(path.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0],
                                static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return L"\\\\?\\" + wide;
}
void DeepMakeDir(const std::string& path) { CreateDirectoryW(Long(path).c_str(), nullptr); }
void DeepWrite(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}
void DeepRemoveFile(const std::string& path) { DeleteFileW(Long(path).c_str()); }
void DeepRemoveDir(const std::string& path) { RemoveDirectoryW(Long(path).c_str()); }
#else
void DeepMakeDir(const std::string& path) { mkdir(platform::NativePath(path).c_str(), 0755); }
void DeepWrite(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(platform::NativePath(path).c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
void DeepRemoveFile(const std::string& path) { unlink(platform::NativePath(path).c_str()); }
void DeepRemoveDir(const std::string& path) { rmdir(platform::NativePath(path).c_str()); }
#endif

class MediaScan : public ::testing::Test {
protected:
    void TearDown() override {
        platform::SetDrainHook(nullptr);
        translation::Clear();
    }
    // Scans the temporary folder into `root`.
    void Scan() { root.ScanFolder(dir.Path()); }

    TempDir dir;
    CCatalogItem root;
};

TEST_F(MediaScan, RootAndChildDescriptors) {
    dir.Write("QXMSETUP.INI", Desc("Root"));
    dir.Write("prodA\\QXMSETUP.INI", Desc("Product A", 0, "file=setup.exe\r\n"));
    dir.Write("prodA\\setup.exe", "MZ");
    Scan();
    EXPECT_EQ(Dump(root), "Root(Product A)");
    ASSERT_EQ(root.m_children.size(), 1u);
    const CCatalogItem& child = *root.m_children.front();
    EXPECT_EQ(child.m_pParent, &root);
    EXPECT_EQ(child.GetFile(), dir / "prodA\\setup.exe");
    EXPECT_EQ(root.GetFile(), dir.Path() + "\\");
}

struct GroupCase {
    bool groupHasDescriptor;
    const char* expected;
};

TEST_F(MediaScan, AGroupAppearsOnlyWithItsOwnDescriptor) {
    const GroupCase cases[] = {
        {true, "Root(Group(One,Two))"},
        {false, "Root"},
    };
    for (const GroupCase& c : cases) {
        TempDir media;
        media.Write("QXMSETUP.INI", Desc("Root"));
        if (c.groupHasDescriptor) media.Write("group\\QXMSETUP.INI", Desc("Group"));
        media.Write("group\\readme.txt", "text");
        media.Write("group\\one\\QXMSETUP.INI", Desc("One", 1));
        media.Write("group\\two\\QXMSETUP.INI", Desc("Two", 2));
        media.Write("group\\two\\deeper\\QXMSETUP.INI", Desc("%V"));  // empty: dropped
        CCatalogItem item;
        item.ScanFolder(media.Path());
        EXPECT_EQ(Dump(item), c.expected);
    }
}

TEST_F(MediaScan, ChildrenAreKeptOnlyWithATitle) {
    dir.Write("QXMSETUP.INI", Desc("Top"));
    dir.Write("noname\\QXMSETUP.INI", Desc("", 0, "version=1\r\n"));
    dir.Write("noname\\inner\\QXMSETUP.INI", Desc("Inner"));  // goes with its parent
    dir.Write("emptyversion\\QXMSETUP.INI", Desc("%V"));
    dir.Write("blank\\QXMSETUP.INI", Desc("\" \""));  // one blank is a title
    dir.Write("nosection\\QXMSETUP.INI", "[other]\r\nname=Elsewhere\r\n");
    dir.Write("parent\\QXMSETUP.INI", Desc("%T", 1));
    dir.MakeDir("nodescriptor");
    dir.Write("nodescriptor\\deep\\QXMSETUP.INI", Desc("Unreachable"));
    Scan();
    // "%T" counts as text while the item is tested, then shows the parent.
    EXPECT_EQ(Dump(root), "Top(Top, )");

    // Even when that leaves it with an empty title below an untitled root.
    TempDir untitled;
    untitled.Write("QXMSETUP.INI", Desc(""));
    untitled.Write("child\\QXMSETUP.INI", Desc("%T"));
    CCatalogItem item;
    item.ScanFolder(untitled.Path());
    ASSERT_EQ(item.m_children.size(), 1u);
    EXPECT_EQ(item.m_children.front()->GetTitle(), "");
}

TEST_F(MediaScan, ChildrenComeInPriorityOrderAndTiesInFolderOrder) {
    dir.Write("QXMSETUP.INI", Desc("R"));
    const char* const tied[] = {"t1", "t2", "t3", "t4"};
    for (const char* name : tied) dir.Write(std::string(name) + "\\QXMSETUP.INI", Desc(name, 3));
    dir.Write("z0\\QXMSETUP.INI", Desc("z0"));
    dir.Write("minus\\QXMSETUP.INI", Desc("minus", -1));
    dir.Write("nine\\QXMSETUP.INI", Desc("nine", 9));
    Scan();
    std::string expected = "R(minus";
    for (const std::string& name : Listing(dir.Path()))
        if (name[0] == 't') expected += "," + name;
    expected += ",nine,z0)";
    EXPECT_EQ(Dump(root), expected);
}

struct DescriptorNameCase {
    const char* fileName;
    bool read;
};

TEST_F(MediaScan, TheDescriptorNameIsMatchedWithoutRegardToCase) {
    const DescriptorNameCase cases[] = {
        {"QXMSETUP.INI", true},      {"qxmsetup.ini", true},
        {"QxmSetup.Ini", true},      {"QXMSETUP.INI.bak", false},
        {"QXMSETUP.IN", false},      {"xQXMSETUP.INI", false},
        {"QXMSETUP", false},
    };
    for (const DescriptorNameCase& c : cases) {
        TempDir media;
        media.Write(c.fileName, Desc("Root"));
        media.Write(std::string("sub\\") + c.fileName, Desc("Sub"));
        CCatalogItem item;
        item.ScanFolder(media.Path());
        EXPECT_EQ(Dump(item), c.read ? "Root(Sub)" : "") << c.fileName;
    }
}

TEST_F(MediaScan, ABackupBesideTheDescriptorIsNotRead) {
    dir.Write("QXMSETUP.INI", Desc("Real"));
    dir.Write("QXMSETUP.INI.bak", Desc("Backup"));
    dir.Write("QXMSETUP.BAK", Desc("Backup"));
    Scan();
    EXPECT_EQ(Dump(root), "Real");
}

TEST_F(MediaScan, AnEmptyOrMissingFolderLeavesTheItemAsItWas) {
    TempDir empty;
    dir.Write("file.txt", "not a folder");
    const std::string folders[] = {empty.Path(), dir.Path(), dir / "missing",
                                   dir / "file.txt", ""};
    for (const std::string& folder : folders) {
        CCatalogItem item;
        item.m_strName = "Kept";
        item.ScanFolder(folder);
        EXPECT_EQ(Dump(item), "Kept") << folder;
        EXPECT_EQ(item.GetFile(), "");
    }
    // A folder without a descriptor: nothing below it is visited.
    dir.Write("sub\\QXMSETUP.INI", Desc("Sub"));
    Scan();
    EXPECT_EQ(Dump(root), "");
    EXPECT_TRUE(root.m_children.empty());
}

TEST_F(MediaScan, TheQueueIsDrainedAfterEveryEntry) {
    dir.Write("QXMSETUP.INI", Desc("R"));
    dir.Write("a.txt", "");
    dir.Write("b.txt", "");
    dir.Write("sub\\QXMSETUP.INI", Desc("S"));
    dir.MakeDir("bare");
    int drains = 0;
    platform::SetDrainHook([&] { ++drains; });
    Scan();
    // Root: ".", "..", the descriptor, two files, two folders. "sub": three
    // entries. "bare": one pass that finds no descriptor.
    EXPECT_EQ(drains, 7 + 3 + 1);
    EXPECT_EQ(Dump(root), "R(S)");
}

TEST_F(MediaScan, ADescriptorDeletedMidScanStopsItsFolder) {
    dir.Write("QXMSETUP.INI", Desc("R"));
    for (int i = 1; i <= 6; ++i) {
        std::string name = "p" + std::to_string(i);
        dir.Write(name + "\\QXMSETUP.INI", Desc(name));
    }
    // The root's own pass after its second child is attached takes the
    // descriptor away (as a medium taken out would).
    bool deleted = false;
    platform::SetDrainHook([&] {
        if (!deleted && root.m_children.size() == 2) {
            testing_support::RemoveAll(dir / "QXMSETUP.INI");
            deleted = true;
        }
    });
    const std::vector<std::string> listing = Listing(dir.Path());
    Scan();
    ASSERT_TRUE(deleted);
    std::vector<std::string> folders;
    bool rootRead = false;
    for (const std::string& name : listing) {
        if (name[0] == 'p' && folders.size() < 2) folders.push_back(name);
        if (name == "QXMSETUP.INI" && folders.size() < 2) rootRead = true;
    }
    // What was attached stays; nothing after the next entry is looked at.
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(Dump(root), std::string(rootRead ? "R" : "") + "(" + folders[0] + "," +
                              folders[1] + ")");
}

TEST_F(MediaScan, ADescriptorThatIsAFolderOpensTheFolderButReadsNothing) {
    dir.MakeDir("QXMSETUP.INI");
    dir.Write("QXMSETUP.INI\\QXMSETUP.INI\\readme.txt", "");
    dir.Write("prod\\QXMSETUP.INI", Desc("Prod"));
    Scan();
    // The lookup finds a folder of that name, so the entries are examined,
    // but only a file is read as a descriptor.
    EXPECT_EQ(root.m_strName, "");
    EXPECT_EQ(Dump(root), "(Prod)");
}

// Ten thousand folders take long to remove from a disk mounted with
// "discard". When the host has a memory file system (which Wine shows as
// Z:\dev\shm), such a temporary folder is made there.
std::unique_ptr<TempDir> FastTempDir() {
#ifdef _WIN32
    char saved[MAX_PATH] = "";
    DWORD had = GetEnvironmentVariableA("TMP", saved, sizeof saved);
    DWORD attrs = GetFileAttributesA("Z:\\dev\\shm");
    bool use = attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
    if (use) SetEnvironmentVariableA("TMP", "Z:\\dev\\shm");
#else
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    bool had = old != nullptr;
    bool use = access("/dev/shm", W_OK | X_OK) == 0;
    if (use) setenv("TMPDIR", "/dev/shm", 1);
#endif
    std::unique_ptr<TempDir> made;
    try {
        made.reset(new TempDir);
    } catch (const std::exception&) {
    }
#ifdef _WIN32
    if (use) SetEnvironmentVariableA("TMP", had && had < sizeof saved ? saved : nullptr);
#else
    if (use && had) setenv("TMPDIR", saved.c_str(), 1);
    if (use && !had) unsetenv("TMPDIR");
#endif
    if (!made) made.reset(new TempDir);
    return made;
}

TEST_F(MediaScan, ManySiblingsKeepTheOrderRule) {
    // Every tenth folder carries a descriptor; the others are dropped.
    const int kCount = 10000;
    std::unique_ptr<TempDir> media = FastTempDir();
    media->Write("QXMSETUP.INI", Desc("R"));
    for (int i = 0; i < kCount; ++i) {
        std::string name = "f" + std::to_string(i);
        int priority = (i * 7919) % 11 - 5;  // -5 .. 5, zero among them
        DeepMakeDir(*media / name);
        if (i % 10 == 0) DeepWrite(*media / name + "\\QXMSETUP.INI", Desc(name, priority));
    }
    root.ScanFolder(media->Path());
    ASSERT_EQ(root.m_children.size(), static_cast<size_t>(kCount / 10));
    // Position of every folder in the order the file system gives them.
    std::vector<std::string> listing = Listing(media->Path());
    std::vector<int> arrival(kCount, -1);
    for (size_t i = 0; i < listing.size(); ++i)
        if (listing[i][0] == 'f') arrival[std::stoi(listing[i].substr(1))] = static_cast<int>(i);
    auto rank = [](int p) { return p == 0 ? 1000 : p; };
    const CCatalogItem* before = nullptr;
    for (const auto& child : root.m_children) {
        if (before) {
            int a = rank(before->m_nPriority), b = rank(child->m_nPriority);
            ASSERT_LE(a, b);
            if (a == b) {
                ASSERT_LT(arrival[std::stoi(before->m_strName.substr(1))],
                          arrival[std::stoi(child->m_strName.substr(1))]);
            }
        }
        before = child.get();
    }
}

TEST_F(MediaScan, SixtyLevelsDeep) {
    dir.Write("QXMSETUP.INI", Desc("R"));
    std::string path;
    for (int level = 1; level <= 60; ++level) {
        path += (path.empty() ? "" : "\\") + std::string("d");
        dir.Write(path + "\\QXMSETUP.INI", Desc("%T."));
        dir.Write(path + "\\other.txt", "x");
    }
    Scan();
    const CCatalogItem* item = &root;
    int depth = 0;
    while (!item->m_children.empty()) {
        ASSERT_EQ(item->m_children.size(), 1u);
        item = item->m_children.front().get();
        ++depth;
    }
    EXPECT_EQ(depth, 60);
    EXPECT_EQ(item->GetTitle(), "R" + std::string(60, '.'));
}

// Both builds give up on a folder whose search pattern would be 260 bytes
// or more: the folder's item stays empty and is dropped.
TEST_F(MediaScan, FoldersPastThePathLimitAreLeftOut) {
    dir.Write("QXMSETUP.INI", Desc("R"));
    const std::string segment(40, 'n');
    std::vector<std::string> parts = {dir.Path()};
    std::vector<std::string> made;
    for (int level = 1; level <= 7; ++level) {
        parts.push_back(segment);
        std::string folder = Join(parts);
        DeepMakeDir(folder);
        DeepWrite(folder + "\\QXMSETUP.INI", Desc("%T>"));
        made.push_back(folder);
    }
    Scan();
    int expected = 0;
    for (const std::string& folder : made)
        if ((folder + "\\QXMSETUP.INI").size() < MAX_PATH) ++expected;
    ASSERT_LT(expected, 7);  // the test reaches past the limit
    int depth = 0;
    for (const CCatalogItem* item = &root; !item->m_children.empty();
         item = item->m_children.front().get())
        ++depth;
    EXPECT_EQ(depth, expected);
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        DeepRemoveFile(*it + "\\QXMSETUP.INI");
        DeepRemoveDir(*it);
    }
}

TEST_F(MediaScan, APathOfExactlyTheLimit) {
    // The folder's own descriptor lookup is the longest pattern of a scan.
    const std::string tail = "\\QXMSETUP.INI";
    for (size_t length : {size_t(MAX_PATH - 1), size_t(MAX_PATH)}) {
        std::string leaf = dir / "x";
        leaf += std::string(length - tail.size() - leaf.size(), 'y');
        ASSERT_LT(leaf.size() - dir.Path().size(), 255u);  // one name
        DeepMakeDir(leaf);
        DeepWrite(leaf + tail, Desc("Leaf"));
        dir.Write("QXMSETUP.INI", Desc("R"));
        CCatalogItem item;
        item.ScanFolder(dir.Path());
        EXPECT_EQ(Dump(item), length < MAX_PATH ? "R(Leaf)" : "R") << length;
        DeepRemoveFile(leaf + tail);
        DeepRemoveDir(leaf);
    }
}

#ifdef _WIN32
TEST_F(MediaScan, AQuitPostedDuringTheScanIsDropped) {
    dir.Write("QXMSETUP.INI", Desc("R"));
    dir.Write("a\\QXMSETUP.INI", Desc("A"));
    dir.Write("b\\QXMSETUP.INI", Desc("B", 1));
    int drains = 0;
    platform::SetDrainHook([&] {
        if (++drains == 2) PostQuitMessage(3);
    });
    PostQuitMessage(1);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 1, 0, 0);
    Scan();
    EXPECT_EQ(Dump(root), "R(B,A)");  // the scan went on to the end
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

// Names in the system's double-byte code page: the win32 suite runs this
// once more under a Japanese locale (win32.scan.ja_JP).
TEST_F(MediaScan, DoubleByteNames) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
#else
TEST_F(MediaScan, DoubleByteNames) {
    platform::CodePage::SetHostAnsi(932);
    struct Reset {
        ~Reset() { platform::CodePage::SetHostAnsi(1252); }
    } reset;
#endif
    // "Software" in katakana: its first character ends with the byte '\'.
    const std::string soft = "\x83\x5C\x83\x74\x83\x67";
    const std::string table = "\x95\x5C";  // another trail byte '\'
    DeepMakeDir(dir / soft);
    DeepWrite(dir / soft + "\\QXMSETUP.INI", Desc(soft, 0, "file=" + table + ".exe\r\n"));
    DeepMakeDir(dir / soft + "\\" + table);
    DeepWrite(dir / soft + "\\" + table + "\\qxmsetup.ini", Desc("%T" + table));
    dir.Write("QXMSETUP.INI", Desc("R"));
    Scan();
    EXPECT_EQ(Dump(root), "R(" + soft + "(" + soft + table + "))");
    ASSERT_EQ(root.m_children.size(), 1u);
    EXPECT_EQ(root.m_children.front()->GetFile(), dir / soft + "\\" + table + ".exe");
    DeepRemoveFile(dir / soft + "\\" + table + "\\qxmsetup.ini");
    DeepRemoveDir(dir / soft + "\\" + table);
    DeepRemoveFile(dir / soft + "\\QXMSETUP.INI");
    DeepRemoveDir(dir / soft);
}

#ifndef _WIN32
TEST_F(MediaScan, HostLinksAndNamesWindowsCannotHold) {
    dir.Write("QXMSETUP.INI", Desc("R"));
    dir.Write("a\\QXMSETUP.INI", Desc("A"));
    dir.Write("real.ini", Desc("Linked"));
    const std::string native = platform::NativePath(dir.Path());
    // Links to folders above and to the folder itself are not followed.
    ASSERT_EQ(symlink("..", (native + "/a/up").c_str()), 0);
    ASSERT_EQ(symlink(".", (native + "/a/self").c_str()), 0);
    ASSERT_EQ(symlink(native.c_str(), (native + "/a/abs").c_str()), 0);
    // A link to a file is a file, and may be the descriptor.
    dir.MakeDir("b");
    ASSERT_EQ(symlink("../real.ini", (native + "/b/QXMSETUP.INI").c_str()), 0);
    // A backslash in a name cannot be written in a Windows path.
    dir.Write("odd\\QXMSETUP.INI", Desc("Odd"));
    ASSERT_EQ(rename((native + "/odd").c_str(), (native + "/o\\dd").c_str()), 0);
    dir.Write("c\\QXMSETUP.INI", Desc("C", 1));
    ASSERT_EQ(mkdir((native + "/c/x\\y").c_str(), 0755), 0);
    Scan();
    std::vector<std::string> titles;
    for (const auto& child : root.m_children) titles.push_back(Dump(*child));
    EXPECT_EQ(titles.front(), "C");
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"A", "C", "Linked"}));
}

// Root reads every folder; while the test runs, this thread gives up the
// two capabilities that let it.
class WithoutReadOverride {
public:
    WithoutReadOverride() {
        if (geteuid() != 0) {
            m_ok = true;
            return;
        }
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) != 0) return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_ok = syscall(SYS_capset, &m_header, lowered) == 0;
        m_lowered = m_ok;
    }
    ~WithoutReadOverride() {
        if (m_lowered) syscall(SYS_capset, &m_header, m_saved);
    }
    bool Ok() const { return m_ok; }

private:
    __user_cap_header_struct m_header = {};
    __user_cap_data_struct m_saved[2] = {};
    bool m_ok = false;
    bool m_lowered = false;
};

TEST_F(MediaScan, AnUnreadableFolderIsLeftOut) {
    dir.Write("QXMSETUP.INI", Desc("R"));
    dir.Write("locked\\QXMSETUP.INI", Desc("Locked"));
    dir.Write("open\\QXMSETUP.INI", Desc("Open"));
    const std::string locked = platform::NativePath(dir / "locked");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    {
        WithoutReadOverride guard;
        if (!guard.Ok()) {
            chmod(locked.c_str(), 0755);
            GTEST_SKIP() << "cannot give up the right to read every folder";
        }
        Scan();
    }
    chmod(locked.c_str(), 0755);
    EXPECT_EQ(Dump(root), "R(Open)");
}
#endif

}  // namespace
