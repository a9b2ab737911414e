#include "menu/menu_logic.h"

#include <algorithm>

#include "catalog/catalog_item.h"
#include "catalog/command.h"

namespace menu {

namespace {

struct KeyIcon {
    const char* key;
    Bullet bullet;
};

const KeyIcon kKeyIcons[] = {
    {"CD", Bullet::CD},   {"WEB", Bullet::Web}, {"FOLDER", Bullet::Folder},
    {"BOOK", Bullet::Book}, {"QXM", Bullet::App}, {"JEK", Bullet::Jek},
    {"ZOV", Bullet::Zov}, {"YQ", Bullet::Yq},
};

}  // namespace

Bullet BulletForKey(const std::string& key) {
    for (const KeyIcon& k : kKeyIcons)
        if (key == k.key) return k.bullet;
    return Bullet::None;
}

std::vector<std::string> IconKeys() {
    std::vector<std::string> keys;
    for (const KeyIcon& k : kKeyIcons) keys.push_back(k.key);
    return keys;
}

BulletChoice ChooseBullet(const CCatalogItem* item, bool title) {
    if (!item) return {Bullet::None, Bullet::None};
    if (title && !item->m_pParent) return {Bullet::None, Bullet::None};
    if (title) return {Bullet::None, Bullet::Up};
    Bullet byKey = BulletForKey(item->GetIcon());
    std::string command = item->GetFile();
    if (command::EndsWithBackslash(command)) return {byKey, Bullet::Folder};
    // The same test as activation's, so that a globe always means the
    // address goes to the shell or is downloaded.
    if (command::IsAddress(command)) return {byKey, Bullet::Web};
    return {byKey, Bullet::CD};
}

std::string DescriptionText(const CCatalogItem& item, bool title) {
    if (title)
        return item.m_pParent ? item.m_pParent->GetDisplayDescription() : item.GetTitle();
    std::string text = item.GetDisplayDescription();
    std::string command = item.GetFile();
    if (item.m_children.empty() && !command::EndsWithBackslash(command))
        text += "\n(" + command + ")";
    return text;
}

long TitleFontMeasure(long normal) {
    // Exactly 1.2 times, without the rounding of a binary fraction.
    return normal * 12 / 10;
}

int ScaleToDpi(int px, int dpi) {
    const long long n = static_cast<long long>(px) * dpi;
    return static_cast<int>(n >= 0 ? (n + 48) / 96 : -((-n + 48) / 96));
}

int ArtworkPercent(int dpi) {
    if (dpi <= 96) return 100;
    if (dpi <= 144) return 150;
    return 200;
}

int HandCursorSize(int dpi) {
    const int wanted = ScaleToDpi(32, dpi);
    if (wanted >= 64) return 64;
    if (wanted >= 48) return 48;
    return 32;
}

MenuLayout FitMenuLayout(const MenuLayout& at, int pictureWidth, int pictureHeight, int border,
                         const int (&textWidths)[MenuLayout::kLines]) {
    MenuLayout out = at;
    // The template's margins around the description line (none where it
    // already reaches past the window's edge).
    const int rightMargin = std::max(0, at.width - at.description.right);
    const int bottomMargin = std::max(0, at.height - at.description.bottom);

    out.picture.right = at.picture.left + pictureWidth + 2 * border;
    out.picture.bottom = at.picture.top + pictureHeight + 2 * border;

    // The column of bullets and texts, and the description line, stay where
    // they are while the frame keeps at least half the template's distance
    // from them; closer than that, they move to the template's distance.
    int column = at.bullets[0].left;
    for (const Box& b : at.bullets) column = std::min(column, b.left);
    for (const Box& t : at.texts) column = std::min(column, t.left);
    const int gapX = std::max(0, column - at.picture.right);
    const int gapY = std::max(0, at.description.top - at.picture.bottom);
    const int dx = out.picture.right > column - gapX / 2 ? out.picture.right + gapX - column : 0;
    const int dy = out.picture.bottom > at.description.top - gapY / 2
                       ? out.picture.bottom + gapY - at.description.top
                       : 0;

    int right = at.description.right + dx;
    for (int i = 0; i < MenuLayout::kLines; ++i) {
        out.bullets[i].left += dx;
        out.bullets[i].right += dx;
        out.texts[i].left += dx;
        out.texts[i].right += dx;
        // A text may widen its line by a quarter at most: room for what a
        // face draws wider at one scale than at another, while a title far
        // too long for its line stays cut (and medium-preview reports it)
        // rather than pushing the window off the screen.
        const int line = at.texts[i].right - at.texts[i].left;
        const int need = std::min(textWidths[i], line + line / 4);
        out.texts[i].right = std::max(out.texts[i].right, out.texts[i].left + need);
        right = std::max(right, out.texts[i].right);
    }
    out.description.top += dy;
    out.description.bottom += dy;
    out.description.right = right;

    out.width = std::max(at.width, right + rightMargin);
    out.height = std::max(at.height, out.description.bottom + bottomMargin);
    return out;
}

}  // namespace menu
