// Clicks that start something: programs on the medium, addresses in the
// shell, downloads through Online.dll, and what the user sees when one of
// them cannot be started.
#include "driver.h"

#include "platform/handles.h"
#include "platform/sha256.h"
#include "resources/builtin_texts.h"
#include "resources/resource.h"
#include "tests/online/test_server.h"

#include <gtest/gtest.h>

#include <string>

using e2e::Box;
using e2e::Medium;
using e2e::Record;
using e2e::Wizard;

namespace {

std::string ShortPath(const std::string& path) {
    char buf[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return (n > 0 && n < sizeof buf) ? std::string(buf, n) : path;
}

// The command line a program on `path` is expected to get.
std::string ExpectedCommandLine(const std::string& path) {
    const std::string started = ShortPath(path);
    return started.find(' ') == std::string::npos ? started : "\"" + started + "\"";
}

std::string SystemText(DWORD code) {
    CSystemText text;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                       FORMAT_MESSAGE_FROM_SYSTEM,
                   nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   text.Receive(), 0, nullptr);
    return text.Get() ? text.Get() : "";
}

// Message boxes may wrap or trim their text; compare without line ends
// and trailing blanks.
std::string Flat(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '\r' && c != '\n') out += c;
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string TempFolder() {
    char buf[MAX_PATH] = "";
    GetTempPathA(sizeof buf, buf);
    std::string t = buf;
    if (!t.empty() && t.back() == '\\') t.pop_back();
    return t;
}

std::string UniqueName(const char* stem) {
    static unsigned counter = 0;
    return stem + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
}

class Activation : public ::testing::Test {
protected:
    void SetUp() override {
        medium.Product("", "name=Activation Medium\r\n");
    }
    // A product entry at `priority` with the given "file" value.
    void Entry(const std::string& folder, const std::string& name,
               const std::string& file, int priority) {
        medium.Product(folder, "name=" + name + "\r\nfile=" + file +
                                   "\r\npriority=" + std::to_string(priority) + "\r\n");
    }
    // The menu's message of a failed start: IDS_UNABLE_TO_START, a blank,
    // `what`.
    static std::string Unable(const std::string& what) {
        return std::string(TEXT_UNABLE_TO_START) + " " + what;
    }
    // Checks that the menu is still up on its first page and started
    // nothing.
    void ExpectStillThere(const Wizard& w, const std::string& option1) {
        EXPECT_TRUE(w.Running());
        EXPECT_EQ(w.Text(IDC_TITLE), "Activation Medium");
        EXPECT_EQ(w.Text(IDC_OPTION1), option1);
        EXPECT_TRUE(w.Boxes().empty());
        Sleep(200);
        EXPECT_TRUE(record.Starts().empty());
    }

    Medium medium;
    Record record;
};

TEST_F(Activation, StartingAProgramClosesTheMenu) {
    Entry("viewer", "Viewer", "setup.exe", 1);
    medium.Recorder("viewer\\setup.exe");
    Entry("Product Setup", "Spaced", "setup.exe", 2);
    medium.Recorder("Product Setup\\setup.exe");
    const struct {
        int option;
        const char* folder;
    } cases[] = {{IDC_OPTION1, "viewer"}, {IDC_OPTION2, "Product Setup"}};
    size_t starts = 0;
    for (const auto& c : cases) {
        Wizard w(medium);
        ASSERT_TRUE(w.Started());
        w.Click(c.option);
        EXPECT_TRUE(w.WaitEnded()) << c.folder;
        ASSERT_TRUE(record.WaitForStarts(++starts, 5000)) << c.folder;
        const e2e::Start s = record.Starts().back();
        const std::string folder = medium.Path(c.folder);
        EXPECT_EQ(s.commandLine, ExpectedCommandLine(folder + "\\setup.exe"));
        // The working folder is the path as the descriptor gave it.
        EXPECT_EQ(s.folder, folder);
    }
    EXPECT_EQ(record.Starts().size(), 2u);
}

TEST_F(Activation, AProgramThatCannotStartShowsTheSystemsReasonThenTheMenus) {
    Entry("gone", "Gone", "missing.exe", 1);
    Entry("doc", "Manual", "manual.pdf", 2);
    medium.Write("doc\\manual.pdf", "%PDF-1.4 not a program\n");
    const struct {
        int option;
        const char* file;
        DWORD error;
    } cases[] = {{IDC_OPTION1, "gone\\missing.exe", ERROR_FILE_NOT_FOUND},
                 {IDC_OPTION2, "doc\\manual.pdf", ERROR_BAD_EXE_FORMAT}};
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    for (const auto& c : cases) {
        w.Click(c.option);
        const Box system = w.WaitBox();
        ASSERT_TRUE(system.hwnd) << c.file;
        EXPECT_EQ(system.caption, "Error");
        EXPECT_EQ(Flat(system.text), Flat(SystemText(c.error))) << c.file;
        ASSERT_TRUE(w.PressOk(system));
        const Box ours = w.WaitBox();
        ASSERT_TRUE(ours.hwnd) << c.file;
        EXPECT_EQ(ours.caption, TEXT_ERROR);
        EXPECT_EQ(Flat(ours.text), Unable(medium.Path(c.file)));
        ASSERT_TRUE(w.PressOk(ours));
    }
    ExpectStillThere(w, "Gone");
}

TEST_F(Activation, AClickOnABlankBulletDoesNothing) {
    Entry("viewer", "Viewer", "setup.exe", 1);
    medium.Recorder("viewer\\setup.exe");
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    for (int id : {IDC_BULLET2, IDC_BULLET5, IDC_BULLET7}) w.Click(id);
    Sleep(300);
    ExpectStillThere(w, "Viewer");
    EXPECT_EQ(w.Text(IDC_DESCRIPTION), TEXT_CHOOSE_OPTION);
}

TEST_F(Activation, AddressesOpenInTheShellSecureOnesToo) {
    e2e::UrlHandler handler;
    const std::string secure = "HTTPS://example.invalid/support?page=1";
    const std::string plain = "http://example.invalid/news";
    Entry("secure", "Secure site", secure, 1);
    Entry("plain", "Plain site", plain, 2);
    Entry("viewer", "Viewer", "setup.exe", 3);
    medium.Recorder("viewer\\setup.exe");
    const struct {
        int option;
        std::string address;
    } cases[] = {{IDC_OPTION1, secure}, {IDC_OPTION2, plain}};
    size_t starts = 0;
    for (const auto& c : cases) {
        Wizard w(medium);
        ASSERT_TRUE(w.Started());
        if (starts == 0) {
            // Both addresses get the globe; the program gets the disc. (The
            // bullets' rectangles overlap by a row or two: compare within.)
            const std::vector<DWORD> globe = w.Pixels(IDC_BULLET1, 3);
            ASSERT_FALSE(globe.empty());
            EXPECT_TRUE(w.Pixels(IDC_BULLET2, 3) == globe);
            EXPECT_FALSE(w.Pixels(IDC_BULLET3, 3) == globe);
        }
        w.Click(c.option);
        EXPECT_TRUE(w.WaitEnded()) << c.address;
        ASSERT_TRUE(record.WaitForStarts(++starts, 5000)) << c.address;
        const std::string line = record.Starts().back().commandLine;
        EXPECT_NE(line.find("\"" + c.address + "\""), std::string::npos) << line;
    }
}

TEST_F(Activation, ADownloadIsStartedFromTheTemporaryFolder) {
    online_test::TestServer server;
    server.SetFile(testing_support::ReadAll(e2e::Settings().recorder));
    // The last name holds a ":" and a "?": the file still lands in the
    // temporary folder, under a name it can have.
    const std::string name = UniqueName("Setup");
    const std::string address = server.Url("/file/" + name + ".Exe?from=C:" + name + ".EXE");
    const std::string dest = TempFolder() + "\\" + name + ".Exe_from=C_" + name + ".EXE";
    Entry("online", "Online product", address, 1);
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    w.Click(IDC_OPTION1);
    const Box progress = w.WaitBox();
    EXPECT_EQ(progress.caption, address);
    EXPECT_TRUE(w.WaitEnded(15000));
    ASSERT_TRUE(record.WaitForStarts(1, 5000));
    const e2e::Start s = record.Starts().back();
    EXPECT_EQ(s.commandLine, ExpectedCommandLine(dest));
    EXPECT_EQ(s.folder, TempFolder());
    EXPECT_EQ(testing_support::ReadAll(dest), testing_support::ReadAll(e2e::Settings().recorder));
    EXPECT_GE(server.Requests(), 1);
    DeleteFileA(dest.c_str());
}

TEST_F(Activation, AFailedDownloadKeepsThePageAndStartsNothing) {
    online_test::TestServer server;
    const std::string name = UniqueName("missing") + ".exe";
    const std::string address = server.Url("/status/404/" + name);
    Entry("online", "Online product", address, 1);
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    w.Click(IDC_OPTION1);
    // The progress window, then the library's own report of the failure.
    Box box = w.WaitBox();
    ASSERT_TRUE(box.hwnd);
    EXPECT_EQ(box.caption, address);
    ASSERT_TRUE(e2e::WaitFor([&] {
        box = w.WaitBox(100);
        return box.hwnd && box.caption == "Online";
    }, 10000));
    EXPECT_NE(box.text.find("404"), std::string::npos) << box.text;
    ASSERT_TRUE(w.PressOk(box));
    EXPECT_TRUE(e2e::WaitFor([&] { return w.Boxes().empty(); }, 5000));
    ExpectStillThere(w, "Online product");
    EXPECT_FALSE(testing_support::Exists(TempFolder() + "\\" + name));
}

// A pinned download is started only when it is the file the medium was made
// with; a pin that is no digest keeps the download from starting at all.
TEST_F(Activation, APinnedDownloadStartsOnlyWhenItIsTheFileMeant) {
    online_test::TestServer server;
    const std::string program = testing_support::ReadAll(e2e::Settings().recorder);
    server.SetFile(program);
    platform::Sha256 hash;
    hash.Update(program.data(), program.size());
    const std::string digest = hash.HexDigest();
    ASSERT_EQ(digest.size(), 64u);
    std::string upper = digest;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    std::string other = digest;
    other[10] = other[10] == '0' ? '1' : '0';
    const struct {
        std::string pin;
        bool started;
        int requests;
    } cases[] = {
        {other, false, 1},
        {digest.substr(1), false, 0},
        {upper, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pin);
        const std::string name = UniqueName("Pinned") + ".exe";
        const std::string dest = TempFolder() + "\\" + name;
        medium.Product("online", "name=Online product\r\nfile=" + server.Url("/file/" + name) +
                                     "\r\nsha256= \"" + c.pin + "\" \r\npriority=1\r\n");
        const int before = server.Requests();
        const size_t starts = record.Starts().size();
        Wizard w(medium);
        ASSERT_TRUE(w.Started());
        w.Click(IDC_OPTION1);
        if (c.started) {
            EXPECT_TRUE(w.WaitEnded(15000));
            ASSERT_TRUE(record.WaitForStarts(starts + 1, 5000));
            EXPECT_EQ(record.Starts().back().commandLine, ExpectedCommandLine(dest));
            DeleteFileA(dest.c_str());
        } else {
            Box box;
            ASSERT_TRUE(e2e::WaitFor([&] {
                box = w.WaitBox(100);
                return box.hwnd && box.caption == TEXT_ERROR;
            }, 10000));
            EXPECT_EQ(Flat(box.text), TEXT_DOWNLOAD_MISMATCH);
            ASSERT_TRUE(w.PressOk(box));
            EXPECT_TRUE(e2e::WaitFor([&] { return w.Boxes().empty(); }, 5000));
            ExpectStillThere(w, "Online product");
            EXPECT_FALSE(testing_support::Exists(dest));
        }
        EXPECT_EQ(server.Requests() - before, c.requests);
    }
}

TEST_F(Activation, WithoutOnlineDllTheUserIsTold) {
    medium.Remove("Online.dll");
    const std::string address = "http://127.0.0.1:9/get/setup.exe";
    Entry("online", "Online product", address, 1);
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    w.Click(IDC_OPTION1);
    // The menu cannot start Online.dll; then the address is tried as a
    // program: the system's reason, and the menu's box for the address.
    const Box noLibrary = w.WaitBox();
    ASSERT_TRUE(noLibrary.hwnd);
    EXPECT_EQ(noLibrary.caption, TEXT_ERROR);
    EXPECT_EQ(Flat(noLibrary.text), Unable("Online.dll"));
    ASSERT_TRUE(w.PressOk(noLibrary));
    const Box system = w.WaitBox();
    ASSERT_TRUE(system.hwnd);
    EXPECT_EQ(system.caption, "Error");
    EXPECT_FALSE(Flat(system.text).empty());
    EXPECT_NE(Flat(system.text), Unable(address));
    ASSERT_TRUE(w.PressOk(system));
    const Box noProgram = w.WaitBox();
    ASSERT_TRUE(noProgram.hwnd);
    EXPECT_EQ(Flat(noProgram.text), Unable(address));
    ASSERT_TRUE(w.PressOk(noProgram));
    ExpectStillThere(w, "Online product");
}

}  // namespace
