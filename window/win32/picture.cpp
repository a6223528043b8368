#include "picture.h"

#include <wincodec.h>

#include "form/form1.h"
#include "resources.h"

namespace win32 {
namespace {

// Releases a COM interface when it goes out of scope.
template <class T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
};

}  // namespace

HBITMAP loadpicture(UINT dpi) {
    // Above 96 DPI the finer picture, scaled to the screen's pixels under the
    // picture's place (at 192 DPI it is the finer one itself).
    const bool fine = dpi > USER_DEFAULT_SCREEN_DPI;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(fine ? IDR_PICTURE2X : IDR_PICTURE), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    auto* bytes = loaded ? static_cast<BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes) return nullptr;

    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converted;
    Com<IWICBitmapScaler> scaler;
    UINT width = 0, height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(bytes, SizeofResource(module, found))) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converted)) ||
        FAILED(converted->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converted->GetSize(&width, &height)))
        return nullptr;

    IWICBitmapSource* source = converted.p;
    const auto scaled = [dpi](int pixels) { return static_cast<UINT>(MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI)); };
    if (scaled(form::picturewidth) != width || scaled(form::pictureheight) != height) {
        width = scaled(form::picturewidth);
        height = scaled(form::pictureheight);
        if (FAILED(factory->CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(converted.p, width, height, WICBitmapInterpolationModeFant)))
            return nullptr;
        source = scaler.p;
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) return nullptr;
    const UINT stride = width * 4;
    if (FAILED(source->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace win32
