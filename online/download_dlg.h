// The progress dialog of Download: the address as its caption, an animation,
// the count of blocks received and a Cancel button. One second after it
// opens, its timer runs the transfer (download_transfer.cpp).
#pragma once

#include "online/dialog.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include <wininet.h>

// The Internet handles of one transfer. The transfer's thread opens them and
// waits in them; Cancel on the dialog's thread closes them, which on Windows
// makes a waiting call return at once with an error.
class CInternetHandles {
public:
    CInternetHandles() = default;
    ~CInternetHandles() { CloseAll(); }
    CInternetHandles(const CInternetHandles&) = delete;
    CInternetHandles& operator=(const CInternetHandles&) = delete;

    // Keeps `h` for closing; false (and `h` closed) when Cancel came first.
    bool Keep(HINTERNET h);
    // Closes every handle kept, now and as they arrive.
    void CloseAll();

private:
    std::mutex m_mutex;
    // The session, the connection (http and https), the source.
    HINTERNET m_handles[3] = {nullptr, nullptr, nullptr};
    bool m_bClosed = false;
};

// What the dialog and the transfer's thread share; it lives as long as
// either holds it. Every block is counted and written under one lock that
// Stop takes too, so once Stop has returned no block is counted or written
// any more and the destination is closed.
class CTransferState {
public:
    CTransferState(HWND hNotify, const std::string& strURL, const std::string& strDest,
                   bool bStop);

    const std::string m_strURL;
    const std::string m_strDest;
    CInternetHandles m_handles;

    // Cancel, a failure, or the dialog giving up: closes the destination and
    // the Internet handles. `failure` (when not empty and nothing was told
    // yet) is what the user is told.
    void Stop(const std::string& failure = "");
    bool Stopped() const { return m_bStop; }
    // The dialog no longer waits: the thread touches no file any more.
    void Abandon();
    std::string Failure();

    // The thread's side.
    void CreateDest();                               // throws when it cannot
    bool WriteBlock(const char* data, DWORD size);   // false once stopped
    void CloseDest();                                // throws when it fails
    void Heard() { m_dwHeardAt = GetTickCount(); }
    // The server has sent nothing for the time a transfer waits at most.
    bool SilentTooLong() const;
    int Blocks() const { return m_nBlocks; }

    // The count the thread reports to the dialog (wParam: the count).
    static const UINT kMsgCount = WM_APP + 1;

private:
    void CloseDestLocked();

    const HWND m_hNotify;
    std::mutex m_mutex;
    std::atomic<bool> m_bStop;
    bool m_bAbandoned = false;
    HANDLE m_hDest = INVALID_HANDLE_VALUE;
    std::string m_strFailure;
    std::atomic<int> m_nBlocks{0};
    std::atomic<DWORD> m_dwHeardAt;
    DWORD m_dwPostedAt = 0;
};

class CDownloadDlg : public COnlineDialog {
public:
    explicit CDownloadDlg(HWND hParent);
    ~CDownloadDlg() override;

    std::string SetURL(const std::string& strURL);
    std::string SetDest(const std::string& strDest);
    std::string GetURL() const { return m_strURL; }
    std::string GetDest() const { return m_strDest; }

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    // Cancel raises m_bStop and, while the transfer runs, stops it
    // (CTransferState::Stop); the dialog ends once the transfer has.
    void OnCancel() override;
    // The dialog has no OK button: IDOK (Enter on a control other than
    // Cancel) must not end it as if the copy were complete.
    void OnOK() override {}
    void OnTimer(UINT_PTR nIDEvent) override;
    // The count the transfer's thread reports.
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

    // Stops the animation and ends the dialog: 1 unless m_bStop.
    virtual void FinishDownload();
    // Shows the count of blocks the transfer reported: the first block at
    // once, then at most every 50 ms (a count rising thousands of times a
    // second cannot be read, and painting each step would cost more than
    // the copy); the exact count when the transfer ends.
    virtual void StepCounter(int count);
    void ShowCount(int count);

    HWND m_btnCancel = nullptr;
    HWND m_stcCount = nullptr;
    HWND m_animate = nullptr;
    int m_nBlocks = 0;
    int m_nShown = 0;            // the count the control shows
    UINT_PTR m_nTimer = 0;
    bool m_bStop = false;
    std::string m_strDest;
    std::string m_strURL;

private:
    // The copy from the address to the destination file: the dialog's
    // thread keeps the windows running while a thread of the transfer makes
    // every call that can wait on the server.
    void RunTransfer();
    void DrainMessageQueue();
    void ShowFailure(const std::string& text);

    std::shared_ptr<CTransferState> m_pState;  // while the transfer runs
};
