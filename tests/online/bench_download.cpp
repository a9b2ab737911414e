// Times one download of an address, either through Online.dll's Download or
// through a bare loop of the same Internet client calls (1,024-byte reads, a
// write and a queue drain per block), and reports the process's peak memory.
// tools/bench-download runs it against the loopback server, beside curl.
// Usage: bench_download download|bare URL DEST
// Prints: MODE SECONDS PEAK_WORKING_SET_BYTES PEAK_PRIVATE_BYTES
#include "online/download_api.h"
#include "online/owners.h"

#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_tick;
bool g_ticked = false;

// The progress dialog's first timer tick starts the transfer: Download's
// time is measured from there, leaving out the dialog's one-second wait.
LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_TIMER && !g_ticked) {
        g_tick = Clock::now();
        g_ticked = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Bare(const char* url, const char* dest) {
    HINTERNET session = InternetOpenA("Online", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET source = session ? InternetOpenUrlA(session, url, nullptr, 0, 0x84000002, 1) : nullptr;
    if (!source) return false;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE file = CreateFileA(dest, GENERIC_WRITE, 0, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[1024];
    DWORD got = 0, written = 0;
    bool ok = InternetReadFile(source, buffer, sizeof buffer, &got) != FALSE;
    while (ok && got > 0) {
        ok = WriteFile(file, buffer, got, &written, nullptr) && written == got &&
             InternetReadFile(source, buffer, sizeof buffer, &got);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    InternetCloseHandle(source);
    InternetCloseHandle(session);
    return CloseHandle(file) && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_download download|bare URL DEST\n");
        return 2;
    }
    const bool viaLibrary = std::strcmp(argv[1], "download") == 0;
    Clock::time_point start = Clock::now();
    bool ok;
    if (viaLibrary) {
        CLibrary library;
        library.Load("Online.dll");
        auto download = reinterpret_cast<DownloadFunc>(
            reinterpret_cast<void*>(library.Proc(DOWNLOAD_EXPORT_NAME)));
        if (!download) {
            std::fprintf(stderr, "bench_download: Online.dll or its Download is missing\n");
            return 1;
        }
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());
        ok = download(nullptr, argv[2], argv[3]) == 1;
        UnhookWindowsHookEx(hook);
        if (g_ticked) start = g_tick;
        library.Free();
    } else {
        // The drain costs more on a thread that has windows (each peek looks
        // at the display too); Download's thread has its dialog, so the bare
        // loop gets a window as well, as any caller of Download has.
        HWND window = CreateWindowA("Static", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                    200, 100, nullptr, nullptr, nullptr, nullptr);
        start = Clock::now();
        ok = Bare(argv[2], argv[3]);
        DestroyWindow(window);
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!ok) {
        std::fprintf(stderr, "bench_download: the download failed\n");
        return 1;
    }
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    std::printf("%s %.3f %lu %lu\n", argv[1], seconds,
                static_cast<unsigned long>(pmc.PeakWorkingSetSize),
                static_cast<unsigned long>(pmc.PeakPagefileUsage));
    return 0;
}
