#include "menu/splash_dlg.h"

#include "menu/artwork.h"
#include "resources/resource.h"

namespace {

// The bitmap of each picture control at 96 DPI, in the order the timer
// shows them.
const UINT kPictureBitmaps[CSplashDlg::kPictures] = {IDB_SPLASH_1, IDB_SPLASH_2, IDB_SPLASH_3,
                                                     IDB_SPLASH_4, IDB_SPLASH_5};

}  // namespace

CSplashDlg::CSplashDlg(CWnd* pParent) : CDialog(IDD_SPLASH, pParent), m_nCurrent(0) {
    Create(IDD_SPLASH, pParent);
}

CSplashDlg::~CSplashDlg() {
    // The window goes before the pictures it shows.
    DestroyWindow();
}

void CSplashDlg::DoDataExchange() {
    for (int i = 0; i < kPictures; ++i)
        m_pictures[i].SubclassDlgItem(IDC_SPLASH_PICTURE1 + i, this);
}

BOOL CSplashDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FitPicturesToScale();
    SetTimer(m_hWnd, kTimerId, kTimerPeriod, nullptr);
    SetForegroundWindow(m_hWnd);
    return TRUE;
}

void CSplashDlg::FitPicturesToScale() {
    const int dpi = artwork::SystemDpi();
    // At 96 DPI the template's first bitmap stays and the others come when
    // first shown (LoadPicture); the window still fits them.
    const bool scaled = artwork::LoadSplashPictures(dpi, m_scaled);
    const SIZE size = artwork::SplashPictureSize(dpi);
    for (int i = 0; i < kPictures; ++i) {
        if (scaled)
            m_pictures[i].SendMessage(STM_SETIMAGE, IMAGE_BITMAP,
                                      reinterpret_cast<LPARAM>(static_cast<HBITMAP>(m_scaled[i])));
        SetWindowPos(m_pictures[i].m_hWnd, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The window around exactly the picture, still centred where it was.
    RECT frame = {0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&frame, GetWindowLongA(m_hWnd, GWL_STYLE), FALSE,
                       GetWindowLongA(m_hWnd, GWL_EXSTYLE));
    RECT now;
    GetWindowRect(m_hWnd, &now);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const int x = (now.left + now.right - w) / 2, y = (now.top + now.bottom - h) / 2;
    SetWindowPos(m_hWnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CSplashDlg::OnTimer(UINT_PTR id) {
    if (id != kTimerId) return false;
    m_pictures[m_nCurrent].ShowWindow(SW_HIDE);
    if (++m_nCurrent == kPictures) m_nCurrent = 0;
    LoadPicture(m_nCurrent);
    m_pictures[m_nCurrent].ShowWindow(SW_SHOWNA);
    return true;
}

void CSplashDlg::LoadPicture(int index) {
    CStatic& picture = m_pictures[index];
    if (!picture.m_hWnd || picture.SendMessage(STM_GETIMAGE, IMAGE_BITMAP)) return;
    // As the control loads the template's picture: a bitmap for the display,
    // the control sized to it.
    if (m_bitmaps[index].Attach(LoadBitmapA(ResourceInstance(),
                                            MAKEINTRESOURCEA(kPictureBitmaps[index]))))
        picture.SendMessage(STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(m_bitmaps[index].GetSafeHandle()));
}

bool CSplashDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_TIMER && OnTimer(wp)) {
        result = 0;
        return true;
    }
    return CDialog::OnMessage(msg, wp, lp, result);
}
