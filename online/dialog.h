// A minimal modal dialog for Online.dll: one static dialog procedure that
// keeps the object's address with the window and forwards the messages the
// library cares about to virtual handlers.
#pragma once

#include <windows.h>

class COnlineDialog {
public:
    COnlineDialog(HINSTANCE hInstance, UINT nIDTemplate, HWND hParent);
    virtual ~COnlineDialog();
    COnlineDialog(const COnlineDialog&) = delete;
    COnlineDialog& operator=(const COnlineDialog&) = delete;

    // Runs the dialog on the calling thread and returns its end code, or -1
    // when the template is missing or the window cannot be made.
    INT_PTR DoModal();

    HWND m_hWnd = nullptr;

protected:
    // Binds the controls to members; called at the start of OnInitDialog.
    virtual void DoDataExchange() {}
    // Returns TRUE to let the system set the focus.
    virtual BOOL OnInitDialog();
    // IDOK and IDCANCEL: end the dialog with 1 or 2.
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnTimer(UINT_PTR nIDEvent);
    // Any other message; true when it was handled.
    virtual bool OnMessage(UINT, WPARAM, LPARAM) { return false; }

    // Lets the system's dialog handling have the current message.
    void Default() { m_bDefault = true; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam,
                                           LPARAM lParam);
    INT_PTR HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);

    HINSTANCE m_hInstance;
    UINT m_nIDTemplate;
    HWND m_hParent;
    bool m_bDefault = false;
};
