#include "picture.h"

#include <wincodec.h>

#include <algorithm>
#include <cstddef>
#include <vector>

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

// One axis of a scaling by area: for each target pixel, the source pixels
// under it and how much of each it covers, as shares that sum to 1.
struct Share {
    UINT from;
    double weight;
};
std::vector<std::vector<Share>> shares(UINT source, UINT target) {
    std::vector<std::vector<Share>> all(target);
    const double step = static_cast<double>(source) / target;
    for (UINT i = 0; i < target; ++i) {
        const double start = i * step, end = start + step;
        for (UINT j = static_cast<UINT>(start); j < source && j < end; ++j) {
            const double covered = std::min<double>(end, j + 1) - std::max<double>(start, j);
            if (covered > 0) all[i].push_back({j, covered / step});
        }
    }
    return all;
}

// Scales 32-bit pixels to another size by area: each target pixel is the
// mean of the source pixels under it, weighted by how much of each it
// covers, so that a picture made smaller keeps its fine lines smooth. (The
// Imaging Component's own scaler is nearest neighbour under Wine.) Equal
// sizes copy.
void areascale(const BYTE* source, UINT sourcewidth, UINT sourceheight, BYTE* target, UINT width, UINT height) {
    const auto across = shares(sourcewidth, width), down = shares(sourceheight, height);
    std::vector<double> row(std::size_t{width} * 4);
    for (UINT y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), 0.0);
        for (const Share& v : down[y]) {
            const BYTE* line = source + std::size_t{v.from} * sourcewidth * 4;
            for (UINT x = 0; x < width; ++x)
                for (const Share& h : across[x])
                    for (UINT c = 0; c < 4; ++c) row[std::size_t{x} * 4 + c] += v.weight * h.weight * line[std::size_t{h.from} * 4 + c];
        }
        for (std::size_t i = 0; i < row.size(); ++i)
            target[std::size_t{y} * width * 4 + i] = static_cast<BYTE>(std::clamp(row[i] + 0.5, 0.0, 255.0));
    }
}

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

    std::vector<BYTE> decoded(std::size_t{width} * height * 4);
    if (FAILED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(decoded.size()), decoded.data()))) return nullptr;
    const auto scaled = [dpi](int pixels) { return static_cast<UINT>(MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI)); };
    const UINT targetwidth = scaled(form::picturewidth), targetheight = scaled(form::pictureheight);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(targetwidth);
    info.bmiHeader.biHeight = -static_cast<LONG>(targetheight);  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) return nullptr;
    areascale(decoded.data(), width, height, static_cast<BYTE*>(pixels), targetwidth, targetheight);
    return bitmap;
}

}  // namespace win32
