#include "platform/window.h"

#include <vector>

namespace {

// The window property that holds the object bound to a subclassed control.
const char kObjectProperty[] = "Vantrell.CWnd";

CWinApp* g_app = nullptr;

HCURSOR WaitCursor() { return LoadCursorA(nullptr, IDC_WAIT); }
HCURSOR ArrowCursor() { return LoadCursorA(nullptr, IDC_ARROW); }

bool IsCtlColorMessage(UINT msg) {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

}  // namespace

HINSTANCE ResourceInstance() { return GetModuleHandleA(nullptr); }

// ---------------------------------------------------------------- CWnd

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr), m_pCurrent(nullptr) {}

CWnd::~CWnd() { UnsubclassWindow(); }

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (m_hWnd || !parent || !parent->m_hWnd) return false;
    HWND control = GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    if (!control || GetPropA(control, kObjectProperty)) return false;
    SetPropA(control, kObjectProperty, this);
    m_hWnd = control;
    m_pfnSuper = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return true;
}

void CWnd::UnsubclassWindow() {
    if (!m_hWnd || !m_pfnSuper) return;
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    RemovePropA(m_hWnd, kObjectProperty);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* self = static_cast<CWnd*>(GetPropA(hWnd, kObjectProperty));
    if (!self || !self->m_pfnSuper) return DefWindowProcA(hWnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // The control goes: unbind before its own procedure finishes it.
        WNDPROC super = self->m_pfnSuper;
        self->UnsubclassWindow();
        return CallWindowProcA(super, hWnd, msg, wp, lp);
    }
    CurrentMessage current = {msg, wp, lp};
    const CurrentMessage* outer = self->m_pCurrent;
    self->m_pCurrent = &current;
    LRESULT result = self->WindowProc(msg, wp, lp);
    self->m_pCurrent = outer;
    return result;
}

LRESULT CWnd::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT CWnd::Default() {
    if (!m_hWnd || !m_pfnSuper || !m_pCurrent) return 0;
    return CallWindowProcA(m_pfnSuper, m_hWnd, m_pCurrent->msg, m_pCurrent->wp,
                           m_pCurrent->lp);
}

void CWnd::SetWindowText(const std::string& text) {
    if (m_hWnd) ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string CWnd::GetWindowText() const {
    if (!m_hWnd) return std::string();
    int length = GetWindowTextLengthA(m_hWnd);
    std::vector<char> buf(static_cast<size_t>(length) + 2);
    int n = ::GetWindowTextA(m_hWnd, buf.data(), static_cast<int>(buf.size()));
    return std::string(buf.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

BOOL CWnd::EnableWindow(BOOL enable) { return m_hWnd ? ::EnableWindow(m_hWnd, enable) : FALSE; }
BOOL CWnd::IsWindowEnabled() const { return m_hWnd ? ::IsWindowEnabled(m_hWnd) : FALSE; }
BOOL CWnd::IsWindowVisible() const { return m_hWnd ? ::IsWindowVisible(m_hWnd) : FALSE; }

DWORD CWnd::GetStyle() const {
    return m_hWnd ? static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)) : 0;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add) {
    if (!m_hWnd) return;
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed != style) SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
}

void CWnd::SetFocus() {
    if (m_hWnd) ::SetFocus(m_hWnd);
}

bool CWnd::HasFocus() const { return m_hWnd && ::GetFocus() == m_hWnd; }

BOOL CWnd::ShowWindow(int nCmdShow) { return m_hWnd ? ::ShowWindow(m_hWnd, nCmdShow) : FALSE; }
BOOL CWnd::UpdateWindow() { return m_hWnd ? ::UpdateWindow(m_hWnd) : FALSE; }

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wp, LPARAM lp) const {
    return m_hWnd ? ::SendMessageA(m_hWnd, msg, wp, lp) : 0;
}

void CWnd::SetFont(HFONT font, BOOL redraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
}

HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

// ---------------------------------------------------------------- CStatic

HICON CStatic::SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
}

HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }

// ---------------------------------------------------------------- CDialog

CDialog::CDialog(UINT nIDTemplate, CWnd* pParent)
    : m_nResult(0), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent), m_bModal(false) {}

CDialog::~CDialog() {
    if (m_hWnd) {
        // The derived parts are gone: the window must not reach them.
        HWND hWnd = m_hWnd;
        SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        m_hWnd = nullptr;
        ::DestroyWindow(hWnd);
    }
}

HWND CDialog::OwnerWindow() const {
    CWnd* owner = m_pParentWnd;
    if (!owner && g_app) owner = g_app->m_pMainWnd;
    if (owner == this) return nullptr;
    return owner ? owner->m_hWnd : nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    m_bModal = true;
    m_nResult = 0;
    INT_PTR result = DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(m_nIDTemplate),
                                     OwnerWindow(), &CDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

bool CDialog::Create(UINT nIDTemplate, CWnd* pParent) {
    if (m_hWnd) return false;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParent;
    m_bModal = false;
    m_nResult = 0;
    HWND hWnd = CreateDialogParamA(ResourceInstance(), MAKEINTRESOURCEA(nIDTemplate),
                                   OwnerWindow(), &CDialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    m_nResult = result;
    if (!m_hWnd) return;
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) return false;
        if (LOWORD(wp) == IDOK) {
            OnOK();
            return true;
        }
        if (LOWORD(wp) == IDCANCEL) {
            OnCancel();
            return true;
        }
        return false;
    case WM_SETCURSOR:
        if (g_app && g_app->WaitCursorCount() > 0) {
            SetCursor(WaitCursor());
            result = TRUE;
            return true;
        }
        return false;
    default:
        return false;
    }
}

LRESULT CDialog::DefaultCtlColor(UINT msg, WPARAM wp, LPARAM lp) {
    // What the dialog manager does for a dialog procedure that declines.
    return DefWindowProcA(m_hWnd, msg, wp, lp);
}

// Online.dll's dialog procedure guards its handler the same way.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    CDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        SetWindowLongPtrA(hWnd, DWLP_USER, lp);
        self->m_hWnd = hWnd;
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT, ...) have no object yet.
    if (!self) return FALSE;

    LRESULT result = 0;
    bool handled = false;
    // No exception may unwind through the system's frames: one that escapes
    // the handler ends the dialog as cancelled.
    try {
        handled = self->OnMessage(msg, wp, lp, result);
    } catch (...) {
        self->m_nResult = IDCANCEL;
        ::EndDialog(hWnd, IDCANCEL);
        result = 0;
        handled = true;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    if (!handled) return FALSE;
    if (msg == WM_INITDIALOG || msg == WM_QUERYDRAGICON || IsCtlColorMessage(msg))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// ---------------------------------------------------------------- CWinApp

CWinApp::CWinApp()
    : m_pMainWnd(nullptr), m_nWaitCursorCount(0), m_hcurRestore(nullptr) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Get() { return g_app; }

void CWinApp::BeginWaitCursor() {
    HCURSOR previous = SetCursor(WaitCursor());
    if (m_nWaitCursorCount++ == 0) m_hcurRestore = previous;
}

void CWinApp::EndWaitCursor() {
    if (m_nWaitCursorCount == 0) return;
    if (--m_nWaitCursorCount == 0)
        SetCursor(m_hcurRestore ? m_hcurRestore : ArrowCursor());
}

int RunApplication() {
    CWinApp* app = CWinApp::Get();
    if (!app) return 1;
    // The program does all its work inside InitInstance; what it returns
    // changes nothing, as no message loop follows.
    app->InitInstance();
    return app->ExitInstance();
}
