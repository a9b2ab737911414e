// The end-to-end tests' side of working wizard.exe from the outside: lays out
// a medium, records what was started (through the recorder program), and
// drives the menu with the tool's own driver.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/unit/test_support.h"
#include "tools/medium_preview/wizard_driver.h"

namespace e2e {

// Set by main() from the command line.
struct Options {
    std::string dist;      // folder with wizard.exe, Online.dll, filemove.avi
    std::string recorder;  // the recorder program
    std::string disc;      // the root of a disc drive with a packed medium
};
Options& Settings();

void CopyOrFail(const std::string& from, const std::string& to);

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

// The menu's own driver (tools/medium_preview/wizard_driver.h), and a run of
// wizard.exe started from a medium of the tests.
using wizard_driver::Box;
using wizard_driver::ClickMouse;
using wizard_driver::DosPath;
using wizard_driver::MoveMouse;
using wizard_driver::ParkMouse;
using wizard_driver::WaitFor;

class Wizard : public wizard_driver::Wizard {
public:
    using wizard_driver::Wizard::Wizard;
    explicit Wizard(const Medium& medium) : wizard_driver::Wizard(medium.Root()) {}
};

}  // namespace e2e
