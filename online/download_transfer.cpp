// The transfer: runs once, from the progress dialog's first timer tick. It
// opens the address, then the destination, and copies 1,024 bytes at a time,
// counting every read that returned data and letting the windows run after
// each one. Its outcome is m_bStop: false when the data was copied to its
// end, true after Cancel or any failure.
#include "online/download_dlg.h"

#include <commctrl.h>
#include <wininet.h>

#include <cstdlib>
#include <string>

namespace {

const DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                         INTERNET_FLAG_TRANSFER_BINARY;  // 0x84000002
const DWORD kBlockSize = 1024;

// A failure the user is told about; the text is taken when it happens, while
// the Internet client's last response is still the one that failed.
struct ReportedFailure {
    std::string text;
};
// A failure of the destination file: ends the transfer silently.
struct FileFailure {};

std::string TrimRight(std::string text) {
    while (!text.empty() &&
           (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// The Internet client's own text for an error code; for an extended error
// the server's last response.
std::string InternetErrorText(DWORD code) {
    if (code == ERROR_INTERNET_EXTENDED_ERROR) {
        DWORD error = 0, length = 0;
        InternetGetLastResponseInfoA(&error, nullptr, &length);
        if (length > 0) {
            std::string text(length + 1, '\0');
            if (InternetGetLastResponseInfoA(&error, &text[0], &length)) {
                text.resize(length);
                text = TrimRight(text);
                if (!text.empty()) return text;
            }
        }
    } else {
        char* buffer = nullptr;
        DWORD n = FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            GetModuleHandleA("wininet.dll"), code, 0,
            reinterpret_cast<char*>(&buffer), 0, nullptr);
        if (n > 0 && buffer) {
            std::string text = TrimRight(std::string(buffer, n));
            LocalFree(buffer);
            if (!text.empty()) return text;
        } else if (buffer) {
            LocalFree(buffer);
        }
    }
    return "No error message is available.";
}

ReportedFailure InternetFailure(DWORD code) {
    return ReportedFailure{InternetErrorText(code)};
}

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h) : m_h(h) {}
    ~InternetHandle() { if (m_h) InternetCloseHandle(m_h); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return m_h; }
    void Close() {
        if (m_h) InternetCloseHandle(m_h);
        m_h = nullptr;
    }

private:
    HINTERNET m_h;
};

class DestFile {
public:
    explicit DestFile(const std::string& path) {
        // Write access only, no sharing while open, an inheritable handle;
        // created, or truncated when it exists.
        SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
        m_h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, &sa, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_h == INVALID_HANDLE_VALUE) throw FileFailure{};
    }
    ~DestFile() { if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h); }
    DestFile(const DestFile&) = delete;
    DestFile& operator=(const DestFile&) = delete;

    void Write(const char* data, DWORD size) {
        DWORD written = 0;
        if (!WriteFile(m_h, data, size, &written, nullptr) || written != size)
            throw FileFailure{};
    }
    void Close() {
        HANDLE h = m_h;
        m_h = INVALID_HANDLE_VALUE;
        if (!CloseHandle(h)) throw FileFailure{};
    }

private:
    HANDLE m_h;
};

// An HTTP header of the response as text; empty when it is absent.
std::string QueryHeader(HINTERNET request, DWORD info) {
    char buffer[256];
    DWORD length = sizeof buffer;
    DWORD index = 0;
    if (!HttpQueryInfoA(request, info, buffer, &length, &index)) return "";
    return std::string(buffer, length);
}

// The length the server announced, or -1 when it announced none (or sends
// the body in chunks, which makes its length header meaningless).
long long AnnouncedLength(HINTERNET request) {
    if (!QueryHeader(request, HTTP_QUERY_TRANSFER_ENCODING).empty()) return -1;
    std::string text = QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH);
    if (text.empty()) return -1;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || value < 0) return -1;
    return value;
}

}  // namespace

void CDownloadDlg::RunTransfer() {
    KillTimer(m_hWnd, m_nTimer);
    m_nBlocks = 0;
    m_nShown = 0;
    SendMessageA(m_animate, ACM_OPENA, 0, reinterpret_cast<LPARAM>("filemove.avi"));
    SendMessageA(m_animate, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
    try {
        CopySourceToDest();
    } catch (const ReportedFailure& failure) {
        ShowCount();
        ShowFailure(failure.text);
        m_bStop = true;
    } catch (...) {
        m_bStop = true;
    }
    ShowCount();
}

void CDownloadDlg::CopySourceToDest() {
    const std::string url = GetURL();

    // Only the schemes the Internet client fetches are addresses here.
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts)) throw InternetFailure(GetLastError());
    const bool http = parts.nScheme == INTERNET_SCHEME_HTTP ||
                      parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (!http && parts.nScheme != INTERNET_SCHEME_FTP)
        throw InternetFailure(ERROR_INTERNET_UNRECOGNIZED_SCHEME);

    InternetHandle session(InternetOpenA(OnlineAppName().c_str(),
                                         INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                         nullptr, 0));
    if (!session.get()) throw InternetFailure(GetLastError());

    InternetHandle source(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0,
                                           kOpenFlags, 1));
    if (!source.get()) throw InternetFailure(GetLastError());

    long long announced = -1;
    if (http) {
        // An error answer is no setup program: the destination stays as it was.
        DWORD status = 0, length = sizeof status, index = 0;
        if (HttpQueryInfoA(source.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                           &status, &length, &index) &&
            status >= 400) {
            std::string reason = QueryHeader(source.get(), HTTP_QUERY_STATUS_TEXT);
            std::string text = "The server answered " + std::to_string(status);
            if (!reason.empty()) text += " " + reason;
            throw ReportedFailure{text + "."};
        }
        announced = AnnouncedLength(source.get());
    }

    DestFile dest(GetDest());

    char buffer[kBlockSize];
    DWORD got = 0;
    long long total = 0;
    auto read = [&]() {
        if (!InternetReadFile(source.get(), buffer, kBlockSize, &got))
            throw InternetFailure(GetLastError());
    };
    read();
    while (got > 0 && !m_bStop) {
        StepCounter();
        dest.Write(buffer, got);
        total += got;
        read();
        DrainMessageQueue();
    }
    source.Close();
    dest.Close();

    if (!m_bStop && announced >= 0 && total < announced) {
        throw ReportedFailure{"The transfer broke off after " + std::to_string(total) +
                              " of the " + std::to_string(announced) +
                              " bytes the server announced."};
    }
}
