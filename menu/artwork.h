// Where the menu program's pictures, icons and hand cursor come from at the
// display's scale: the one place that loads artwork. At 96 DPI everything
// is the resources as they are; at a larger scale the pictures drawn for
// 150 % or 200 % (scaled down where the display needs less) and the icon and
// cursor sizes made for it.
#pragma once

#include <windows.h>

#include "platform/gdi.h"

namespace artwork {

// The system's DPI (the program is aware of it), 96 when it cannot be told.
int SystemDpi();

// The menu picture's size at `dpi` (159 x 271 pixels at 96).
SIZE MenuPictureSize(int dpi);
// The splash pictures' size at `dpi` (440 x 200 pixels at 96).
SIZE SplashPictureSize(int dpi);

// The menu picture for `dpi` at exactly MenuPictureSize(dpi); false at 96
// DPI, where the template's bitmap stays.
bool LoadMenuPicture(int dpi, CBitmap& out);
// The five splash pictures for `dpi`, in the order of the window's controls;
// false at 96 DPI, where the template's bitmaps stay.
bool LoadSplashPictures(int dpi, CBitmap (&out)[5]);

// Icon `id` at `size` x `size` pixels, from the size drawn for it (the
// nearest larger one scaled down where none is); the default size where
// that cannot be loaded. The caller destroys it (CIcon).
HICON LoadIconSized(UINT id, int size);
// The bullet icons' size at `dpi` (32 at 96).
int BulletIconSize(int dpi);

// The pointing hand at the system's scale (IDC_HAND_CURSOR), loaded once.
HCURSOR HandCursor();

}  // namespace artwork
