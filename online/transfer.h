// The transfer: copies an address to the destination file on a thread of its
// own, at most 1,024 bytes at a time, while the progress dialog's thread runs
// the windows. The dialog and the thread share only this object, which lives
// as long as either holds it.
//
// Every call that waits on the server runs on the transfer's thread. A stop
// closes the destination at once and the Internet handles on a thread of its
// own: on Windows that ends a waiting call at once and the transfer's thread
// with it. Wine's client ends no waiting call that way, and closing a request
// whose body is still arriving makes it read the rest first. So a stopped
// transfer's threads may outlive the dialog, counting, writing and asking
// nothing more: until the waiting call returns (at the latest when the
// receive time-out runs out), and until a body that arrives faster than it
// is thrown away has arrived.
#pragma once

#include "online/address.h"
#include "online/internet.h"
#include "online/owners.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class CTransfer : public std::enable_shared_from_this<CTransfer> {
public:
    // The count the thread reports to the window it was given (wParam: the
    // count, as Count gives it).
    static const UINT kMsgCount = WM_APP + 1;
    // A server that sends nothing for this long is given up.
    static const DWORD kTimeoutMs = 30 * 1000;
    // Redirects followed at most.
    static const int kMaxRedirects = 10;

    // Starts copying `strURL` to `strDest`; with `bStop` (Cancel came first)
    // the thread opens the address and creates the destination, and copies
    // nothing. Null when no thread can be started.
    static std::shared_ptr<CTransfer> Start(HWND hNotify, const std::string& strURL,
                                            const std::string& strDest, bool bStop);
    CTransfer(const CTransfer&) = delete;
    CTransfer& operator=(const CTransfer&) = delete;

    // Signalled when the transfer's thread has ended.
    HANDLE Thread() const { return m_thread.Get(); }

    // Cancel or a give-up, from any thread but the transfer's: it waits on
    // nothing. Once it has returned no byte is counted or written any more.
    // `failure`, when nothing was told yet, is what the user is told.
    void Stop(const std::string& failure = "");
    bool Stopped() const { return m_bStop; }
    // Stops with the Internet client's text for a time-out once the server
    // has sent nothing for kTimeoutMs.
    void StopIfSilent();
    // Nobody waits for the thread any more: it touches no file from now on.
    void Abandon();
    std::string Failure();
    // The kilobytes received, rounded up: each whole 1,024 bytes count one.
    int Count() const { return static_cast<int>((m_nBytes + 1023) / 1024); }

private:
    CTransfer(HWND hNotify, const std::string& strURL, const std::string& strDest, bool bStop);

    // Runs `proc` with a reference of its own to the library and to this
    // transfer; the thread's handle, or null.
    HANDLE StartThread(LPTHREAD_START_ROUTINE proc);
    static DWORD WINAPI CopyThread(void* param);
    static DWORD WINAPI CloseThread(void* param);

    // The transfer's thread.
    void Copy();
    HINTERNET OpenHttp(HINTERNET session);
    HINTERNET Send(HINTERNET session, const CAddress& address);
    long long CheckAnswer(HINTERNET source);
    void ReadBody(HINTERNET source, long long announced);
    [[noreturn]] void WaitFailed(DWORD error);
    void Heard() { m_dwHeardAt = GetTickCount(); }
    bool SilentTooLong() const { return GetTickCount() - m_dwHeardAt >= kTimeoutMs; }
    // A stop the thread makes itself: its handles it closes as it ends.
    void MarkStopped(const std::string& failure);
    void CreateDest();
    // False once stopped; every block is counted and written under the lock
    // a stop takes.
    bool WriteBlock(const char* data, DWORD size);
    void CloseDest();
    void CloseDestLocked();

    const HWND m_hNotify;
    const CAddress m_address;
    const std::string m_strDest;
    CInternetHandles m_handles;
    CHandle m_thread;
    std::atomic<bool> m_bClosing{false};  // a thread closes the handles

    std::mutex m_mutex;
    std::atomic<bool> m_bStop;
    bool m_bAbandoned = false;
    HANDLE m_hDest = INVALID_HANDLE_VALUE;
    std::string m_strFailure;
    std::atomic<long long> m_nBytes{0};
    std::atomic<DWORD> m_dwHeardAt;
    int m_nPosted = 0;
    DWORD m_dwPostedAt = 0;
};
