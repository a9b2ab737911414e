// The About box, opened from the menu window's system menu. OK, Escape and
// the close box end it.
#pragma once

#include "platform/window.h"
#include "resources/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
