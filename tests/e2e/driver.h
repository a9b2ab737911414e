// Works wizard.exe from the outside, as a user does: lays out a medium,
// starts the menu from it, moves and clicks the real mouse, presses keys, and
// reads back what the screen shows (control texts, focus, colours, message
// boxes) and what was started (through the recorder program).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/unit/test_support.h"

namespace e2e {

// Set by main() from the command line.
struct Options {
    std::string dist;      // folder with wizard.exe, Online.dll, filemove.avi
    std::string recorder;  // the recorder program
    std::string disc;      // the root of a disc drive with a packed medium
};
Options& Settings();

// "/unix/path" -> "Z:\unix\path" (Wine's mapping of the root); Windows
// paths are returned unchanged.
std::string DosPath(const std::string& path);
void CopyOrFail(const std::string& from, const std::string& to);

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

// A medium in a fresh temporary folder: the shipping files at its root and
// a QXMSETUP.INI per product folder.
class Medium {
public:
    Medium();
    const std::string& Root() const { return m_dir.Path(); }
    std::string Path(const std::string& relative) const { return m_dir / relative; }
    // Writes `folder`\QXMSETUP.INI with the lines of section [common].
    void Product(const std::string& folder, const std::string& lines) const;
    void Write(const std::string& relative, const std::string& bytes) const {
        m_dir.Write(relative, bytes);
    }
    // Copies the recorder program to `relative` (a stand-in setup program).
    void Recorder(const std::string& relative) const;
    void Remove(const std::string& relative) const;

private:
    testing_support::TempDir m_dir;
};

// What the recorder program saw, one entry per start.
struct Start {
    std::string commandLine;
    std::string folder;
};

// The record file of one test. Its path is passed to every program the
// test starts through the environment (WIZARD_E2E_RECORD).
class Record {
public:
    Record();
    ~Record();
    std::vector<Start> Starts() const;
    bool WaitForStarts(size_t n, DWORD ms) const;

private:
    std::string m_path;
};

// Points the http and https schemes of the Wine prefix at the recorder for
// the object's lifetime; the previous handlers come back afterwards. Wine's
// ShellExecute opens an address with HKCR\<scheme>\shell\open\command,
// and its HKCR does not show per-user classes, so the keys are set there.
class UrlHandler {
public:
    UrlHandler();
    ~UrlHandler();

private:
    std::vector<std::string> m_saved;
    std::vector<bool> m_had;
};

// A message box (or any dialog) of the menu program.
struct Box {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
};

// One run of wizard.exe started from a medium's root.
class Wizard {
public:
    explicit Wizard(const Medium& medium) : Wizard(medium.Root()) {}
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

}  // namespace e2e
