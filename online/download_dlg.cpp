#include "online/download_dlg.h"
#include "online/module.h"

#include "online/online_resource.h"

#include <commctrl.h>

#include <cstdio>

bool CInternetHandles::Keep(HINTERNET h) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bClosed) {
        InternetCloseHandle(h);
        return false;
    }
    for (HINTERNET& slot : m_handles) {
        if (!slot) {
            slot = h;
            return true;
        }
    }
    InternetCloseHandle(h);
    return false;
}

void CInternetHandles::CloseAll() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bClosed = true;
    // The source first, then what it belongs to.
    for (int i = 2; i >= 0; --i) {
        if (m_handles[i]) InternetCloseHandle(m_handles[i]);
        m_handles[i] = nullptr;
    }
}

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
    if (m_pState) m_pState->Stop();
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
    if (uMsg != CTransferState::kMsgCount) return false;
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
