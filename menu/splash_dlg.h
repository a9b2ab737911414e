// The splash window: up while the menu window loads the translation and
// scans the medium, changing its picture every three seconds.
#pragma once

#include "platform/gdi.h"
#include "platform/window.h"

#include <string>
#include <vector>

class CSplashDlg : public CDialog {
public:
    // Creates and shows the window at once (its template is visible). With
    // no parent the application's main window owns it. A window that cannot
    // be made is simply not there. `pictures` are the medium's own picture
    // files (up to kPictures) that take the place of ours, in the order
    // shown; a file that cannot be used gives our picture of that place.
    explicit CSplashDlg(CWnd* pParent = nullptr,
                        const std::vector<std::string>& pictures = std::vector<std::string>());
    ~CSplashDlg() override;

    static const int kPictures = 5;
    static const UINT_PTR kTimerId = 1;
    static const UINT kTimerPeriod = 3000;  // milliseconds

    CStatic m_pictures[kPictures];
    int m_nCurrent;  // the picture now shown, 0 to 4
    // How many pictures take turns: the medium's own, or our five.
    int Shown() const;

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

    // Gives picture control `index` its picture unless it has one: the
    // medium's own, else our 96-DPI bitmap, or ours at this display's scale.
    // Only the first comes with the window, the others when first shown.
    void LoadPicture(int index);

    std::vector<std::string> m_own;  // the medium's own pictures
    int m_dpi;
    bool m_loaded[kPictures];      // the control has its picture
    CBitmap m_scaled[kPictures];  // our pictures at this display's scale
    CBitmap m_bitmaps[kPictures];  // those loaded by LoadPicture
};
