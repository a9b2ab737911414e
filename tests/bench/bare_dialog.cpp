// The yardstick of the start-up benchmark: a program that shows one dialog
// of the menu window's size, style, font and caption, with nothing in it,
// and ends when the dialog is closed.
#include <windows.h>

#include "resources/resource.h"

namespace {

INT_PTR CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wp) == IDCANCEL || LOWORD(wp) == IDOK)) {
        EndDialog(wnd, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MENU), nullptr, &BareProc, 0);
    return 0;
}
