#include "menu/splash_dlg.h"

#include "resources/resource.h"

CSplashDlg::CSplashDlg(CWnd* pParent) : CDialog(IDD_SPLASH, pParent), m_nCurrent(0) {
    Create(IDD_SPLASH, pParent);
}

CSplashDlg::~CSplashDlg() {}

void CSplashDlg::DoDataExchange() {
    for (int i = 0; i < kPictures; ++i)
        m_pictures[i].SubclassDlgItem(IDC_SPLASH_PICTURE1 + i, this);
}

BOOL CSplashDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTimer(m_hWnd, kTimerId, kTimerPeriod, nullptr);
    SetForegroundWindow(m_hWnd);
    return TRUE;
}

bool CSplashDlg::OnTimer(UINT_PTR id) {
    if (id != kTimerId) return false;
    m_pictures[m_nCurrent].ShowWindow(SW_HIDE);
    if (++m_nCurrent == kPictures) m_nCurrent = 0;
    m_pictures[m_nCurrent].ShowWindow(SW_SHOWNA);
    return true;
}

bool CSplashDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_TIMER && OnTimer(wp)) {
        result = 0;
        return true;
    }
    return CDialog::OnMessage(msg, wp, lp, result);
}
