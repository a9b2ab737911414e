#include "menu/artwork.h"

#include "menu/menu_logic.h"
#include "platform/image.h"
#include "platform/window.h"
#include "resources/resource.h"

namespace artwork {

namespace {

const SIZE kPicture96 = {menu::kPictureWidth, menu::kPictureHeight};
const SIZE kSplash96 = {menu::kSplashWidth, menu::kSplashHeight};
const UINT kSplashBitmaps[5] = {IDB_SPLASH_1, IDB_SPLASH_2, IDB_SPLASH_3, IDB_SPLASH_4,
                                IDB_SPLASH_5};

SIZE ScaledSize(SIZE at96, int dpi) {
    SIZE s = {menu::ScaleToDpi(at96.cx, dpi), menu::ScaleToDpi(at96.cy, dpi)};
    return s;
}

// `pixels` brought to `size` and made a bitmap in `out`.
bool ToBitmap(const platform::Pixels& pixels, SIZE size, CBitmap& out) {
    if (pixels.Empty()) return false;
    if (pixels.width == size.cx && pixels.height == size.cy)
        return out.Attach(platform::CreatePixelBitmap(pixels));
    return out.Attach(platform::CreatePixelBitmap(platform::Resample(pixels, size.cx, size.cy)));
}

}  // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

SIZE MenuPictureSize(int dpi) { return ScaledSize(kPicture96, dpi); }
SIZE SplashPictureSize(int dpi) { return ScaledSize(kSplash96, dpi); }

bool LoadMediumPicture(const std::string& path, SIZE size, CBitmap& out) {
    const platform::Pixels pixels = platform::DecodePictureFile(path);
    if (pixels.Empty()) return false;
    return out.Attach(platform::CreatePixelBitmap(platform::FillFrame(pixels, size.cx, size.cy)));
}

bool LoadMenuPicture(int dpi, const std::string& ownPath, CBitmap& out) {
    if (!ownPath.empty() && LoadMediumPicture(ownPath, MenuPictureSize(dpi), out)) return true;
    const int percent = menu::ArtworkPercent(dpi);
    if (percent == 100) return false;
    HINSTANCE module = ResourceInstance();
    platform::Pixels pixels =
        platform::DecodeImageResource(module, percent == 150 ? IDR_PICTURE_150 : IDR_PICTURE_200);
    // Without the imaging component: the 96-DPI bitmap, scaled.
    if (pixels.Empty()) pixels = platform::LoadBitmapPixels(module, IDB_PICTURE);
    return ToBitmap(pixels, MenuPictureSize(dpi), out);
}

bool LoadSplashPictures(int dpi, CBitmap (&out)[5]) {
    const int percent = menu::ArtworkPercent(dpi);
    if (percent == 100) return false;
    HINSTANCE module = ResourceInstance();
    const UINT first = percent == 150 ? IDR_SPLASH_150_1 : IDR_SPLASH_200_1;
    platform::Pixels steps[5];
    steps[0] = platform::DecodeImageResource(module, first);
    bool drawn = !steps[0].Empty();
    for (int i = 1; i < 5 && drawn; ++i) {
        platform::Pixels difference = platform::DecodeImageResource(module, first + i);
        drawn = difference.width == steps[0].width && difference.height == steps[0].height;
        steps[i] = steps[0];
        platform::Overlay(steps[i], difference);
    }
    for (int i = 0; i < 5; ++i) {
        if (!drawn) steps[i] = platform::LoadBitmapPixels(module, kSplashBitmaps[i]);
        if (!ToBitmap(steps[i], SplashPictureSize(dpi), out[i])) return false;
    }
    return true;
}

HICON LoadIconSized(UINT id, int size) {
    HINSTANCE module = ResourceInstance();
    HICON icon = static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    // Systems that cannot read a size's compressed image: the default size.
    if (!icon)
        icon = static_cast<HICON>(
            LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    return icon;
}

HICON LoadWindowIcon(const std::string& ownPath, int size) {
    HICON own = ownPath.empty() ? nullptr : platform::LoadIconFile(ownPath, size);
    return own ? own : LoadIconSized(IDR_MAINFRAME, size);
}

int BulletIconSize(int dpi) { return menu::ScaleToDpi(32, dpi); }

HCURSOR HandCursor() {
    static HCURSOR hand = [] {
        const int size = menu::HandCursorSize(SystemDpi());
        HCURSOR c = static_cast<HCURSOR>(LoadImageA(ResourceInstance(),
                                                    MAKEINTRESOURCEA(IDC_HAND_CURSOR),
                                                    IMAGE_CURSOR, size, size, LR_DEFAULTCOLOR));
        return c ? c : LoadCursorA(ResourceInstance(), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    }();
    return hand;
}

}  // namespace artwork
