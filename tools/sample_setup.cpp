// The setup program of the sample medium (make demo): it installs nothing
// and says where it was started from and with what command line, which is
// what a medium's author wants to see when trying a menu.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string text = std::string("This sample setup program installs nothing.\n\n"
                                         "Command line: ") +
                             GetCommandLineA() + "\nStarted in: " + folder;
    MessageBoxA(nullptr, text.c_str(), "Sample setup", MB_OK | MB_ICONINFORMATION);
    return 0;
}
