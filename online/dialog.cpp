#include "online/dialog.h"

COnlineDialog::COnlineDialog(HINSTANCE hInstance, UINT nIDTemplate, HWND hParent)
    : m_hInstance(hInstance), m_nIDTemplate(nIDTemplate), m_hParent(hParent) {}

COnlineDialog::~COnlineDialog() = default;

INT_PTR COnlineDialog::DoModal() {
    INT_PTR result = DialogBoxParamA(m_hInstance, MAKEINTRESOURCEA(m_nIDTemplate),
                                     m_hParent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    // DialogBoxParam answers 0 for a parent that is no window; the dialog
    // never showed, so that is a failure to make it as well.
    return result == 0 ? -1 : result;
}

BOOL COnlineDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

void COnlineDialog::OnOK() { EndDialog(m_hWnd, IDOK); }

void COnlineDialog::OnCancel() { EndDialog(m_hWnd, IDCANCEL); }

void COnlineDialog::OnTimer(UINT_PTR) { Default(); }

// The menu program's dialog procedure guards its handler the same way.
INT_PTR CALLBACK COnlineDialog::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam,
                                           LPARAM lParam) {
    COnlineDialog* self;
    if (uMsg == WM_INITDIALOG) {
        self = reinterpret_cast<COnlineDialog*>(lParam);
        SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        self->m_hWnd = hWnd;
    } else {
        self = reinterpret_cast<COnlineDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR handled = FALSE;
    // Nothing may unwind through the system's frames: an escaping exception
    // ends the dialog as a failure.
    try {
        handled = self->HandleMessage(uMsg, wParam, lParam);
    } catch (...) {
        EndDialog(hWnd, IDCANCEL);
        handled = TRUE;
    }
    if (uMsg == WM_NCDESTROY) {
        // The window is gone: nothing reaches the object through it any more.
        SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return handled;
}

INT_PTR COnlineDialog::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    m_bDefault = false;
    switch (uMsg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == IDOK) { OnOK(); return TRUE; }
            if (LOWORD(wParam) == IDCANCEL) { OnCancel(); return TRUE; }
        }
        return FALSE;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return m_bDefault ? FALSE : TRUE;
    default:
        return OnMessage(uMsg, wParam, lParam) ? TRUE : FALSE;
    }
}
