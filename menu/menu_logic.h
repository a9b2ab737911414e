// The decisions of the menu window that need no window: how many options a
// page shows, which bullet an option gets, what the description line says,
// how the title font grows, and how the window fits the display. Both
// builds compile this.
#pragma once

#include "resources/slots.h"

#include <string>
#include <vector>

class CCatalogItem;

namespace menu {

// The option slots of a page are the first kSlots children of the node
// shown (resources/slots.h).

// The icons a bullet can show (members of the menu window).
enum class Bullet {
    None,    // no icon
    App,     // the application icon, key "QXM"
    CD,      // a compact disc: a program or document on the medium
    Web,     // a globe: an Internet address
    Folder,  // a closed folder: a sub-menu
    Up,      // a folder with an upward arrow: the title of a sub-menu
    Jek,
    Zov,
    Yq,
    Book,
};

// The icon of an icon key ("JEK", "ZOV", "QXM", "YQ", "BOOK", "CD", "WEB",
// "FOLDER"), compared byte for byte; None for any other key.
Bullet BulletForKey(const std::string& key);
// Every key BulletForKey knows, those of the command's own icons first.
std::vector<std::string> IconKeys();

// A slot's bullet: the icon its key asks for, and the one its command
// gives when the key asks for none (or that icon failed to load).
struct BulletChoice {
    Bullet byKey;
    Bullet byCommand;
};
// `item` is the slot's item (null for an empty slot); `title` is true for
// the title slot.
BulletChoice ChooseBullet(const CCatalogItem* item, bool title);

// The description line for a slot's item. The title slot describes where a
// click on it leads (the parent), or names the root. An option that runs
// something shows its command in parentheses on a second line.
std::string DescriptionText(const CCatalogItem& item, bool title);

// A font measure of the title: 1.2 times the normal one, truncated toward
// zero (-16 gives -19, 0 stays 0).
long TitleFontMeasure(long normal);

// Display scale. Lengths of the program's artwork are given for 96 DPI
// (100 %); the system's DPI says how many pixels they take on this display.

// The frames of the pictures at 96 DPI, in pixels: the picture at the left
// of the menu window and the splash pictures.
const int kPictureWidth = 159, kPictureHeight = 271;
const int kSplashWidth = 440, kSplashHeight = 200;

// `px` pixels at 96 DPI at `dpi`, rounded to the nearest pixel (half away
// from zero, as MulDiv rounds).
int ScaleToDpi(int px, int dpi);

// Which drawing of the pictures serves `dpi`: 100 (the bitmaps, up to 96
// DPI), otherwise 150 or 200, the smallest one at least as large as the
// display needs, so that it is only ever scaled down; 200 above 192 DPI.
int ArtworkPercent(int dpi);

// The size of the hand cursor at `dpi`: of the sizes it is drawn at (32, 48,
// 64), the largest that is not larger than the display needs, so that it is
// never scaled up; 32 at and below 96 DPI.
int HandCursorSize(int dpi);

// A rectangle in the menu window's client pixels.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Where the menu window's parts are: the picture's frame, the bullets and
// texts of the title and the seven slots, the description line, and the
// size of the window's inside.
struct MenuLayout {
    static const int kLines = kSlots + 1;  // the title, then the slots
    Box picture;
    Box bullets[kLines];
    Box texts[kLines];
    Box description;
    int width = 0, height = 0;
};

// The layout of `at` (the template's, at this display's scale) fitted to
// the picture and the texts actually shown:
// - the picture's frame holds `pictureWidth` x `pictureHeight` pixels and
//   `border` on each side, so that no band is left and nothing is cut;
// - the bullets and texts to its right, and the description line below it,
//   stay where they are while the frame keeps at least half the template's
//   distance from them, else move to the template's distance;
// - a text wider than its line (`textWidths`, pixels) gets the room it needs,
//   up to a quarter more than the line;
// - the window grows until the description line and the texts fit inside it
//   with the template's margins.
MenuLayout FitMenuLayout(const MenuLayout& at, int pictureWidth, int pictureHeight, int border,
                         const int (&textWidths)[MenuLayout::kLines]);

}  // namespace menu
