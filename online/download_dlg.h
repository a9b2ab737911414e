// The progress dialog of Download: the address as its caption, an animation,
// the count of blocks received and a Cancel button. One second after it
// opens, its timer runs the transfer (download_transfer.cpp).
#pragma once

#include "online/dialog.h"

#include <string>

class CDownloadDlg : public CDialog {
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
    // Cancel only raises m_bStop; the transfer sees it at its next loop test.
    void OnCancel() override;
    // The dialog has no OK button: IDOK (Enter on a control other than
    // Cancel) must not end it as if the copy were complete.
    void OnOK() override {}
    void OnTimer(UINT_PTR nIDEvent) override;

    // Stops the animation and ends the dialog: 1 unless m_bStop.
    virtual void FinishDownload();
    // Counts one more block and shows the count: the first block at once,
    // then at most every 50 ms (a count rising thousands of times a second
    // cannot be read, and painting each step would cost more than the copy).
    // ShowCount shows the exact count when the transfer ends.
    virtual void StepCounter();
    void ShowCount();

    HWND m_btnCancel = nullptr;
    HWND m_stcCount = nullptr;
    HWND m_animate = nullptr;
    int m_nBlocks = 0;
    int m_nShown = 0;            // the count the control shows
    DWORD m_dwShownAt = 0;       // when it was shown (GetTickCount)
    UINT_PTR m_nTimer = 0;
    bool m_bStop = false;
    std::string m_strDest;
    std::string m_strURL;

private:
    // The copy from the address to the destination file.
    void RunTransfer();
    void CopySourceToDest();
    void DrainMessageQueue();
    void ShowFailure(const std::string& text);
};

// The library's name: its file name without folder and extension ("Online"
// for Online.dll). The Internet agent name and the caption of its messages.
std::string OnlineAppName();
HINSTANCE OnlineInstance();
