// Pictures between resources, pixels and bitmaps. Windows only.
#pragma once

#include <windows.h>

#include "platform/gdi.h"
#include "platform/pixels.h"

namespace platform {

// The pixels of a compressed picture (PNG) held as RCDATA resource `id` of
// `module`, read with the system's imaging component. Empty when there is
// no such resource or no component that reads it (systems before Windows
// XP SP3 may lack it).
Pixels DecodeImageResource(HINSTANCE module, UINT id);

// The pixels of a bitmap resource (any colour depth), or empty.
Pixels LoadBitmapPixels(HINSTANCE module, UINT id);

// A 32-bit bitmap holding `pixels`, or null when empty or out of memory.
HBITMAP CreatePixelBitmap(const Pixels& pixels);

}  // namespace platform
