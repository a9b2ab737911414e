#include "menu/splash_dlg.h"

#include "menu/artwork.h"
#include "resources/resource.h"

#include <algorithm>

namespace {

// The bitmap of each picture control at 96 DPI, in the order the timer
// shows them.
const UINT kPictureBitmaps[CSplashDlg::kPictures] = {IDB_SPLASH_1, IDB_SPLASH_2, IDB_SPLASH_3,
                                                     IDB_SPLASH_4, IDB_SPLASH_5};

}  // namespace

CSplashDlg::CSplashDlg(CWnd* pParent, const std::vector<std::string>& pictures)
    : CDialog(IDD_SPLASH, pParent),
      m_nCurrent(0),
      m_own(pictures.begin(), pictures.begin() + std::min<size_t>(pictures.size(), kPictures)),
      m_dpi(96),
      m_loaded() {
    Create(IDD_SPLASH, pParent);
}

int CSplashDlg::Shown() const {
    return m_own.empty() ? kPictures : static_cast<int>(m_own.size());
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
    const int dpi = m_dpi = artwork::SystemDpi();
    // At 96 DPI the template's first bitmap stays and the others come when
    // first shown (LoadPicture); the window still fits them. The medium's
    // own pictures likewise come one by one.
    const bool scaled = m_own.empty() && artwork::LoadSplashPictures(dpi, m_scaled);
    if (!m_own.empty()) LoadPicture(0);
    const SIZE size = artwork::SplashPictureSize(dpi);
    for (int i = 0; i < kPictures; ++i) {
        if (scaled) {
            m_pictures[i].SendMessage(STM_SETIMAGE, IMAGE_BITMAP,
                                      reinterpret_cast<LPARAM>(static_cast<HBITMAP>(m_scaled[i])));
            m_loaded[i] = true;
        }
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
    if (Shown() == 1) return true;  // one picture: nothing changes
    m_pictures[m_nCurrent].ShowWindow(SW_HIDE);
    if (++m_nCurrent == Shown()) m_nCurrent = 0;
    LoadPicture(m_nCurrent);
    m_pictures[m_nCurrent].ShowWindow(SW_SHOWNA);
    return true;
}

void CSplashDlg::LoadPicture(int index) {
    CStatic& picture = m_pictures[index];
    if (!picture.m_hWnd || m_loaded[index]) return;
    m_loaded[index] = true;
    HBITMAP shown = nullptr;
    if (index < static_cast<int>(m_own.size()) &&
        artwork::LoadMediumPicture(m_own[static_cast<size_t>(index)],
                                   artwork::SplashPictureSize(m_dpi), m_bitmaps[index]))
        shown = m_bitmaps[index];
    // Ours in its place: drawn for this display's scale where there is one,
    else if (!m_own.empty() &&
             (m_scaled[0].GetSafeHandle() || artwork::LoadSplashPictures(m_dpi, m_scaled)))
        shown = m_scaled[index];
    // else as the control loads the template's picture: a bitmap for the
    // display, the control sized to it.
    else if (!picture.SendMessage(STM_GETIMAGE, IMAGE_BITMAP) &&
             m_bitmaps[index].Attach(
                 LoadBitmapA(ResourceInstance(), MAKEINTRESOURCEA(kPictureBitmaps[index]))))
        shown = m_bitmaps[index];
    if (shown)
        picture.SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown));
}

bool CSplashDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_TIMER && OnTimer(wp)) {
        result = 0;
        return true;
    }
    return CDialog::OnMessage(msg, wp, lp, result);
}
