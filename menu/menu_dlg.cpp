#include "menu/menu_dlg.h"

#include "catalog/look.h"
#include "menu/about_dlg.h"
#include "menu/artwork.h"
#include "menu/menu_logic.h"
#include "menu/splash_dlg.h"
#include "platform/system.h"
#include "resources/resource.h"

#include <algorithm>

namespace {

// A bullet icon at the size bullets have on this display.
HICON LoadProgramIcon(UINT id) {
    return artwork::LoadIconSized(id, artwork::BulletIconSize(artwork::SystemDpi()));
}

// A control's rectangle in the dialog's client pixels, and back.
menu::Box BoxOf(HWND control, HWND dialog) {
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    menu::Box b;
    b.left = r.left, b.top = r.top, b.right = r.right, b.bottom = r.bottom;
    return b;
}

void Place(HWND control, const menu::Box& b) {
    SetWindowPos(control, nullptr, b.left, b.top, b.Width(), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The widest title in `node`'s tree drawn in `font`: of the items that
// are options (every one below the root) or, for `asTitle`, of those that
// can be the page on display (the root and every item with children).
int WidestTitle(const CCatalogItem& node, HDC dc, bool asTitle) {
    int widest = 0;
    if (asTitle ? !node.m_children.empty() || !node.m_pParent : node.m_pParent != nullptr) {
        const std::string title = node.GetTitle();
        SIZE extent = {};
        if (GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(title.size()), &extent))
            widest = extent.cx;
    }
    for (const auto& child : node.m_children)
        widest = std::max(widest, WidestTitle(*child, dc, asTitle));
    return widest;
}

const COLORREF kHighlightText = RGB(8, 0, 255);
const COLORREF kOptionText = RGB(8, 0, 0);

}  // namespace

CMenuDlg::CMenuDlg(CWnd* pParent)
    : CDialog(IDD_MENU, pParent),
      m_hIcon(LoadProgramIcon(IDR_MAINFRAME)),
      m_hIconCD(LoadProgramIcon(IDI_CD)),
      m_hIconWeb(LoadProgramIcon(IDI_WEB)),
      m_hIconFolder(LoadProgramIcon(IDI_FOLDER)),
      m_hIconUp(LoadProgramIcon(IDI_UP)),
      m_hIconJek(LoadProgramIcon(IDI_JEK)),
      m_hIconZov(LoadProgramIcon(IDI_ZOV)),
      m_hIconYq(LoadProgramIcon(IDI_YQ)),
      m_hIconBook(LoadProgramIcon(IDI_BOOK)) {}

CMenuDlg::~CMenuDlg() {
    // A window still up (a modeless one) goes while the controls and the
    // tree it points into are still here.
    DestroyWindow();
    // The icons were loaded at this display's size for this window alone.
    for (HICON icon : {m_hIcon, m_hIconCD, m_hIconWeb, m_hIconFolder, m_hIconUp, m_hIconJek,
                       m_hIconZov, m_hIconYq, m_hIconBook})
        if (icon) DestroyIcon(icon);
}

COptionStatic* CMenuDlg::Option(int slot) {
    return slot >= 1 && slot <= menu::kSlots ? &m_options[slot - 1] : nullptr;
}

CBulletStatic* CMenuDlg::Bullet(int slot) {
    return slot >= 1 && slot <= menu::kSlots ? &m_bullets[slot - 1] : nullptr;
}

void CMenuDlg::DoDataExchange() {
    m_titleBullet.SubclassDlgItem(IDC_TITLE_BULLET, this);
    for (int slot = menu::kSlots; slot >= 1; --slot)
        Bullet(slot)->SubclassDlgItem(menu::kSlotControls[slot - 1].bullet, this);
    m_title.SubclassDlgItem(IDC_TITLE, this);
    m_description.SubclassDlgItem(IDC_DESCRIPTION, this);
    for (int slot = menu::kSlots; slot >= 1; --slot)
        Option(slot)->SubclassDlgItem(menu::kSlotControls[slot - 1].option, this);
}

void CMenuDlg::LoadTranslation() {
    m_translator.Load(platform::ThreadLocale(), ".\\translat.ini");
}

std::string CMenuDlg::OwnFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A path cut short at the buffer's end would name some other folder.
    if (n == 0 || n >= MAX_PATH) return std::string();
    return platform::FolderOf(std::string(path, n));
}

void CMenuDlg::CreateFonts() {
    // GetFontFace gives no more than the field holds.
    static_assert(CTranslator::kMaxFaceName < LF_FACESIZE, "a face name fits LOGFONT");
    const std::string face = m_translator.GetFontFace();
    LOGFONTA lf = {};
    if (HFONT current = GetFont()) GetObjectA(current, sizeof lf, &lf);
    lstrcpyA(lf.lfFaceName, face.c_str());
    lf.lfCharSet = m_translator.m_nCharSet;
    m_fontNormal.CreateFontIndirect(lf);
    SetFont(m_fontNormal, TRUE);

    lf.lfHeight = menu::TitleFontMeasure(lf.lfHeight);
    lf.lfWidth = menu::TitleFontMeasure(lf.lfWidth);
    lf.lfWeight = FW_BOLD;
    m_fontTitle.CreateFontIndirect(lf);
}

BOOL CMenuDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // The medium's own splash pictures, if it names any: the one key read
    // before the splash comes up.
    const std::string folder = OwnFolder();
    const std::string descriptor = folder.empty() ? std::string() : look::RootDescriptor(folder);
    std::vector<std::string> splashPictures;
    if (!descriptor.empty())
        splashPictures = look::SplashPaths(folder, look::ReadSplash(descriptor));
    CSplashDlg splash(nullptr, splashPictures);

    if (HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE)) {
        std::string about = platform::LoadBuiltinText(IDS_ABOUTBOX);
        if (!about.empty()) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    // The medium's own picture and icon, if it names them. The caption and
    // the task switcher ask for their own sizes.
    const look::Look own = descriptor.empty() ? look::Look() : look::Read(descriptor);
    const std::string icon = own.windowIcon.empty() ? "" : look::PathOf(folder, own.windowIcon);
    m_picturePath = own.picture.empty() ? "" : look::PathOf(folder, own.picture);
    m_iconBig.Attach(artwork::LoadWindowIcon(icon, GetSystemMetrics(SM_CXICON)));
    m_iconSmall.Attach(artwork::LoadWindowIcon(icon, GetSystemMetrics(SM_CXSMICON)));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(static_cast<HICON>(m_iconBig)));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(static_cast<HICON>(m_iconSmall)));

    CWinApp* app = CWinApp::Get();
    if (app) app->BeginWaitCursor();

    LoadTranslation();
    CreateFonts();
    m_title.m_bTitle = true;
    SetWindowText(m_translator.GetText(IDS_CAPTION));

    if (!folder.empty()) m_rootItem.ScanFolder(folder);

    for (int slot = 1; slot <= menu::kSlots; ++slot) {
        Option(slot)->SetDescriptionWnd(&m_description);
        Bullet(slot)->SetOption(Option(slot));
        Option(slot)->SetFont(m_fontNormal, TRUE);
    }
    m_title.SetDescriptionWnd(&m_description);
    m_titleBullet.SetOption(&m_title);
    m_description.SetFont(m_fontNormal, TRUE);
    m_title.SetFont(m_fontTitle, FALSE);

    ShowNode(&m_rootItem);
    m_description.SetWindowText(m_translator.GetText(IDS_CHOOSE_OPTION));
    FitLayout();

    splash.DestroyWindow();
    SetForegroundWindow(m_hWnd);
    if (app) app->EndWaitCursor();
    return TRUE;
}

void CMenuDlg::FitLayout() {
    const int dpi = artwork::SystemDpi();
    HWND picture = GetDlgItem(m_hWnd, IDC_PICTURE);
    SIZE pictureSize = artwork::MenuPictureSize(dpi);
    if (picture && artwork::LoadMenuPicture(dpi, m_picturePath, m_picture))
        ::SendMessage(picture, STM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(static_cast<HBITMAP>(m_picture)));

    menu::MenuLayout at;
    // The picture's frame as the template gives it (the control itself has
    // taken the size of the bitmap it was made with).
    RECT frame = {6, 6, 6 + 72, 6 + 121};
    MapDialogRect(m_hWnd, &frame);
    at.picture.left = frame.left, at.picture.top = frame.top;
    at.picture.right = frame.right, at.picture.bottom = frame.bottom;
    int widths[menu::MenuLayout::kLines] = {};
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, m_fontTitle);
    widths[0] = WidestTitle(m_rootItem, dc, true);
    SelectObject(dc, m_fontNormal);
    const int optionWidth = WidestTitle(m_rootItem, dc, false);
    SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    at.bullets[0] = BoxOf(m_titleBullet.m_hWnd, m_hWnd);
    at.texts[0] = BoxOf(m_title.m_hWnd, m_hWnd);
    for (int slot = 1; slot <= menu::kSlots; ++slot) {
        at.bullets[slot] = BoxOf(Bullet(slot)->m_hWnd, m_hWnd);
        at.texts[slot] = BoxOf(Option(slot)->m_hWnd, m_hWnd);
        widths[slot] = optionWidth;
    }
    at.description = BoxOf(m_description.m_hWnd, m_hWnd);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    at.width = client.right, at.height = client.bottom;

    // The frame's border as the control draws it (the system's border
    // metric need not be what is drawn).
    int border = GetSystemMetrics(SM_CXBORDER);
    if (picture) {
        RECT outside = {}, inside = {};
        GetWindowRect(picture, &outside);
        GetClientRect(picture, &inside);
        border = (outside.right - outside.left - inside.right) / 2;
    }
    const menu::MenuLayout fit =
        menu::FitMenuLayout(at, pictureSize.cx, pictureSize.cy, border, widths);
    if (picture) Place(picture, fit.picture);
    Place(m_titleBullet.m_hWnd, fit.bullets[0]);
    Place(m_title.m_hWnd, fit.texts[0]);
    for (int slot = 1; slot <= menu::kSlots; ++slot) {
        Place(Bullet(slot)->m_hWnd, fit.bullets[slot]);
        Place(Option(slot)->m_hWnd, fit.texts[slot]);
    }
    Place(m_description.m_hWnd, fit.description);
    if (fit.width != at.width || fit.height != at.height) {
        RECT window = {};
        GetWindowRect(m_hWnd, &window);
        const int w = window.right - window.left + fit.width - at.width;
        const int h = window.bottom - window.top + fit.height - at.height;
        // Still centred where the template put it.
        SetWindowPos(m_hWnd, nullptr, window.left - (fit.width - at.width) / 2,
                     window.top - (fit.height - at.height) / 2, w, h,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CMenuDlg::ShowNode(CCatalogItem* pNode) {
    if (!pNode) return;
    auto child = pNode->m_children.begin();
    for (int slot = 1; slot <= menu::kSlots; ++slot) {
        CCatalogItem* item = nullptr;
        if (child != pNode->m_children.end()) item = (child++)->get();
        Option(slot)->SetItem(item);
        SetBullet(*Option(slot), *Bullet(slot));
    }
    m_title.SetItem(pNode);
    SetBullet(m_title, m_titleBullet);
}

HICON CMenuDlg::IconOf(menu::Bullet bullet) const {
    switch (bullet) {
    case menu::Bullet::App: return m_hIcon;
    case menu::Bullet::CD: return m_hIconCD;
    case menu::Bullet::Web: return m_hIconWeb;
    case menu::Bullet::Folder: return m_hIconFolder;
    case menu::Bullet::Up: return m_hIconUp;
    case menu::Bullet::Jek: return m_hIconJek;
    case menu::Bullet::Zov: return m_hIconZov;
    case menu::Bullet::Yq: return m_hIconYq;
    case menu::Bullet::Book: return m_hIconBook;
    case menu::Bullet::None: break;
    }
    return nullptr;
}

void CMenuDlg::SetBullet(COptionStatic& option, CBulletStatic& bullet) {
    menu::BulletChoice choice = menu::ChooseBullet(option.m_pItem, &option == &m_title);
    HICON icon = IconOf(choice.byKey);
    if (!icon) icon = IconOf(choice.byCommand);
    bullet.SetIcon(icon);
}

void CMenuDlg::OnUp() {
    if (m_title.m_pItem && m_title.m_pItem->m_pParent) ShowNode(m_title.m_pItem->m_pParent);
}

void CMenuDlg::OpenSubMenu(CCatalogItem* pItem) {
    ShowNode(pItem);
    m_description.SetWindowText(m_translator.GetText(IDS_CHOOSE_OPTION));
    UpdateWindow();
}

bool CMenuDlg::OnCommand(UINT id) {
    static void (CMenuDlg::*const kOnOption[menu::kSlots])() = {
        &CMenuDlg::OnOption1, &CMenuDlg::OnOption2, &CMenuDlg::OnOption3, &CMenuDlg::OnOption4,
        &CMenuDlg::OnOption5, &CMenuDlg::OnOption6, &CMenuDlg::OnOption7};
    for (int slot = 0; slot < menu::kSlots; ++slot) {
        const menu::SlotControls& ids = menu::kSlotControls[slot];
        if (id == static_cast<UINT>(ids.option) || id == static_cast<UINT>(ids.bullet)) {
            (this->*kOnOption[slot])();
            return true;
        }
    }
    if (id != IDC_TITLE && id != IDC_TITLE_BULLET) return false;
    OnUp();
    return true;
}

HBRUSH CMenuDlg::OnCtlColor(UINT msg, HDC dc, HWND wnd) {
    HBRUSH standard = reinterpret_cast<HBRUSH>(
        DefaultCtlColor(msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(wnd)));
    if (!::IsWindowEnabled(wnd)) return standard;
    SetBkMode(dc, TRANSPARENT);
    bool rootTitle = wnd == m_title.m_hWnd && (!m_title.m_pItem || !m_title.m_pItem->m_pParent);
    if (wnd != m_description.m_hWnd && !rootTitle)
        SetTextColor(dc, ::GetFocus() == wnd ? kHighlightText : kOptionText);
    if (!m_brushMenu.GetSafeHandle()) m_brushMenu.CreateSolidBrush(GetSysColor(COLOR_MENU));
    return m_brushMenu;
}

void CMenuDlg::OnMouseMove() {
    if (!m_description.HasFocus()) {
        m_description.SetWindowText(m_translator.GetText(IDS_CHOOSE_OPTION));
        m_description.SetFocus();
    }
}

bool CMenuDlg::OnSysCommand(UINT nID) {
    if ((nID & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg about;
    about.DoModal();
    return true;
}

bool CMenuDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) return false;
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
    RECT client;
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.m_hDC, x, y, m_hIcon);
    return true;
}

bool CMenuDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_SYSCOMMAND:
        if (OnSysCommand(static_cast<UINT>(wp))) {
            result = 0;
            return true;
        }
        return false;
    case WM_PAINT:
        if (OnPaint()) {
            result = 0;
            return true;
        }
        return false;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_hIcon);
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove();
        return false;  // and the default processing
    case WM_COMMAND:
        if (HIWORD(wp) == STN_CLICKED && OnCommand(LOWORD(wp))) {
            result = 0;
            return true;
        }
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        result = reinterpret_cast<LRESULT>(
            OnCtlColor(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
        return true;
    default:
        break;
    }
    return CDialog::OnMessage(msg, wp, lp, result);
}
