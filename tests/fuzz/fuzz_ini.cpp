// The host's profile reader on any file: every read ends inside its buffer,
// gives what the buffer holds, and the layout agrees with the section list.
#include "platform/ini_reader.h"
#include "platform/ini_layout.h"
#include "fuzz_support.h"

#include <cstring>

namespace {
fuzz::Scratch g_scratch;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = g_scratch.Path() + "/file.ini";
    g_scratch.Write("file.ini", std::string(reinterpret_cast<const char*>(data), size));

    static const char* const kSections[] = {"common", ""};
    static const char* const kKeys[] = {"name", ""};
    static const DWORD kSizes[] = {1, 3, 260, 16384};
    std::vector<char> buf(16384 + 16);
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            for (DWORD n : kSizes) {
                std::memset(buf.data(), '#', buf.size());
                const DWORD got = ini::ReadString(section, key, "", buf.data(), n, path.c_str());
                fuzz::Check(got < n, "value fits its buffer");
                fuzz::Check(buf[got] == '\0', "value ends with a NUL");
                fuzz::Check(buf[n] == '#', "nothing written past the buffer");
            }
        }
        for (DWORD n : kSizes) {
            std::memset(buf.data(), '#', buf.size());
            const DWORD got = ini::ReadSection(section, buf.data(), n, path.c_str());
            fuzz::Check(n < 2 ? got == 0 : got <= n - 2, "list fits its buffer");
            fuzz::Check(buf[n] == '#', "nothing written past the list");
            if (n >= 2) fuzz::Check(buf[got] == '\0', "list ends with a NUL");
        }
    }
    const std::vector<ini::SectionLayout> layout = ini::ReadLayout(path.c_str());
    if (!layout.empty()) {
        const ini::SectionLayout& first = layout.front();
        std::string list;
        for (const ini::LayoutLine& l : first.entries) list += l.text + '\0';
        std::vector<char> all(list.size() + 64);
        const DWORD got = ini::ReadSection(first.name.c_str(), all.data(),
                                           static_cast<DWORD>(all.size()), path.c_str());
        // A later section of the same name does not count; the first does.
        fuzz::Check(std::string(all.data(), got) == list, "layout lists the section");
    }
    return 0;
}
