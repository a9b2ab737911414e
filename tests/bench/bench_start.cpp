// Times how long programs take from process creation until their first
// visible top-level window with a given caption exists.
//
// The programs are started in turn, one after the other, for each of the
// runs (so that a load on the machine falls on all of them alike), each in
// the given folder as its current folder. A timing ends when a visible
// top-level window of the new process has the caption; the window is then
// closed at once. For each program it prints the median of its times, the
// largest peak working set the process had when its window appeared, and
// the median time to its first visible window of any caption (the menu's
// splash).
//
// Usage: bench_start RUNS FOLDER CAPTION PROGRAM...
// Output: one line per program, in the order given:
//   MEDIAN_MS PEAK_WORKING_SET_BYTES FIRST_WINDOW_MEDIAN_MS T1 T2 ...
//   (every time in ms)
// Exit code 1 when a program failed to start, showed no such window within
// two minutes (a loaded machine and a large medium) or did not end when its
// window was closed.
#include "platform/handles.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const DWORD kWindowTimeoutMs = 120000;
const DWORD kExitTimeoutMs = 10000;

struct Search {
    DWORD pid;
    const char* caption;
    HWND found;
    HWND first;  // any visible window of the process
};

BOOL CALLBACK MatchWindow(HWND wnd, LPARAM lp) {
    Search* search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != search->pid || !IsWindowVisible(wnd)) return TRUE;
    search->first = wnd;
    char text[256];
    int n = GetWindowTextA(wnd, text, sizeof text);
    if (n < 0 || std::string(text, n) != search->caption) return TRUE;
    search->found = wnd;
    return FALSE;
}

struct Timing {
    bool ok;
    double ms;
    SIZE_T peakWorkingSet;
    double firstMs;
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

Timing TimeOne(const std::string& program, const std::string& folder, const char* caption) {
    Timing timing = {false, 0, 0, 0};
    std::string commandLine = "\"" + program + "\"";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        std::fprintf(stderr, "bench_start: cannot start %s (error %lu)\n", program.c_str(),
                     GetLastError());
        return timing;
    }
    CHandle process(info.hProcess), thread(info.hThread);
    Search search = {info.dwProcessId, caption, nullptr, nullptr};
    for (;;) {
        EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        if (search.first && timing.firstMs == 0) timing.firstMs = Seconds(start, now) * 1000;
        if (search.found) break;
        if (Seconds(start, now) * 1000 > kWindowTimeoutMs ||
            WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            break;
        Sleep(1);
    }
    if (search.found) {
        timing.ok = true;
        timing.ms = Seconds(start, now) * 1000;
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(process, &counters, sizeof counters))
            timing.peakWorkingSet = counters.PeakWorkingSetSize;
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    } else {
        std::fprintf(stderr, "bench_start: %s showed no window \"%s\"\n", program.c_str(),
                     caption);
    }
    if (WaitForSingleObject(process, kExitTimeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "bench_start: %s did not end; terminated\n", program.c_str());
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kExitTimeoutMs);
        timing.ok = false;
    }
    return timing;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: bench_start RUNS FOLDER CAPTION PROGRAM...\n");
        return 2;
    }
    int runs = std::atoi(argv[1]);
    std::string folder = argv[2];
    const char* caption = argv[3];
    std::vector<std::string> programs(argv + 4, argv + argc);
    std::vector<std::vector<double>> times(programs.size()), firsts(programs.size());
    std::vector<SIZE_T> peaks(programs.size(), 0);
    for (int run = 0; run < runs; ++run) {
        for (size_t p = 0; p < programs.size(); ++p) {
            Timing t = TimeOne(programs[p], folder, caption);
            if (!t.ok) return 1;
            times[p].push_back(t.ms);
            firsts[p].push_back(t.firstMs);
            peaks[p] = std::max(peaks[p], t.peakWorkingSet);
        }
    }
    for (size_t p = 0; p < programs.size(); ++p) {
        std::printf("%.1f %llu %.1f", Median(times[p]), static_cast<unsigned long long>(peaks[p]),
                    Median(firsts[p]));
        for (double t : times[p]) std::printf(" %.1f", t);
        std::printf("\n");
    }
    return 0;
}
