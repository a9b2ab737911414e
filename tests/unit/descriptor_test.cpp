#include "catalog/catalog_item.h"
#include "localisation/translator.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::TempDir;

namespace {

class Descriptor : public ::testing::Test {
protected:
    void TearDown() override { translation::Clear(); }

    // Writes `text` as prod\QXMSETUP.INI and reads it into `into`.
    void ReadFile(const std::string& text, CCatalogItem& into) {
        dir.Write("prod\\QXMSETUP.INI", text);
        into.ReadDescriptor((dir / "prod\\QXMSETUP.INI").c_str());
    }
    // Reads `common` (the lines of section "common") into `into`.
    void Read(const std::string& common, CCatalogItem& into) {
        ReadFile("[common]\r\n" + common, into);
    }
    void Read(const std::string& common) { Read(common, item); }
    std::string Folder() const { return dir / "prod"; }

    TempDir dir;
    CCatalogItem item;
};

TEST_F(Descriptor, ANewItemHasTheDefaults) {
    CCatalogItem fresh;
    EXPECT_EQ(fresh.m_strName, "");
    EXPECT_EQ(fresh.GetFile(), "");
    EXPECT_EQ(fresh.m_nPriority, 0);
    EXPECT_EQ(fresh.m_pParent, nullptr);
    EXPECT_TRUE(fresh.m_children.empty());
}

TEST_F(Descriptor, ReadsEveryKey) {
    Read("name = Viewer %V\r\n"
         "version=2.1\r\n"
         "description=\"Installs %P\"\r\n"
         "icon=Book\r\n"
         "file=setup.exe\r\n"
         "priority=-3\r\n"
         "ignored=x\r\n"
         "[other]\r\nname=not this one\r\n");
    EXPECT_EQ(item.m_strName, "Viewer %V");
    EXPECT_EQ(item.GetVersion(), "2.1");
    EXPECT_EQ(item.m_strDescription, "Installs %P");
    EXPECT_EQ(item.GetIcon(), "BOOK");
    EXPECT_EQ(item.GetFile(), Folder() + "\\setup.exe");
    EXPECT_EQ(item.m_nPriority, -3);
}

struct FileCase {
    const char* value;   // nullptr: no "file" key
    bool relative;       // joined to the descriptor's folder
};

TEST_F(Descriptor, FileBecomesAFullPathUnlessItIsAnAddress) {
    const FileCase cases[] = {
        {"setup.exe", true},
        {"..\\common\\setup.exe", true},
        {"C:\\tools\\setup.exe", true},  // not normalised: joined as it is
        {"", true},
        {nullptr, true},
        {"http://host/dir/setup.exe", false},
        {"HTTP://HOST/x.exe", false},
        {"Ftp://host/file.zip", false},
        {"ftpclient\\setup.exe", false},
        {"httpd.exe", false},
        {"htt", true},
        {"https://host/secure.exe", false},
    };
    for (const FileCase& c : cases) {
        CCatalogItem fresh;
        Read(c.value ? std::string("file=") + c.value + "\r\n" : "", fresh);
        std::string value = c.value ? c.value : "";
        EXPECT_EQ(fresh.GetFile(), c.relative ? Folder() + "\\" + value : value)
            << (c.value ? c.value : "(absent)");
    }
}

struct PriorityCase {
    const char* value;
    int expected;
};

TEST_F(Descriptor, PriorityIsReadLikeAtoi) {
    const PriorityCase cases[] = {
        {"priority=10abc", 10}, {"priority=-3", -3}, {"priority=abc", 0},
        {"priority=", 0},       {"", 0},             {"priority=  +7", 7},
        {"priority=\"12\"", 12},
    };
    for (const PriorityCase& c : cases) {
        CCatalogItem fresh;
        Read(std::string(c.value) + "\r\n", fresh);
        EXPECT_EQ(fresh.m_nPriority, c.expected) << c.value;
    }
}

TEST_F(Descriptor, LongValuesAreCutTo259Bytes) {
    Read("name=" + std::string(300, 'n') + "\r\n");
    EXPECT_EQ(item.m_strName, std::string(259, 'n'));
}

TEST_F(Descriptor, NameAndDescriptionAreTranslatedTwiceVersionOnce) {
    dir.Write("translat.ini", "[english]\r\nA=B\r\nB=C\r\n");
    CTranslator loader;
    loader.Load(0x0409, (dir / "translat.ini").c_str());
    Read("name=A\r\nversion=A\r\ndescription=A\r\n");
    EXPECT_EQ(item.m_strName, "C");
    EXPECT_EQ(item.m_strDescription, "C");
    EXPECT_EQ(item.GetVersion(), "B");
}

TEST_F(Descriptor, BrokenFilesGiveTheDefaults) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131) % 251);
    const std::string cases[] = {
        "",                                            // empty
        "[other]\r\nname=x\r\n",                      // no section "common"
        garbage,                                       // binary
        std::string("[common]") + std::string(100 * 1024, 'q'),  // no newline
        std::string("\0\0\0[common]\0name=x", 19),    // NUL bytes
    };
    for (const std::string& text : cases) {
        CCatalogItem fresh;
        ReadFile(text, fresh);
        EXPECT_EQ(fresh.GetVersion(), "");
        EXPECT_EQ(fresh.GetIcon(), "");
        EXPECT_EQ(fresh.m_nPriority, 0);
        EXPECT_EQ(fresh.GetFile(), Folder() + "\\");
    }
    CCatalogItem missing;
    missing.ReadDescriptor((dir / "nowhere\\QXMSETUP.INI").c_str());
    EXPECT_EQ(missing.m_strName, "");
    EXPECT_EQ(missing.GetFile(), dir / "nowhere\\");

    dir.MakeDir("folder\\QXMSETUP.INI");  // a descriptor that is a folder
    CCatalogItem folder;
    folder.ReadDescriptor((dir / "folder\\QXMSETUP.INI").c_str());
    EXPECT_EQ(folder.m_strName, "");
    EXPECT_EQ(folder.GetFile(), dir / "folder\\");
}

}  // namespace
