// A small window layer over the Win32 API: window objects bound to the
// controls of a dialog, dialogs run modally or created modelessly from a
// template, the application object and its wait cursor. Windows only.
#pragma once

#include <windows.h>

#include <string>

// The module that holds the program's resources (the executable itself).
HINSTANCE ResourceInstance();

// A window object. It is either bound to an existing control by subclassing
// (the control's messages reach WindowProc first) or is a dialog (CDialog).
class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Binds this object to the control `id` of `parent` by subclassing it.
    // False when the parent has no such control or this object is bound.
    bool SubclassDlgItem(UINT id, CWnd* parent);
    // Gives the control its own window procedure back.
    void UnsubclassWindow();

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    DWORD GetStyle() const;
    // Removes and adds window style bits; nothing else is redrawn or moved.
    void ModifyStyle(DWORD remove, DWORD add);
    void SetFocus();
    // True when this window has the keyboard focus.
    bool HasFocus() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL UpdateWindow();
    BOOL DestroyWindow();
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    void SetFont(HFONT font, BOOL redraw = TRUE);
    HFONT GetFont() const;

    HWND m_hWnd;

protected:
    // The per-class message handler of a subclassed control. The default
    // hands every message to the control's own procedure.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Hands the message now being handled to the control's own procedure.
    LRESULT Default();

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT msg, WPARAM wp,
                                         LPARAM lp);
    struct CurrentMessage {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };

    WNDPROC m_pfnSuper;
    const CurrentMessage* m_pCurrent;
};

// A static control: text, icon or picture.
class CStatic : public CWnd {
public:
    // Sets the control's icon (null clears it); returns the previous one.
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
};

// A dialog from a template resource of the program, modal or modeless.
// One dialog procedure serves every dialog: it keeps the object's address
// with the window and forwards each message to OnMessage. An exception that
// escapes OnMessage ends the dialog with IDCANCEL.
class CDialog : public CWnd {
public:
    CDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns its end code, or -1 when the window
    // cannot be made.
    INT_PTR DoModal();
    // Creates the dialog as a modeless window; false when that fails.
    bool Create(UINT nIDTemplate, CWnd* pParent = nullptr);
    // Ends the dialog with `result`: a modal one leaves DoModal, a modeless
    // one is hidden.
    void EndDialog(INT_PTR result);

    // The end code given to EndDialog (0 until then).
    INT_PTR m_nResult;

protected:
    // Binds controls to members; called by the base OnInitDialog.
    virtual void DoDataExchange() {}
    // Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The per-class message handler. Return true when the message is
    // handled, with its result in `result`; false for default processing.
    // Overrides hand what they do not handle to their base class.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // What the system's default processing gives for a control-colour
    // message (its colours set in the device context, its brush returned).
    LRESULT DefaultCtlColor(UINT msg, WPARAM wp, LPARAM lp);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    HWND OwnerWindow() const;
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wp,
                                       LPARAM lp);
    bool m_bModal;
};

// The application object: one per program, made during static
// initialisation. Its start routine runs InitInstance, then ExitInstance;
// the program runs no message loop of its own, whatever InitInstance
// returns: all its windows run inside InitInstance.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The application object of the process, or null.
    static CWinApp* Get();

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    // The hourglass, counted: shown until as many EndWaitCursor calls.
    void BeginWaitCursor();
    void EndWaitCursor();
    int WaitCursorCount() const { return m_nWaitCursorCount; }

    // The program's main window: owner of dialogs made without a parent.
    CWnd* m_pMainWnd;

private:
    int m_nWaitCursorCount;
    HCURSOR m_hcurRestore;
};

// The body of WinMain: runs the application object's InitInstance and
// ExitInstance. Returns the process's exit code. Resources come from
// ResourceInstance(), so the instance WinMain is given is not needed.
int RunApplication();
