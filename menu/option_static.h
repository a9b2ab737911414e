// The two controls of a menu slot: the option's text (also the title's
// text) and the bullet icon in front of it. Pointing at either takes the
// keyboard focus for the text, which the menu window draws highlighted,
// and writes the item's description into the description line.
#pragma once

#include "platform/window.h"

class CCatalogItem;

class COptionStatic : public CStatic {
public:
    COptionStatic();
    ~COptionStatic() override;

    // The window that shows descriptions; returns the previous one.
    CWnd* SetDescriptionWnd(CWnd* pWnd);
    // Shows `pItem` (or, when null, empties and hides the slot); returns
    // the item shown before.
    CCatalogItem* SetItem(CCatalogItem* pItem);
    // Writes the description of the control's item into the description
    // window; without an item the description stays as it is.
    void ShowDescription();

    CWnd* m_pDescription;  // not owned
    CCatalogItem* m_pItem;  // not owned; null = empty slot
    bool m_bTitle;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnMouseMove();
    void OnSetFocus();
    void OnKillFocus();
    BOOL OnSetCursor();
    void ShowTitle();
};

class CBulletStatic : public CStatic {
public:
    CBulletStatic();
    ~CBulletStatic() override;

    // The text control of the same slot; returns the previous one.
    COptionStatic* SetOption(COptionStatic* pOption);

    COptionStatic* m_pOption;  // not owned

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnMouseMove();
    BOOL OnSetCursor();
};

// The pointing hand shown over the options (IDC_HAND_CURSOR).
HCURSOR HandCursor();
