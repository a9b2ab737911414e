// What the fuzz targets share: a scratch folder of their own for the life of
// the process, files written into it, and an input cut into parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzz {

// Stops the run with a message; libFuzzer keeps the input that did it.
inline void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// A folder of the process's own, removed at exit. Paths are
// in the host's form; the program's Windows form only differs in the
// separator on the host build.
class Scratch {
public:
    Scratch() {
        // In memory where the system has such a folder: every run writes
        // its files afresh.
        const char* tmp = std::getenv("TMPDIR");
        struct stat st;
        const char* base = tmp && *tmp ? tmp
                           : stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm"
                                                                               : "/tmp";
        std::string pattern = std::string(base) + "/wizard-fuzz-XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        Check(mkdtemp(buf.data()) != nullptr, "scratch folder");
        m_path = buf.data();
    }
    ~Scratch() { Remove(m_path); }

    const std::string& Path() const { return m_path; }

    // Writes `bytes` to `relative` ('/' separated), making the folders on
    // the way.
    void Write(const std::string& relative, const std::string& bytes) const {
        for (size_t at = relative.find('/'); at != std::string::npos;
             at = relative.find('/', at + 1))
            mkdir((m_path + "/" + relative.substr(0, at)).c_str(), 0755);
        FILE* f = std::fopen((m_path + "/" + relative).c_str(), "wb");
        Check(f != nullptr, "scratch file");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    void MakeDir(const std::string& relative) const {
        mkdir((m_path + "/" + relative).c_str(), 0755);
    }
    // Everything below the folder, the folder itself kept.
    void Empty() const {
        Remove(m_path);
        mkdir(m_path.c_str(), 0700);
    }

private:
    static int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
        return ::remove(path);
    }
    static void Remove(const std::string& path) {
        nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    std::string m_path;
};

// The input cut at every line "----" into at most `most` parts; missing
// parts are empty.
inline std::vector<std::string> Parts(const uint8_t* data, size_t size, size_t most) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    size_t from = 0;
    while (parts.size() + 1 < most) {
        const size_t at = text.find("\n----\n", from);
        if (at == std::string::npos) break;
        parts.push_back(text.substr(from, at + 1 - from));
        from = at + 6;
    }
    parts.push_back(text.substr(from));
    parts.resize(most);
    return parts;
}

}  // namespace fuzz
