// Online.dll: its start-up and the Download export.
#include "online/download_api.h"
#include "online/download_dlg.h"
#include "online/module.h"

#include <commctrl.h>

#include <type_traits>

namespace {
HINSTANCE g_hInstance = nullptr;
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

extern "C" int Download(const DownloadParent* pParent, const char* pszURL,
                        const char* pszDest) {
    // The signature must stay the one the menu program calls through.
    static_assert(std::is_same<decltype(&Download), DownloadFunc>::value,
                  "Download must match DownloadFunc");
    try {
        CDownloadDlg dlg(pParent ? pParent->m_hWnd : nullptr);
        dlg.SetURL(pszURL ? pszURL : "");
        dlg.SetDest(pszDest ? pszDest : "");
        return static_cast<int>(dlg.DoModal());
    } catch (...) {
        return -1;
    }
}
