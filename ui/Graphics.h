// Colours, fonts, brushes, pens, pictures and the canvas over a device
// context. Owned sub-objects (fonts, pictures) tell their owner of a change
// through OnChange; assigning copies into the owned object.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "support/Handles.h"
#include "ui/Geometry.h"
#include "ui/PngImage.h"

namespace promo {

// 0x00BBGGRR plain colour, 0xFF0000nn system colour number nn.
using TColor = std::uint32_t;
constexpr TColor clNoOverride = 0x20000000;  // "use the font's colour"
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clGrayText = 0xFF000011;
constexpr TColor cl3DDkShadow = 0xFF000015;

COLORREF ColorToRgb(TColor c);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TFont {
public:
    TFont() = default;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    const std::wstring& Name() const { return name_; }
    int Height() const { return height_; }
    TColor Color() const { return color_; }
    unsigned Style() const { return style_; }
    int Charset() const { return charset_; }
    int Quality() const { return quality_; }  // lfQuality: 0 default, 4 antialiased
    void SetName(const std::wstring& v);
    void SetHeight(int v);
    void SetColor(TColor v);
    void SetStyle(unsigned v);
    void SetCharset(int v);
    void SetQuality(int v);
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    // The GDI font, created on first use after a change; owned by this object.
    HFONT Handle() const;

    std::function<void()> OnChange;

private:
    void Changed();

    std::wstring name_ = L"Tahoma";
    int height_ = -11;
    TColor color_ = clWindowText;
    unsigned style_ = 0;
    int charset_ = DEFAULT_CHARSET;
    int quality_ = 0;
    mutable UniqueGdiObject handle_;
};

// A decoded picture kept as a premultiplied 32-bit DIB section. Immutable once
// made, so pictures share it: a copy of a picture is as cheap as a pointer.
class TBitmapImage {
public:
    explicit TBitmapImage(DecodedImage image)
        : width_(image.width), height_(image.height), image_(std::move(image)) {}
    // A PNG file's bytes, kept as they are until the pixels are first needed
    // (most faces of a button are never drawn): only the header is read now.
    // nullptr when the header is not one of a PNG we can decode.
    static std::shared_ptr<const TBitmapImage> FromPng(const std::uint8_t* data, std::size_t size);
    // A picture of the given size whose pixels `make` gives when they are
    // first needed (a picture drawn down from a larger one); `make` runs once
    // and is let go then. Pixels of another size give a transparent picture.
    static std::shared_ptr<const TBitmapImage> Deferred(int width, int height,
                                                        std::function<DecodedImage()> make);
    ~TBitmapImage();
    TBitmapImage(const TBitmapImage&) = delete;
    TBitmapImage& operator=(const TBitmapImage&) = delete;
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixels, decoded on first use. A file whose pixels turn out not to
    // decode gives a fully transparent picture of its declared size.
    const DecodedImage& Image() const;
    // One pixel (0xAARRGGBB, premultiplied), read where the pixels are kept;
    // 0 outside the picture.
    std::uint32_t Pixel(int x, int y) const;
    bool HasAlpha() const;  // some pixel is not fully opaque
    // Created on first use. From then on the bitmap holds the only copy of
    // the pixels (a picture drawn once is never held twice); Image() copies
    // them back only when asked.
    HBITMAP Bitmap() const;
    // A memory context with Bitmap() selected, kept for the picture's life,
    // to blend from: drawing makes no context of its own. Never select the
    // bitmap elsewhere. nullptr when either cannot be made.
    HDC SourceDc() const;

private:
    TBitmapImage(std::vector<std::uint8_t> png, int width, int height)
        : width_(width), height_(height), png_(std::move(png)) {}
    TBitmapImage(int width, int height, std::function<DecodedImage()> make)
        : width_(width), height_(height), make_(std::move(make)) {}

    int width_;
    int height_;
    mutable std::vector<std::uint8_t> png_;       // until decoded
    mutable std::function<DecodedImage()> make_;  // until made
    mutable DecodedImage image_;
    mutable UniqueGdiObject dib_;
    mutable const std::uint32_t* dibBits_ = nullptr;  // dib_'s pixels
    mutable UniqueMemoryDc dc_;
    mutable HGDIOBJ oldBitmap_ = nullptr;
};

// A picture property. Empty when nothing (or nothing readable) was loaded; a
// missing picture is never an error.
class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    int Width() const { return image_ ? image_->Width() : 0; }
    int Height() const { return image_ ? image_->Height() : 0; }
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    bool HasAlpha() const { return image_ && image_->HasAlpha(); }
    const std::shared_ptr<const TBitmapImage>& Graphic() const { return image_; }
    // 0xAARRGGBB premultiplied; 0 outside.
    std::uint32_t Pixel(int x, int y) const;

    // Copies the other picture (sharing its immutable pixels); raises OnChange.
    void Assign(const TPicture& other);
    void Clear();
    void SetGraphic(std::shared_ptr<const TBitmapImage> image);
    // A PNG file's bytes; false (and empty) when they do not decode.
    bool LoadFromPng(const std::uint8_t* data, std::size_t size);
    // The stream form: class name "TPngImage" (length-prefixed), then the PNG.
    bool LoadFromStream(const std::uint8_t* data, std::size_t size);

    // The picture file the window description named, so that the picture
    // can be loaded again for another DPI; empty for a picture made at run
    // time. Assign copies it, Clear and the loads forget it, SetGraphic
    // keeps it (the same picture at another size).
    const std::wstring& SourceFile() const { return sourceFile_; }
    void SetSourceFile(std::wstring file) { sourceFile_ = std::move(file); }

    std::function<void()> OnChange;

private:
    void Changed() {
        if (OnChange) OnChange();
    }
    std::shared_ptr<const TBitmapImage> image_;
    std::wstring sourceFile_;
};

// A top-down 32-bit DIB section of the given size; bits receives its pixels
// (0xAARRGGBB rows). Empty (and bits nullptr) when it cannot be made.
UniqueGdiObject CreateTopDownDib(int width, int height, void** bits);

// Copies source (picture pixels) into dest on dc, scaled when the sizes
// differ, blended source-over with the picture's alpha.
void DrawPicturePart(HDC dc, const TBitmapImage& image, const TRect& source, const TRect& dest);

enum class TBrushStyle { bsSolid, bsClear };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
};
struct TPen {
    TColor Color = clBlack;
};

// A drawing surface over a device context it does not own. The canvas keeps
// its font, brush and pen while no context is attached; text measured then
// goes through a temporary screen-compatible context freed at once.
class TCanvas {
public:
    TCanvas();
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return dc_; }
    // Attaches a context (nullptr detaches); selections are undone on detach.
    void SetHandle(HDC dc);

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    TBrush Brush;
    TPen Pen;

    // DrawTextW with the flags; returns the text height (0 on failure).
    int DrawText(const std::wstring& text, TRect& rect, unsigned flags);
    int TextWidth(const std::wstring& text);
    int TextHeight(const std::wstring& text);
    bool GetTextMetrics(TEXTMETRICW& tm);
    void FillRect(const TRect& r);
    // Frame in the pen colour, inside filled with the brush (unless clear).
    void Rectangle(const TRect& r);
    void SetTextColor(TColor c);
    void SetTransparentText();
    void Draw(int x, int y, const TPicture& picture);
    void StretchDraw(const TRect& r, const TPicture& picture);

private:
    void ApplyFont();
    HDC dc_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
    TFont font_;
};

// A memory context compatible with the screen, for measuring. One context
// serves every measurement of the thread: making one per measurement costs a
// round trip to the system each time, many times over on the start-up layout
// path. A borrow saves the context's state and puts it back when it ends, so
// nothing a measurement selects or sets outlives it. Borrows nest (last in,
// first out); null when no context can be made.
class MeasuringDc {
public:
    MeasuringDc();
    ~MeasuringDc();
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_ = nullptr;
    int saved_ = 0;
};

}  // namespace promo
