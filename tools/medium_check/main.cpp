// medium-check: shows a medium's menu, page by page, and what is wrong with
// it, before the medium ships.
#include "tools/medium_check/check.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// UTF-8 text to a stream. A Windows console is given the characters
// themselves, whatever its code page; a file or pipe gets the UTF-8 bytes.
void Write(FILE* stream, const std::string& text) {
    if (text.empty()) return;
#ifdef _WIN32
    HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0);
        std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
        if (n > 0) {
            MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                &wide[0], n);
            std::fflush(stream);
            // In pieces: some consoles refuse one very long write.
            const size_t kPiece = 8192;
            for (size_t at = 0; at < wide.size(); at += kPiece) {
                const size_t n = wide.size() - at < kPiece ? wide.size() - at : kPiece;
                DWORD written;
                WriteConsoleW(handle, wide.data() + at, static_cast<DWORD>(n), &written, nullptr);
            }
            return;
        }
    }
#endif
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string out, err;
    const int status = medium_check::Run(args, out, err);
    Write(stdout, out);
    Write(stderr, err);
    return status;
}
