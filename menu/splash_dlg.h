// The splash window: up while the menu window loads the translation and
// scans the medium, changing its picture every three seconds.
#pragma once

#include "platform/gdi.h"
#include "platform/window.h"

class CSplashDlg : public CDialog {
public:
    // Creates and shows the window at once (its template is visible). With
    // no parent the application's main window owns it. A window that cannot
    // be made is simply not there.
    explicit CSplashDlg(CWnd* pParent = nullptr);
    ~CSplashDlg() override;

    static const int kPictures = 5;
    static const UINT_PTR kTimerId = 1;
    static const UINT kTimerPeriod = 3000;  // milliseconds

    CStatic m_pictures[kPictures];
    int m_nCurrent;  // the picture now shown, 0 to 4

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    // Shows the next picture; false for a timer that is not ours.
    bool OnTimer(UINT_PTR id);
    // The pictures drawn for the display's scale (above 100 %), with the
    // window's inside exactly their size, so that none is cut or banded.
    void FitPicturesToScale();

    // Gives picture control `index` its 96-DPI bitmap unless it has a picture:
    // only the first comes with the window, the others when first shown.
    void LoadPicture(int index);

    CBitmap m_scaled[kPictures];  // the pictures at this display's scale
    CBitmap m_bitmaps[kPictures];  // those loaded by LoadPicture
};
