// The menu window's decisions that need no window: bullets, description
// lines, the title font's measures, the program's folder and face names.
#include "menu/menu_logic.h"

#include "catalog/catalog_item.h"
#include "catalog/command.h"
#include "localisation/translator.h"
#include "platform/codepage.h"
#include "platform/system.h"

#include "tests/unit/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

using menu::Bullet;

using testing_support::kHyou;
using testing_support::kSo;

namespace {


// A root with one child that carries `key` and `command`.
struct Tree {
    CCatalogItem root;
    CCatalogItem* child;
    Tree(const std::string& key, const std::string& command) {
        std::unique_ptr<CCatalogItem> item(new CCatalogItem);
        item->m_strName = "Child";
        item->SetIcon(key);
        item->SetFile(command);
        child = item.get();
        root.m_strName = "Root";
        root.AddChild(std::move(item));
    }
};

// A new child of `parent` with the given name, description and command.
CCatalogItem* AddItem(CCatalogItem& parent, const std::string& name,
                      const std::string& description, const std::string& command) {
    std::unique_ptr<CCatalogItem> item(new CCatalogItem);
    CCatalogItem* added = item.get();
    added->m_strName = name;
    added->m_strDescription = description;
    added->SetFile(command);
    parent.AddChild(std::move(item));
    return added;
}

// What a click on the option does: open its page.
bool IsSubMenu(const std::string& command) {
    return command::Classify(command) == command::Kind::SubMenu;
}

// Sets the code page the logic sees for the length of a test: on the host
// any, on Windows only the system's own (the test is skipped otherwise).
class CodePageScope {
public:
    explicit CodePageScope(unsigned cp) : m_ok(true) {
#ifdef _WIN32
        m_ok = GetACP() == cp;
#else
        platform::CodePage::SetHostAnsi(cp);
#endif
    }
    ~CodePageScope() {
#ifndef _WIN32
        platform::CodePage::SetHostAnsi(1252);
#endif
    }
    bool Active() const { return m_ok; }

private:
    bool m_ok;
};

TEST(MenuBullet, IconKeysAreComparedExactly) {
    const struct {
        const char* key;
        Bullet bullet;
    } cases[] = {
        {"JEK", Bullet::Jek},   {"ZOV", Bullet::Zov},    {"QXM", Bullet::App},
        {"YQ", Bullet::Yq},     {"BOOK", Bullet::Book},  {"CD", Bullet::CD},
        {"WEB", Bullet::Web},   {"FOLDER", Bullet::Folder},
        {"", Bullet::None},     {"book", Bullet::None},  {"BOOK ", Bullet::None},
        {"BOO", Bullet::None},  {"UP", Bullet::None},    {"APP", Bullet::None},
    };
    for (const auto& c : cases) EXPECT_EQ(menu::BulletForKey(c.key), c.bullet) << c.key;
    // The list the checker names is exactly the keys with an icon.
    size_t known = 0;
    for (const auto& c : cases) known += c.bullet != Bullet::None;
    const std::vector<std::string> keys = menu::IconKeys();
    EXPECT_EQ(keys.size(), known);
    for (const std::string& key : keys) EXPECT_NE(menu::BulletForKey(key), Bullet::None) << key;
}

TEST(MenuBullet, KeyFirstThenTheCommandsForm) {
    const struct {
        const char* key;
        std::string command;
        Bullet byKey;
        Bullet byCommand;
    } cases[] = {
        {"BOOK", "HTTP://host/manual.html", Bullet::Book, Bullet::Web},
        {"", "HTTP://host/manual.html", Bullet::None, Bullet::Web},
        {"", "ftp://host/pub/", Bullet::None, Bullet::Web},
        {"", "Ftp:x", Bullet::None, Bullet::Web},
        {"", "http:", Bullet::None, Bullet::Web},
        // Secure addresses are addresses too: the globe.
        {"", "https://host/", Bullet::None, Bullet::Web},
        {"", "HTTPS://host/setup.exe", Bullet::None, Bullet::Web},
        {"BOOK", "HtTpS://host/manual.html", Bullet::Book, Bullet::Web},
        // Not addresses for the bullet: the disc.
        {"", "HTTPS", Bullet::None, Bullet::CD},
        {"", "HTTP", Bullet::None, Bullet::CD},
        {"", "FTP", Bullet::None, Bullet::CD},
        {"", "D:\\http:\\x.exe", Bullet::None, Bullet::CD},
        {"", "D:\\prod\\setup.exe", Bullet::None, Bullet::CD},
        {"", "D:\\prod\\", Bullet::None, Bullet::Folder},
        {"YQ", "D:\\prod\\", Bullet::Yq, Bullet::Folder},
        {"FOLDER", "D:\\prod\\setup.exe", Bullet::Folder, Bullet::CD},
        {"WEB", "D:\\prod\\setup.exe", Bullet::Web, Bullet::CD},
        {"UNKNOWN", "D:\\prod\\setup.exe", Bullet::None, Bullet::CD},
        // An item whose descriptor was never read has an empty command.
        {"", "", Bullet::None, Bullet::CD},
    };
    for (const auto& c : cases) {
        Tree tree(c.key, c.command);
        menu::BulletChoice choice = menu::ChooseBullet(tree.child, false);
        EXPECT_EQ(choice.byKey, c.byKey) << c.key << " " << c.command;
        EXPECT_EQ(choice.byCommand, c.byCommand) << c.key << " " << c.command;
    }
}

TEST(MenuBullet, EmptySlotsAndTheTitle) {
    menu::BulletChoice none = menu::ChooseBullet(nullptr, false);
    EXPECT_EQ(none.byKey, Bullet::None);
    EXPECT_EQ(none.byCommand, Bullet::None);

    Tree tree("BOOK", "D:\\prod\\");
    // The root in the title slot has no bullet; a sub-menu there has the
    // up-arrow folder whatever its key.
    menu::BulletChoice root = menu::ChooseBullet(&tree.root, true);
    EXPECT_EQ(root.byKey, Bullet::None);
    EXPECT_EQ(root.byCommand, Bullet::None);
    menu::BulletChoice sub = menu::ChooseBullet(tree.child, true);
    EXPECT_EQ(sub.byKey, Bullet::None);
    EXPECT_EQ(sub.byCommand, Bullet::Up);
}

TEST(MenuBullet, DoubleByteNamesEndingInABackslashByte) {
    CodePageScope scope(932);
    if (!scope.Active()) GTEST_SKIP() << "needs code page 932";
    Tree program("", "D:\\prod\\" + kHyou);
    EXPECT_EQ(menu::ChooseBullet(program.child, false).byCommand, Bullet::CD);
    EXPECT_FALSE(IsSubMenu(program.child->GetFile()));
    Tree folder("", "D:\\" + kSo + "\\");
    EXPECT_EQ(menu::ChooseBullet(folder.child, false).byCommand, Bullet::Folder);
    EXPECT_TRUE(IsSubMenu(folder.child->GetFile()));
}

TEST(MenuCommand, SubMenusAreEmptyOrFolders) {
    EXPECT_TRUE(IsSubMenu(""));
    EXPECT_TRUE(IsSubMenu("D:\\prod\\"));
    EXPECT_TRUE(IsSubMenu("\\"));
    EXPECT_FALSE(IsSubMenu("D:\\prod\\setup.exe"));
    EXPECT_FALSE(IsSubMenu("HTTP://host/"));
    EXPECT_FALSE(IsSubMenu("D:\\prod\\ "));
}

TEST(MenuDescription, OptionsShowTheirCommandOnASecondLine) {
    CCatalogItem root;
    root.m_strName = "Collection";
    root.m_strDescription = "The whole disc";

    CCatalogItem* program =
        AddItem(root, "Viewer %V", "Installs %P from %T", "D:\\viewer\\setup.exe");
    program->m_strVersion = "2.1";
    CCatalogItem* folder = AddItem(root, "Tools", "Small tools", "D:\\tools\\");
    CCatalogItem* withChildren = AddItem(root, "Suite", "A suite", "D:\\suite\\setup.exe");
    AddItem(*withChildren, "Part", "", "");
    CCatalogItem* address = AddItem(root, "Updates", "", "HTTP://host/updates/");

    EXPECT_EQ(menu::DescriptionText(*program, false),
              "Installs Viewer 2.1 from Collection\n(D:\\viewer\\setup.exe)");
    EXPECT_EQ(menu::DescriptionText(*folder, false), "Small tools");
    EXPECT_EQ(menu::DescriptionText(*withChildren, false), "A suite");
    EXPECT_EQ(menu::DescriptionText(*address, false), "\n(HTTP://host/updates/)");

    // The title names the root itself, and in a sub-menu describes the
    // page a click on it goes back to.
    EXPECT_EQ(menu::DescriptionText(root, true), "Collection");
    EXPECT_EQ(menu::DescriptionText(*folder, true), "The whole disc");
}

TEST(MenuFonts, TitleMeasuresAreOnePointTwoTimesTruncated) {
    const struct {
        long normal, title;
    } cases[] = {
        {-16, -19}, {16, 19}, {0, 0}, {-10, -12}, {10, 12}, {-15, -18},
        {-13, -15}, {13, 15}, {-20, -24}, {-1, -1}, {1, 1}, {-5, -6},
    };
    for (const auto& c : cases) EXPECT_EQ(menu::TitleFontMeasure(c.normal), c.title) << c.normal;
}

TEST(MenuFonts, FaceNamesFitTheirField) {
    const std::string thirtyOne(31, 'a');
    EXPECT_EQ(CTranslator::FitFaceName("Arial"), "Arial");
    EXPECT_EQ(CTranslator::FitFaceName(""), "");
    EXPECT_EQ(CTranslator::FitFaceName(thirtyOne), thirtyOne);
    EXPECT_EQ(CTranslator::FitFaceName(thirtyOne + "bcd"), thirtyOne);
}

TEST(MenuFonts, FaceNamesAreNotCutInsideACharacter) {
    CodePageScope scope(932);
    if (!scope.Active()) GTEST_SKIP() << "needs code page 932";
    const std::string thirty(30, 'a');
    EXPECT_EQ(CTranslator::FitFaceName(thirty + kSo), thirty);
    EXPECT_EQ(CTranslator::FitFaceName(thirty + "b" + kSo), thirty + "b");
    EXPECT_EQ(CTranslator::FitFaceName(std::string(29, 'a') + kSo + "x"), std::string(29, 'a') + kSo);
}

TEST(MenuFolder, TheFolderIsThePathBeforeItsLastBackslash) {
    EXPECT_EQ(platform::FolderOf("D:\\wizard.exe"), "D:");
    EXPECT_EQ(platform::FolderOf("C:\\media\\disc one\\wizard.exe"), "C:\\media\\disc one");
    EXPECT_EQ(platform::FolderOf("\\\\server\\share\\wizard.exe"), "\\\\server\\share");
    EXPECT_EQ(platform::FolderOf("wizard.exe"), "");
    EXPECT_EQ(platform::FolderOf(""), "");
}

TEST(MenuFolder, DoubleByteFolderNames) {
    CodePageScope scope(932);
    if (!scope.Active()) GTEST_SKIP() << "needs code page 932";
    EXPECT_EQ(platform::FolderOf("D:\\" + kHyou + "\\wizard.exe"), "D:\\" + kHyou);
    EXPECT_EQ(platform::FolderOf("D:\\" + kSo + "wizard.exe"), "D:");
}

// What each display scale gets: lengths rounded to the nearest pixel, the
// drawing that is only ever scaled down, the cursor that is never scaled up.
TEST(MenuScale, LengthsArtworkAndCursorPerDpi) {
    struct {
        int dpi, picture, splashHeight, bullet, artwork, cursor;
    } cases[] = {
        {72, 119, 150, 24, 100, 32},   {96, 159, 200, 32, 100, 32},
        {97, 161, 202, 32, 150, 32},   {120, 199, 250, 40, 150, 32},
        {144, 239, 300, 48, 150, 48},  {145, 240, 302, 48, 200, 48},
        {168, 278, 350, 56, 200, 48},  {192, 318, 400, 64, 200, 64},
        {288, 477, 600, 96, 200, 64},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menu::ScaleToDpi(159, c.dpi), c.picture) << c.dpi;
        EXPECT_EQ(menu::ScaleToDpi(200, c.dpi), c.splashHeight) << c.dpi;
        EXPECT_EQ(menu::ScaleToDpi(32, c.dpi), c.bullet) << c.dpi;
        EXPECT_EQ(menu::ArtworkPercent(c.dpi), c.artwork) << c.dpi;
        EXPECT_EQ(menu::HandCursorSize(c.dpi), c.cursor) << c.dpi;
    }
    EXPECT_EQ(menu::ScaleToDpi(271, 144), 407);  // 406.5 rounds up
    EXPECT_EQ(menu::ScaleToDpi(-3, 144), -5);
}

menu::Box MakeBox(int left, int top, int right, int bottom) {
    menu::Box b;
    b.left = left, b.top = top, b.right = right, b.bottom = bottom;
    return b;
}

// The template's layout: frame 100 x 200 at (10, 10); the column at 130;
// the description line at (10, 230)-(390, 270); inside 400 x 280.
menu::MenuLayout TemplateLayout() {
    menu::MenuLayout at;
    at.picture = MakeBox(10, 10, 110, 210);
    for (int i = 0; i < menu::MenuLayout::kLines; ++i) {
        at.bullets[i] = MakeBox(120, 10 + 25 * i, 140, 30 + 25 * i);
        at.texts[i] = MakeBox(150, 12 + 25 * i, 380, 30 + 25 * i);
    }
    at.description = MakeBox(10, 230, 390, 270);
    at.width = 400;
    at.height = 280;
    return at;
}

TEST(MenuLayout, TheWindowMakesRoomForThePictureAndTheTexts) {
    const int narrow[menu::MenuLayout::kLines] = {200, 100, 100, 100, 100, 100, 100, 100};
    int wide[menu::MenuLayout::kLines] = {200, 100, 100, 300, 100, 100, 100, 100};
    struct {
        const char* what;
        int pictureWidth, pictureHeight;
        const int* widths;
        int dx, dy;                 // how far the column and the description move
        int textRight3, width, height, descriptionRight;
    } cases[] = {
        // The frame fits: nothing moves.
        {"fits", 98, 198, narrow, 0, 0, 380, 400, 280, 390},
        // A little larger, still half the template's distance away.
        {"a little larger", 103, 206, narrow, 0, 0, 380, 400, 280, 390},
        // Just closer than that: the template's distance again.
        {"closer", 104, 209, narrow, 6, 11, 386, 406, 291, 396},
        // A smaller picture: the frame shrinks to it, nothing else moves.
        {"smaller", 60, 150, narrow, 0, 0, 380, 400, 280, 390},
        // Wider and taller: the column and the description follow.
        {"larger", 150, 260, narrow, 52, 62, 432, 452, 342, 442},
        // Taller only (the picture ran into the description line).
        {"taller", 98, 212, narrow, 0, 14, 380, 400, 294, 390},
        // A text too long for its line widens it and the window, by a
        // quarter of the line at most (230 + 57 of the 300 it needs).
        {"long text", 98, 198, wide, 0, 0, 437, 447, 280, 437},
    };
    for (const auto& c : cases) {
        int widths[menu::MenuLayout::kLines];
        for (int i = 0; i < menu::MenuLayout::kLines; ++i) widths[i] = c.widths[i];
        const menu::MenuLayout at = TemplateLayout();
        const menu::MenuLayout fit =
            menu::FitMenuLayout(at, c.pictureWidth, c.pictureHeight, 1, widths);
        EXPECT_EQ(fit.picture, MakeBox(10, 10, 12 + c.pictureWidth, 12 + c.pictureHeight))
            << c.what;
        EXPECT_EQ(fit.bullets[2].left, at.bullets[2].left + c.dx) << c.what;
        EXPECT_EQ(fit.texts[0].left, at.texts[0].left + c.dx) << c.what;
        EXPECT_EQ(fit.texts[3].right, c.textRight3) << c.what;
        EXPECT_EQ(fit.description.top, at.description.top + c.dy) << c.what;
        EXPECT_EQ(fit.description.Height(), at.description.Height()) << c.what;
        EXPECT_EQ(fit.description.right, c.descriptionRight) << c.what;
        EXPECT_EQ(fit.width, c.width) << c.what;
        EXPECT_EQ(fit.height, c.height) << c.what;
        // What the window must always show.
        EXPECT_LE(fit.description.right, fit.width) << c.what;
        EXPECT_LE(fit.description.bottom, fit.height) << c.what;
        EXPECT_GT(fit.description.top, fit.picture.bottom) << c.what;
        EXPECT_GT(fit.bullets[0].left, fit.picture.right) << c.what;
    }
}

}  // namespace
