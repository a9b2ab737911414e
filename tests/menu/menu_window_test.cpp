// The menu window with real windows: it is created modelessly over a medium
// written to a temporary folder, and driven with the messages the system
// would send (mouse moves, clicks, control colours, timers).
#include "menu/artwork.h"
#include "menu/menu_dlg.h"
#include "menu/splash_dlg.h"
#include "platform/handles.h"
#include "platform/image.h"
#include "platform/picture_file.h"
#include "platform/sha256.h"
#include "platform/system.h"
#include "resources/builtin_texts.h"
#include "resources/resource.h"
#include "tests/online/test_server.h"
#include "tests/unit/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using testing_support::TempDir;

namespace {

// The application object: owner of dialogs made without a parent, and the
// wait cursor.
CWinApp g_app;

// A menu window that takes its medium from the test instead of from the
// folder of the running program.
class MediumMenu : public CMenuDlg {
public:
    explicit MediumMenu(const std::string& folder) : m_folder(folder) {}
    std::string OwnFolder() override { return m_folder; }

private:
    std::string m_folder;
};


std::string Text(HWND hWnd) {
    char buf[1024] = "";
    GetWindowTextA(hWnd, buf, sizeof buf);
    return buf;
}

std::unique_ptr<CCatalogItem> MakeItem(const std::string& name, const std::string& key,
                                       const std::string& file,
                                       const std::string& description = "") {
    std::unique_ptr<CCatalogItem> item(new CCatalogItem);
    item->m_strName = name;
    item->SetIcon(key);
    item->SetFile(file);
    item->m_strDescription = description;
    return item;
}

// The first window of this thread that `match` accepts.
struct WindowSearch {
    std::function<bool(HWND)> match;
    HWND found;
};

BOOL CALLBACK SearchStep(HWND hWnd, LPARAM lp) {
    WindowSearch* s = reinterpret_cast<WindowSearch*>(lp);
    if (!s->match(hWnd)) return TRUE;
    s->found = hWnd;
    return FALSE;
}

HWND FindThreadWindow(std::function<bool(HWND)> match) {
    WindowSearch search = {std::move(match), nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &SearchStep, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindSplash() {
    return FindThreadWindow([](HWND w) { return GetDlgItem(w, IDC_SPLASH_PICTURE1) != nullptr; });
}

// The colours the menu window gives a control.
struct Colours {
    COLORREF text;
    int bkMode;
    HBRUSH brush;
};

class MenuWindow : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, dir);
        m_oldDir = dir;
        m_oldLocale = GetThreadLocale();
        SetThreadLocale(0x0409);
        // The translation file is read from the current folder.
        SetCurrentDirectoryA(m_medium.Path().c_str());
    }

    void TearDown() override {
        // Pages a test made of its own are gone by now: show the medium's
        // root again before the window goes (its controls read their items).
        if (m_dlg && m_dlg->m_hWnd) m_dlg->ShowNode(&m_dlg->m_rootItem);
        m_dlg.reset();
        g_app.m_pMainWnd = nullptr;
        platform::SetDrainHook(nullptr);
        SetCurrentDirectoryA(m_oldDir.c_str());
        SetThreadLocale(m_oldLocale);
    }

    // Writes the descriptor of `folder` ("" for the medium's own).
    void Item(const std::string& folder, const std::string& lines) {
        m_medium.Write(folder.empty() ? "QXMSETUP.INI" : folder + "\\QXMSETUP.INI",
                       "[common]\r\n" + lines);
    }

    // A medium: a root with three products and a sub-menu of two.
    void SmallMedium() {
        Item("", "name=Collection\r\ndescription=The whole disc\r\n");
        Item("office", "name=Office %V\r\nversion=3\r\nicon=yq\r\npriority=1\r\n"
                       "file=setup.exe\r\ndescription=Installs %P\r\n");
        Item("tools", "name=Tools\r\npriority=2\r\ndescription=Small tools\r\n");
        Item("tools\\zip", "name=Zipper\r\npriority=1\r\nfile=zip.exe\r\n");
        Item("tools\\web", "name=Updates\r\npriority=2\r\nfile=http://host/updates/\r\n");
        Item("manuals", "name=Manuals\r\nicon=BOOK\r\npriority=3\r\n"
                        "file=HTTP://host/manuals.html\r\ndescription=Read them\r\n");
    }

    void Open() {
        m_dlg.reset(new MediumMenu(m_medium.Path()));
        g_app.m_pMainWnd = m_dlg.get();
        ASSERT_TRUE(m_dlg->Create(IDD_MENU));
    }

    CMenuDlg& Dlg() { return *m_dlg; }
    // The menu window's own icon for resource `id` (loaded at the size its
    // bullets have on this display).
    HICON Icon(UINT id) {
        switch (id) {
        case IDR_MAINFRAME: return m_dlg->m_hIcon;
        case IDI_CD: return m_dlg->m_hIconCD;
        case IDI_WEB: return m_dlg->m_hIconWeb;
        case IDI_FOLDER: return m_dlg->m_hIconFolder;
        case IDI_UP: return m_dlg->m_hIconUp;
        case IDI_JEK: return m_dlg->m_hIconJek;
        case IDI_ZOV: return m_dlg->m_hIconZov;
        case IDI_YQ: return m_dlg->m_hIconYq;
        case IDI_BOOK: return m_dlg->m_hIconBook;
        default: return nullptr;
        }
    }
    HWND Option(int slot) { return m_dlg->Option(slot)->m_hWnd; }
    HWND Bullet(int slot) { return m_dlg->Bullet(slot)->m_hWnd; }
    HICON BulletIcon(HWND bullet) {
        return reinterpret_cast<HICON>(SendMessageA(bullet, STM_GETICON, 0, 0));
    }
    std::string Description() { return Text(m_dlg->m_description.m_hWnd); }

    void Hover(HWND control) { SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); }
    void Click(int id) {
        SendMessageA(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dlg->m_hWnd, id)));
    }
    // The cursor a control sets when the mouse is over it.
    HCURSOR CursorOver(HWND control) {
        HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
        SetCursor(arrow);
        SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }

    Colours ColoursOf(HWND control) {
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkMode(dc, OPAQUE);
        Colours c;
        c.brush = reinterpret_cast<HBRUSH>(SendMessageA(m_dlg->m_hWnd, WM_CTLCOLORSTATIC,
                                                        reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(control)));
        c.text = GetTextColor(dc);
        c.bkMode = GetBkMode(dc);
        DeleteDC(dc);
        return c;
    }

    void ExpectEmptySlot(int slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        EXPECT_EQ(Text(Option(slot)), "");
        EXPECT_FALSE(GetWindowLongA(Option(slot), GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(IsWindowEnabled(Option(slot)));
        EXPECT_EQ(BulletIcon(Bullet(slot)), nullptr);
        EXPECT_EQ(Dlg().Option(slot)->m_pItem, nullptr);
    }
    void ExpectFilledSlot(int slot, const std::string& title, HICON bullet) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        EXPECT_EQ(Text(Option(slot)), title);
        EXPECT_TRUE(GetWindowLongA(Option(slot), GWL_STYLE) & WS_VISIBLE);
        EXPECT_TRUE(IsWindowEnabled(Option(slot)));
        EXPECT_EQ(BulletIcon(Bullet(slot)), bullet);
    }

    TempDir m_medium;
    std::unique_ptr<MediumMenu> m_dlg;
    std::string m_oldDir;
    LCID m_oldLocale = 0;
};

const COLORREF kHighlight = RGB(8, 0, 255);
const COLORREF kNormal = RGB(8, 0, 0);

TEST_F(MenuWindow, RootPageOfAScannedMedium) {
    SmallMedium();
    Open();
    EXPECT_EQ(Text(Dlg().m_hWnd), "Vantrell Installation Wizard");
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Collection");
    EXPECT_EQ(BulletIcon(Dlg().m_titleBullet.m_hWnd), nullptr);
    ExpectFilledSlot(1, "Office 3", Icon(IDI_YQ));
    ExpectFilledSlot(2, "Tools", Icon(IDI_FOLDER));
    ExpectFilledSlot(3, "Manuals", Icon(IDI_BOOK));
    for (int slot = 4; slot <= 7; ++slot) ExpectEmptySlot(slot);
    EXPECT_EQ(Description(), "Choose an option by clicking on it");
    EXPECT_TRUE(IsWindowVisible(Dlg().m_hWnd));
}

// The controls of IDD_MENU: style bits and places in dialog units.
// Icons and the picture size themselves to their image: only their corner
// is compared.
TEST_F(MenuWindow, TemplateControls) {
    Item("", "name=Root\r\n");
    Open();
    const DWORD kText = SS_LEFT | SS_NOTIFY;
    const DWORD kIcon = SS_ICON | SS_NOTIFY;
    const struct {
        int id;
        DWORD style;
        int x, y, cx, cy;  // dialog units
        bool sized;
    } controls[] = {
        {IDC_TITLE, kText | SS_CENTERIMAGE | WS_GROUP, 101, 7, 160, 18, true},
        {IDC_OPTION1, kText, 101, 30, 160, 12, true},
        {IDC_OPTION2, kText, 101, 44, 160, 12, true},
        {IDC_OPTION3, kText, 101, 58, 160, 12, true},
        {IDC_OPTION4, kText, 101, 72, 160, 12, true},
        {IDC_OPTION5, kText, 101, 86, 160, 12, true},
        {IDC_OPTION6, kText, 101, 100, 160, 12, true},
        {IDC_OPTION7, kText, 101, 114, 160, 12, true},
        {IDC_DESCRIPTION, SS_LEFT | SS_SUNKEN | WS_GROUP, 6, 130, 255, 26, true},
        {IDC_TITLE_BULLET, kIcon, 84, 8, 14, 14, false},
        {IDC_BULLET1, kIcon, 84, 26, 14, 14, false},
        {IDC_BULLET2, kIcon, 84, 40, 14, 14, false},
        {IDC_BULLET3, kIcon, 84, 54, 14, 14, false},
        {IDC_BULLET4, kIcon, 84, 68, 14, 14, false},
        {IDC_BULLET5, kIcon, 84, 82, 14, 14, false},
        {IDC_BULLET6, kIcon, 84, 96, 14, 14, false},
        {IDC_BULLET7, kIcon, 84, 110, 14, 14, false},
    };
    int descriptionMoved = 0;
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(Dlg().m_hWnd, c.id);
        ASSERT_NE(control, nullptr);
        DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        EXPECT_EQ(style & ~(WS_VISIBLE | WS_DISABLED), c.style | WS_CHILD);
        // The dialog converts the corner and the size each on its own.
        RECT corner = {c.x, c.y, c.cx, c.cy};
        MapDialogRect(Dlg().m_hWnd, &corner);
        RECT actual;
        GetWindowRect(control, &actual);
        MapWindowPoints(nullptr, Dlg().m_hWnd, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, corner.left);
        if (c.id == IDC_DESCRIPTION) {
            // The description line moves below the picture where the
            // picture reaches into it, and never above its place.
            RECT picture;
            GetWindowRect(GetDlgItem(Dlg().m_hWnd, IDC_PICTURE), &picture);
            MapWindowPoints(nullptr, Dlg().m_hWnd, reinterpret_cast<POINT*>(&picture), 2);
            EXPECT_GE(actual.top, corner.top);
            EXPECT_GT(actual.top, picture.bottom);
            descriptionMoved = actual.top - corner.top;
        } else {
            EXPECT_EQ(actual.top, corner.top);
        }
        if (c.sized) {
            EXPECT_EQ(actual.right - actual.left, corner.right);
            EXPECT_EQ(actual.bottom - actual.top, corner.bottom);
        }
    }
    // The window: a fixed frame, no minimise or maximise box, no tab stops.
    DWORD style = static_cast<DWORD>(GetWindowLongA(Dlg().m_hWnd, GWL_STYLE));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(Dlg().m_hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT client, size = {0, 0, 268, 160};
    GetClientRect(Dlg().m_hWnd, &client);
    MapDialogRect(Dlg().m_hWnd, &size);
    EXPECT_EQ(client.right, size.right);
    // Higher by as much as the description line moved down.
    EXPECT_EQ(client.bottom, size.bottom + descriptionMoved);
}

TEST_F(MenuWindow, PagesOfNoneSevenAndNineChildren) {
    Item("", "name=Empty\r\n");
    Open();
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Empty");
    for (int slot = 1; slot <= 7; ++slot) ExpectEmptySlot(slot);

    // A smaller page after a full one empties the slots it does not use.
    const struct {
        const char* name;
        int children;
        const char* prefix;
        const char* file;
        UINT icon;
    } pages[] = {
        {"Nine", 9, "Item ", "D:\\p\\setup.exe", IDI_CD},
        {"Three", 3, "T", "D:\\t\\", IDI_FOLDER},
        {"Seven", 7, "S", "x.exe", IDI_CD},
    };
    // Every page stays alive until the test ends: the slots point into it.
    CCatalogItem nodes[3];
    for (int p = 0; p < 3; ++p) {
        const auto& page = pages[p];
        SCOPED_TRACE(page.name);
        nodes[p].m_strName = page.name;
        for (int i = 1; i <= page.children; ++i)
            nodes[p].AddChild(MakeItem(page.prefix + std::to_string(i), "", page.file));
        Dlg().ShowNode(&nodes[p]);
        EXPECT_EQ(Text(Dlg().m_title.m_hWnd), page.name);
        for (int slot = 1; slot <= 7; ++slot) {
            if (slot <= page.children)
                ExpectFilledSlot(slot, page.prefix + std::to_string(slot), Icon(page.icon));
            else
                ExpectEmptySlot(slot);
        }
    }
}

TEST_F(MenuWindow, BulletsByKeyAndByCommand) {
    Item("", "name=Root\r\n");
    Open();
    const struct {
        const char* key;
        const char* file;
        UINT icon;
    } pages[2][7] = {
        {{"JEK", "D:\\a.exe", IDI_JEK},
         {"ZOV", "D:\\b\\", IDI_ZOV},
         {"QXM", "HTTP://host/", IDR_MAINFRAME},
         {"BOOK", "HTTP://host/m.html", IDI_BOOK},
         {"", "ftp://host/pub/x.zip", IDI_WEB},
         {"", "https://host/", IDI_WEB},
         {"", "D:\\folder\\", IDI_FOLDER}},
        {{"YQ", "D:\\a.exe", IDI_YQ},
         {"WEB", "D:\\a.exe", IDI_WEB},
         {"CD", "D:\\sub\\", IDI_CD},
         {"FOLDER", "D:\\a.exe", IDI_FOLDER},
         {"NONE", "D:\\a.exe", IDI_CD},
         {"", "Http:x", IDI_WEB},
         {"", "", IDI_CD}},
    };
    for (const auto& page : pages) {
        CCatalogItem node;
        node.m_strName = "Page";
        for (const auto& c : page) node.AddChild(MakeItem(c.key, c.key, c.file));
        Dlg().ShowNode(&node);
        for (int slot = 1; slot <= 7; ++slot) {
            const auto& c = page[slot - 1];
            EXPECT_EQ(BulletIcon(Bullet(slot)), Icon(c.icon)) << c.key << " " << c.file;
        }
    }
    for (UINT id : {IDR_MAINFRAME, IDI_CD, IDI_WEB, IDI_UP, IDI_YQ, IDI_JEK, IDI_ZOV,
                    IDI_FOLDER, IDI_BOOK})
        EXPECT_NE(Icon(id), nullptr) << id;
}

TEST_F(MenuWindow, HoverDescribesAndHighlights) {
    SmallMedium();
    Open();
    // A product: its description and, below, its command.
    Hover(Option(1));
    EXPECT_EQ(GetFocus(), Option(1));
    EXPECT_EQ(Description(), "Installs Office 3\n(" + m_medium.Path() + "\\office\\setup.exe)");
    // A sub-menu: no command line. The bullet hands the hover to its text.
    Hover(Bullet(2));
    EXPECT_EQ(GetFocus(), Option(2));
    EXPECT_EQ(Description(), "Small tools");
    // An address is shown like a program.
    Hover(Option(3));
    EXPECT_EQ(Description(), "Read them\n(HTTP://host/manuals.html)");

    // The blank bullet of an empty slot shows the hand and changes nothing.
    EXPECT_EQ(CursorOver(Bullet(5)), HandCursor());
    Hover(Bullet(5));
    EXPECT_EQ(GetFocus(), Option(3));
    EXPECT_EQ(Description(), "Read them\n(HTTP://host/manuals.html)");

    // The hand over options that do not have the focus; not over the
    // focused one, nor over the title at the root.
    EXPECT_EQ(CursorOver(Option(1)), HandCursor());
    EXPECT_NE(CursorOver(Option(3)), HandCursor());
    EXPECT_NE(CursorOver(Dlg().m_title.m_hWnd), HandCursor());

    // The window's background takes the highlight away and resets the line.
    SendMessageA(Dlg().m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(GetFocus(), Dlg().m_description.m_hWnd);
    EXPECT_EQ(Description(), "Choose an option by clicking on it");
}

TEST_F(MenuWindow, SubMenuTitleAndBackUp) {
    SmallMedium();
    Open();
    Hover(Option(1));
    Hover(Dlg().m_title.m_hWnd);
    EXPECT_EQ(Description(), "Collection");  // the root names itself

    Hover(Option(2));
    Click(IDC_OPTION2);  // "Tools"
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Tools");
    EXPECT_EQ(BulletIcon(Dlg().m_titleBullet.m_hWnd), Icon(IDI_UP));
    ExpectFilledSlot(1, "Zipper", Icon(IDI_CD));
    ExpectFilledSlot(2, "Updates", Icon(IDI_WEB));
    for (int slot = 3; slot <= 7; ++slot) ExpectEmptySlot(slot);
    EXPECT_EQ(Description(), "Choose an option by clicking on it");
    // The slot under the mouse keeps the focus with its new item.
    EXPECT_EQ(GetFocus(), Option(2));
    EXPECT_EQ(ColoursOf(Option(2)).text, kHighlight);

    // In a sub-menu the title describes the page it leads back to.
    Hover(Dlg().m_title.m_hWnd);
    EXPECT_EQ(Description(), "The whole disc");
    Hover(Option(1));
    EXPECT_EQ(CursorOver(Dlg().m_title.m_hWnd), HandCursor());

    Click(IDC_TITLE_BULLET);
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Collection");
    EXPECT_EQ(BulletIcon(Dlg().m_titleBullet.m_hWnd), nullptr);
    ExpectFilledSlot(3, "Manuals", Icon(IDI_BOOK));

    // At the root the title does nothing; a bullet clicks like its text.
    Click(IDC_TITLE);
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Collection");
    Click(IDC_BULLET2);
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Tools");
    Click(IDC_TITLE);
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Collection");
}

TEST_F(MenuWindow, ClicksOnEmptySlotsKeepThePage) {
    SmallMedium();
    Open();
    Dlg().m_description.SetWindowText("unchanged");
    for (int id : {IDC_BULLET4, IDC_BULLET5, IDC_BULLET7, IDC_OPTION6}) Click(id);
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Collection");
    EXPECT_EQ(Description(), "unchanged");
    Dlg().ActivateItem(nullptr);
    EXPECT_EQ(Text(Dlg().m_title.m_hWnd), "Collection");
}

TEST_F(MenuWindow, ColoursOfOptionsTitleAndDescription) {
    SmallMedium();
    Open();
    HBRUSH menuBrush = ColoursOf(Option(1)).brush;
    LOGBRUSH lb = {};
    ASSERT_EQ(GetObjectA(menuBrush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_MENU));

    Hover(Option(1));
    Colours focused = ColoursOf(Option(1));
    EXPECT_EQ(focused.text, kHighlight);
    EXPECT_EQ(focused.bkMode, TRANSPARENT);
    EXPECT_EQ(focused.brush, menuBrush);  // one brush serves every call
    Colours other = ColoursOf(Option(2));
    EXPECT_EQ(other.text, kNormal);
    EXPECT_EQ(other.bkMode, TRANSPARENT);

    // The root's title keeps the default colour, focused or not.
    const COLORREF standard = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(ColoursOf(Dlg().m_title.m_hWnd).text, standard);
    Hover(Dlg().m_title.m_hWnd);
    EXPECT_EQ(GetFocus(), Dlg().m_title.m_hWnd);
    EXPECT_EQ(ColoursOf(Dlg().m_title.m_hWnd).text, standard);
    EXPECT_EQ(ColoursOf(Dlg().m_title.m_hWnd).brush, menuBrush);

    Colours description = ColoursOf(Dlg().m_description.m_hWnd);
    EXPECT_EQ(description.text, standard);
    EXPECT_EQ(description.bkMode, TRANSPARENT);
    EXPECT_EQ(description.brush, menuBrush);

    // An empty slot is disabled: the system's own colours and brush.
    Colours empty = ColoursOf(Option(5));
    EXPECT_EQ(empty.bkMode, OPAQUE);
    EXPECT_NE(empty.brush, menuBrush);

    // In a sub-menu the title is coloured like an option.
    Click(IDC_OPTION2);
    Hover(Option(1));
    EXPECT_EQ(ColoursOf(Dlg().m_title.m_hWnd).text, kNormal);
    Hover(Dlg().m_title.m_hWnd);
    EXPECT_EQ(ColoursOf(Dlg().m_title.m_hWnd).text, kHighlight);
}

TEST_F(MenuWindow, SystemMenuEndsWithTheAboutEntry) {
    Item("", "name=Root\r\n");
    // IDS_ABOUTBOX comes straight from the string table, untranslated.
    m_medium.Write("translat.ini",
                   "[english]\r\n&About Vantrell Installation Wizard...=Translated\r\n");
    Open();
    HMENU menu = GetSystemMenu(Dlg().m_hWnd, FALSE);
    ASSERT_NE(menu, nullptr);
    int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_TRUE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[128] = "";
    GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Vantrell Installation Wizard...");
}

// Closes the About box from inside its modal loop and notes what it saw.
struct AboutProbe {
    static HWND s_owner;
    static int s_seen;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND about = FindThreadWindow([](HWND w) {
            return IsWindowVisible(w) && Text(w) == "About Setup";
        });
        if (!about) return;
        ++s_seen;
        s_owner = GetWindow(about, GW_OWNER);
        SendMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    // Sends a system command; counts the About boxes it opened.
    static int Run(HWND menu, WPARAM command) {
        s_seen = 0;
        s_owner = nullptr;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, &Tick);
        SendMessageA(menu, WM_SYSCOMMAND, command, 0);
        KillTimer(nullptr, timer);
        return s_seen;
    }
};
HWND AboutProbe::s_owner;
int AboutProbe::s_seen;

TEST_F(MenuWindow, TheAboutEntrysCommandOpensTheAboutBox) {
    Item("", "name=Root\r\n");
    Open();
    EXPECT_EQ(AboutProbe::Run(Dlg().m_hWnd, IDM_ABOUTBOX), 1);
    EXPECT_EQ(AboutProbe::s_owner, Dlg().m_hWnd);
    // The low four bits do not count.
    EXPECT_EQ(AboutProbe::Run(Dlg().m_hWnd, IDM_ABOUTBOX | 0x000F), 1);
    EXPECT_EQ(AboutProbe::Run(Dlg().m_hWnd, 32), 0);
    EXPECT_EQ(AboutProbe::Run(Dlg().m_hWnd, 0), 0);
    EXPECT_TRUE(IsWindow(Dlg().m_hWnd));
}

TEST_F(MenuWindow, FontsFromTheTranslation) {
    Item("", "name=Root\r\n");
    Item("a", "name=Product\r\nfile=a.exe\r\n");
    m_medium.Write("translat.ini",
                   "[english]\r\nFont=Times New Roman\r\n"
                   "[russian]\r\nFont=Courier New\r\n");
    SetThreadLocale(MAKELCID(0x0419, SORT_DEFAULT));
    Open();

    auto logFont = [](HWND w) {
        LOGFONTA lf = {};
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0));
        EXPECT_NE(font, nullptr);
        GetObjectA(font, sizeof lf, &lf);
        return lf;
    };
    LOGFONTA normal = logFont(Option(1));
    EXPECT_STREQ(normal.lfFaceName, "Courier New");
    EXPECT_EQ(normal.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_LT(normal.lfHeight, 0);
    EXPECT_EQ(normal.lfWeight, FW_NORMAL);
    for (HWND w : {Option(7), Dlg().m_description.m_hWnd}) {
        LOGFONTA same = logFont(w);
        EXPECT_STREQ(same.lfFaceName, "Courier New");
        EXPECT_EQ(same.lfHeight, normal.lfHeight);
    }
    LOGFONTA title = logFont(Dlg().m_title.m_hWnd);
    EXPECT_STREQ(title.lfFaceName, "Courier New");
    EXPECT_EQ(title.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(title.lfHeight, normal.lfHeight * 12 / 10);
    EXPECT_EQ(title.lfWeight, FW_BOLD);
}

TEST_F(MenuWindow, TheSplashIsUpWhileTheMediumIsScanned) {
    SmallMedium();
    bool splashSeen = false, waitCursor = false, menuSeen = false;
    HWND splashOwner = nullptr;
    CMenuDlg* menu = nullptr;
    platform::SetDrainHook([&] {
        HWND splash = FindSplash();
        if (splash && IsWindowVisible(splash)) {
            splashSeen = true;
            splashOwner = GetWindow(splash, GW_OWNER);
        }
        if (g_app.WaitCursorCount() > 0) waitCursor = true;
        if (menu && menu->m_hWnd && IsWindowVisible(menu->m_hWnd)) menuSeen = true;
    });
    m_dlg.reset(new MediumMenu(m_medium.Path()));
    menu = m_dlg.get();
    g_app.m_pMainWnd = menu;
    ASSERT_TRUE(m_dlg->Create(IDD_MENU));
    platform::SetDrainHook(nullptr);
    EXPECT_TRUE(splashSeen);
    EXPECT_FALSE(menuSeen);  // the menu shows only once it is filled
    EXPECT_EQ(splashOwner, menu->m_hWnd);
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(g_app.WaitCursorCount(), 0);
    EXPECT_EQ(FindSplash(), nullptr);
}

// A menu whose CreateProcessA refuses every program as one that needs an
// administrator, and whose shell then answers `shell`, or is the system's
// own for kRealShell, its answer kept in m_answer. Each call is noted
// as "process|shell PATH in FOLDER", with ", held" when the program's file
// was kept from being written meanwhile.
class ElevatingMenu : public MediumMenu {
public:
    ElevatingMenu(const std::string& folder, DWORD shell) : MediumMenu(folder), m_shell(shell) {}
    static const DWORD kRealShell = ~0u;
    std::vector<std::string> m_calls;
    HWND m_owner = nullptr;  // the shell's
    DWORD m_answer = ERROR_SUCCESS;

protected:
    DWORD CreateProgramProcess(const std::string& path, const std::string& folder) override {
        Note("process", path, folder);
        return ERROR_ELEVATION_REQUIRED;
    }
    DWORD ShellStartProgram(HWND owner, const std::string& path,
                            const std::string& folder) override {
        m_owner = owner;
        Note("shell", path, folder);
        m_answer =
            m_shell == kRealShell ? CMenuDlg::ShellStartProgram(owner, path, folder) : m_shell;
        return m_answer;
    }

private:
    void Note(const char* how, const std::string& path, const std::string& folder) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        const bool held = h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        m_calls.push_back(std::string(how) + " " + path + " in " + folder + (held ? ", held" : ""));
    }
    DWORD m_shell;
};

// Notes each box captioned "Error" as "caption: text" and answers it.
struct ErrorBoxes {
    static std::vector<std::string> s_seen;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND box =
            FindThreadWindow([](HWND w) { return IsWindowVisible(w) && Text(w) == "Error"; });
        if (!box) return;
        s_seen.push_back(Text(box) + ": " + Text(GetDlgItem(box, 0xFFFF)));
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
};
std::vector<std::string> ErrorBoxes::s_seen;

std::string ShortPath(const std::string& path) {
    char buf[MAX_PATH] = "";
    const DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

// A program that needs an administrator, on the medium or downloaded
// (pinned or not): the shell starts it in its own folder for the menu, or
// the user declines, or the shell fails.
TEST_F(MenuWindow, AProgramThatNeedsAnAdministratorIsStartedThroughTheShell) {
    online_test::TestServer server;
    const std::string program = "MZ a setup program";
    server.SetFile(program);
    platform::Sha256 hash;
    hash.Update(program.data(), program.size());
    const std::string name = "Elevated" + std::to_string(GetCurrentProcessId()) + ".exe";
    Item("", "name=Starts\r\n");
    Item("Product Setup", "name=Setup\r\npriority=1\r\nfile=setup.exe\r\n");
    m_medium.Write("Product Setup\\setup.exe", program);
    Item("online", "name=Online\r\npriority=2\r\nfile=" + server.Url("/file/" + name) + "\r\n");
    Item("pinned", "name=Pinned\r\npriority=3\r\nfile=" + server.Url("/file/" + name) +
                       "\r\nsha256=" + hash.HexDigest() + "\r\n");
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string medium = m_medium.Path() + "\\Product Setup", downloads = temp;
    const std::string file[] = {medium + "\\setup.exe", downloads + name, downloads + name};
    const std::string folder[] = {medium, downloads.substr(0, downloads.size() - 1)};

    // The system's own shell fails: these programs are none.
    const DWORD real = ElevatingMenu::kRealShell;
    const struct {
        int option;     // 1: on the medium, 2: downloaded, 3: downloaded and pinned
        DWORD shell;    // what the shell answers
    } cases[] = {{1, ERROR_SUCCESS}, {1, ERROR_CANCELLED}, {1, real},
                 {2, ERROR_SUCCESS}, {2, ERROR_CANCELLED}, {2, real},
                 {3, ERROR_SUCCESS}, {3, ERROR_CANCELLED}, {3, real}};
    for (const auto& c : cases) {
        SCOPED_TRACE("option " + std::to_string(c.option) + ", shell " + std::to_string(c.shell));
        ElevatingMenu* menu = new ElevatingMenu(m_medium.Path(), c.shell);
        m_dlg.reset(menu);
        g_app.m_pMainWnd = menu;
        ASSERT_TRUE(menu->Create(IDD_MENU));
        ErrorBoxes::s_seen.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ErrorBoxes::Tick);
        Click(GetDlgCtrlID(Option(c.option)));
        KillTimer(nullptr, timer);
        // One short path, its own folder; a pinned file held until the process exists.
        const std::string& path = file[c.option - 1];
        const std::string call = " " + ShortPath(path) + " in " + folder[c.option == 1 ? 0 : 1] +
                                 (c.option == 3 ? ", held" : "");
        EXPECT_EQ(menu->m_calls, (std::vector<std::string>{"process" + call, "shell" + call}));
        EXPECT_EQ(menu->m_owner, menu->m_hWnd);
        EXPECT_EQ(menu->m_nResult, c.shell == ERROR_SUCCESS ? IDOK : 0);
        std::vector<std::string> boxes;
        if (c.shell == real) {
            CSystemText reason;
            FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                               FORMAT_MESSAGE_FROM_SYSTEM,
                           nullptr, menu->m_answer, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                           reason.Receive(), 0, nullptr);
            ASSERT_NE(reason.Get(), nullptr) << menu->m_answer;
            boxes = {std::string("Error: ") + reason.Get(),
                     std::string("Error: ") + TEXT_UNABLE_TO_START + " " + path};
        }
        EXPECT_EQ(ErrorBoxes::s_seen, boxes);
        EXPECT_EQ(Text(menu->m_title.m_hWnd), "Starts");  // the page is kept
    }
    DeleteFileA(file[1].c_str());
}

// ---------------------------------------------------------------- splash

// The pixels of a bitmap, as 32-bit colours.
std::vector<DWORD> Pixels(HBITMAP bitmap) {
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

// The picture a splash control shows, as the bitmap resource it came from.
int PictureResource(HWND control) {
    HBITMAP shown = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!shown) return 0;
    std::vector<DWORD> pixels = Pixels(shown);
    for (int id = IDB_SPLASH_5; id <= IDB_SPLASH_4; ++id) {
        HBITMAP resource = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        bool same = Pixels(resource) == pixels;
        DeleteObject(resource);
        if (same) return id;
    }
    return -1;
}

int VisiblePicture(CSplashDlg& splash) {
    int visible = -1;
    for (int i = 0; i < CSplashDlg::kPictures; ++i) {
        if (!splash.m_pictures[i].IsWindowVisible()) continue;
        if (visible != -1) return -2;  // more than one
        visible = i;
    }
    return visible;
}

TEST(Splash, PicturesFollowTheirOrderOnTimerOne) {
    CSplashDlg splash;
    ASSERT_NE(splash.m_hWnd, nullptr);
    EXPECT_TRUE(splash.IsWindowVisible());
    EXPECT_EQ(splash.m_nCurrent, 0);
    EXPECT_EQ(VisiblePicture(splash), 0);

    // Which picture each control shows when it comes up (the bitmaps keep
    // these numbers), each over the whole window. Only the first is loaded
    // at the start.
    const int order[] = {IDB_SPLASH_1, IDB_SPLASH_2, IDB_SPLASH_3, IDB_SPLASH_4, IDB_SPLASH_5};
    const int expected[] = {166, 164, 165, 167, 163};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(order[i], expected[i]);
    EXPECT_EQ(PictureResource(splash.m_pictures[0].m_hWnd), IDB_SPLASH_1);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(PictureResource(splash.m_pictures[i].m_hWnd), 0) << i;
    RECT first;
    GetWindowRect(splash.m_pictures[0].m_hWnd, &first);

    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    for (int step = 1; step <= 6; ++step) {
        SendMessageA(splash.m_hWnd, WM_TIMER, 1, 0);
        EXPECT_EQ(splash.m_nCurrent, step % 5);
        EXPECT_EQ(VisiblePicture(splash), step % 5) << step;
        HWND shown = splash.m_pictures[step % 5].m_hWnd;
        EXPECT_EQ(PictureResource(shown), expected[step % 5]) << step;
        RECT r;
        GetWindowRect(shown, &r);
        EXPECT_TRUE(EqualRect(&r, &first)) << step;
    }
    // Showing the next picture does not move the activation or the focus.
    EXPECT_EQ(GetActiveWindow(), active);
    EXPECT_EQ(GetFocus(), focus);

    // Another timer changes nothing.
    SendMessageA(splash.m_hWnd, WM_TIMER, 2, 0);
    SendMessageA(splash.m_hWnd, WM_TIMER, 0, 0);
    EXPECT_EQ(splash.m_nCurrent, 1);
    EXPECT_EQ(VisiblePicture(splash), 1);
}

// ---------------------------------------------------------------- the medium's own look

// A file of the branded example's art (the build renders it).
std::string BrandedArt(const char* name) {
    return testing_support::ReadAll(std::string(BRANDED_ART) + "\\" + name);
}

// The pixels as the screen would show them, through the same conversion.
std::vector<DWORD> Shown(const platform::Pixels& pixels) {
    CBitmap bitmap;
    bitmap.Attach(platform::CreatePixelBitmap(pixels));
    return Pixels(bitmap);
}

TEST(Splash, TheMediumsOwnPicturesTakeTurnsAndABadOneGivesOurs) {
    TempDir dir;
    dir.Write("one.jpg", BrandedArt("splash2.jpg"));
    dir.Write("two.png", "not a picture");
    CSplashDlg splash(nullptr, {dir / "one.jpg", dir / "two.png"});
    ASSERT_NE(splash.m_hWnd, nullptr);
    const platform::Pixels own =
        platform::FillFrame(platform::DecodePictureFile(dir / "one.jpg"), 440, 200);
    ASSERT_FALSE(own.Empty());
    EXPECT_EQ(Pixels(reinterpret_cast<HBITMAP>(splash.m_pictures[0].SendMessage(
                  STM_GETIMAGE, IMAGE_BITMAP))),
              Shown(own));
    for (int step = 1; step <= 3; ++step) {
        SendMessageA(splash.m_hWnd, WM_TIMER, 1, 0);
        EXPECT_EQ(VisiblePicture(splash), step % 2) << step;
    }
    EXPECT_EQ(PictureResource(splash.m_pictures[1].m_hWnd), IDB_SPLASH_2);
}

// A file of `size` bytes that begins with `start`; the rest is never
// written, so the file system keeps no room for it.
void WriteLarge(const std::string& path, const std::string& start, LONGLONG size) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, start.data(), static_cast<DWORD>(start.size()), &written, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(f, end, nullptr, FILE_BEGIN);
    SetEndOfFile(f);
    CloseHandle(f);
}

// What the real decoder makes of the files a medium may name: the picture,
// or nothing at once (and then the menu's own art in its place).
TEST(MediumArt, EveryFileGivesItsPictureOrOursAtOnce) {
    const std::string png = BrandedArt("picture.png"), jpg = BrandedArt("splash2.jpg"),
                      bmp = BrandedArt("splash3.bmp"), ico = BrandedArt("orbeline.ico");
    ASSERT_FALSE(png.empty() || jpg.empty() || bmp.empty() || ico.empty());
    // Headers that announce 30,000 x 30,000 pixels, the rest as it was.
    std::string hugePng = png, hugeJpg = jpg;
    for (int at : {16, 20}) hugePng.replace(at, 4, std::string("\0\0\x75\x30", 4));
    const uint32_t crc = platform::Crc32(hugePng.data() + 12, 17);
    for (int i = 0; i < 4; ++i) hugePng[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    const size_t frame = jpg.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    hugeJpg.replace(frame + 5, 4, "\x75\x30\x75\x30");
    TempDir dir;
    const std::pair<const char*, std::string> files[] = {
        {"p.png", png}, {"j.jpg", jpg}, {"b.bmp", bmp}, {"png.bmp", png},
        {"cut.png", png.substr(0, png.size() / 2)}, {"cut.jpg", jpg.substr(0, jpg.size() - 2)},
        {"cut.bmp", bmp.substr(0, bmp.size() - 1000)}, {"text.png", "not a picture"},
        {"empty.png", ""}, {"huge.png", hugePng}, {"huge.jpg", hugeJpg}, {"i.ico", ico},
        {"cut.ico", ico.substr(0, ico.size() - 100)}};
    for (const auto& f : files) dir.Write(f.first, f.second);
    dir.MakeDir("folder.png");
    WriteLarge(dir / "large.png", png, 200 << 20);

    const struct {
        const char* file;
        bool imaging;  // the imaging component there
        int width;     // 0: no picture
    } cases[] = {
        {"p.png", true, 318}, {"j.jpg", true, 880}, {"b.bmp", true, 880},
        {"png.bmp", true, 318},  // what the file holds counts, not its name
        {"b.bmp", false, 880}, {"p.png", false, 0}, {"j.jpg", false, 0},
        {"missing.png", true, 0}, {"folder.png", true, 0}, {"text.png", true, 0},
        {"empty.png", true, 0}, {"cut.png", true, 0}, {"cut.jpg", true, 0}, {"cut.bmp", true, 0},
        {"cut.bmp", false, 0}, {"huge.png", true, 0}, {"huge.jpg", true, 0},
        {"large.png", true, 0}, {"i.ico", true, 0},
    };
    for (const auto& c : cases) {
        const std::string label = std::string(c.file) + (c.imaging ? "" : " without imaging");
        const DWORD start = GetTickCount();
        const platform::Pixels pixels = platform::DecodePictureFile(dir / c.file, c.imaging);
        EXPECT_LT(GetTickCount() - start, 1000u) << label;
        EXPECT_EQ(pixels.width, c.width) << label;
        CBitmap picture;
        // At 100 % ours is the template's bitmap, which then stays.
        if (c.imaging) {
            EXPECT_EQ(artwork::LoadMenuPicture(96, dir / c.file, picture), c.width > 0) << label;
        }
    }
    for (const char* file : {"i.ico", "cut.ico", "p.png", "folder.png", "missing.ico"}) {
        CIcon own, shown;
        EXPECT_EQ(own.Attach(platform::LoadIconFile(dir / file, 32)) != nullptr,
                  std::string(file) == "i.ico")
            << file;
        EXPECT_NE(shown.Attach(artwork::LoadWindowIcon(dir / file, 32)), nullptr) << file;
    }
}

// The colours of an icon's image.
std::vector<DWORD> IconColours(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    std::vector<DWORD> colours = Pixels(info.hbmColor);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return colours;
}

TEST_F(MenuWindow, TheMediumsOwnPictureAndIcon) {
    Item("", "name=Root\r\npicture=art\\p.png\r\nwindowicon=art\\i.ico\r\n");
    m_medium.Write("art\\p.png", BrandedArt("picture.png"));
    m_medium.Write("art\\i.ico", BrandedArt("orbeline.ico"));
    Open();
    const HWND picture = GetDlgItem(Dlg().m_hWnd, IDC_PICTURE);
    EXPECT_EQ(Pixels(reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0))),
              Shown(platform::FillFrame(platform::DecodePictureFile(m_medium / "art\\p.png"), 159,
                                        271)));
    // The caption's icons: the file's images of their sizes, as the system
    // itself reads them.
    for (WPARAM which : {ICON_BIG, ICON_SMALL}) {
        const int size = GetSystemMetrics(which == ICON_BIG ? SM_CXICON : SM_CXSMICON);
        CIcon system;
        system.Attach(static_cast<HICON>(LoadImageA(nullptr, (m_medium / "art\\i.ico").c_str(),
                                                    IMAGE_ICON, size, size, LR_LOADFROMFILE)));
        const std::vector<DWORD> expected = IconColours(system);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(IconColours(reinterpret_cast<HICON>(SendMessageA(Dlg().m_hWnd, WM_GETICON, which, 0))),
                  expected)
            << size;
    }
}

// A dialog whose handler throws on one message. It ends itself with IDOK
// once its modal loop runs, unless the throw ended it first.
class ThrowingDialog : public CDialog {
public:
    explicit ThrowingDialog(UINT throwOn) : CDialog(IDD_ABOUTBOX), m_throwOn(throwOn) {}

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessageA(m_hWnd, WM_APP, 0, 0);
        PostMessageA(m_hWnd, WM_APP + 1, 0, 0);
        return TRUE;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg == m_throwOn) throw std::runtime_error("the handler failed");
        if (msg == WM_APP + 1) {
            EndDialog(IDOK);
            return true;
        }
        return CDialog::OnMessage(msg, wp, lp, result);
    }

private:
    UINT m_throwOn;
};

TEST(DialogProcedure, AnExceptionFromTheHandlerCancelsTheDialog) {
    const struct {
        UINT throwOn;
        INT_PTR end;
    } cases[] = {
        {WM_INITDIALOG, IDCANCEL},
        {WM_APP, IDCANCEL},
        {WM_NCDESTROY, IDOK},  // the dialog had ended already
        {WM_APP + 2, IDOK},    // never sent: nothing throws
    };
    for (const auto& c : cases) {
        ThrowingDialog dlg(c.throwOn);
        EXPECT_EQ(dlg.DoModal(), c.end) << c.throwOn;
        // Unbound after WM_NCDESTROY, whatever the handler did there.
        EXPECT_EQ(dlg.m_hWnd, nullptr) << c.throwOn;
    }
}

TEST(Splash, RemovingItTwiceIsHarmless) {
    CSplashDlg splash;
    HWND hWnd = splash.m_hWnd;
    ASSERT_NE(hWnd, nullptr);
    EXPECT_TRUE(splash.DestroyWindow());
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(splash.m_hWnd, nullptr);
    EXPECT_FALSE(splash.DestroyWindow());
}

}  // namespace
