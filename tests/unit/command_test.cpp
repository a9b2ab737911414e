#include "catalog/command.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

using command::Kind;
using platform::CodePage;

using testing_support::kHyou;
using testing_support::kSo;

namespace {


struct KindCase {
    unsigned cp;
    std::string cmd;
    Kind kind;
};

TEST(Command, KindFollowsTheCommandsForm) {
    const KindCase cases[] = {
        {1252, "", Kind::SubMenu},
        {1252, "D:\\prod\\", Kind::SubMenu},
        {1252, "D:\\prod\\setup.exe", Kind::Program},
        {1252, "D:\\prod\\manual.pdf", Kind::Program},
        {1252, "setup.exe", Kind::Program},
        {1252, "http://host/dir/Setup.Exe", Kind::Download},
        {1252, "HTTP://host/dir/setup.exe", Kind::Download},
        {1252, "Ftp://host/pub/setup.EXE", Kind::Download},
        {1252, "FTP://host/pub/readme.txt", Kind::Shell},
        {1252, "HTTP://host/", Kind::Shell},
        {1252, "HTTP://host/setup.exe?lang=en", Kind::Shell},
        // Secure addresses are addresses too, in any case.
        {1252, "https://host/", Kind::Shell},
        {1252, "HtTpS://host/get/setup.exe", Kind::Download},
        // Prefixes that only look like one.
        {1252, "HTTP", Kind::Program},
        {1252, "FTP", Kind::Program},
        {1252, "HTTPX://host/", Kind::Program},
        {1252, "HTTPS", Kind::Program},
        {1252, "D:\\http:\\x.exe", Kind::Program},
        // A double-byte name whose second byte is a backslash is a file.
        {932, "D:\\prod\\" + kHyou, Kind::Program},
        {932, "D:\\prod\\" + kSo + "\\", Kind::SubMenu},
        {1252, "D:\\prod\\" + kHyou, Kind::SubMenu},
    };
    for (const KindCase& c : cases) {
        EXPECT_EQ(command::Classify(c.cmd, CodePage(c.cp)), c.kind)
            << c.cp << " " << c.cmd;
    }
}

TEST(Command, AddressTestCoversEveryScheme) {
    const CodePage page(1252);
    EXPECT_TRUE(command::IsAddress("http:", page));
    EXPECT_TRUE(command::IsAddress("HTTPS:x", page));
    EXPECT_TRUE(command::IsAddress("https://a/", page));
    EXPECT_TRUE(command::IsAddress("fTp://a/", page));
    EXPECT_FALSE(command::IsAddress("http", page));
    EXPECT_FALSE(command::IsAddress("https", page));
    EXPECT_FALSE(command::IsAddress("ftps://a/", page));
    EXPECT_FALSE(command::IsAddress(" http://a/", page));
    EXPECT_FALSE(command::IsAddress("", page));
}

// The descriptor's loose test and activation's strict one, on the same
// texts: what the first keeps as written, the second need not take for an
// address.
TEST(Command, TheTwoAddressTestsSideBySide) {
    const struct {
        unsigned cp;
        std::string text;
        bool beginsLike, address;
        std::string scheme;
    } cases[] = {
        {1252, "http://host/a.exe", true, true, "http"},
        {1252, "HtTpS://host/", true, true, "https"},
        {1252, "Ftp://host/f.zip", true, true, "ftp"},
        {1252, "httpd.exe", true, false, ""},
        {1252, "ftpclient\\setup.exe", true, false, ""},
        {1252, "HTTPS", true, false, ""},
        {1252, "htt", false, false, ""},
        {1252, "ftps://host/", true, false, ""},
        {1252, "D:\\http:\\x.exe", false, false, ""},
        {932, kSo + "http://host/", false, false, ""},
    };
    for (const auto& c : cases) {
        const CodePage page(c.cp);
        EXPECT_EQ(command::BeginsLikeAddress(c.text, page), c.beginsLike) << c.text;
        EXPECT_EQ(command::IsAddress(c.text, page), c.address) << c.text;
        EXPECT_EQ(command::AddressScheme(c.text, page), c.scheme) << c.text;
    }
}

struct DestCase {
    unsigned cp;
    std::string temp;
    std::string address;
    std::string dest;
};

TEST(Command, DownloadLandsDirectlyInTheTemporaryFolder) {
    const DestCase cases[] = {
        {1252, "C:\\TEMP\\", "HTTP://host/a/b/setup.exe", "C:\\TEMP\\setup.exe"},
        {1252, "C:\\TEMP", "HTTP://host/a/b/setup.exe", "C:\\TEMP\\setup.exe"},
        {1252, "", "HTTP://host/a/b/setup.exe", "C:\\setup.exe"},
        {1252, std::string("\0junk", 5), "http://h/x.exe", "C:\\x.exe"},
        {1252, "C:\\TEMP\\", "http://host/dir/Setup.Exe", "C:\\TEMP\\Setup.Exe"},
        // Nothing of the address may lead out of the folder.
        {1252, "C:\\T\\", "http://host/..\\..\\windows\\evil.exe", "C:\\T\\evil.exe"},
        {1252, "C:\\T\\", "http://host/x\\..\\..\\a.exe", "C:\\T\\a.exe"},
        {1252, "C:\\T\\", "http://host/D:evil.exe", "C:\\T\\D_evil.exe"},
        {1252, "C:\\T\\", "http://host/C:\\x.exe", "C:\\T\\x.exe"},
        {1252, "C:\\T\\", "http://host/f.exe:stream.exe", "C:\\T\\f.exe_stream.exe"},
        {1252, "C:\\T\\", "http://host/get?f=<a>|*\".exe", "C:\\T\\get_f=_a____.exe"},
        {1252, "C:\\T\\", "http:setup.exe", "C:\\T\\http_setup.exe"},
        // Device names write nowhere; names that only begin like one are files.
        {1252, "C:\\T\\", "http://host/nul.exe", "C:\\T\\_nul.exe"},
        {1252, "C:\\T\\", "http://host/dl/CON.tar.exe", "C:\\T\\_CON.tar.exe"},
        {1252, "C:\\T\\", "http://host/Com7.EXE", "C:\\T\\_Com7.EXE"},
        {1252, "C:\\T\\", "http://host/lpt1 .exe", "C:\\T\\_lpt1 .exe"},
        {1252, "C:\\T\\", "http://host/a\\aux", "C:\\T\\_aux"},
        {1252, "C:\\T\\", "http://host/com0.exe", "C:\\T\\com0.exe"},
        {1252, "C:\\T\\", "http://host/console.exe", "C:\\T\\console.exe"},
        {1252, "C:\\T\\", "http://host/lpt10.exe", "C:\\T\\lpt10.exe"},
        // Double-byte names: their second bytes are neither "\" nor cut.
        {932, "C:\\T\\", "http://host/" + kSo + "ft.exe", "C:\\T\\" + kSo + "ft.exe"},
        {932, "C:\\" + kSo + "\\", "http://h/a.exe", "C:\\" + kSo + "\\a.exe"},
        {932, "C:\\" + kSo, "http://h/a.exe", "C:\\" + kSo + "\\a.exe"},
    };
    for (const DestCase& c : cases) {
        EXPECT_EQ(command::DownloadDestination(c.temp, c.address, CodePage(c.cp)),
                  c.dest)
            << c.address;
    }
}

struct FolderCase {
    unsigned cp;
    std::string path;
    std::string folder;
};

TEST(Command, WorkingFolderIsThePathsFolder) {
    const FolderCase cases[] = {
        {1252, "D:\\prod\\setup.exe", "D:\\prod"},
        {1252, "D:\\Product Setup\\setup.exe", "D:\\Product Setup"},
        {1252, "D:\\setup.exe", "D:\\"},
        {1252, "\\\\server\\share\\setup.exe", "\\\\server\\share"},
        {1252, "setup.exe", ""},
        {1252, "http://host/setup.exe", ""},
        {1252, "", ""},
        {932, "D:\\" + kSo + "ft\\" + kHyou + ".exe", "D:\\" + kSo + "ft"},
        {932, "D:\\" + kHyou + ".exe", "D:\\"},
        {1252, "D:\\" + kHyou + ".exe", "D:\\\x95"},
    };
    for (const FolderCase& c : cases) {
        EXPECT_EQ(command::WorkingFolder(c.path, CodePage(c.cp)), c.folder)
            << c.path;
    }
}

TEST(Command, CommandLineIsQuotedOnlyWhenThePathHoldsABlank) {
    EXPECT_EQ(command::CommandLine("D:\\prod\\setup.exe"), "D:\\prod\\setup.exe");
    EXPECT_EQ(command::CommandLine("D:\\PRODUC~1\\setup.exe"),
              "D:\\PRODUC~1\\setup.exe");
    EXPECT_EQ(command::CommandLine("D:\\Product Setup\\setup.exe"),
              "\"D:\\Product Setup\\setup.exe\"");
    EXPECT_EQ(command::CommandLine("D:\\prod\\my setup.exe"),
              "\"D:\\prod\\my setup.exe\"");
}

TEST(Command, FailureTextFallsBackToTheErrorCode) {
    EXPECT_EQ(command::LaunchFailureText("The system cannot find the file specified.\r\n", 2),
              "The system cannot find the file specified.\r\n");
    EXPECT_EQ(command::LaunchFailureText(nullptr, 1234),
              "Windows could not start the program (error 1234).");
    EXPECT_EQ(command::LaunchFailureText("", 4294967295UL),
              "Windows could not start the program (error 4294967295).");
}

}  // namespace
