// Online.dll's one service: the Download export.
#include "online/download_api.h"
#include "online/download_dlg.h"

#include <type_traits>

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
