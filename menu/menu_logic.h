// The decisions of the menu window that need no window: which bullet an
// option gets, what the description line says, how the title font grows,
// and where the program's own folder is. Both builds compile this.
#pragma once

#include <string>

class CCatalogItem;

namespace menu {

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

// The folder of a program path: the path up to, not including, its last
// backslash. Empty when there is none.
std::string FolderOf(const std::string& programPath);

// A face name as a font description holds it: at most 31 bytes, cut
// before a double-byte character that would not fit whole.
std::string FitFaceName(const std::string& face);

}  // namespace menu
