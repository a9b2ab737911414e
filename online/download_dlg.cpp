#include "online/download_dlg.h"

#include "online/online_resource.h"

#include <commctrl.h>

#include <cstdio>

CDownloadDlg::CDownloadDlg(HWND hParent)
    : CDialog(OnlineInstance(), IDD_DOWNLOAD, hParent) {}

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
    BOOL result = CDialog::OnInitDialog();
    m_bStop = false;
    SetWindowTextA(m_hWnd, m_strURL.c_str());
    m_nTimer = SetTimer(m_hWnd, 1, 1000, nullptr);
    return result;
}

void CDownloadDlg::OnCancel() { m_bStop = true; }

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
        CDialog::OnOK();
    else
        CDialog::OnCancel();
}

void CDownloadDlg::StepCounter() {
    ++m_nBlocks;
    if (m_nShown == 0 || GetTickCount() - m_dwShownAt >= 50) ShowCount();
}

void CDownloadDlg::ShowCount() {
    if (m_nShown == m_nBlocks) return;
    char text[16];
    std::snprintf(text, sizeof text, "%d", m_nBlocks);
    SetWindowTextA(m_stcCount, text);
    m_nShown = m_nBlocks;
    m_dwShownAt = GetTickCount();
}

void CDownloadDlg::DrainMessageQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CDownloadDlg::ShowFailure(const std::string& text) {
    MessageBoxA(m_hWnd, text.c_str(), OnlineAppName().c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}
