// The one binary contract between the menu program and Online.dll.
//
// The menu program loads "Online.dll" at run time, looks up "Download" with
// GetProcAddress and calls it through DownloadFunc. Both sides include this
// header and nothing else of each other.
//
//   pParent  the caller's window object. The library reads its m_hWnd and
//            nothing else, and uses it as the owner of the modal progress
//            dialog (disabled while the dialog is up). The pointer and the
//            handle may be null: the dialog then has no owner. A caller whose
//            window class derives from DownloadParent passes itself; any
//            other caller passes a DownloadParent holding its handle.
//   pszURL   the source address, copied; shown as the dialog's caption.
//   pszDest  the full path of the destination file, copied; created or
//            truncated once the source has been opened.
//
// Returns the dialog's end code: 1 when the data was copied to its end, 2
// after Cancel or a failed transfer, -1 when the dialog could not be made.
// Both strings need to be valid only during the call. It returns within a
// second of Cancel, whatever the server does. On Windows nothing the library
// starts outlives the call. Under Wine a call of the Internet client that
// waits on the server cannot be ended from another thread, and closing a
// request whose body is still arriving makes the client read the rest; so
// after Cancel or a failure the transfer's thread may outlive the call: until
// the server sends or hangs up (at the latest when the 30 s receive time-out
// runs out), or until a body the server sends faster than the client throws
// it away has arrived. That thread holds a reference of its own to the
// library, which stays loaded until it ends; it counts, writes and asks for
// nothing more. The export is a plain C-linkage function with the default
// (cdecl) calling convention, named exactly "Download".
#pragma once

#include <windows.h>

struct DownloadParent {
    HWND m_hWnd;
};

// The exported name, for GetProcAddress.
#define DOWNLOAD_EXPORT_NAME "Download"

typedef int (*DownloadFunc)(const DownloadParent* pParent, const char* pszURL,
                            const char* pszDest);
