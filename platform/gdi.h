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
