// Where the menu program's pictures, icons and hand cursor come from at the
// display's scale: the one place that loads artwork. At 96 DPI everything
// is the resources as they are; at a larger scale the pictures drawn for
// 150 % or 200 % (scaled down where the display needs less) and the icon and
// cursor sizes made for it.
#pragma once

#include <windows.h>

#include "platform/gdi.h"

#include <string>

namespace artwork {

// The system's DPI (the program is aware of it), 96 when it cannot be told.
int SystemDpi();

// The menu picture's size at `dpi` (159 x 271 pixels at 96).
SIZE MenuPictureSize(int dpi);
// The splash pictures' size at `dpi` (440 x 200 pixels at 96).
SIZE SplashPictureSize(int dpi);

// The menu picture for `dpi` at exactly MenuPictureSize(dpi): the medium's
// own picture at `ownPath` when one is named and can be used, else ours;
// false for ours at 96 DPI, where the template's bitmap stays.
bool LoadMenuPicture(int dpi, const std::string& ownPath, CBitmap& out);
// The medium's own picture at `path` filling `size` exactly (cut to its
// proportions, never stretched; platform::FillFrame); false when the file
// cannot be used, for whatever reason.
bool LoadMediumPicture(const std::string& path, SIZE size, CBitmap& out);
// The five splash pictures for `dpi`, in the order of the window's controls;
// false at 96 DPI, where the template's bitmaps stay.
bool LoadSplashPictures(int dpi, CBitmap (&out)[5]);

// Icon `id` at `size` x `size` pixels, from the size drawn for it (the
// nearest larger one scaled down where none is); the default size where
// that cannot be loaded. The caller destroys it (CIcon).
HICON LoadIconSized(UINT id, int size);
// The window's icon at `size` pixels: the medium's own icon file at
// `ownPath` when one is named and can be used, else the application icon.
HICON LoadWindowIcon(const std::string& ownPath, int size);
// The bullet icons' size at `dpi` (32 at 96).
int BulletIconSize(int dpi);

// The pointing hand at the system's scale (IDC_HAND_CURSOR), loaded once.
HCURSOR HandCursor();

}  // namespace artwork
