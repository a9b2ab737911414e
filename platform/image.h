// Pictures between resources, pixels and bitmaps. Windows only.
#pragma once

#include <windows.h>

#include "platform/gdi.h"
#include "platform/pixels.h"

#include <string>

namespace platform {

// The pixels of a compressed picture (PNG) held as RCDATA resource `id` of
// `module`, read with the system's imaging component. Empty when there is
// no such resource or no component that reads it (systems before Windows
// XP SP3 may lack it).
Pixels DecodeImageResource(HINSTANCE module, UINT id);

// The pixels of the PNG, JPEG or BMP picture file at `path`, read with the
// imaging component (without it, or when `withImaging` is false, BMP
// alone). Empty when the file is missing, a folder, larger than
// kMostPictureBytes, not such a picture, damaged, or larger than
// kMostPictureSide on a side: the file is looked at before anything is
// decoded (platform/picture_file.h).
Pixels DecodePictureFile(const std::string& path, bool withImaging = true);

// The icon file (.ico) at `path` at `size` x `size` pixels, from its image
// of that size or the one ChooseIconImage picks. Null when the file cannot
// be used (as for pictures). The caller destroys it.
HICON LoadIconFile(const std::string& path, int size);

// The pixels of a bitmap resource (any colour depth), or empty.
Pixels LoadBitmapPixels(HINSTANCE module, UINT id);

// A 32-bit bitmap holding `pixels`, or null when empty or out of memory.
HBITMAP CreatePixelBitmap(const Pixels& pixels);

}  // namespace platform
