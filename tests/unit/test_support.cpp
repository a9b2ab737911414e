#include "test_support.h"

#include "platform/system.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace testing_support {

namespace {

void MakeOneDir(const std::string& windowsPath) {
#ifdef _WIN32
    CreateDirectoryA(windowsPath.c_str(), nullptr);
#else
    mkdir(platform::NativePath(windowsPath).c_str(), 0755);
#endif
}

void MakeParents(const std::string& windowsPath) {
    for (size_t i = 1; i < windowsPath.size(); ++i)
        if (windowsPath[i] == '\\') MakeOneDir(windowsPath.substr(0, i));
}

#ifndef _WIN32
int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    return std::remove(path);
}
#endif

}  // namespace

TempDir::TempDir() {
#ifdef _WIN32
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%swzt%lu_%u", base,
                      GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            m_path = name;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot make a temporary folder");
    }
#else
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/wztXXXXXX";
    if (!mkdtemp(&pattern[0])) throw std::runtime_error("cannot make a temporary folder");
    m_path = platform::WindowsPath(pattern);
#endif
}

TempDir::~TempDir() { RemoveAll(m_path); }

std::string TempDir::operator/(const std::string& relative) const {
    return m_path + "\\" + relative;
}

void TempDir::Write(const std::string& relative, const std::string& bytes) const {
    std::string path = *this / relative;
    MakeParents(path);
    FILE* f = std::fopen(platform::NativePath(path).c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void TempDir::MakeDir(const std::string& relative) const {
    std::string path = *this / relative;
    MakeParents(path);
    MakeOneDir(path);
}

void RemoveAll(const std::string& path) {
#ifdef _WIN32
    // SHFileOperation would drag in the shell; walk the folder ourselves.
    DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return;
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name != "." && name != "..") RemoveAll(path + "\\" + name);
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(path.c_str());
    } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
#else
    nftw(platform::NativePath(path).c_str(), RemoveEntry, 32, FTW_DEPTH | FTW_PHYS);
#endif
}

bool Exists(const std::string& path) {
#ifdef _WIN32
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat st;
    return lstat(platform::NativePath(path).c_str(), &st) == 0;
#endif
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    FILE* f = std::fopen(platform::NativePath(path).c_str(), "rb");
    if (!f) return bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

std::string MinimalPe(int certificateType) {
    std::string pe(512, '\0');
    auto put = [&pe](size_t at, unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i) pe[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    pe[0] = 'M', pe[1] = 'Z', pe[0x40] = 'P', pe[0x41] = 'E';
    put(0x3C, 0x40, 4);                            // the PE header's place
    put(0x44, 0x14C, 2), put(0x54, 0xE0, 2);       // i386; the optional header's size
    put(0x56, 0x102, 2);                           // an executable 32-bit image
    const size_t opt = 0x58;
    put(opt, 0x10B, 2), put(opt + 32, 0x1000, 4), put(opt + 36, 0x200, 4);  // alignments
    put(opt + 56, 0x1000, 4), put(opt + 60, 0x200, 4), put(opt + 68, 2, 2);  // sizes; GUI
    put(opt + 92, 16, 4);                          // data directories
    if (certificateType) {
        put(opt + 96 + 8 * 4, 512, 4), put(opt + 96 + 8 * 4 + 4, 16, 4);  // the table
        pe.append(16, '\x30');
        put(512, 16, 4), put(516, 0x200, 2), put(518, certificateType, 2);  // its entry
    }
    return pe;
}

}  // namespace testing_support
