#include "ui/ScaledPicture.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ui/Description.h"
#include "ui/PictureSets.h"

namespace promo {

namespace {

// The PNG file inside the stream form `file` has in `source`; false when the
// source has none or it is no PNG stream.
bool ReadPng(const TPictureSource& source, const std::wstring& file, std::vector<std::uint8_t>& png) {
    std::vector<std::uint8_t> stream;
    if (!source || !source(file, stream)) return false;
    std::string cls;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (!SplitPictureStream(stream.data(), stream.size(), cls, data, size) || cls != "TPngImage")
        return false;
    png.assign(data, data + size);
    return true;
}

// A 32-bit DIB selected into a memory context, for one stretch.
struct DibSurface {
    UniqueGdiObject bitmap;
    UniqueMemoryDc dc;
    std::uint32_t* bits = nullptr;
    HGDIOBJ old = nullptr;

    DibSurface(int width, int height) {
        void* p = nullptr;
        bitmap = CreateTopDownDib(width, height, &p);
        if (!bitmap) return;
        dc.reset(::CreateCompatibleDC(nullptr));
        if (!dc) return;
        old = ::SelectObject(dc.get(), bitmap.get());
        bits = static_cast<std::uint32_t*>(p);
    }
    ~DibSurface() {
        if (dc && old) ::SelectObject(dc.get(), old);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    explicit operator bool() const { return bits != nullptr; }
};

// HALFTONE averages the source pixels that fall on each destination pixel
// (https://learn.microsoft.com/windows/win32/api/wingdi/nf-wingdi-setstretchbltmode:
// "the average color over the destination block of pixels approximates the
// color of the source pixels"); what it does with the fourth byte of a 32-bit
// DIB is not documented, and GDI's raster operations do not promise to keep
// alpha. So colour and alpha are stretched apart, each as colour: on
// premultiplied pixels the average of every channel on its own is the
// correct area average of the picture.
bool HalftoneStretch(HDC source, int sw, int sh, DibSurface& dest, int dw, int dh) {
    ::SetStretchBltMode(dest.dc.get(), HALFTONE);
    ::SetBrushOrgEx(dest.dc.get(), 0, 0, nullptr);  // as the documentation asks after HALFTONE
    const BOOL ok = ::StretchBlt(dest.dc.get(), 0, 0, dw, dh, source, 0, 0, sw, sh, SRCCOPY);
    ::GdiFlush();
    return ok != FALSE;
}

}  // namespace

DecodedImage StretchPicture(const TBitmapImage& from, int width, int height) {
    DecodedImage out;
    const int sw = from.Width(), sh = from.Height();
    if (width <= 0 || height <= 0 || sw <= 0 || sh <= 0) return out;
    HDC source = from.SourceDc();
    if (!source) return out;

    // The alpha of every pixel as a grey picture.
    DibSurface alphaSource(sw, sh);
    if (!alphaSource) return out;
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
            const std::uint32_t a = from.Pixel(x, y) >> 24;
            alphaSource.bits[static_cast<size_t>(y) * sw + x] = (a << 16) | (a << 8) | a;
        }

    DibSurface colour(width, height), alpha(width, height);
    if (!colour || !alpha) return out;
    if (!HalftoneStretch(source, sw, sh, colour, width, height) ||
        !HalftoneStretch(alphaSource.dc.get(), sw, sh, alpha, width, height))
        return out;

    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        const std::uint32_t a = alpha.bits[i] & 0xFF;
        const std::uint32_t c = colour.bits[i];
        // Premultiplied: no channel above alpha, nothing where alpha is 0.
        const std::uint32_t r = std::min((c >> 16) & 0xFF, a), g = std::min((c >> 8) & 0xFF, a),
                            b = std::min(c & 0xFF, a);
        out.pixels[i] = (a << 24) | (r << 16) | (g << 8) | b;
        if (a != 0xFF) out.hasAlpha = true;
    }
    return out;
}

std::shared_ptr<const TBitmapImage> PictureForDpi(const TPictureSource& source, const std::wstring& file,
                                                  int dpi) {
    if (dpi <= 0) dpi = PictureSetDpi(kPictureSetPercents.front());
    // The design picture gives the size; only its header is read.
    std::vector<std::uint8_t> png;
    if (!ReadPng(source, file, png)) return nullptr;
    int designWidth = 0, designHeight = 0;
    if (!ReadPngSize(png.data(), png.size(), designWidth, designHeight)) return nullptr;
    const int width = ScaleLength(designWidth, dpi), height = ScaleLength(designHeight, dpi);

    // The chosen set, or a larger one where a source lacks it; the design
    // picture when the source has no set at all (a test form's pictures).
    std::shared_ptr<const TBitmapImage> picture;
    const int chosen = ChoosePictureSet(dpi);
    for (int percent : kPictureSetPercents) {
        if (chosen == kPictureSetPercents.front()) break;
        if (percent < chosen) continue;
        std::vector<std::uint8_t> setPng;
        if (ReadPng(source, PictureSetFile(file, percent), setPng)) {
            picture = TBitmapImage::FromPng(setPng.data(), setPng.size());
            if (picture) break;
        }
    }
    if (!picture) picture = TBitmapImage::FromPng(png.data(), png.size());
    if (!picture) return nullptr;
    if (picture->Width() == width && picture->Height() == height) return picture;
    return TBitmapImage::Deferred(
        width, height, [picture, width, height] { return StretchPicture(*picture, width, height); });
}

}  // namespace promo
