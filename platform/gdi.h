// Owners of drawing objects: each frees its object when it goes.
#pragma once

#include <windows.h>

// A font, deleted with the object.
class CFont {
public:
    CFont() : m_hFont(nullptr) {}
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    bool CreateFontIndirect(const LOGFONTA& lf) { return Attach(::CreateFontIndirectA(&lf)); }
    // Takes ownership of `font`, deleting the one held before.
    bool Attach(HFONT font) {
        DeleteObject();
        m_hFont = font;
        return m_hFont != nullptr;
    }
    void DeleteObject() {
        if (m_hFont) ::DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
    HFONT GetSafeHandle() const { return m_hFont; }
    operator HFONT() const { return m_hFont; }

private:
    HFONT m_hFont;
};

// A brush, deleted with the object.
class CBrush {
public:
    CBrush() : m_hBrush(nullptr) {}
    ~CBrush() { DeleteObject(); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    bool CreateSolidBrush(COLORREF colour) {
        DeleteObject();
        m_hBrush = ::CreateSolidBrush(colour);
        return m_hBrush != nullptr;
    }
    void DeleteObject() {
        if (m_hBrush) ::DeleteObject(m_hBrush);
        m_hBrush = nullptr;
    }
    HBRUSH GetSafeHandle() const { return m_hBrush; }
    operator HBRUSH() const { return m_hBrush; }

private:
    HBRUSH m_hBrush;
};

// The paint context of one WM_PAINT: BeginPaint here, EndPaint when it goes.
class CPaintDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
