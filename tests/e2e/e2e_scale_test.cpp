// The menu and its splash at the display scales of today's laptops: the
// Wine prefix's LogPixels set before wizard.exe starts, the sample medium
// (and the branded example with its own pictures), and what the screen
// shows.
#include "driver.h"

#include "platform/handles.h"
#include "platform/image.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using e2e::Medium;
using e2e::WaitFor;
using e2e::Wizard;

namespace {

// The system DPI for the programs started while the object lives; the
// value before comes back afterwards.
class DisplayDpi {
public:
    explicit DisplayDpi(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &m_key, nullptr);
        DWORD size = sizeof m_old;
        m_had = RegQueryValueExA(m_key, "LogPixels", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&m_old), &size) == ERROR_SUCCESS;
        RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi);
    }
    ~DisplayDpi() {
        if (m_had)
            RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&m_old), sizeof m_old);
        else
            RegDeleteValueA(m_key, "LogPixels");
        RegCloseKey(m_key);
    }

private:
    HKEY m_key = nullptr;
    DWORD m_old = 0;
    bool m_had = false;
};

void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + "\\" + name, to + "\\" + name);
        else
            e2e::CopyOrFail(from + "\\" + name, to + "\\" + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

// The screen's pixels of a window's inside (0xRRGGBB).
platform::Pixels ScreenPixels(HWND hwnd) {
    platform::Pixels out;
    RECT r;
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    if (out.Empty()) return out;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, out.width, out.height);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, out.width, out.height, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    out.argb.resize(static_cast<size_t>(out.width) * out.height);
    GetDIBits(mem, bmp, 0, out.height, out.argb.data(), &bi, DIB_RGB_COLORS);
    for (uint32_t& p : out.argb) p &= 0xFFFFFF;
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

platform::Pixels Opaque(platform::Pixels p) {
    for (uint32_t& v : p.argb) v &= 0xFFFFFF;
    return p;
}

// Mean difference per colour channel, 0 to 255; -1 when the sizes differ.
double MeanDifference(const platform::Pixels& a, const platform::Pixels& b) {
    if (a.width != b.width || a.height != b.height || a.Empty()) return -1;
    double sum = 0;
    for (size_t i = 0; i < a.argb.size(); ++i)
        for (int c = 0; c < 3; ++c)
            sum += std::abs(static_cast<int>((a.argb[i] >> (8 * c)) & 0xFF) -
                            static_cast<int>((b.argb[i] >> (8 * c)) & 0xFF));
    return sum / (a.argb.size() * 3.0);
}

// `from` sampled at `width` x `height`, nearest pixel: a rough picture of
// what a picture of that size should show.
platform::Pixels Sampled(const platform::Pixels& from, int width, int height) {
    platform::Pixels out;
    out.width = width;
    out.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.argb.push_back(from.At(x * from.width / width, y * from.height / height));
    return out;
}

// True when icon group `id` of `module` holds an image of exactly `size`.
bool IconHasSize(HMODULE module, UINT id, int size) {
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    if (!res) return false;
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
    const int count = dir[4] | (dir[5] << 8);
    for (int i = 0; i < count; ++i) {
        const BYTE* e = dir + 6 + 14 * i;  // GRPICONDIRENTRY
        if ((e[0] ? e[0] : 256) == size && (e[1] ? e[1] : 256) == size) return true;
    }
    return false;
}

// The icon `id` at `size` drawn on the menu's background, as a bullet shows it.
platform::Pixels IconOnBackground(HMODULE module, UINT id, int size) {
    HICON icon = static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
    platform::Pixels out;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all = {0, 0, size, size};
    HBRUSH back = CreateSolidBrush(GetSysColor(COLOR_MENU));
    FillRect(mem, &all, back);
    DeleteObject(back);
    DrawIconEx(mem, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    out.width = out.height = size;
    const uint32_t* px = static_cast<const uint32_t*>(bits);
    out.argb.assign(px, px + size * size);
    for (uint32_t& p : out.argb) p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    DestroyIcon(icon);
    return out;
}

struct SplashSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindSplashWindow(HWND hwnd, LPARAM lp) {
    SplashSearch* f = reinterpret_cast<SplashSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == f->pid && IsWindowVisible(hwnd) && GetDlgItem(hwnd, IDC_SPLASH_PICTURE1)) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindSplash(DWORD pid) {
    SplashSearch f = {pid, nullptr};
    EnumWindows(FindSplashWindow, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

struct Scale {
    DWORD dpi;
    SIZE picture, splash;  // pixels the pictures take
    int bullet;            // the bullet icons' size
    UINT pictureArt, splashArt;  // what they show: a bitmap (96) or a PNG
    bool exact;            // that very picture, or one scaled down from it
    bool branded = false;  // the branded example: its own pictures, not ours
};

// A picture of the branded example as the menu fills a frame with it.
platform::Pixels BrandedArt(const char* name, SIZE frame) {
    return platform::FillFrame(
        platform::DecodePictureFile(std::string(BRANDED_MEDIUM) + "\\art\\" + name), frame.cx,
        frame.cy);
}

void CheckScale(const Scale& s) {
    const std::string exe = e2e::Settings().dist + "\\wizard.exe";
    // Freed however the case ends, a failed assertion too.
    CLoadedLibrary art;
    ASSERT_TRUE(art.LoadResources(exe.c_str()));
    const platform::Pixels picture =
        Opaque(s.branded      ? BrandedArt("picture.png", s.picture)
               : s.dpi == 96 ? platform::LoadBitmapPixels(art, s.pictureArt)
                             : platform::DecodeImageResource(art, s.pictureArt));
    const platform::Pixels splash =
        Opaque(s.branded      ? BrandedArt("splash1.png", s.splash)
               : s.dpi == 96 ? platform::LoadBitmapPixels(art, s.splashArt)
                             : platform::DecodeImageResource(art, s.splashArt));
    ASSERT_FALSE(picture.Empty());
    ASSERT_FALSE(splash.Empty());

    DisplayDpi dpi(s.dpi);
    Medium medium;
    CopyTree(s.branded ? BRANDED_MEDIUM : SOURCE_DIR "\\examples\\medium", medium.Root());
    // Folders whose descriptors name nothing, below one that comes last,
    // keep the splash up while they are read; more of them when it was gone
    // before it could be read.
    medium.Product("zz", "name=More\r\npriority=99\r\n");
    platform::Pixels shownSplash;
    RECT inside = {};
    int folders = 0;
    bool seen = false;
    for (int attempt = 0; attempt < 3 && !seen; ++attempt) {
        for (const int more = 300 << attempt; folders < more; ++folders)
            medium.Product("zz\\f" + std::to_string(folders), "");
        std::string line = "\"" + medium.Path("wizard.exe") + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(CreateProcessA(medium.Path("wizard.exe").c_str(), &line[0], nullptr,
                                   nullptr, FALSE, 0, nullptr, medium.Root().c_str(), &si, &pi));
        HWND splashWnd = nullptr;
        WaitFor([&] { return (splashWnd = FindSplash(pi.dwProcessId)) != nullptr; }, 20000);
        if (splashWnd) {
            Sleep(200);  // let it paint
            shownSplash = ScreenPixels(GetDlgItem(splashWnd, IDC_SPLASH_PICTURE1));
            GetClientRect(splashWnd, &inside);
            seen = IsWindowVisible(splashWnd) != FALSE;
        }
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    ASSERT_TRUE(seen) << "no splash at " << s.dpi;

    EXPECT_EQ(shownSplash.width, s.splash.cx) << s.dpi;
    EXPECT_EQ(shownSplash.height, s.splash.cy) << s.dpi;
    // The picture fills the window's inside: no band, nothing cut.
    EXPECT_EQ(inside.right, s.splash.cx) << s.dpi;
    EXPECT_EQ(inside.bottom, s.splash.cy) << s.dpi;

    medium.Remove("zz");
    Wizard wizard(medium);
    ASSERT_TRUE(wizard.Started());
    const platform::Pixels shownPicture = ScreenPixels(wizard.Control(IDC_PICTURE));
    EXPECT_EQ(shownPicture.width, s.picture.cx) << s.dpi;
    EXPECT_EQ(shownPicture.height, s.picture.cy) << s.dpi;
    if (s.exact) {
        EXPECT_TRUE(shownPicture.argb == picture.argb) << "menu picture at " << s.dpi;
        EXPECT_TRUE(shownSplash.argb == splash.argb) << "splash at " << s.dpi;
    } else {
        // Scaled down from the larger drawing: close to it everywhere.
        EXPECT_LT(MeanDifference(shownPicture, Sampled(picture, s.picture.cx, s.picture.cy)), 6)
            << s.dpi;
        EXPECT_LT(MeanDifference(shownSplash, Sampled(splash, s.splash.cx, s.splash.cy)), 6)
            << s.dpi;
    }

    // The first option of the sample medium has the YQ icon, the branded
    // example's the disc.
    const UINT firstIcon = s.branded ? IDI_CD : IDI_YQ;
    EXPECT_TRUE(IconHasSize(art, firstIcon, s.bullet)) << s.dpi;
    platform::Pixels bullet = ScreenPixels(wizard.Control(IDC_BULLET1));
    EXPECT_EQ(bullet.width, s.bullet) << s.dpi;
    EXPECT_EQ(bullet.height, s.bullet) << s.dpi;
    // The next line's bullet may cover the last rows (the template's lines
    // are closer than the icons are high); those are left out.
    RECT first, second;
    GetWindowRect(wizard.Control(IDC_BULLET1), &first);
    GetWindowRect(wizard.Control(IDC_BULLET2), &second);
    const int rows = std::min<int>(bullet.height, second.top - first.top);
    platform::Pixels icon = IconOnBackground(art, firstIcon, s.bullet);
    bullet.argb.resize(static_cast<size_t>(bullet.width) * rows);
    icon.argb.resize(static_cast<size_t>(icon.width) * rows);
    EXPECT_GT(rows, s.bullet * 3 / 4) << s.dpi;
    EXPECT_TRUE(bullet.argb == icon.argb) << "bullet at " << s.dpi;

    // Layout: the description line inside the window and below the picture,
    // the title's text not reaching its control's right edge.
    RECT client, description, frame, title;
    GetClientRect(wizard.Window(), &client);
    GetWindowRect(wizard.Control(IDC_DESCRIPTION), &description);
    GetWindowRect(wizard.Control(IDC_PICTURE), &frame);
    GetWindowRect(wizard.Control(IDC_TITLE), &title);
    MapWindowPoints(nullptr, wizard.Window(), reinterpret_cast<POINT*>(&description), 2);
    MapWindowPoints(nullptr, wizard.Window(), reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_LE(description.right, client.right) << s.dpi;
    EXPECT_LE(description.bottom, client.bottom) << s.dpi;
    EXPECT_GT(description.top, frame.bottom) << s.dpi;
    const platform::Pixels titleText = ScreenPixels(wizard.Control(IDC_TITLE));
    const uint32_t background = titleText.At(titleText.width - 1, 0);
    for (int y = 0; y < titleText.height; ++y)
        EXPECT_EQ(titleText.At(titleText.width - 1, y), background) << "title cut at " << s.dpi;
}

const Scale kScales[] = {
    {96, {159, 271}, {440, 200}, 32, IDB_PICTURE, IDB_SPLASH_1, true},
    {120, {199, 339}, {550, 250}, 40, IDR_PICTURE_150, IDR_SPLASH_150_1, false},
    {144, {239, 407}, {660, 300}, 48, IDR_PICTURE_150, IDR_SPLASH_150_1, true},
    {192, {318, 542}, {880, 400}, 64, IDR_PICTURE_200, IDR_SPLASH_200_1, true},
};

// The branded example's own pictures, drawn for 200 %: shrunk at 100 %.
const Scale kBranded[] = {
    {96, {159, 271}, {440, 200}, 32, 0, 0, true, true},
    {192, {318, 542}, {880, 400}, 64, 0, 0, true, true},
};

TEST(DisplayScale, BrandedAt96) { CheckScale(kBranded[0]); }
TEST(DisplayScale, BrandedAt192) { CheckScale(kBranded[1]); }
TEST(DisplayScale, At96) { CheckScale(kScales[0]); }
TEST(DisplayScale, At120) { CheckScale(kScales[1]); }
TEST(DisplayScale, At144) { CheckScale(kScales[2]); }
TEST(DisplayScale, At192) { CheckScale(kScales[3]); }

}  // namespace
