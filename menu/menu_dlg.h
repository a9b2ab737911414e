// The menu window: a picture at the left, the title line, seven option
// lines with their bullets and the description line. It shows one node of
// the catalog tree at a time.
#pragma once

#include "catalog/catalog_item.h"
#include "localisation/translator.h"
#include "menu/menu_logic.h"
#include "menu/option_static.h"
#include "platform/gdi.h"
#include "platform/window.h"

#include <string>

// CreateProcessA's refusal of a program that asks for administrator rights
// (the MinGW headers lack it).
#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740L
#endif

class CMenuDlg : public CDialog {
public:
    explicit CMenuDlg(CWnd* pParent = nullptr);
    ~CMenuDlg() override;

    // Shows `pNode` in the title slot and its first seven children in the
    // option slots.
    void ShowNode(CCatalogItem* pNode);
    // Sets `bullet`'s icon from the item of `option`.
    void SetBullet(COptionStatic& option, CBulletStatic& bullet);
    // Goes back to the parent of the node on display (nothing at the root).
    void OnUp();
    // What a click on an option does with its item: its page, its program,
    // its address in the shell, or a download that is then started.
    void ActivateItem(CCatalogItem* pItem);
    // How an attempt to start a program ended.
    enum class Launch {
        Started,   // the program runs
        Declined,  // the user refused it the administrator rights it asks for
        Failed,    // the system's reason has been shown
    };
    // Starts the program at `pszPath` without waiting for it. On failure
    // shows the system's reason in a box captioned "Error".
    Launch LaunchProgram(const char* pszPath);
    // Loads the translation for the thread's locale from ".\translat.ini".
    void LoadTranslation();

    // A click on the text or the bullet of slot `slot` (1 to 7): its item
    // is activated. OnOption1 to OnOption7 are the handlers of the slots.
    void OnOption(int slot) { ActivateItem(Option(slot)->m_pItem); }
    void OnOption1() { OnOption(1); }
    void OnOption2() { OnOption(2); }
    void OnOption3() { OnOption(3); }
    void OnOption4() { OnOption(4); }
    void OnOption5() { OnOption(5); }
    void OnOption6() { OnOption(6); }
    void OnOption7() { OnOption(7); }

    // The slots from the top (1 to 7): option texts and their bullets; null
    // for any other number.
    COptionStatic* Option(int slot);
    CBulletStatic* Bullet(int slot);

    CBulletStatic m_titleBullet;
    CBulletStatic m_bullets[menu::kSlots];
    COptionStatic m_title;
    CStatic m_description;
    COptionStatic m_options[menu::kSlots];
    // The slots' elements by name.
    COptionStatic &m_option1 = m_options[0], &m_option2 = m_options[1], &m_option3 = m_options[2],
                  &m_option4 = m_options[3], &m_option5 = m_options[4], &m_option6 = m_options[5],
                  &m_option7 = m_options[6];
    CBulletStatic &m_bullet1 = m_bullets[0], &m_bullet2 = m_bullets[1], &m_bullet3 = m_bullets[2],
                  &m_bullet4 = m_bullets[3], &m_bullet5 = m_bullets[4], &m_bullet6 = m_bullets[5],
                  &m_bullet7 = m_bullets[6];
    HICON m_hIcon;
    HICON m_hIconCD;
    HICON m_hIconWeb;
    HICON m_hIconFolder;
    HICON m_hIconUp;
    HICON m_hIconJek;
    HICON m_hIconZov;
    HICON m_hIconYq;
    HICON m_hIconBook;
    CCatalogItem m_rootItem;
    CTranslator m_translator;
    CFont m_fontTitle;
    CFont m_fontNormal;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    // The folder the program runs from, without a trailing backslash;
    // empty when it cannot be told.
    virtual std::string OwnFolder();
    // The system's two ways of starting the program at `path` in `folder`
    // (none when empty). Each returns ERROR_SUCCESS once the process
    // exists, else the system's error code. CreateProcessA comes first; it
    // refuses a program that asks for administrator rights with
    // ERROR_ELEVATION_REQUIRED, and only then the shell is asked, which
    // puts the consent prompt up for `owner` (ERROR_CANCELLED when the user
    // says no). Wine never refuses, so the tests stand in for both.
    virtual DWORD CreateProgramProcess(const std::string& path, const std::string& folder);
    virtual DWORD ShellStartProgram(HWND owner, const std::string& path,
                                    const std::string& folder);

private:
    void CreateFonts();
    // Fits the window to the picture at this display's scale and to the
    // widest texts of the tree: see menu::FitMenuLayout.
    void FitLayout();
    HICON IconOf(menu::Bullet bullet) const;
    // Sub-menu: the item becomes the page on display.
    void OpenSubMenu(CCatalogItem* pItem);
    // Fetches the program at `address` through Online.dll into the
    // temporary folder. Returns what to start then: the file that arrived,
    // or the address itself when the library could not be used; empty when
    // the download was cancelled or failed.
    std::string DownloadProgram(const std::string& address);
    // Starts the downloaded program at `path` only when its SHA-256 is
    // `pin`; otherwise deletes it and tells the user.
    void LaunchChecked(const std::string& path, const std::string& pin);
    // Ends the menu after a start, keeps the page after a refusal, and
    // adds the menu's own message to the system's after a failure.
    void AfterLaunch(Launch launched, const std::string& command);
    // "<IDS_UNABLE_TO_START> <what>", captioned IDS_ERROR, with the
    // exclamation icon.
    void ShowUnableToStart(const std::string& what);
    // IDS_DOWNLOAD_MISMATCH, captioned IDS_ERROR: a download was not the
    // file the medium pinned, or the pin is no digest.
    void ShowNotTheFile();
    bool OnCommand(UINT id);
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND wnd);
    void OnMouseMove();
    bool OnSysCommand(UINT nID);
    bool OnPaint();

    CBrush m_brushMenu;  // COLOR_MENU, for every control-colour message
    CIcon m_iconBig, m_iconSmall;  // the application icon at the caption's sizes
    CBitmap m_picture;   // the picture at the left at this display's scale
    std::string m_picturePath;  // the medium's own picture; empty for ours
};
