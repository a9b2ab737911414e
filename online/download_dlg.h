// The progress dialog of Download: the address as its caption, an animation,
// the count of kilobytes received and a Cancel button. One second after it
// opens, its timer starts the transfer (transfer.h) and the dialog runs the
// windows until the transfer has ended.
#pragma once

#include "online/dialog.h"

#include <memory>
#include <string>

class CTransfer;

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
    // Cancel raises m_bStop and, while the transfer runs, stops it; the
    // dialog ends once the transfer has, or has been left.
    void OnCancel() override;
    // The dialog has no OK button: IDOK (Enter on a control other than
    // Cancel) must not end it as if the copy were complete.
    void OnOK() override {}
    void OnTimer(UINT_PTR nIDEvent) override;
    // The count the transfer's thread reports.
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

    // Stops the animation and ends the dialog: 1 unless m_bStop.
    void FinishDownload();
    // Shows the count the transfer reported. The transfer reports the first
    // at once, then at most every 50 ms (a count rising thousands of times
    // a second cannot be read, and painting each step would cost more than
    // the copy); the exact count when it ends.
    void StepCounter(int count);
    void ShowCount(int count);

    HWND m_btnCancel = nullptr;
    HWND m_stcCount = nullptr;
    HWND m_animate = nullptr;
    int m_nBlocks = 0;           // kilobytes received, rounded up
    int m_nShown = 0;            // the count the control shows
    UINT_PTR m_nTimer = 0;
    bool m_bStop = false;
    std::string m_strDest;
    std::string m_strURL;

private:
    // Starts the transfer and runs the windows until it has ended; after a
    // stop it waits kGraceMs at most, then leaves the transfer's thread.
    void RunTransfer();
    void WaitFor(CTransfer& transfer);
    void DrainMessageQueue();
    void ShowFailure(const std::string& text);

    std::shared_ptr<CTransfer> m_pTransfer;  // while the transfer runs
};
