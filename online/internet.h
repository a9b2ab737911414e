// What the transfer needs of the Windows Internet client beyond its plain
// calls: the texts of its errors, the answer's headers, the time-outs, and
// the owner of one transfer's handles.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <mutex>
#include <string>

// The Internet client's own text for an error code; for an extended error
// the server's last response; a sentence of ours where the client has none.
std::string InternetErrorText(DWORD code);

// An HTTP header of the answer as text; empty when it is absent.
std::string QueryHeader(HINTERNET request, DWORD info);

// The answer's status code; 0 when there is none.
DWORD StatusCode(HINTERNET request);
// "The server answered 302 Found": the status with its reason, if any.
std::string StatusLine(HINTERNET request, DWORD status);

// The length the server announced, or -1 when it announced none.
long long AnnouncedLength(HINTERNET request);

// Sets the connect, send and receive time-outs of `h` to `ms`.
void SetTimeouts(HINTERNET h, DWORD ms);

// The Internet handles of one transfer: the session, and the connection and
// request of the address being fetched. The transfer's thread opens them and
// waits in them; a stop closes them from a thread of its own (CTransfer),
// which on Windows makes a waiting call return at once with an error.
class CInternetHandles {
public:
    enum Slot { kSession, kConnection, kSource, kSlots };

    CInternetHandles() = default;
    ~CInternetHandles() { CloseAll(); }
    CInternetHandles(const CInternetHandles&) = delete;
    CInternetHandles& operator=(const CInternetHandles&) = delete;

    // Keeps `h` in `slot` for closing; false (and `h` closed) when the
    // handles were closed first.
    bool Keep(Slot slot, HINTERNET h);
    // Closes the handle in `slot`, if it is still there.
    void Close(Slot slot);
    // Closes every handle kept, now and as they arrive: the source first,
    // then what it belongs to.
    void CloseAll();

private:
    // The handle in `slot`, taken out under the lock, to be closed outside
    // it: a close can take long, and Keep must not wait for it.
    HINTERNET Take(Slot slot);

    std::mutex m_mutex;
    HINTERNET m_handles[kSlots] = {nullptr, nullptr, nullptr};
    bool m_bClosed = false;
};
