// Works wizard.exe from the outside, as a user does: starts the menu from a
// medium's root, moves and clicks the real mouse, presses keys, and reads
// back what the screen shows (control texts, focus, colours, message boxes).
// medium-preview's walker drives the menu with it, and so do the end-to-end
// tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wizard_driver {

// "/unix/path" -> "Z:\unix\path" (Wine's mapping of the root); Windows
// paths are returned unchanged.
std::string DosPath(const std::string& path);

// Polls `done` every 25 ms until it holds or `ms` have passed.
template <class F>
bool WaitFor(F done, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= ms) return done();
        Sleep(25);
    }
}

// A message box (or any dialog) of the menu program.
struct Box {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
};

// One run of wizard.exe started from a medium's root.
class Wizard {
public:
    // wizard.exe of the folder `root` (a drive's root: "D:\\"), started with
    // that folder as its current one, as autorun starts it.
    explicit Wizard(const std::string& root);
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    DWORD ProcessId() const { return m_pi.dwProcessId; }
    DWORD ThreadId() const { return m_pi.dwThreadId; }

    bool Started() const { return m_window != nullptr; }
    HWND Window() const { return m_window; }
    HWND Control(int id) const { return GetDlgItem(m_window, id); }
    std::string Text(int id) const;
    bool Visible(int id) const;
    // The window that has the keyboard focus in the menu's thread.
    HWND Focus() const;
    bool WaitFocus(int id, DWORD ms = 3000) const;

    // The mouse: onto the middle of the first characters of a control, then
    // a click there.
    void Hover(int id) const;
    void Click(int id) const;
    void HoverBackground() const;
    void Key(WORD vk) const;

    // A control's pixels as the screen shows them (0xRRGGBB, row by row),
    // leaving out `inset` pixels at each edge.
    std::vector<DWORD> Pixels(int id, int inset = 0) const;
    // Pixels of exactly `colour` inside a control, read from the screen.
    int CountPixels(int id, COLORREF colour) const;

    bool Running() const;
    bool WaitEnded(DWORD ms = 5000) const;
    // The next top-level dialog of the menu's process besides the menu
    // window itself (a message box or the progress dialog).
    Box WaitBox(DWORD ms = 5000) const;
    // Every top-level dialog of the process other than the menu window.
    std::vector<HWND> Boxes() const;
    // Clicks a box's OK button and waits for the box to go.
    bool PressOk(const Box& box) const;

private:
    PROCESS_INFORMATION m_pi{};
    HWND m_window = nullptr;
};

// The mouse as the user moves it.
void MoveMouse(int x, int y);
void ClickMouse();
void ParkMouse();

}  // namespace wizard_driver
