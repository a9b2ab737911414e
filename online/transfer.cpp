#include "online/transfer.h"
#include "online/module.h"

#include <cstring>

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
// The transfer was stopped: it ends without a word.
struct Quiet {};

ReportedFailure InternetFailure(DWORD code) { return ReportedFailure{InternetErrorText(code)}; }

// What a transfer's threads start with.
struct ThreadStart {
    std::shared_ptr<CTransfer> transfer;
    HMODULE library;  // a reference of the thread's own
};

// Gives the thread's references back, the library's last, and ends it.
DWORD EndThread(ThreadStart* start) {
    HMODULE library = start->library;
    delete start;
    FreeLibraryAndExitThread(library, 0);
}

}  // namespace

CTransfer::CTransfer(HWND hNotify, const std::string& strURL, const std::string& strDest,
                     bool bStop)
    : m_hNotify(hNotify), m_address(strURL), m_strDest(strDest), m_bStop(bStop),
      m_dwHeardAt(GetTickCount()) {}

std::shared_ptr<CTransfer> CTransfer::Start(HWND hNotify, const std::string& strURL,
                                            const std::string& strDest, bool bStop) {
    std::shared_ptr<CTransfer> transfer(new CTransfer(hNotify, strURL, strDest, bStop));
    transfer->m_thread.Reset(transfer->StartThread(CopyThread));
    return transfer->m_thread.Get() ? transfer : nullptr;
}

HANDLE CTransfer::StartThread(LPTHREAD_START_ROUTINE proc) {
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&CTransfer::CopyThread), &self))
        return nullptr;
    // Until the thread runs, these owners keep the reference and the start.
    CLibrary library(self);
    std::unique_ptr<ThreadStart> start(new ThreadStart{shared_from_this(), self});
    HANDLE thread = CreateThread(nullptr, 0, proc, start.get(), 0, nullptr);
    if (thread) {
        start.release();
        library.Detach();
    }
    return thread;
}

DWORD WINAPI CTransfer::CopyThread(void* param) {
    ThreadStart* start = static_cast<ThreadStart*>(param);
    CTransfer& transfer = *start->transfer;
    try {
        transfer.Copy();
    } catch (const ReportedFailure& failure) {
        transfer.MarkStopped(failure.text);
    } catch (...) {
        transfer.MarkStopped("");
    }
    transfer.m_handles.CloseAll();
    return EndThread(start);
}

DWORD WINAPI CTransfer::CloseThread(void* param) {
    ThreadStart* start = static_cast<ThreadStart*>(param);
    start->transfer->m_handles.CloseAll();
    return EndThread(start);
}

void CTransfer::Stop(const std::string& failure) {
    MarkStopped(failure);
    // Closing a request whose body is still arriving makes Wine's client
    // read the rest of it first, so the caller's thread never does it. When
    // no thread can be started, the transfer's closes them as it ends.
    if (!m_bClosing.exchange(true)) {
        CHandle closer(StartThread(CloseThread));
    }
}

void CTransfer::MarkStopped(const std::string& failure) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_bStop && !failure.empty()) m_strFailure = failure;
    m_bStop = true;
    CloseDestLocked();
}

void CTransfer::StopIfSilent() {
    if (!m_bStop && SilentTooLong()) Stop(InternetErrorText(ERROR_INTERNET_TIMEOUT));
}

void CTransfer::Abandon() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bAbandoned = true;
    m_bStop = true;
    CloseDestLocked();
}

std::string CTransfer::Failure() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strFailure;
}

void CTransfer::Copy() {
    // Only the schemes the Internet client fetches are addresses here.
    if (m_address.Error()) throw InternetFailure(m_address.Error());
    if (!m_address.IsHttp() && !m_address.IsFtp())
        throw InternetFailure(ERROR_INTERNET_UNRECOGNIZED_SCHEME);

    HINTERNET session = InternetOpenA(OnlineAppName().c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                      nullptr, nullptr, 0);
    if (!session) throw InternetFailure(GetLastError());
    if (!m_handles.Keep(CInternetHandles::kSession, session)) throw Quiet{};
    SetTimeouts(session, kTimeoutMs);

    HINTERNET source = nullptr;
    long long announced = -1;
    if (m_address.IsHttp()) {
        source = OpenHttp(session);
        announced = CheckAnswer(source);
    } else {
        source = InternetOpenUrlA(session, m_address.Text().c_str(), nullptr, 0, kOpenFlags, 1);
        if (!source) WaitFailed(GetLastError());
        if (!m_handles.Keep(CInternetHandles::kSource, source)) throw Quiet{};
        Heard();
    }
    CreateDest();
    ReadBody(source, announced);
}

// Every hop is a request of ours, checked before it is made: the Internet
// client would follow a loop without end, to plain http without a word, and
// repeat the request as HTTP/1.1, which a server may answer in chunks.
HINTERNET CTransfer::OpenHttp(HINTERNET session) {
    CAddress address = m_address;
    for (int redirects = 0;; ++redirects) {
        HINTERNET request = Send(session, address);
        const DWORD status = StatusCode(request);
        const std::string location =
            status >= 300 && status < 400 ? QueryHeader(request, HTTP_QUERY_LOCATION) : "";
        if (location.empty()) return request;
        const CAddress next = address.Follow(location);
        // A secure address stays secure on every hop.
        if (m_address.IsSecure() && !next.IsSecure())
            throw ReportedFailure{"The secure address " + m_address.Text() +
                                  " sent the download on to " + next.Text() +
                                  ", which is not secure."};
        if (!next.IsHttp())
            throw ReportedFailure{StatusLine(request, status) + ": the file is at " + next.Text() +
                                  ", an address that cannot be fetched from here."};
        if (redirects == kMaxRedirects)
            throw ReportedFailure{"The server sent the download on more than " +
                                  std::to_string(kMaxRedirects) + " times; it was given up."};
        m_handles.Close(CInternetHandles::kSource);
        m_handles.Close(CInternetHandles::kConnection);
        // A transfer given up asks for nothing more.
        if (m_bStop) throw Quiet{};
        address = next;
    }
}

HINTERNET CTransfer::Send(HINTERNET session, const CAddress& address) {
    HINTERNET connection = InternetConnectA(
        session, address.Host().c_str(), address.Port(),
        address.User().empty() ? nullptr : address.User().c_str(),
        address.Password().empty() ? nullptr : address.Password().c_str(), INTERNET_SERVICE_HTTP,
        0, 1);
    if (!connection) throw InternetFailure(GetLastError());
    if (!m_handles.Keep(CInternetHandles::kConnection, connection)) throw Quiet{};
    // HTTP/1.0, to which no server may answer in chunks: the answer ends at
    // its announced length or with the connection, which can be checked.
    const DWORD flags = kOpenFlags | INTERNET_FLAG_NO_AUTO_REDIRECT |
                        (address.IsSecure() ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request = HttpOpenRequestA(connection, "GET", address.Object().c_str(), "HTTP/1.0",
                                         nullptr, nullptr, flags, 1);
    if (!request) throw InternetFailure(GetLastError());
    if (!m_handles.Keep(CInternetHandles::kSource, request)) throw Quiet{};
    // Wine's client takes the request's own time-outs, not the session's,
    // and only those set before the request is sent.
    SetTimeouts(request, kTimeoutMs);
    Heard();
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0)) WaitFailed(GetLastError());
    Heard();
    return request;
}

// Only a whole answer of 2xx is the file: the destination stays as it was
// until that is known. Returns the length the server announced, or -1.
long long CTransfer::CheckAnswer(HINTERNET source) {
    const DWORD status = StatusCode(source);
    if (status == 0) throw ReportedFailure{"The server closed the connection without an answer."};
    if (status < 200 || status > 299) throw ReportedFailure{StatusLine(source, status) + "."};
    // Chunks, which no server may send to an HTTP/1.0 request: the Internet
    // client takes a body cut off, or a chunk size that is no number, for its
    // end, so its end cannot be checked.
    if (!QueryHeader(source, HTTP_QUERY_TRANSFER_ENCODING).empty())
        throw ReportedFailure{"The server sent the file in chunks, whose end cannot be "
                              "checked; nothing was saved."};
    // Compressed, although we never asked: saved as it comes it is no
    // program.
    const std::string encoding = QueryHeader(source, HTTP_QUERY_CONTENT_ENCODING);
    if (!encoding.empty() && _stricmp(encoding.c_str(), "identity") != 0)
        throw ReportedFailure{"The server sent the file compressed (" + encoding +
                              ") instead of as it is; nothing was saved."};
    return AnnouncedLength(source);
}

// Each read takes what has arrived, at most a block: a server that sends
// slowly still shows that it is there.
void CTransfer::ReadBody(HINTERNET source, long long announced) {
    char buffer[kBlockSize];
    long long total = 0;
    for (;;) {
        DWORD available = 0, got = 0;
        if (!InternetQueryDataAvailable(source, &available, 0, 0)) WaitFailed(GetLastError());
        Heard();
        if (available == 0) break;
        if (!InternetReadFile(source, buffer, available < kBlockSize ? available : kBlockSize,
                              &got))
            WaitFailed(GetLastError());
        Heard();
        if (got == 0) break;
        if (!WriteBlock(buffer, got)) throw Quiet{};
        total += got;
    }
    m_handles.CloseAll();
    CloseDest();
    if (announced >= 0 && total < announced)
        throw ReportedFailure{"The transfer broke off after " + std::to_string(total) +
                              " of the " + std::to_string(announced) +
                              " bytes the server announced."};
}

void CTransfer::WaitFailed(DWORD error) {
    if (m_bStop) throw Quiet{};
    throw InternetFailure(SilentTooLong() ? ERROR_INTERNET_TIMEOUT : error);
}

void CTransfer::CreateDest() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bAbandoned) throw Quiet{};
    // Write access only, no sharing while open, an inheritable handle;
    // created, or truncated when it exists.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    m_hDest = CreateFileA(m_strDest.c_str(), GENERIC_WRITE, 0, &sa, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hDest == INVALID_HANDLE_VALUE) throw FileFailure{};
}

bool CTransfer::WriteBlock(const char* data, DWORD size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Cancel is seen before a block is counted or written.
    if (m_bStop) return false;
    m_nBytes += size;
    // The first count at once, then at most every 50 ms: the dialog catches
    // up with the rest as it waits.
    const int count = Count();
    const DWORD now = GetTickCount();
    if (count != m_nPosted && (m_nPosted == 0 || now - m_dwPostedAt >= 50)) {
        m_nPosted = count;
        m_dwPostedAt = now;
        PostMessageA(m_hNotify, kMsgCount, static_cast<WPARAM>(count), 0);
    }
    DWORD written = 0;
    if (!WriteFile(m_hDest, data, size, &written, nullptr) || written != size)
        throw FileFailure{};
    return true;
}

void CTransfer::CloseDest() {
    std::lock_guard<std::mutex> lock(m_mutex);
    HANDLE h = m_hDest;
    m_hDest = INVALID_HANDLE_VALUE;
    if (h != INVALID_HANDLE_VALUE && !CloseHandle(h)) throw FileFailure{};
}

void CTransfer::CloseDestLocked() {
    if (m_hDest != INVALID_HANDLE_VALUE) CloseHandle(m_hDest);
    m_hDest = INVALID_HANDLE_VALUE;
}
