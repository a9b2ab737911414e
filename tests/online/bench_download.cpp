// Times one download of an address, either through Online.dll's Download or
// through a bare loop of the Internet client calls its transfer thread makes
// (reads of at most 1,024 bytes, a write per block), and reports the
// process's peak memory.
// tools/dev/bench-download runs it against the loopback server, beside curl.
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

// The calls of Download's transfer thread, on the calling thread, without
// the dialog: the request as HTTP/1.0, and reads of what has arrived, at
// most 1,024 bytes each.
bool Bare(const char* url, const char* dest) {
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = "";
    char path[INTERNET_MAX_PATH_LENGTH + 1] = "";
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    if (!InternetCrackUrlA(url, 0, 0, &parts)) return false;
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_TRANSFER_BINARY |
                        (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    HINTERNET session = InternetOpenA("Online", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection =
        session ? InternetConnectA(session, host, parts.nPort, nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 1)
                : nullptr;
    HINTERNET source = connection ? HttpOpenRequestA(connection, "GET", path, "HTTP/1.0", nullptr,
                                                     nullptr, flags, 1)
                                  : nullptr;
    if (!source || !HttpSendRequestA(source, nullptr, 0, nullptr, 0)) return false;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE file = CreateFileA(dest, GENERIC_WRITE, 0, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[1024];
    bool ok = true;
    for (;;) {
        DWORD available = 0, got = 0, written = 0;
        ok = InternetQueryDataAvailable(source, &available, 0, 0) != FALSE;
        if (!ok || available == 0) break;
        ok = InternetReadFile(source, buffer, available < sizeof buffer ? available : sizeof buffer,
                              &got) &&
             WriteFile(file, buffer, got, &written, nullptr) && written == got;
        if (!ok || got == 0) break;
    }
    InternetCloseHandle(source);
    InternetCloseHandle(connection);
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
        ok = Bare(argv[2], argv[3]);
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!ok) {
        std::fprintf(stderr, "bench_download: the download failed\n");
        return 1;
    }
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    // SIZE_T is wider than unsigned long on 64-bit Windows.
    std::printf("%s %.3f %llu %llu\n", argv[1], seconds,
                static_cast<unsigned long long>(pmc.PeakWorkingSetSize),
                static_cast<unsigned long long>(pmc.PeakPagefileUsage));
    return 0;
}
