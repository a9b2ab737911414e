// Online.dll driven the way the menu program and a user drive it: the test
// loads the library by name, calls Download through DownloadFunc, and a
// second thread finds the progress dialog by its caption, reads the count,
// presses Cancel, and reads and dismisses the library's message boxes. The
// server answers on 127.0.0.1 from a thread of this process.
#include "online/download_api.h"
#include "online/online_resource.h"
#include "online/owners.h"
#include "test_server.h"
#include "tests/unit/test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

using online_test::IsBodyPrefix;
using online_test::TestServer;
using testing_support::Exists;
using testing_support::ReadAll;
using testing_support::TempDir;

namespace {

// What the user does while the dialog is up.
struct Plan {
    enum Cancel { kNever, kAtOnce, kAtCount, kAfterWait } cancel = kNever;
    // kAfterWait: how the user cancels, once the dialog has been up this long.
    enum How { kButton, kEscape, kCloseBox } how = kButton;
    int waitMs = 0;
    int giveUpSeconds = 20;    // the dialog is taken for stuck after this
    bool okAtOnce = false;     // send IDOK (Enter) as soon as the dialog is up
    int atCount = 0;           // kAtCount: press Cancel once the count shows this
    bool quitAtCount = false;  // post WM_QUIT to the caller instead of Cancel
    std::string boxCaption = "Online";
};

// Cancel (or, with `quit`, WM_QUIT to the caller) once the count shows `count`.
Plan ActAtCount(int count, bool quit) {
    Plan plan;
    plan.cancel = Plan::kAtCount;
    plan.atCount = count;
    plan.quitAtCount = quit;
    return plan;
}

// What the user saw, and what the caller's thread saw through its hooks.
struct Outcome {
    int result = 0;
    bool dialogSeen = false;
    bool ownerDisabled = false;
    HWND owner = nullptr;
    std::string firstCount;                // the count when the dialog appeared
    std::vector<std::string> counts;       // every text the count control was given
    std::vector<std::string> boxes;        // texts of the message boxes, in order
    std::string countAtCancel;
    int clipOpened = -1;                   // ACM_OPEN of the clip: 1 opened, 0 not
    bool quitLeft = false;                 // a WM_QUIT was still queued afterwards
    bool timedOut = false;
    bool hung = false;                     // the dialog did not answer within 500 ms
    std::chrono::steady_clock::time_point cancelledAt, goneAt, returnedAt;
};

CLibrary g_library;
DownloadFunc g_download = nullptr;
Outcome* g_hooked = nullptr;

std::string TextOf(HWND hWnd) {
    char text[512] = "";
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_NORMAL, 2000, &ignored))
        return "";
    return text;
}

std::string ClassOf(HWND hWnd) {
    char name[64] = "";
    GetClassNameA(hWnd, name, sizeof name);
    return name;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    if (ClassOf(child) == "Static") {
        std::string text = TextOf(child);
        if (!text.empty()) *reinterpret_cast<std::string*>(param) += text;
    }
    return TRUE;
}

LRESULT CALLBACK OnCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_hooked && m->message == WM_SETTEXT &&
        GetDlgCtrlID(m->hwnd) == IDC_COUNT && ClassOf(m->hwnd) == "Static")
        g_hooked->counts.push_back(reinterpret_cast<const char*>(m->lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK OnCallWndRet(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && g_hooked && m->message == ACM_OPENA && m->lParam != 0)
        g_hooked->clipOpened = m->lResult ? 1 : 0;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A dialog of this process with `caption`: suites run side by side on one
// display, and their boxes have the same caption.
struct OwnWindow {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND hWnd, LPARAM param) {
    OwnWindow* w = reinterpret_cast<OwnWindow*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    char text[512] = "";
    if (process == GetCurrentProcessId() && ClassOf(hWnd) == "#32770" &&
        GetWindowTextA(hWnd, text, sizeof text) >= 0 && w->caption == std::string(text)) {
        w->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindOwn(const std::string& caption) {
    OwnWindow w = {caption.c_str(), nullptr};
    EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&w));
    return w.found;
}

// The user, on a thread of its own, until the call has returned.
void Drive(const std::string& caption, const Plan& plan, DWORD caller,
           const std::atomic<bool>& done, Outcome& out) {
    auto start = std::chrono::steady_clock::now();
    HWND dialog = nullptr;
    bool acted = false;
    std::set<HWND> answered;
    while (!done) {
        if (acted && out.goneAt == decltype(out.goneAt)() && !IsWindowVisible(dialog))
            out.goneAt = std::chrono::steady_clock::now();
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(plan.giveUpSeconds)) {
            out.timedOut = true;
            if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        if (!dialog && (dialog = FindOwn(caption)) != nullptr) {
            out.dialogSeen = true;
            out.owner = GetWindow(dialog, GW_OWNER);
            out.ownerDisabled = out.owner && !IsWindowEnabled(out.owner);
            out.firstCount = TextOf(GetDlgItem(dialog, IDC_COUNT));
            if (plan.okAtOnce) PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
        if (dialog && IsWindow(dialog) && !acted && plan.cancel != Plan::kNever) {
            std::string count = TextOf(GetDlgItem(dialog, IDC_COUNT));
            if (plan.cancel == Plan::kAtOnce) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                acted = true;
            } else if (plan.cancel == Plan::kAfterWait) {
                // Until then the dialog must answer as any window does.
                DWORD_PTR ignored = 0;
                if (!SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 500, &ignored) &&
                    IsWindow(dialog))
                    out.hung = true;
                if (std::chrono::steady_clock::now() - start >
                    std::chrono::milliseconds(plan.waitMs)) {
                    out.cancelledAt = std::chrono::steady_clock::now();
                    if (plan.how == Plan::kButton)
                        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                    else if (plan.how == Plan::kEscape)
                        PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
                    else
                        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                    acted = true;
                }
            } else if (!count.empty() && std::atoi(count.c_str()) >= plan.atCount) {
                out.countAtCancel = count;
                if (plan.quitAtCount)
                    PostThreadMessageA(caller, WM_QUIT, 0, 0);
                else
                    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                acted = true;
            }
        }
        HWND box = FindOwn(plan.boxCaption);
        if (box && !answered.count(box)) {
            answered.insert(box);
            std::string text;
            EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
            out.boxes.push_back(text);
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
        Sleep(5);
    }
}

Outcome RunDownload(const std::string& url, const std::string& dest, const Plan& plan = Plan(),
            HWND parent = nullptr, DownloadFunc download = nullptr) {
    Outcome out;
    g_hooked = &out;
    HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, OnCallWndProc, nullptr, GetCurrentThreadId());
    HHOOK ret = SetWindowsHookExA(WH_CALLWNDPROCRET, OnCallWndRet, nullptr, GetCurrentThreadId());
    std::atomic<bool> done{false};
    std::thread user(Drive, url, std::cref(plan), GetCurrentThreadId(), std::cref(done),
                     std::ref(out));
    DownloadParent owner = {parent};
    out.result = (download ? download : g_download)(parent ? &owner : nullptr, url.c_str(),
                                                    dest.c_str());
    out.returnedAt = std::chrono::steady_clock::now();
    done = true;
    user.join();
    // Gone between two looks of the user and the return.
    if (out.goneAt == decltype(out.goneAt)()) out.goneAt = out.returnedAt;
    UnhookWindowsHookEx(sent);
    UnhookWindowsHookEx(ret);
    g_hooked = nullptr;
    MSG msg;
    out.quitLeft = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    EXPECT_FALSE(out.timedOut) << "the dialog was still up after " << plan.giveUpSeconds << " s";
    return out;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The count control showed 1 first, then rising values (a fast transfer
// skips some), and `blocks` at the end; nothing at all for no blocks.
void ExpectCounted(const std::vector<std::string>& shown, int blocks) {
    if (blocks == 0) {
        EXPECT_TRUE(shown.empty());
        return;
    }
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "1");
    EXPECT_EQ(shown.back(), std::to_string(blocks));
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_LT(std::atoi(shown[i - 1].c_str()), std::atoi(shown[i].c_str()));
}

class DownloadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The menu program's way: by file name, from its own folder.
        ASSERT_TRUE(g_library.Load("Online.dll"));
        g_download = reinterpret_cast<DownloadFunc>(
            reinterpret_cast<void*>(g_library.Proc(DOWNLOAD_EXPORT_NAME)));
        ASSERT_NE(g_download, nullptr);
    }
    static void TearDownTestSuite() {
        g_library.Free();
    }

    TestServer server;
    TempDir temp;
};

TEST_F(DownloadTest, CopiesTheBodyCountingOneStepPerBlock) {
    HWND parent = CreateWindowA("Static", "menu", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                                200, nullptr, nullptr, nullptr, nullptr);
    std::string dest = temp / "setup.exe";
    Outcome out = RunDownload(server.Url("/bytes/2500/setup.exe"), dest, Plan(), parent);
    DestroyWindow(parent);

    EXPECT_EQ(out.result, 1);
    EXPECT_TRUE(out.dialogSeen) << "no dialog captioned with the address";
    EXPECT_EQ(out.owner, parent);
    EXPECT_TRUE(out.ownerDisabled);
    EXPECT_EQ(out.firstCount, "0");
    ExpectCounted(out.counts, 3);
    EXPECT_EQ(out.clipOpened, 1) << "the control could not play filemove.avi";
    EXPECT_TRUE(out.boxes.empty());
    std::string data = ReadAll(dest);
    EXPECT_EQ(data.size(), 2500u);
    EXPECT_TRUE(IsBodyPrefix(data));
    EXPECT_EQ(server.LastUserAgent(), "Online");
}

TEST_F(DownloadTest, BodiesOfWholeBlocksAndEmptyBodies) {
    // Enter (IDOK) in the first second changes nothing: the copy still runs.
    // A server that takes its time to answer is waited for; ten redirects
    // are followed, each asked as HTTP/1.0, which a server that makes the
    // file on the fly answers without chunks.
    const struct { std::string path; int size; int blocks; bool enter; } cases[] = {
        {"/bytes/2048", 2048, 2, true},
        {"/bytes/0", 0, 0, false},
        {"/late/2500/3000", 3000, 3, false},
        {"/moved/10/bytes/2500", 2500, 3, false},
        {"/moved/1/dynamic/3000", 3000, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string dest = temp / ("body" + std::to_string(c.size));
        Plan plan;
        plan.okAtOnce = c.enter;
        Outcome out = RunDownload(server.Url(c.path), dest, plan);
        EXPECT_EQ(out.result, 1);
        ExpectCounted(out.counts, c.blocks);
        EXPECT_TRUE(Exists(dest));
        EXPECT_EQ(ReadAll(dest).size(), static_cast<size_t>(c.size));
        EXPECT_TRUE(out.boxes.empty());
    }
    for (const std::string& heard : server.Heard()) EXPECT_EQ(heard, "HTTP/1.0 Online");
}

TEST_F(DownloadTest, CancelBeforeTheFirstTickLeavesAnEmptyFile) {
    std::string dest = temp / "setup.exe";
    WriteAll(dest, "an older download");
    Plan plan;
    plan.cancel = Plan::kAtOnce;
    Outcome out = RunDownload(server.Url("/bytes/5000"), dest, plan);
    EXPECT_EQ(out.result, 2);
    EXPECT_TRUE(out.counts.empty());
    EXPECT_TRUE(Exists(dest));
    EXPECT_EQ(ReadAll(dest), "");
    EXPECT_TRUE(out.boxes.empty());
}

TEST_F(DownloadTest, CancelDuringTheTransferKeepsExactlyTheCountedBlocks) {
    std::string dest = temp / "setup.exe";
    Outcome out = RunDownload(server.Url("/trickle/40960/40"), dest, ActAtCount(3, false));
    EXPECT_EQ(out.result, 2);
    ASSERT_FALSE(out.counts.empty());
    int counted = std::atoi(out.counts.back().c_str());
    EXPECT_GE(counted, 3);
    EXPECT_LT(counted, 40) << "Cancel did not stop the transfer";
    std::string data = ReadAll(dest);
    EXPECT_EQ(data.size(), static_cast<size_t>(counted) * 1024);
    EXPECT_TRUE(IsBodyPrefix(data));
    EXPECT_TRUE(out.boxes.empty());
}

TEST_F(DownloadTest, AQuitMessageDuringTheTransferIsDropped) {
    std::string dest = temp / "setup.exe";
    Outcome out = RunDownload(server.Url("/trickle/16384/30"), dest, ActAtCount(2, true));
    EXPECT_EQ(out.result, 1);
    EXPECT_FALSE(out.countAtCancel.empty()) << "WM_QUIT was not posted during the transfer";
    ExpectCounted(out.counts, 16);
    EXPECT_EQ(ReadAll(dest).size(), 16384u);
    EXPECT_FALSE(out.quitLeft);
}

// The Internet client's own text for an error, as Windows keeps it.
std::string InternetText(DWORD code) {
    char text[512] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                             GetModuleHandleA("wininet.dll"), code, 0, text, sizeof text,
                             nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) --n;
    return std::string(text, n);
}

// Failures before anything is copied: a message, and the destination as it was.
TEST_F(DownloadTest, SourceFailuresLeaveTheDestinationAlone) {
    int closedPort;
    {
        TestServer gone;
        closedPort = gone.Port();
    }
    const struct {
        std::string url;
        bool existing;     // a file is at the destination beforehand
        std::string box;   // the message
    } cases[] = {
        {"http://nosuchhost.invalid/setup.exe", false,
         InternetText(ERROR_INTERNET_NAME_NOT_RESOLVED)},
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/setup.exe", true,
         InternetText(ERROR_INTERNET_CANNOT_CONNECT)},
        {server.Url("/status/404/setup.exe"), true, "The server answered 404 Not Found."},
        {"news://127.0.0.1/setup.exe", false,
         InternetText(ERROR_INTERNET_UNRECOGNIZED_SCHEME)},
        {"setup.exe", false, InternetText(ERROR_INTERNET_UNRECOGNIZED_SCHEME)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        std::string dest = temp / "setup.exe";
        testing_support::RemoveAll(dest);
        if (c.existing) WriteAll(dest, "keep me");
        Outcome out = RunDownload(c.url, dest);
        EXPECT_EQ(out.result, 2);
        EXPECT_TRUE(out.counts.empty());
        EXPECT_FALSE(c.box.empty());
        EXPECT_EQ(out.boxes, std::vector<std::string>{c.box});
        if (c.existing)
            EXPECT_EQ(ReadAll(dest), "keep me");
        else
            EXPECT_FALSE(Exists(dest));
    }
}

TEST_F(DownloadTest, AMissingDestinationFolderFailsSilently) {
    Outcome out = RunDownload(server.Url("/bytes/2500"), temp / "no such folder\\setup.exe");
    EXPECT_EQ(out.result, 2);
    EXPECT_TRUE(out.boxes.empty());
    EXPECT_TRUE(out.counts.empty());
    EXPECT_FALSE(Exists(temp / "no such folder"));
}

// The connection ends before the announced length: the blocks stay, but the
// transfer is no success.
TEST_F(DownloadTest, ACutOffTransferIsAFailure) {
    const struct { std::string path; size_t kept; bool ownText; } cases[] = {
        {"/short/5000/2500", 2500, true},
        {"/reset/50000/3072", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string dest = temp / "setup.exe";
        Outcome out = RunDownload(server.Url(c.path), dest);
        EXPECT_EQ(out.result, 2);
        ASSERT_EQ(out.boxes.size(), 1u);
        if (c.ownText) {
            EXPECT_EQ(out.boxes[0],
                      "The transfer broke off after 2500 of the 5000 bytes the server announced.");
            EXPECT_EQ(ReadAll(dest).size(), c.kept);
        }
        EXPECT_TRUE(IsBodyPrefix(ReadAll(dest)));
    }
}

// Answers that are not the whole file: each is a failure with its message,
// and a destination that was there before is only touched by a 2xx.
TEST_F(DownloadTest, AnswersThatAreNotTheWholeFileAreFailures) {
    const std::string kChunked =
        "The server sent the file in chunks, whose end cannot be checked; nothing was saved.";
    const std::string kLoop = "The server sent the download on more than 10 times; it was given up.";
    const std::string ftp = "ftp://127.0.0.1:" + std::to_string(server.Port()) + "/setup.exe";
    const struct {
        std::string path;
        int result;
        std::string box;     // empty: no message
        long long kept;      // bytes at the destination afterwards; -1: untouched
        int requests = 1;    // the requests the server heard
    } cases[] = {
        {"/chunked/5000", 2, kChunked, -1},
        {"/chunked/5000/cut/2500", 2, kChunked, -1},
        {"/chunked/5000/bad/3000", 2, kChunked, -1},
        {"/silent/200", 2, "The server closed the connection without an answer.", -1},
        {"/goto/file:///C:/windows/notepad.exe", 2,
         "The server answered 302 Found: the file is at file:///C:/windows/notepad.exe, an "
         "address that cannot be fetched from here.",
         -1},
        {"/goto/" + ftp, 2,
         "The server answered 302 Found: the file is at " + ftp +
             ", an address that cannot be fetched from here.",
         -1},
        {"/loop", 2, kLoop, -1, 11},
        {"/moved/11/bytes/2500", 2, kLoop, -1, 11},
        {"/compressed/5000", 2,
         "The server sent the file compressed (gzip) instead of as it is; nothing was saved.", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string dest = temp / "setup.exe";
        WriteAll(dest, "keep me");
        const int before = server.Requests();
        Outcome out = RunDownload(server.Url(c.path), dest);
        if (c.requests > 1) Sleep(300);  // a loop given up asks nothing more
        EXPECT_EQ(server.Requests() - before, c.requests);
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(out.boxes, c.box.empty() ? std::vector<std::string>()
                                           : std::vector<std::string>{c.box});
        std::string data = ReadAll(dest);
        if (c.kept < 0) {
            EXPECT_EQ(data, "keep me");
        } else {
            EXPECT_EQ(data.size(), static_cast<size_t>(c.kept));
            EXPECT_TRUE(IsBodyPrefix(data));
        }
    }
}

// Whatever the server does, the dialog answers, and Cancel in any of its
// forms ends it within a second, Download returns within a second of that,
// and the destination holds exactly the kilobytes counted. While the server
// keeps sending slowly or redirecting, nothing of the transfer outlives
// Download: the library, loaded for the call alone, goes when it is freed.
// The last server sends gigabytes as fast as it can.
TEST_F(DownloadTest, AStallingServerNeverFreezesTheDialog) {
    char path[MAX_PATH];
    GetModuleFileNameA(g_library.Get(), path, MAX_PATH);
    const struct {
        std::string path;
        Plan::How how;
        bool untouched;   // the destination is as it was
        int blocks;       // the count at the end; -1: any but 0
        bool sending;     // the server keeps sending
    } cases[] = {
        {"/silent/600000", Plan::kButton, true, 0, false},
        {"/stall/4096/0", Plan::kEscape, false, 0, false},
        {"/stall/10240/3072", Plan::kCloseBox, false, 3, false},
        {"/drip/3000/100", Plan::kButton, false, 1, true},
        {"/loop/300", Plan::kButton, true, 0, true},
        {"/bytes/4000000000", Plan::kButton, false, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string dest = temp / "setup.exe";
        WriteAll(dest, "keep me");
        // Where the server keeps sending, a copy of the library of its own:
        // one still held by a thread stays loaded after it is freed.
        const std::string copy = temp / "Stalled.dll";
        CLibrary library;
        DownloadFunc download = nullptr;
        if (c.sending) {
            ASSERT_TRUE(CopyFileA(path, copy.c_str(), FALSE));
            ASSERT_TRUE(library.Load(copy.c_str()));
            download = reinterpret_cast<DownloadFunc>(
                reinterpret_cast<void*>(library.Proc(DOWNLOAD_EXPORT_NAME)));
        }
        Plan plan;
        plan.cancel = Plan::kAfterWait;
        plan.how = c.how;
        plan.waitMs = 2500;
        if (c.sending) plan.boxCaption = "Stalled";
        Outcome out = RunDownload(server.Url(c.path), dest, plan, nullptr, download);
        if (c.sending) {
            library.Free();
            EXPECT_EQ(GetModuleHandleA(copy.c_str()), nullptr) << "the transfer outlived Download";
        }
        EXPECT_EQ(out.result, 2);
        EXPECT_FALSE(out.hung) << "the dialog stopped answering";
        using std::chrono::milliseconds;
        EXPECT_LT(std::chrono::duration_cast<milliseconds>(out.goneAt - out.cancelledAt).count(),
                  1000) << "the dialog was still there a second after Cancel";
        EXPECT_LT(std::chrono::duration_cast<milliseconds>(out.returnedAt - out.goneAt).count(),
                  1000) << "Download returned later than a second after its dialog went";
        EXPECT_TRUE(out.boxes.empty());
        std::string data = ReadAll(dest);
        if (c.untouched) {
            EXPECT_EQ(data, "keep me");
            continue;
        }
        EXPECT_TRUE(IsBodyPrefix(data));
        const size_t counted = out.counts.empty() ? 0 : std::atoi(out.counts.back().c_str());
        EXPECT_EQ(counted, (data.size() + 1023) / 1024);
        if (c.blocks >= 0)
            ExpectCounted(out.counts, c.blocks);
        else
            EXPECT_GT(counted, 0u);
    }
}

// Its own test in the suite's list: it takes half a minute.
TEST_F(DownloadTest, AServerSilentFor30SecondsIsGivenUp) {
    std::string dest = temp / "setup.exe";
    Plan plan;
    plan.giveUpSeconds = 60;
    auto start = std::chrono::steady_clock::now();
    Outcome out = RunDownload(server.Url("/stall/4096/1024"), dest, plan);
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(out.returnedAt - start).count();
    EXPECT_EQ(out.result, 2);
    EXPECT_EQ(out.boxes, std::vector<std::string>{InternetText(ERROR_INTERNET_TIMEOUT)});
    EXPECT_GE(seconds, 30);
    EXPECT_LT(seconds, 40);
    EXPECT_EQ(ReadAll(dest).size(), 1024u);
}

// Run by tls_suite.sh: the host's test server speaks TLS on the ports it
// names, plain first, then with a good certificate, one of an authority
// nobody trusts, one for another name and an expired one. Each refusal is
// the Internet client's own text (where Wine's has none, a sentence of
// ours), and no file is made; so for a secure address that sends the
// download on to plain http (the plain server of this process), directly or
// on the way back to https, which the server never hears of. Redirects among
// secure addresses are followed; the whole file, after the refusals, comes
// byte for byte.
TEST_F(DownloadTest, HttpsEndToEnd) {
    const char* list = std::getenv("WIZARD_TLS_PORTS");
    ASSERT_NE(list, nullptr) << "run by tests/online/tls_suite.sh";
    std::vector<std::string> ports;
    std::stringstream in(list);
    for (std::string port; std::getline(in, port, ',');) ports.push_back(port);
    ASSERT_EQ(ports.size(), 5u);
    auto at = [&](int i, const std::string& path) {
        return "https://localhost:" + ports[i] + path;
    };
    const std::string plain = "http://127.0.0.1:" + std::to_string(server.Port());
    const std::string moved = at(1, "/goto/" + plain + "/bytes/2500");
    const std::string back = plain + "/goto/" + at(1, "/bytes/2500");
    const std::string mixed = at(1, "/goto/" + back);
    const struct {
        std::string url;
        DWORD code;           // the client's error, or 0
        std::string ours;     // the text when the client has none, or ours
        size_t size;          // the bytes of the whole file, or 0 for a failure
    } cases[] = {
        {at(2, "/bytes/2500/setup.exe"), ERROR_INTERNET_INVALID_CA,
         "The server's certificate is not signed by an authority this computer trusts.", 0},
        {at(3, "/bytes/2500/setup.exe"), ERROR_INTERNET_SEC_CERT_CN_INVALID,
         "The server's certificate is made out to another name.", 0},
        {at(4, "/bytes/2500/setup.exe"), ERROR_INTERNET_SEC_CERT_DATE_INVALID,
         "The server's certificate has expired or is not valid yet.", 0},
        {moved, 0,
         "The secure address " + moved + " sent the download on to " + plain +
             "/bytes/2500, which is not secure.",
         0},
        {mixed, 0,
         "The secure address " + mixed + " sent the download on to " + back +
             ", which is not secure.",
         0},
        {at(1, "/moved/2/bytes/2500"), 0, "", 2500},
        {at(1, "/bytes/300000/setup.exe"), 0, "", 300000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        std::string dest = temp / "setup.exe";
        testing_support::RemoveAll(dest);
        Outcome out = RunDownload(c.url, dest);
        const std::string text = c.code ? InternetText(c.code) : "";
        const std::string box = text.empty() ? c.ours : text;
        EXPECT_EQ(out.result, c.size ? 1 : 2);
        EXPECT_EQ(out.boxes, box.empty() ? std::vector<std::string>()
                                         : std::vector<std::string>{box});
        if (c.size) {
            const std::string data = ReadAll(dest);
            EXPECT_EQ(data.size(), c.size);
            EXPECT_TRUE(IsBodyPrefix(data));
        } else {
            EXPECT_FALSE(Exists(dest));
        }
    }
    EXPECT_EQ(server.Requests(), 0) << "a secure download went on to plain http";
}

TEST_F(DownloadTest, WorksWithoutTheClip) {
    TempDir elsewhere;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(elsewhere.Path().c_str());
    std::string dest = temp / "setup.exe";
    Outcome out = RunDownload(server.Url("/bytes/2500"), dest);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(out.clipOpened, 0);
    EXPECT_EQ(out.result, 1);
    EXPECT_TRUE(out.boxes.empty());
    EXPECT_EQ(ReadAll(dest).size(), 2500u);
}

// The agent name and the caption of the messages are the library's file name.
TEST_F(DownloadTest, TheLibraryNamesItselfByItsFileName) {
    char path[MAX_PATH];
    GetModuleFileNameA(g_library.Get(), path, MAX_PATH);
    std::string copy = temp / "Fetcher.dll";
    ASSERT_TRUE(CopyFileA(path, copy.c_str(), FALSE));
    CLibrary other;
    ASSERT_TRUE(other.Load(copy.c_str()));
    auto download = reinterpret_cast<DownloadFunc>(
        reinterpret_cast<void*>(other.Proc(DOWNLOAD_EXPORT_NAME)));
    ASSERT_NE(download, nullptr);
    Plan plan;
    plan.boxCaption = "Fetcher";
    Outcome out = RunDownload(server.Url("/status/403"), temp / "x.exe", plan, nullptr, download);
    other.Free();
    EXPECT_EQ(out.result, 2);
    EXPECT_EQ(out.boxes, std::vector<std::string>{"The server answered 403 Forbidden."});
    EXPECT_EQ(server.LastUserAgent(), "Fetcher");
}

TEST_F(DownloadTest, ADialogThatCannotBeMadeReturnsMinusOne) {
    HWND gone = CreateWindowA("Static", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    DownloadParent parent = {gone};
    std::string dest = temp / "setup.exe";
    EXPECT_EQ(g_download(&parent, server.Url("/bytes/10").c_str(), dest.c_str()), -1);
    EXPECT_FALSE(Exists(dest));
}

TEST_F(DownloadTest, TheDialogTemplateIsEnglishAustralian) {
    EXPECT_NE(FindResourceExA(g_library.Get(), RT_DIALOG, MAKEINTRESOURCEA(IDD_DOWNLOAD),
                              MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_AUS)),
              nullptr);
}

}  // namespace
