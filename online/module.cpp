// The library as a module: its start-up, its handle and its name.
#include "online/module.h"

#include <commctrl.h>

namespace {
HINSTANCE g_hInstance = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        DisableThreadLibraryCalls(hInstance);
        // The progress dialog's animation control.
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&icc);
    }
    return TRUE;
}

HINSTANCE OnlineInstance() { return g_hInstance; }

std::string OnlineAppName() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_hInstance, path, sizeof path);
    std::string name(path, n < sizeof path ? n : 0);
    std::string::size_type slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name.empty() ? "Online" : name;
}
