#include "menu/option_static.h"

#include "catalog/catalog_item.h"
#include "menu/artwork.h"
#include "menu/menu_logic.h"

HCURSOR HandCursor() { return artwork::HandCursor(); }

// ---------------------------------------------------------------- COptionStatic

COptionStatic::COptionStatic() : m_pDescription(nullptr), m_pItem(nullptr), m_bTitle(false) {}

COptionStatic::~COptionStatic() {}

CWnd* COptionStatic::SetDescriptionWnd(CWnd* pWnd) {
    CWnd* previous = m_pDescription;
    m_pDescription = pWnd;
    return previous;
}

CCatalogItem* COptionStatic::SetItem(CCatalogItem* pItem) {
    CCatalogItem* previous = m_pItem;
    m_pItem = pItem;
    if (pItem) {
        EnableWindow(TRUE);
        ModifyStyle(0, WS_VISIBLE);
        SetWindowText(pItem->GetTitle());
    } else {
        SetWindowText("");
        ModifyStyle(WS_VISIBLE, 0);
        EnableWindow(FALSE);
    }
    if (HasFocus()) ShowDescription();
    return previous;
}

void COptionStatic::ShowDescription() {
    if (!m_pItem || !m_pDescription) return;
    m_pDescription->SetWindowText(menu::DescriptionText(*m_pItem, m_bTitle));
}

void COptionStatic::ShowTitle() { SetWindowText(m_pItem ? m_pItem->GetTitle() : std::string()); }

void COptionStatic::OnMouseMove() {
    if (!HasFocus()) {
        ShowDescription();
        SetFocus();
    }
}

void COptionStatic::OnSetFocus() { ShowTitle(); }
void COptionStatic::OnKillFocus() { ShowTitle(); }

BOOL COptionStatic::OnSetCursor() {
    if (!HasFocus() && m_pItem && m_pItem->m_pParent) SetCursor(HandCursor());
    return TRUE;
}

LRESULT COptionStatic::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
        OnMouseMove();
        return Default();
    case WM_SETFOCUS: {
        LRESULT result = Default();
        OnSetFocus();
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = Default();
        OnKillFocus();
        return result;
    }
    case WM_SETCURSOR:
        return OnSetCursor();
    default:
        return CStatic::WindowProc(msg, wp, lp);
    }
}

// ---------------------------------------------------------------- CBulletStatic

CBulletStatic::CBulletStatic() : m_pOption(nullptr) {}

CBulletStatic::~CBulletStatic() {}

COptionStatic* CBulletStatic::SetOption(COptionStatic* pOption) {
    COptionStatic* previous = m_pOption;
    m_pOption = pOption;
    return previous;
}

void CBulletStatic::OnMouseMove() {
    if (m_pOption && !m_pOption->HasFocus()) {
        m_pOption->ShowDescription();
        m_pOption->SetFocus();
    }
}

BOOL CBulletStatic::OnSetCursor() {
    if (m_pOption && !m_pOption->HasFocus()) SetCursor(HandCursor());
    return TRUE;
}

LRESULT CBulletStatic::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
        OnMouseMove();
        return Default();
    case WM_SETCURSOR:
        return OnSetCursor();
    default:
        return CStatic::WindowProc(msg, wp, lp);
    }
}
