#include "platform/image.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>

namespace platform {

namespace {

// A COM interface pointer, released when it goes.
template <class T>
class ComPtr {
public:
    ComPtr() : m_p(nullptr) {}
    ~ComPtr() {
        if (m_p) m_p->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }

private:
    T* m_p;
};

// COM for this thread while the object lives (only if this call began it).
class ComScope {
public:
    ComScope() : m_ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (m_ok) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_ok;
};

// The imaging factory's class; spelt out, as older import libraries lack it.
const CLSID kImagingFactory = {0xcacaf262, 0x9370, 0x4615,
                               {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};

}  // namespace

Pixels DecodeImageResource(HINSTANCE module, UINT id) {
    Pixels out;
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!res) return out;
    HGLOBAL data = LoadResource(module, res);
    const DWORD size = SizeofResource(module, res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes || size == 0) return out;

    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
        return out;
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)), size)))
        return out;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)))
        return out;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, &frame))) return out;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return out;
    UINT w = 0, h = 0;
    if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0 || w > 8192 || h > 8192)
        return out;
    std::vector<uint32_t> argb(static_cast<size_t>(w) * h);
    if (FAILED(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(argb.size() * 4),
                                     reinterpret_cast<BYTE*>(argb.data()))))
        return out;
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.argb.swap(argb);
    return out;
}

Pixels LoadBitmapPixels(HINSTANCE module, UINT id) {
    Pixels out;
    CBitmap bitmap;
    bitmap.Attach(static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                  LR_CREATEDIBSECTION)));
    BITMAP bm;
    if (!bitmap.GetSafeHandle() || !GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 ||
        bm.bmHeight <= 0)
        return out;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;  // rows from the top
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> argb(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), argb.data(), &bi,
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != bm.bmHeight) return out;
    for (uint32_t& p : argb) p |= 0xFF000000u;  // bitmaps are opaque
    out.width = bm.bmWidth;
    out.height = bm.bmHeight;
    out.argb.swap(argb);
    return out;
}

HBITMAP CreatePixelBitmap(const Pixels& pixels) {
    if (pixels.Empty() || pixels.argb.size() != static_cast<size_t>(pixels.width) * pixels.height)
        return nullptr;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = pixels.width;
    bi.bmiHeader.biHeight = -pixels.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    std::memcpy(bits, pixels.argb.data(), pixels.argb.size() * 4);
    return bitmap;
}

}  // namespace platform
