// The transfer: runs once, from the progress dialog's first timer tick. It
// opens the address, then the destination, and copies at most 1,024 bytes
// at a time, counting every read that returned data. Its outcome is m_bStop:
// false when the whole file was copied, true after Cancel or any failure.
//
// Every call that waits on the server runs on a thread of the transfer,
// while the dialog's thread runs the windows (painting, the animation,
// Cancel, Escape, the close box). Cancel closes the Internet handles; on
// Windows that ends a waiting call at once and the thread ends with it.
// Wine's client ends no waiting call that way, so after Cancel the dialog
// waits for the thread a moment and then leaves it: it counts and writes
// nothing any more, holds a reference to the library until it ends, and
// ends when its call returns, at the latest when the request's own receive
// time-out runs out. A server that sends nothing for 30 seconds is given up,
// by the dialog and by that time-out alike.
#include "online/download_dlg.h"
#include "online/module.h"
#include "online/owners.h"

#include <commctrl.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <memory>
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
        CLocalBuffer buffer;
        DWORD n = FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            GetModuleHandleA("wininet.dll"), code, 0,
            reinterpret_cast<char*>(buffer.Receive()), 0, nullptr);
        if (n > 0 && buffer.Get()) {
            std::string text = TrimRight(std::string(buffer.Get(), n));
            if (!text.empty()) return text;
        }
    }
    // Wine's Internet client has no texts for its certificate errors.
    switch (code) {
    case ERROR_INTERNET_INVALID_CA:
        return "The server's certificate is not signed by an authority this computer trusts.";
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        return "The server's certificate is made out to another name.";
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
        return "The server's certificate has expired or is not valid yet.";
    default:
        return "No error message is available.";
    }
}

ReportedFailure InternetFailure(DWORD code) {
    return ReportedFailure{InternetErrorText(code)};
}

// Waiting for a server that sends nothing ends after this long.
const DWORD kTimeoutMs = 30 * 1000;

// After a stop the dialog waits this long for the thread to end (a thread
// whose call returns in time is not left), and Cancel still ends the dialog
// within a second. A give-up after kTimeoutMs finds the thread ending too:
// its call times out about then.
const DWORD kGraceMs = 400;

// Sets the connect, send and receive time-outs of `h` to kTimeoutMs.
void SetTimeouts(HINTERNET h) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD ms = kTimeoutMs;
        InternetSetOptionA(h, option, &ms, sizeof ms);
    }
}

// An HTTP header of the response as text; empty when it is absent.
std::string QueryHeader(HINTERNET request, DWORD info) {
    std::string text(256, '\0');
    for (;;) {
        DWORD length = static_cast<DWORD>(text.size());
        DWORD index = 0;
        if (HttpQueryInfoA(request, info, &text[0], &length, &index)) {
            text.resize(length);
            return text;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= text.size()) return "";
        text.assign(length + 1, '\0');
    }
}

// The address the source finally came from, after the redirects the
// Internet client followed; empty when it cannot be told.
std::string FinalUrl(HINTERNET source) {
    std::string text(1024, '\0');
    DWORD length = static_cast<DWORD>(text.size());
    if (!InternetQueryOptionA(source, INTERNET_OPTION_URL, &text[0], &length)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return "";
        text.assign(length + 1, '\0');
        length = static_cast<DWORD>(text.size());
        if (!InternetQueryOptionA(source, INTERNET_OPTION_URL, &text[0], &length)) return "";
    }
    text.resize(std::strlen(text.c_str()));
    return text;
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

// A failure after which the thread stops without a word (Cancel came first).
struct Quiet {};

HINTERNET OpenHttp(CTransferState& state, HINTERNET session, const std::string& url) {
    // Asked for as HTTP/1.0, so that the answer's end is the announced
    // length or the end of the connection, never a chunk that cannot be
    // checked. The client follows redirects among http and https itself.
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = "";
    char user[INTERNET_MAX_USER_NAME_LENGTH + 1] = "";
    char password[INTERNET_MAX_PASSWORD_LENGTH + 1] = "";
    std::string path(url.size() + 1, '\0'), extra(url.size() + 1, '\0');
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUserName = user;
    parts.dwUserNameLength = sizeof user;
    parts.lpszPassword = password;
    parts.dwPasswordLength = sizeof password;
    parts.lpszUrlPath = &path[0];
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = &extra[0];
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts)) throw InternetFailure(GetLastError());
    path.resize(parts.dwUrlPathLength);
    extra.resize(parts.dwExtraInfoLength);
    std::string object = path.empty() ? "/" : path;
    object += extra;
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

    HINTERNET connection =
        InternetConnectA(session, host, parts.nPort, user[0] ? user : nullptr,
                         password[0] ? password : nullptr, INTERNET_SERVICE_HTTP, 0, 1);
    if (!connection) throw InternetFailure(GetLastError());
    if (!state.m_handles.Keep(connection)) throw Quiet{};
    HINTERNET request = HttpOpenRequestA(connection, "GET", object.c_str(), "HTTP/1.0", nullptr,
                                         nullptr, kOpenFlags | (secure ? INTERNET_FLAG_SECURE : 0),
                                         1);
    if (!request) throw InternetFailure(GetLastError());
    if (!state.m_handles.Keep(request)) throw Quiet{};
    // Wine's client takes the request's own time-outs, not the session's,
    // and only those set before the request is sent.
    SetTimeouts(request);
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        const DWORD error = GetLastError();
        if (state.Stopped()) throw Quiet{};
        throw InternetFailure(state.SilentTooLong() ? ERROR_INTERNET_TIMEOUT : error);
    }
    return request;
}

void Copy(CTransferState& state) {
    const std::string& url = state.m_strURL;

    // Only the schemes the Internet client fetches are addresses here.
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts)) throw InternetFailure(GetLastError());
    const bool http = parts.nScheme == INTERNET_SCHEME_HTTP ||
                      parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (!http && parts.nScheme != INTERNET_SCHEME_FTP)
        throw InternetFailure(ERROR_INTERNET_UNRECOGNIZED_SCHEME);

    HINTERNET session = InternetOpenA(OnlineAppName().c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                      nullptr, nullptr, 0);
    if (!session) throw InternetFailure(GetLastError());
    if (!state.m_handles.Keep(session)) throw Quiet{};
    SetTimeouts(session);

    HINTERNET source = nullptr;
    if (http) {
        source = OpenHttp(state, session, url);
    } else {
        source = InternetOpenUrlA(session, url.c_str(), nullptr, 0, kOpenFlags, 1);
        if (!source) throw InternetFailure(GetLastError());
        if (!state.m_handles.Keep(source)) throw Quiet{};
    }
    state.Heard();

    if (parts.nScheme == INTERNET_SCHEME_HTTPS) {
        // A secure address stays secure: the client follows a redirect to
        // plain http on its own, and that answer is refused.
        const std::string final = FinalUrl(source);
        if (final.size() < 6 || _strnicmp(final.c_str(), "https:", 6) != 0)
            throw ReportedFailure{"The secure address " + url + " sent the download on to " +
                                  (final.empty() ? std::string("an address") : final) +
                                  ", which is not secure."};
    }

    long long announced = -1;
    if (http) {
        // Only a whole answer of 2xx is the file: the destination stays as
        // it was until that is known.
        DWORD status = 0, length = sizeof status, index = 0;
        if (!HttpQueryInfoA(source, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                            &status, &length, &index) ||
            status == 0)
            throw ReportedFailure{"The server closed the connection without an answer."};
        if (status < 200 || status > 299) {
            std::string text = "The server answered " + std::to_string(status);
            std::string reason = QueryHeader(source, HTTP_QUERY_STATUS_TEXT);
            if (!reason.empty()) text += " " + reason;
            if (status >= 300 && status < 400) {
                std::string location = QueryHeader(source, HTTP_QUERY_LOCATION);
                if (!location.empty())
                    throw ReportedFailure{text + ": the file is at " + location +
                                          ", an address that cannot be fetched from here."};
            }
            throw ReportedFailure{text + "."};
        }
        // An answer in chunks, which no server may send to an HTTP/1.0
        // request: the Internet client takes a body cut off, or a chunk size
        // that is no number, for its end, so its end cannot be checked.
        if (!QueryHeader(source, HTTP_QUERY_TRANSFER_ENCODING).empty())
            throw ReportedFailure{"The server sent the file in chunks, whose end cannot be "
                                  "checked; nothing was saved."};
        announced = AnnouncedLength(source);
    }

    state.CreateDest();

    // Each read takes what has arrived, at most a block: a server that
    // sends slowly still shows that it is there.
    char buffer[kBlockSize];
    long long total = 0;
    for (;;) {
        DWORD available = 0, got = 0;
        if (!InternetQueryDataAvailable(source, &available, 0, 0)) {
            const DWORD error = GetLastError();
            if (state.Stopped()) throw Quiet{};
            throw InternetFailure(state.SilentTooLong() ? ERROR_INTERNET_TIMEOUT : error);
        }
        state.Heard();
        if (available == 0) break;
        if (!InternetReadFile(source, buffer, available < kBlockSize ? available : kBlockSize,
                              &got))
            throw InternetFailure(GetLastError());
        state.Heard();
        if (got == 0) break;
        if (!state.WriteBlock(buffer, got)) throw Quiet{};
        total += got;
    }
    state.m_handles.CloseAll();
    state.CloseDest();

    if (announced >= 0 && total < announced) {
        throw ReportedFailure{"The transfer broke off after " + std::to_string(total) +
                              " of the " + std::to_string(announced) +
                              " bytes the server announced."};
    }
}

struct ThreadStart {
    std::shared_ptr<CTransferState> state;
    HMODULE library;  // a reference of the thread's own
};

DWORD WINAPI TransferThread(void* param) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(param));
    CTransferState& state = *start->state;
    try {
        Copy(state);
    } catch (const ReportedFailure& failure) {
        state.Stop(failure.text);
    } catch (...) {
        state.Stop();
    }
    HMODULE library = start->library;
    start.reset();
    FreeLibraryAndExitThread(library, 0);
}

}  // namespace

CTransferState::CTransferState(HWND hNotify, const std::string& strURL,
                               const std::string& strDest, bool bStop)
    : m_strURL(strURL), m_strDest(strDest), m_hNotify(hNotify), m_bStop(bStop),
      m_dwHeardAt(GetTickCount()) {}

void CTransferState::Stop(const std::string& failure) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_bStop && !failure.empty()) m_strFailure = failure;
        m_bStop = true;
        CloseDestLocked();
    }
    m_handles.CloseAll();
}

void CTransferState::Abandon() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bAbandoned = true;
    m_bStop = true;
    CloseDestLocked();
}

bool CTransferState::SilentTooLong() const { return GetTickCount() - m_dwHeardAt >= kTimeoutMs; }

std::string CTransferState::Failure() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strFailure;
}

void CTransferState::CreateDest() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bAbandoned) throw Quiet{};
    // Write access only, no sharing while open, an inheritable handle;
    // created, or truncated when it exists.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    m_hDest = CreateFileA(m_strDest.c_str(), GENERIC_WRITE, 0, &sa, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hDest == INVALID_HANDLE_VALUE) throw FileFailure{};
}

bool CTransferState::WriteBlock(const char* data, DWORD size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Cancel is seen before a block is counted or written.
    if (m_bStop) return false;
    const int count = ++m_nBlocks;
    const DWORD now = GetTickCount();
    if (count == 1 || now - m_dwPostedAt >= 50) {
        m_dwPostedAt = now;
        PostMessageA(m_hNotify, kMsgCount, static_cast<WPARAM>(count), 0);
    }
    DWORD written = 0;
    if (!WriteFile(m_hDest, data, size, &written, nullptr) || written != size)
        throw FileFailure{};
    return true;
}

void CTransferState::CloseDest() {
    std::lock_guard<std::mutex> lock(m_mutex);
    HANDLE h = m_hDest;
    m_hDest = INVALID_HANDLE_VALUE;
    if (h != INVALID_HANDLE_VALUE && !CloseHandle(h)) throw FileFailure{};
}

void CTransferState::CloseDestLocked() {
    if (m_hDest != INVALID_HANDLE_VALUE) CloseHandle(m_hDest);
    m_hDest = INVALID_HANDLE_VALUE;
}

void CDownloadDlg::RunTransfer() {
    KillTimer(m_hWnd, m_nTimer);
    m_nBlocks = 0;
    m_nShown = 0;
    SendMessageA(m_animate, ACM_OPENA, 0, reinterpret_cast<LPARAM>("filemove.avi"));
    SendMessageA(m_animate, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));

    std::shared_ptr<CTransferState> state =
        std::make_shared<CTransferState>(m_hWnd, GetURL(), GetDest(), m_bStop);
    // The thread's own reference to the library, which it gives back as it
    // ends; until it runs, these owners keep it and its start.
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(&TransferThread), &self);
    CLibrary library(self);
    std::unique_ptr<ThreadStart> start(new ThreadStart{state, self});
    HANDLE thread =
        self ? CreateThread(nullptr, 0, TransferThread, start.get(), 0, nullptr) : nullptr;
    if (!thread) {
        state->Stop();
    } else {
        start.release();  // the thread's now, with the reference
        library.Detach();
        m_pState = state;
        DWORD stoppedAt = 0;
        bool ended = false;
        for (;;) {
            const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, 100, QS_ALLINPUT);
            if (woke == WAIT_OBJECT_0) {
                ended = true;
                break;
            }
            // The windows run; a WM_QUIT is dropped. The count catches up
            // with blocks that came too close together to be reported.
            DrainMessageQueue();
            ShowCount(state->Blocks());
            const DWORD now = GetTickCount();
            if (!state->Stopped() && state->SilentTooLong())
                state->Stop(InternetErrorText(ERROR_INTERNET_TIMEOUT));
            if (state->Stopped()) {
                if (stoppedAt == 0)
                    stoppedAt = now | 1;
                else if (now - stoppedAt >= kGraceMs)
                    break;
            }
        }
        if (!ended) state->Abandon();
        CloseHandle(thread);
        m_pState.reset();
    }
    if (state->Stopped()) m_bStop = true;
    ShowCount(state->Blocks());
    const std::string failure = state->Failure();
    if (!failure.empty()) ShowFailure(failure);
}

