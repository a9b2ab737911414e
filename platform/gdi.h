// Owners of drawing objects: each frees its object when it goes.
#pragma once

#include <windows.h>

// A drawing object of handle type H, deleted with the object.
template <class H>
class CGdiObjectT {
public:
    CGdiObjectT() : m_handle(nullptr) {}
    ~CGdiObjectT() { DeleteObject(); }
    CGdiObjectT(const CGdiObjectT&) = delete;
    CGdiObjectT& operator=(const CGdiObjectT&) = delete;

    // Takes ownership of `handle`, deleting the one held before.
    bool Attach(H handle) {
        DeleteObject();
        m_handle = handle;
        return m_handle != nullptr;
    }
    void DeleteObject() {
        if (m_handle) ::DeleteObject(m_handle);
        m_handle = nullptr;
    }
    H GetSafeHandle() const { return m_handle; }
    operator H() const { return m_handle; }

private:
    H m_handle;
};

class CFont : public CGdiObjectT<HFONT> {
public:
    bool CreateFontIndirect(const LOGFONTA& lf) { return Attach(::CreateFontIndirectA(&lf)); }
};

class CBrush : public CGdiObjectT<HBRUSH> {
public:
    bool CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
};

class CBitmap : public CGdiObjectT<HBITMAP> {};

// An icon loaded for this program alone (not a shared one), destroyed with
// the object.
class CIcon {
public:
    CIcon() : m_handle(nullptr) {}
    ~CIcon() { Destroy(); }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;

    // Takes ownership of `icon`, destroying the one held before.
    HICON Attach(HICON icon) {
        Destroy();
        return m_handle = icon;
    }
    void Destroy() {
        if (m_handle) ::DestroyIcon(m_handle);
        m_handle = nullptr;
    }
    operator HICON() const { return m_handle; }

private:
    HICON m_handle;
};

// A window's device context (GetDC; the screen's for no window), released
// when the object goes.
class CClientDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~CClientDC() {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// A memory device context compatible with `dc`, deleted when the object
// goes.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC dc) : m_hDC(::CreateCompatibleDC(dc)) {}
    ~CMemoryDC() {
        if (m_hDC) ::DeleteDC(m_hDC);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
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
