// A stand-in for a product's setup program (and for a web browser): it
// appends the command line it was given and the folder it was started in to
// the file that WIZARD_E2E_RECORD names, then ends at once.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char record[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("WIZARD_E2E_RECORD", record, sizeof record);
    if (n == 0 || n >= sizeof record) return 2;
    char folder[MAX_PATH];
    DWORD m = GetCurrentDirectoryA(sizeof folder, folder);
    if (m == 0 || m >= sizeof folder) folder[0] = '\0';

    std::string line = std::string("cmd=") + GetCommandLineA() + "\r\ncwd=" + folder + "\r\n";
    // Several starts may race for the file; retry while another holds it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE h = CreateFileA(record, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(h);
            return written == line.size() ? 0 : 1;
        }
        Sleep(20);
    }
    return 1;
}
