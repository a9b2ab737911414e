#include "menu/menu_logic.h"

#include "catalog/catalog_item.h"
#include "catalog/command.h"
#include "platform/codepage.h"

namespace menu {
namespace {

struct KeyIcon {
    const char* key;
    Bullet bullet;
};

const KeyIcon kKeyIcons[] = {
    {"JEK", Bullet::Jek}, {"ZOV", Bullet::Zov},   {"QXM", Bullet::App},
    {"YQ", Bullet::Yq},   {"BOOK", Bullet::Book}, {"CD", Bullet::CD},
    {"WEB", Bullet::Web}, {"FOLDER", Bullet::Folder},
};

}  // namespace

Bullet BulletForKey(const std::string& key) {
    for (const KeyIcon& k : kKeyIcons)
        if (key == k.key) return k.bullet;
    return Bullet::None;
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

std::string FolderOf(const std::string& programPath) {
    size_t slash = platform::CodePage::System().FindLast(programPath, '\\');
    if (slash == std::string::npos) return std::string();
    return programPath.substr(0, slash);
}

std::string FitFaceName(const std::string& face) {
    const size_t kMax = 31;
    platform::CodePage cp = platform::CodePage::System();
    size_t end = 0;
    while (end < face.size()) {
        size_t next = end + cp.CharLength(face, end);
        if (next > kMax) break;
        end = next;
    }
    return face.substr(0, end);
}

}  // namespace menu
