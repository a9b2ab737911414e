#include "tools/medium_preview/wizard_driver.h"

#include "platform/gdi.h"
#include "resources/resource.h"

#include <cstdio>

namespace wizard_driver {

std::string DosPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string dos = "Z:" + path;
    for (char& c : dos)
        if (c == '/') c = '\\';
    return dos;
}

// ---------------------------------------------------------------- mouse, keys

void MoveMouse(int x, int y) {
    SetCursorPos(x, y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = (y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void ClickMouse() {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

void ParkMouse() { MoveMouse(2, 2); }

namespace {

void MouseOnto(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    const int width = r.right - r.left;
    const int x = r.left + (width > 24 ? 12 : width / 2);
    const int y = (r.top + r.bottom) / 2;
    // Two moves, so that the control sees the mouse arrive and move.
    MoveMouse(x - 3, y);
    Sleep(60);
    MoveMouse(x, y);
    Sleep(60);
}

struct FindData {
    DWORD pid;
    HWND exclude;
    bool menu;  // looking for the menu window itself
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM lp) {
    FindData* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != d->pid || hwnd == d->exclude || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770") return TRUE;
    const bool menu = GetDlgItem(hwnd, IDC_TITLE) && GetDlgItem(hwnd, IDC_OPTION1);
    if (menu == d->menu) d->found.push_back(hwnd);
    return TRUE;
}

std::string WindowText(HWND hwnd) {
    char text[2048] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

BOOL CALLBACK CollectText(HWND child, LPARAM lp) {
    std::string* out = reinterpret_cast<std::string*>(lp);
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof cls);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (_stricmp(cls, "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
        const std::string text = WindowText(child);
        if (!text.empty()) {
            if (!out->empty()) *out += "\n";
            *out += text;
        }
    }
    return TRUE;
}

}  // namespace

// ---------------------------------------------------------------- Wizard

Wizard::Wizard(const std::string& root) {
    ParkMouse();
    // A drive's root ends in a backslash already.
    const std::string exe =
        root + (!root.empty() && root.back() == '\\' ? "" : "\\") + "wizard.exe";
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        root.c_str(), &si, &m_pi)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", exe.c_str(), GetLastError());
        return;
    }
    WaitFor([&] {
        FindData d{m_pi.dwProcessId, nullptr, true, {}};
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&d));
        if (!d.found.empty()) m_window = d.found.front();
        return m_window != nullptr || !Running();
    }, 20000);
    // The first page is filled before the window shows; let it paint.
    if (m_window) Sleep(300);
    else std::fprintf(stderr, "no menu window (%s)\n", Running() ? "running" : "ended");
}

Wizard::~Wizard() {
    if (m_pi.hProcess) {
        if (Running()) {
            TerminateProcess(m_pi.hProcess, 1);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    ParkMouse();
}

std::string Wizard::Text(int id) const { return WindowText(Control(id)); }

bool Wizard::Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }

HWND Wizard::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(m_pi.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

bool Wizard::WaitFocus(int id, DWORD ms) const {
    const HWND want = Control(id);
    return WaitFor([&] { return Focus() == want; }, ms);
}

void Wizard::Hover(int id) const { MouseOnto(Control(id)); }

void Wizard::Click(int id) const {
    MouseOnto(Control(id));
    ClickMouse();
}

void Wizard::HoverBackground() const { MouseOnto(Control(IDC_DESCRIPTION)); }

void Wizard::Key(WORD vk) const {
    if (GetForegroundWindow() != m_window) SetForegroundWindow(m_window);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

std::vector<DWORD> Wizard::Pixels(int id, int inset) const {
    std::vector<DWORD> pixels;
    RECT r;
    GetWindowRect(Control(id), &r);
    InflateRect(&r, -inset, -inset);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return pixels;
    CClientDC screen(nullptr);
    CMemoryDC mem(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CBitmap bmp;
    if (!bmp.Attach(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0)) || !bits)
        return pixels;
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(mem, old);
    const DWORD* px = static_cast<const DWORD*>(bits);
    pixels.reserve(static_cast<size_t>(w) * h);
    for (int i = 0; i < w * h; ++i) pixels.push_back(px[i] & 0xFFFFFF);
    return pixels;
}

int Wizard::CountPixels(int id, COLORREF colour) const {
    const DWORD want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int n = 0;
    for (DWORD p : Pixels(id))
        if (p == want) ++n;
    return n;
}

bool Wizard::Running() const {
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool Wizard::WaitEnded(DWORD ms) const {
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, ms) == WAIT_OBJECT_0;
}

std::vector<HWND> Wizard::Boxes() const {
    FindData d{m_pi.dwProcessId, m_window, false, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

Box Wizard::WaitBox(DWORD ms) const {
    Box box;
    WaitFor([&] {
        std::vector<HWND> boxes = Boxes();
        if (boxes.empty()) return false;
        box.hwnd = boxes.front();
        return true;
    }, ms);
    if (box.hwnd) {
        Sleep(150);  // let it fill its controls
        box.caption = WindowText(box.hwnd);
        EnumChildWindows(box.hwnd, CollectText, reinterpret_cast<LPARAM>(&box.text));
    }
    return box;
}

bool Wizard::PressOk(const Box& box) const {
    HWND ok = GetDlgItem(box.hwnd, IDOK);
    if (!ok) return false;
    MouseOnto(ok);
    ClickMouse();
    return WaitFor([&] { return !IsWindow(box.hwnd); }, 3000);
}

}  // namespace wizard_driver
