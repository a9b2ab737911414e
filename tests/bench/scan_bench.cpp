// Times the media scan against a bare walk of the same folders.
//
// For each size (1,000 and 10,000 folders unless sizes are given on the
// command line) it makes a medium in a temporary folder: a tree of folders,
// ten below each, every one with a descriptor file and two other files. Then,
// several times in the same run and in alternating order, it walks the tree
// with the folder search alone (reading nothing) and scans it into a catalog
// tree; and, to show where the difference goes, walks it once more doing
// everything the scan does for an entry except reading the descriptor. It
// prints the median of each, the ratios to the bare walk, and the heap the
// scan used at its peak, counted by this program's own operator new.
//
// Usage: scan_bench [-r REPEATS] [FOLDERS...]
#include "catalog/catalog_item.h"
#include "platform/folder_search.h"
#include "platform/system.h"
#include "tests/unit/test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

// ---- Heap accounting: every allocation through operator new is counted.

namespace {

std::atomic<long long> g_liveBytes{0};
std::atomic<long long> g_peakBytes{0};
std::atomic<long long> g_allocations{0};

// Room in front of each block for its size, kept to the strictest alignment.
const size_t kHeader = alignof(std::max_align_t) > sizeof(size_t)
                           ? alignof(std::max_align_t)
                           : sizeof(size_t);

void* CountedAlloc(size_t size) {
    void* raw = std::malloc(size + kHeader);
    if (!raw) throw std::bad_alloc();
    *static_cast<size_t*>(raw) = size;
    long long live = g_liveBytes += static_cast<long long>(size);
    long long peak = g_peakBytes.load();
    while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
    }
    ++g_allocations;
    return static_cast<char*>(raw) + kHeader;
}

void CountedFree(void* p) {
    if (!p) return;
    void* raw = static_cast<char*>(p) - kHeader;
    g_liveBytes -= static_cast<long long>(*static_cast<size_t*>(raw));
    std::free(raw);
}

}  // namespace

void* operator new(size_t size) { return CountedAlloc(size); }
void* operator new[](size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }

namespace {

// ---- Making the medium (Windows-form paths on both builds).

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
#else
    return mkdir(platform::NativePath(path).c_str(), 0755) == 0;
#endif
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(platform::NativePath(path).c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string TempBase() {
#ifdef _WIN32
    char base[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, base);
    std::string s(base, n);
    if (!s.empty() && s.back() == '\\') s.pop_back();
    return s + "\\scanbench" + std::to_string(GetCurrentProcessId());
#else
    const char* tmp = std::getenv("TMPDIR");
    return platform::WindowsPath(std::string(tmp && *tmp ? tmp : "/tmp") + "/scanbench" +
                                 std::to_string(getpid()));
#endif
}

std::string Descriptor(int id) {
    return "[common]\r\n"
           "name=Product " + std::to_string(id) + " %V\r\n"
           "version=" + std::to_string(id % 9 + 1) + ".0\r\n"
           "description=Installs %P from %T\r\n"
           "file=setup.exe\r\n"
           "icon=setup\r\n"
           "priority=" + std::to_string(id % 7 - 3) + "\r\n";
}

// `folders` folders below `root`, ten to a folder, breadth first.
bool MakeMedium(const std::string& root, int folders) {
    if (!MakeFolder(root) || !WriteBytes(root + "\\QXMSETUP.INI", Descriptor(0))) return false;
    std::vector<std::string> parents = {root};
    std::vector<int> childCount = {0};
    size_t next = 0;
    for (int id = 1; id <= folders; ++id) {
        if (childCount[next] == 10) ++next;
        char name[16];
        std::snprintf(name, sizeof name, "p%05d", id);
        std::string folder = parents[next] + "\\" + name;
        ++childCount[next];
        if (!MakeFolder(folder) || !WriteBytes(folder + "\\QXMSETUP.INI", Descriptor(id)) ||
            !WriteBytes(folder + "\\setup.exe", std::string(512, 'x')) ||
            !WriteBytes(folder + "\\readme.txt", "Read me.\r\n"))
            return false;
        parents.push_back(folder);
        childCount.push_back(0);
    }
    return true;
}

// ---- What is timed.

// Every entry of every folder, through the same folder search the scan uses.
long BareWalk(const std::string& folder) {
    platform::FolderSearch search;
    if (!search.FindFile(folder + "\\*.*")) return 0;
    long entries = 0;
    bool more = true;
    while (more) {
        more = search.FindNext();
        if (search.IsDots()) continue;
        ++entries;
        if (search.IsDirectory()) entries += BareWalk(search.GetFilePath());
    }
    return entries;
}

// The bare walk plus what the scan does for every entry short of reading:
// the descriptor lookup before it and the queue drained after it. Splits the
// scan's cost between searching and reading descriptors.
long LookupWalk(const std::string& folder) {
    platform::FolderSearch search;
    if (!search.FindFile(folder + "\\*.*")) return 0;
    const std::string descriptor = folder + "\\" + CCatalogItem::kDescriptorName;
    long entries = 0;
    bool more = true;
    while (more) {
        if (!platform::PathExists(descriptor)) break;
        more = search.FindNext();
        if (!search.IsDots()) {
            ++entries;
            if (search.IsDirectory()) entries += LookupWalk(search.GetFilePath());
        }
        platform::DrainMessageQueue();
    }
    return entries;
}

long CountItems(const CCatalogItem& item) {
    long n = 1;
    for (const auto& child : item.m_children) n += CountItems(*child);
    return n;
}

double Millis(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct ScanFigures {
    long items = 0;
    long long peakBytes = 0;     // most heap in use during the scan, above its start
    long long treeBytes = 0;     // heap the finished tree holds
    long long allocations = 0;
};

ScanFigures TimedScan(const std::string& root, double* ms) {
    ScanFigures f;
    long long before = g_liveBytes.load();
    g_peakBytes = before;
    long long allocs = g_allocations.load();
    auto t0 = std::chrono::steady_clock::now();
    {
        CCatalogItem tree;
        tree.ScanFolder(root);
        *ms = Millis(std::chrono::steady_clock::now() - t0);
        f.treeBytes = g_liveBytes.load() - before;
        f.items = CountItems(tree);
    }
    f.peakBytes = g_peakBytes.load() - before;
    f.allocations = g_allocations.load() - allocs;
    return f;
}

int Run(int folders, int repeats) {
    const std::string root = TempBase() + "_" + std::to_string(folders);
    testing_support::RemoveAll(root);
    auto g0 = std::chrono::steady_clock::now();
    if (!MakeMedium(root, folders)) {
        std::fprintf(stderr, "scan_bench: cannot make the medium in %s\n", root.c_str());
        testing_support::RemoveAll(root);
        return 1;
    }
    double makeMs = Millis(std::chrono::steady_clock::now() - g0);

    // One untimed round of each, so that both start from a warm cache.
    long entries = BareWalk(root);
    double ignored = 0;
    ScanFigures figures = TimedScan(root, &ignored);

    // The three in turn, each round starting with a different one.
    std::vector<double> walkMs, lookupMs, scanMs;
    for (int i = 0; i < repeats; ++i) {
        for (int turn = 0; turn < 3; ++turn) {
            switch ((i + turn) % 3) {
            case 0: {
                auto t0 = std::chrono::steady_clock::now();
                long n = BareWalk(root);
                walkMs.push_back(Millis(std::chrono::steady_clock::now() - t0));
                if (n != entries) std::fprintf(stderr, "scan_bench: the walk changed\n");
                break;
            }
            case 1: {
                auto t0 = std::chrono::steady_clock::now();
                long n = LookupWalk(root);
                lookupMs.push_back(Millis(std::chrono::steady_clock::now() - t0));
                if (n != entries) std::fprintf(stderr, "scan_bench: the walk changed\n");
                break;
            }
            default: {
                double ms = 0;
                ScanFigures f = TimedScan(root, &ms);
                scanMs.push_back(ms);
                if (f.items != figures.items) std::fprintf(stderr, "scan_bench: the scan changed\n");
            }
            }
        }
    }
    testing_support::RemoveAll(root);

    double walk = Median(walkMs), lookup = Median(lookupMs), scan = Median(scanMs);
    std::printf("%d folders (%ld entries, made in %.0f ms), %d runs each:\n", folders, entries,
                makeMs, repeats);
    std::printf("  bare walk          median %9.1f ms\n", walk);
    std::printf("  walk with lookups  median %9.1f ms   ratio to the walk %.2f\n", lookup,
                walk > 0 ? lookup / walk : 0.0);
    std::printf("  scan               median %9.1f ms   ratio to the walk %.2f\n", scan,
                walk > 0 ? scan / walk : 0.0);
    std::printf("  scan heap peak %lld bytes, tree %lld bytes, %ld items: %.0f bytes per item at "
                "peak, %lld allocations\n",
                figures.peakBytes, figures.treeBytes, figures.items,
                figures.items ? double(figures.peakBytes) / figures.items : 0.0,
                figures.allocations);
    if (figures.items != folders + 1) {
        std::fprintf(stderr, "scan_bench: expected %d items, the scan found %ld\n", folders + 1,
                     figures.items);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int repeats = 5;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-r" && i + 1 < argc) {
            repeats = std::max(1, std::atoi(argv[++i]));
        } else if (std::atoi(arg.c_str()) > 0) {
            sizes.push_back(std::atoi(arg.c_str()));
        } else {
            std::fprintf(stderr, "usage: scan_bench [-r REPEATS] [FOLDERS...]\n");
            return 2;
        }
    }
    if (sizes.empty()) sizes = {1000, 10000};
#ifdef _WIN32
    std::printf("scan_bench (Windows build)\n");
#else
    std::printf("scan_bench (host build)\n");
#endif
    int rc = 0;
    for (int folders : sizes) rc |= Run(folders, repeats);
    return rc;
}
