#include "platform/folder_search.h"

#include "platform/codepage.h"
#include "platform/system.h"

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace platform {
namespace {

#ifndef _WIN32
bool IsControl(unsigned char c) { return c < 0x20; }

// What the host's search leaves out: names that the system's file
// functions cannot open.
bool HostHides(const CodePage& page, const std::string& name) {
    if (page.Find(name, '\\') != std::string::npos) return true;
    for (size_t i = 0; i < name.size(); i += page.CharLength(name, i)) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (page.CharLength(name, i) == 1 &&
            (IsControl(c) || std::string("<>\"|?*").find(name[i]) != std::string::npos))
            return true;
    }
    return name != "." && name != ".." && !name.empty() && name.back() == '.' &&
           page.FindLast(name, '.') == name.size() - 1;
}
#endif

// Where the folder part of a pattern ends: its last path separator, found
// without taking the second byte of a double-byte character for one.
size_t LastSeparator(const CodePage& page, const std::string& pattern) {
    size_t back = page.FindLast(pattern, '\\');
    size_t fore = page.FindLast(pattern, '/');
    if (back == std::string::npos) return fore;
    if (fore == std::string::npos) return back;
    return back > fore ? back : fore;
}

}  // namespace

#ifdef _WIN32

struct FolderSearch::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA next;
    WIN32_FIND_DATAA current;
    bool hasCurrent = false;
    std::string prefix;  // the folder and its separator, as the pattern gave it
};

FolderSearch::FolderSearch() : m_impl(new Impl) {}
FolderSearch::~FolderSearch() { Close(); }

void FolderSearch::Close() {
    if (m_impl->handle != INVALID_HANDLE_VALUE) FindClose(m_impl->handle);
    m_impl->handle = INVALID_HANDLE_VALUE;
    m_impl->hasCurrent = false;
}

bool FolderSearch::FindFile(const std::string& pattern) {
    Close();
    // The ANSI file functions take at most MAX_PATH - 1 bytes; say so here
    // rather than leave it to the system, which may be set to allow more.
    if (pattern.size() >= MAX_PATH) return false;
    HANDLE h = FindFirstFileA(pattern.c_str(), &m_impl->next);
    if (h == INVALID_HANDLE_VALUE) return false;
    m_impl->handle = h;
    size_t slash = LastSeparator(CodePage::System(), pattern);
    m_impl->prefix = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    return true;
}

bool FolderSearch::FindNext() {
    if (m_impl->handle == INVALID_HANDLE_VALUE) return false;
    m_impl->current = m_impl->next;
    m_impl->hasCurrent = true;
    return FindNextFileA(m_impl->handle, &m_impl->next) != 0;
}

std::string FolderSearch::GetFileName() const {
    return m_impl->hasCurrent ? std::string(m_impl->current.cFileName) : std::string();
}

bool FolderSearch::IsDirectory() const {
    return m_impl->hasCurrent &&
           (m_impl->current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

#else

namespace {

struct Entry {
    std::string name;
    bool folder = false;
};

// Windows-style name matching, '*' any run of characters, '?' one character.
// The caller upper-cases both texts, so that case does not count.
bool Matches(const CodePage& page, const std::string& mask, size_t m,
             const std::string& name, size_t n) {
    while (m < mask.size()) {
        if (mask[m] == '*') {
            while (m < mask.size() && mask[m] == '*') ++m;
            if (m == mask.size()) return true;
            for (size_t i = n; i <= name.size(); i += (i < name.size() ? page.CharLength(name, i) : 1))
                if (Matches(page, mask, m, name, i)) return true;
            return false;
        }
        if (n >= name.size()) return false;
        size_t ml = page.CharLength(mask, m);
        size_t nl = page.CharLength(name, n);
        if (!(mask[m] == '?' && ml == 1) && mask.compare(m, ml, name, n, nl) != 0)
            return false;
        m += ml;
        n += nl;
    }
    return n == name.size();
}

bool HasWildcards(const std::string& mask) {
    return mask.find_first_of("*?") != std::string::npos;
}

}  // namespace

struct FolderSearch::Impl {
    DIR* dir = nullptr;
    std::string prefix;      // the folder and its separator, as the pattern gave it
    std::string nativeRoot;  // the same folder in the host's form
    std::string mask;        // upper case; empty for every entry
    Entry next;
    Entry current;
    bool hasNext = false;
    bool hasCurrent = false;

    // A folder, or a link that the disc holds as one (HostLinkIsDiscFolder);
    // a link is otherwise no folder. Wine takes every link to a folder as a
    // folder: here the tools see the medium as its disc will be, where a link
    // out of the medium or round a loop is not there.
    static bool IsFolder(const std::string& path) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) return false;
        return S_ISDIR(st.st_mode) || (S_ISLNK(st.st_mode) && HostLinkIsDiscFolder(path));
    }

    bool Accept(const CodePage& page, const char* raw, Entry* out) const {
        std::string name(raw);
        if (HostHides(page, name)) return false;
        if (!mask.empty() && !Matches(page, mask, 0, page.Upper(name), 0)) return false;
        out->name = name;
        out->folder = false;
        return true;
    }

    // Reads ahead to the next entry that matches; false at the end.
    bool ReadNext(Entry* out) {
        if (!dir) return false;
        const CodePage page = CodePage::System();
        while (const dirent* d = readdir(dir)) {
            if (!Accept(page, d->d_name, out)) continue;
            if (d->d_type == DT_DIR) {
                out->folder = true;
            } else if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
                out->folder = IsFolder(nativeRoot + "/" + out->name);
            }
            // Every other type: not a folder.
            return true;
        }
        return false;
    }

    // A name without wildcards: the entry of that name, or failing that the
    // first one that matches it without regard to case.
    bool LookUp(const std::string& name) {
        struct stat st;
        if (lstat((nativeRoot + "/" + name).c_str(), &st) == 0) {
            next.name = name;
            next.folder = IsFolder(nativeRoot + "/" + name);
            return true;
        }
        // A folder that is missing, is a file or cannot be read has no
        // entries; the directory functions are never given a null handle.
        dir = opendir(nativeRoot.c_str());
        if (!dir) return false;
        bool found = ReadNext(&next);
        closedir(dir);
        dir = nullptr;
        return found;
    }
};

FolderSearch::FolderSearch() : m_impl(new Impl) {}
FolderSearch::~FolderSearch() { Close(); }

void FolderSearch::Close() {
    if (m_impl->dir) closedir(m_impl->dir);
    m_impl->dir = nullptr;
    m_impl->hasNext = false;
    m_impl->hasCurrent = false;
}

bool FolderSearch::FindFile(const std::string& pattern) {
    Close();
    if (pattern.size() >= MAX_PATH) return false;
    const CodePage page = CodePage::System();
    Impl& s = *m_impl;
    size_t slash = LastSeparator(page, pattern);
    std::string mask;
    if (slash == std::string::npos) {
        s.prefix.clear();
        s.nativeRoot = ".";
        mask = pattern;
    } else {
        s.prefix = pattern.substr(0, slash + 1);
        s.nativeRoot = slash == 0 ? std::string("/") : NativePath(pattern.substr(0, slash));
        mask = pattern.substr(slash + 1);
    }
    if (mask.empty()) return false;
    s.mask = (mask == "*" || mask == "*.*") ? std::string() : page.Upper(mask);

    if (!s.mask.empty() && !HasWildcards(s.mask)) {
        s.hasNext = s.LookUp(mask);
        return s.hasNext;
    }
    s.dir = opendir(s.nativeRoot.c_str());
    if (!s.dir) return false;
    s.hasNext = s.ReadNext(&s.next);
    if (!s.hasNext) Close();
    return s.hasNext;
}

bool FolderSearch::FindNext() {
    Impl& s = *m_impl;
    if (!s.hasNext) return false;
    s.current = s.next;
    s.hasCurrent = true;
    s.hasNext = s.ReadNext(&s.next);
    return s.hasNext;
}

std::string FolderSearch::GetFileName() const {
    return m_impl->hasCurrent ? m_impl->current.name : std::string();
}

bool FolderSearch::IsDirectory() const {
    return m_impl->hasCurrent && m_impl->current.folder;
}

#endif

bool PathExists(const std::string& path) {
#ifdef _WIN32
    if (path.size() >= MAX_PATH) return false;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    FolderSearch search;
    return search.FindFile(path);
#endif
}

std::string FolderSearch::GetFilePath() const {
    return m_impl->prefix + GetFileName();
}

bool FolderSearch::IsDots() const {
    std::string name = GetFileName();
    return IsDirectory() && (name == "." || name == "..");
}

}  // namespace platform
