#include "platform/image.h"

#include "platform/picture_file.h"

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

namespace {

// `size` bytes of a compressed picture read with the imaging component,
// `most` pixels a side at the most. Empty when the component is missing,
// does not read them, or the picture is larger.
Pixels DecodeImageBytes(const void* bytes, DWORD size, UINT most, bool* noImaging = nullptr) {
    Pixels out;
    if (noImaging) *noImaging = false;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))) {
        if (noImaging) *noImaging = true;
        return out;
    }
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
    if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0 || w > most || h > most)
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

// The pixels of a bitmap (any colour depth) as 32-bit colours, opaque.
Pixels BitmapPixels(HBITMAP bitmap) {
    Pixels out;
    BITMAP bm;
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
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

// A BMP file's bytes (already inspected) through the drawing interface,
// which reads every kind InspectPicture lets through.
Pixels DecodeBmpBytes(const std::string& bytes) {
    const BITMAPFILEHEADER* file = reinterpret_cast<const BITMAPFILEHEADER*>(bytes.data());
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof *file);
    HDC screen = GetDC(nullptr);
    CBitmap bitmap;
    bitmap.Attach(CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT,
                                 bytes.data() + file->bfOffBits, info, DIB_RGB_COLORS));
    ReleaseDC(nullptr, screen);
    return BitmapPixels(bitmap);
}

}  // namespace

Pixels DecodeImageResource(HINSTANCE module, UINT id) {
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!res) return Pixels();
    HGLOBAL data = LoadResource(module, res);
    const DWORD size = SizeofResource(module, res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes || size == 0) return Pixels();
    return DecodeImageBytes(bytes, size, 8192);
}

Pixels DecodePictureFile(const std::string& path, bool withImaging) {
    std::string bytes;
    if (ReadWholeFile(path, kMostPictureBytes, bytes) != FileRead::Read) return Pixels();
    const PictureFacts facts = InspectPicture(bytes);
    if (!facts.problem.empty()) return Pixels();
    bool noImaging = !withImaging;
    Pixels out;
    if (withImaging)
        out = DecodeImageBytes(bytes.data(), static_cast<DWORD>(bytes.size()),
                               static_cast<UINT>(kMostPictureSide), &noImaging);
    // Without the imaging component, bitmaps alone.
    if (noImaging && facts.kind == PictureKind::Bmp) out = DecodeBmpBytes(bytes);
    // The picture the header announced, or none.
    if (out.width != facts.width || out.height != facts.height) return Pixels();
    return out;
}

HICON LoadIconFile(const std::string& path, int size) {
    std::string bytes;
    if (ReadWholeFile(path, kMostPictureBytes, bytes) != FileRead::Read) return nullptr;
    std::vector<IconImage> images;
    if (!InspectIcon(bytes, &images).problem.empty()) return nullptr;
    const int chosen = ChooseIconImage(images, size);
    if (chosen < 0) return nullptr;
    const IconImage& image = images[static_cast<size_t>(chosen)];
    return CreateIconFromResourceEx(
        reinterpret_cast<BYTE*>(&bytes[image.offset]), static_cast<DWORD>(image.length), TRUE,
        0x00030000, size, size, LR_DEFAULTCOLOR);
}

Pixels LoadBitmapPixels(HINSTANCE module, UINT id) {
    CBitmap bitmap;
    bitmap.Attach(static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                  LR_CREATEDIBSECTION)));
    return BitmapPixels(bitmap);
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
