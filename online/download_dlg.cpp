#include "online/download_dlg.h"
#include "online/module.h"
#include "online/online_resource.h"
#include "online/transfer.h"

#include <commctrl.h>

#include <cstdio>

namespace {

// After a stop the dialog waits this long for the transfer's thread to end
// (a thread whose call returns in time is not left), and Cancel still ends
// the dialog within a second.
const DWORD kGraceMs = 400;

}  // namespace

CDownloadDlg::CDownloadDlg(HWND hParent)
    : COnlineDialog(OnlineInstance(), IDD_DOWNLOAD, hParent) {}

CDownloadDlg::~CDownloadDlg() = default;

std::string CDownloadDlg::SetURL(const std::string& strURL) {
    m_strURL = strURL;
    return m_strURL;
}

std::string CDownloadDlg::SetDest(const std::string& strDest) {
    m_strDest = strDest;
    return m_strDest;
}

void CDownloadDlg::DoDataExchange() {
    m_btnCancel = GetDlgItem(m_hWnd, IDCANCEL);
    m_stcCount = GetDlgItem(m_hWnd, IDC_COUNT);
    m_animate = GetDlgItem(m_hWnd, IDC_ANIMATE);
}

BOOL CDownloadDlg::OnInitDialog() {
    BOOL result = COnlineDialog::OnInitDialog();
    m_bStop = false;
    SetWindowTextA(m_hWnd, m_strURL.c_str());
    m_nTimer = SetTimer(m_hWnd, 1, 1000, nullptr);
    return result;
}

void CDownloadDlg::OnCancel() {
    m_bStop = true;
    if (m_pTransfer) m_pTransfer->Stop();
}

void CDownloadDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != m_nTimer) {
        // Not ours: the dialog goes on waiting for its own tick.
        Default();
        return;
    }
    RunTransfer();
    FinishDownload();
}

void CDownloadDlg::FinishDownload() {
    SendMessageA(m_animate, ACM_STOP, 0, 0);
    SendMessageA(m_animate, ACM_OPENA, 0, 0);
    if (!m_bStop)
        COnlineDialog::OnOK();
    else
        COnlineDialog::OnCancel();
}

void CDownloadDlg::StepCounter(int count) {
    m_nBlocks = count;
    ShowCount(count);
}

bool CDownloadDlg::OnMessage(UINT uMsg, WPARAM wParam, LPARAM) {
    if (uMsg != CTransfer::kMsgCount) return false;
    StepCounter(static_cast<int>(wParam));
    return true;
}

void CDownloadDlg::ShowCount(int count) {
    // A report that arrives late never takes the count back.
    if (count <= m_nShown) return;
    // The count starts from the first block, even when the dialog catches
    // up with several at once before the first block's own report came.
    if (m_nShown == 0 && count > 1) SetWindowTextA(m_stcCount, "1");
    char text[16];
    std::snprintf(text, sizeof text, "%d", count);
    SetWindowTextA(m_stcCount, text);
    m_nShown = count;
}

void CDownloadDlg::RunTransfer() {
    KillTimer(m_hWnd, m_nTimer);
    m_nBlocks = 0;
    m_nShown = 0;
    SendMessageA(m_animate, ACM_OPENA, 0, reinterpret_cast<LPARAM>("filemove.avi"));
    SendMessageA(m_animate, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));

    std::shared_ptr<CTransfer> transfer = CTransfer::Start(m_hWnd, GetURL(), GetDest(), m_bStop);
    if (!transfer) {
        m_bStop = true;
        return;
    }
    m_pTransfer = transfer;
    WaitFor(*transfer);
    m_pTransfer.reset();
    if (transfer->Stopped()) m_bStop = true;
    ShowCount(transfer->Count());
    const std::string failure = transfer->Failure();
    if (!failure.empty()) ShowFailure(failure);
}

void CDownloadDlg::WaitFor(CTransfer& transfer) {
    HANDLE thread = transfer.Thread();
    DWORD stoppedAt = 0;
    for (;;) {
        if (MsgWaitForMultipleObjects(1, &thread, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0)
            return;
        // The windows run; a WM_QUIT is dropped. The count catches up with
        // blocks that came too close together to be reported.
        DrainMessageQueue();
        ShowCount(transfer.Count());
        transfer.StopIfSilent();
        if (transfer.Stopped()) {
            const DWORD now = GetTickCount();
            if (stoppedAt == 0)
                stoppedAt = now | 1;
            else if (now - stoppedAt >= kGraceMs)
                break;
        }
    }
    transfer.Abandon();
}

void CDownloadDlg::DrainMessageQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        // The dialog's keys as in its own loop: Escape cancels.
        if (IsDialogMessageA(m_hWnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CDownloadDlg::ShowFailure(const std::string& text) {
    MessageBoxA(m_hWnd, text.c_str(), OnlineAppName().c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}
