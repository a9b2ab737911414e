// What a click on an option does with its item: show its page, start its
// program, give its address to the shell, or download a program through
// Online.dll and start that.
#include "menu/menu_dlg.h"

#include "catalog/command.h"
#include "online/download_api.h"
#include "platform/handles.h"
#include "platform/sha256.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <vector>

namespace {

const char kOnlineLibrary[] = "Online.dll";
const char kLaunchCaption[] = "Error";
// What Download returns for a file copied to its end.
const int kDownloaded = 1;

// A downloaded program, open for reading with no one else allowed to write,
// rename or delete it: what was checked is what is started.
class CheckedFile {
public:
    explicit CheckedFile(const std::string& path)
        : m_h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}

    // The SHA-256 of the whole file; empty when it cannot be read.
    std::string Digest() {
        if (!m_h.IsOpen()) return "";
        platform::Sha256 hash;
        std::vector<char> buffer(64 * 1024);
        DWORD got = 0;
        do {
            if (!ReadFile(m_h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
                return "";
            if (!hash.Update(buffer.data(), got)) return "";
        } while (got > 0);
        return hash.HexDigest();
    }
    void Close() { m_h.Close(); }

private:
    CHandle m_h;
};

// The calling thread's last error after a failed start, never
// ERROR_SUCCESS: a failure is never taken for a start, even one the
// system left without a code.
DWORD StartFailure() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED;
}

}  // namespace

void CMenuDlg::ActivateItem(CCatalogItem* pItem) {
    // The bullet of an empty slot still reports clicks: there is nothing
    // to activate then.
    if (!pItem) return;
    std::string command = pItem->GetFile();

    switch (command::Classify(command)) {
    case command::Kind::SubMenu:
        OpenSubMenu(pItem);
        return;
    case command::Kind::Program:
        break;
    case command::Kind::Shell: {
        const HINSTANCE opened = ShellExecuteA(nullptr, nullptr, command.c_str(), nullptr,
                                               nullptr, SW_RESTORE);
        if (reinterpret_cast<INT_PTR>(opened) > 32) {
            CDialog::OnOK();
            return;
        }
        // The shell could not: the address is started as it is below.
        break;
    }
    case command::Kind::Download: {
        const std::string pin = pItem->GetSha256();
        if (pin.empty()) {
            command = DownloadProgram(command);
            if (command.empty()) return;
            break;
        }
        // An author who asked for a check never gets an unchecked program.
        if (!command::IsSha256Digest(pin)) {
            ShowNotTheFile();
            return;
        }
        // Only a file that arrived is checked and started, never the address.
        const std::string arrived = DownloadProgram(command);
        if (!arrived.empty() && command::Classify(arrived) == command::Kind::Program)
            LaunchChecked(arrived, pin);
        return;
    }
    }

    AfterLaunch(LaunchProgram(command.c_str()), command);
}

void CMenuDlg::AfterLaunch(Launch launched, const std::string& command) {
    switch (launched) {
    case Launch::Started:
        CDialog::OnOK();
        break;
    case Launch::Declined:
        // The user said no to Windows' own question: nothing to tell them.
        break;
    case Launch::Failed:
        ShowUnableToStart(command);
        break;
    }
}

std::string CMenuDlg::DownloadProgram(const std::string& address) {
    // Loaded for this one call and freed as soon as it returns.
    CLoadedLibrary library;
    if (!library.Load(kOnlineLibrary)) {
        ShowUnableToStart(kOnlineLibrary);
        return address;
    }
    const DownloadFunc download = library.Export<DownloadFunc>(DOWNLOAD_EXPORT_NAME);
    if (!download) return address;
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    temp[sizeof temp - 1] = '\0';
    const std::string destination = command::DownloadDestination(temp, address);

    const DownloadParent parent = {m_hWnd};
    const int result = download(&parent, address.c_str(), destination.c_str());
    return result == kDownloaded ? destination : std::string();
}

void CMenuDlg::LaunchChecked(const std::string& path, const std::string& pin) {
    CheckedFile file(path);
    if (!command::SameDigest(file.Digest(), pin)) {
        file.Close();
        DeleteFileA(path.c_str());
        ShowNotTheFile();
        return;
    }
    // Still held open until the process exists, whichever way it is
    // started: the process is made from the bytes just checked.
    const Launch launched = LaunchProgram(path.c_str());
    file.Close();
    AfterLaunch(launched, path);
}

void CMenuDlg::ShowNotTheFile() {
    const std::string text = m_translator.GetText(IDS_DOWNLOAD_MISMATCH);
    const std::string caption = m_translator.GetText(IDS_ERROR);
    ::MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CMenuDlg::ShowUnableToStart(const std::string& what) {
    const std::string text = m_translator.GetText(IDS_UNABLE_TO_START) + " " + what;
    const std::string caption = m_translator.GetText(IDS_ERROR);
    ::MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

CMenuDlg::Launch CMenuDlg::LaunchProgram(const char* pszPath) {
    std::string path = pszPath ? pszPath : "";
    // The folder comes from the path as given, not from its short form.
    const std::string folder = command::WorkingFolder(path);

    // Only a short form that the system produced whole replaces the path; a
    // failed conversion (a missing file, say) keeps it as given, so that the
    // system's reason below names the real problem.
    char shortPath[MAX_PATH] = "";
    const DWORD n = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    if (n > 0 && n < sizeof shortPath) path.assign(shortPath, n);

    DWORD error = CreateProgramProcess(path, folder);
    // A program that asks for administrator rights (by its manifest, or
    // because Windows takes it for a setup program) is refused here. The
    // shell starts it as a double click does, once the user has agreed.
    if (error == ERROR_ELEVATION_REQUIRED) {
        error = ShellStartProgram(m_hWnd, path, folder);
        if (error == ERROR_CANCELLED) return Launch::Declined;
    }
    if (error == ERROR_SUCCESS) return Launch::Started;

    CSystemText systemText;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                       FORMAT_MESSAGE_FROM_SYSTEM,
                   nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   systemText.Receive(), 0, nullptr);
    const std::string text = command::LaunchFailureText(systemText.Get(), error);
    ::MessageBoxA(m_hWnd, text.c_str(), kLaunchCaption, MB_OK | MB_ICONINFORMATION);
    return Launch::Failed;
}

DWORD CMenuDlg::CreateProgramProcess(const std::string& path, const std::string& folder) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.wShowWindow = SW_SHOW;

    const std::string line = command::CommandLine(path);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.resize(line.size() + 1 > MAX_PATH ? line.size() + 1 : MAX_PATH, '\0');

    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        NORMAL_PRIORITY_CLASS, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return StartFailure();
    // The program is not waited for.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ERROR_SUCCESS;
}

DWORD CMenuDlg::ShellStartProgram(HWND owner, const std::string& path,
                                  const std::string& folder) {
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    // Back only once the process exists (NOASYNC, and its handle), with no
    // box of the shell's own: the menu tells of a failure itself.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;  // the consent prompt belongs to the menu
    info.lpFile = path.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOW;
    if (!ShellExecuteExA(&info)) return StartFailure();
    if (info.hProcess) CloseHandle(info.hProcess);
    return ERROR_SUCCESS;
}
