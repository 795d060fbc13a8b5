#include "ui/Graphics.h"

#include <cstring>
#include <string>

#include "ui/Description.h"

namespace promo {

COLORREF ColorToRgb(TColor c) {
    if ((c & 0xFF000000u) == 0xFF000000u) return ::GetSysColor(static_cast<int>(c & 0xFF));
    return c & 0x00FFFFFFu;
}

// --- TFont -----------------------------------------------------------------

void TFont::Changed() {
    handle_.reset();
    if (OnChange) OnChange();
}
void TFont::SetName(const std::wstring& v) {
    if (v == name_) return;
    name_ = v;
    Changed();
}
void TFont::SetHeight(int v) {
    if (v == height_) return;
    height_ = v;
    Changed();
}
void TFont::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    if (OnChange) OnChange();  // the GDI font does not carry the colour
}
void TFont::SetStyle(unsigned v) {
    if (v == style_) return;
    style_ = v;
    Changed();
}
void TFont::SetCharset(int v) {
    if (v == charset_) return;
    charset_ = v;
    Changed();
}
void TFont::SetQuality(int v) {
    if (v == quality_) return;
    quality_ = v;
    Changed();
}
bool TFont::SameAs(const TFont& o) const {
    return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ &&
           charset_ == o.charset_ && quality_ == o.quality_;
}
void TFont::Assign(const TFont& o) {
    if (&o == this || SameAs(o)) return;
    const bool sameGdi = name_ == o.name_ && height_ == o.height_ && style_ == o.style_ &&
                         charset_ == o.charset_ && quality_ == o.quality_;
    name_ = o.name_;
    height_ = o.height_;
    color_ = o.color_;
    style_ = o.style_;
    charset_ = o.charset_;
    quality_ = o.quality_;
    if (!sameGdi) handle_.reset();
    if (OnChange) OnChange();
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTW lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
        lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = static_cast<BYTE>(charset_);
        lf.lfQuality = static_cast<BYTE>(quality_);
        wcsncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
        handle_.reset(::CreateFontIndirectW(&lf));
    }
    return static_cast<HFONT>(handle_.get());
}

// --- pictures ----------------------------------------------------------------

std::shared_ptr<const TBitmapImage> TBitmapImage::FromPng(const std::uint8_t* data, std::size_t size) {
    int w = 0, h = 0;
    if (!ReadPngSize(data, size, w, h)) return nullptr;
    return std::shared_ptr<const TBitmapImage>(new TBitmapImage(std::vector<std::uint8_t>(data, data + size), w, h));
}

std::shared_ptr<const TBitmapImage> TBitmapImage::Deferred(int width, int height,
                                                           std::function<DecodedImage()> make) {
    if (width <= 0 || height <= 0 || !make) return nullptr;
    return std::shared_ptr<const TBitmapImage>(new TBitmapImage(width, height, std::move(make)));
}

const DecodedImage& TBitmapImage::Image() const {
    if (dibBits_ && image_.pixels.empty() && !image_.Empty())
        image_.pixels.assign(dibBits_, dibBits_ + static_cast<size_t>(width_) * height_);
    const size_t count = static_cast<size_t>(width_) * height_;
    bool made = true;
    if (!png_.empty()) {
        made = DecodePng(png_.data(), png_.size(), image_);
        std::vector<std::uint8_t>().swap(png_);
    } else if (make_) {
        const auto make = std::move(make_);
        make_ = nullptr;
        image_ = make();
    } else {
        return image_;
    }
    if (!made || image_.width != width_ || image_.height != height_ || image_.pixels.size() != count) {
        image_ = DecodedImage{};
        image_.width = width_;
        image_.height = height_;
        image_.pixels.assign(count, 0u);
        image_.hasAlpha = true;
    }
    return image_;
}

UniqueGdiObject CreateTopDownDib(int width, int height, void** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    UniqueGdiObject bmp(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0));
    if (!bmp || !*bits) {
        *bits = nullptr;
        return {};
    }
    return bmp;
}

HBITMAP TBitmapImage::Bitmap() const {
    if (dib_) return static_cast<HBITMAP>(dib_.get());
    const DecodedImage& image = Image();
    if (image.Empty() || image.pixels.size() != static_cast<size_t>(image.width) * image.height) return nullptr;
    void* bits = nullptr;
    UniqueGdiObject bmp = CreateTopDownDib(image.width, image.height, &bits);
    if (!bmp) return nullptr;
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(std::uint32_t));
    dib_ = std::move(bmp);
    dibBits_ = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t>().swap(image_.pixels);
    return static_cast<HBITMAP>(dib_.get());
}

bool TBitmapImage::HasAlpha() const {
    if (!png_.empty() || make_) Image();
    return image_.hasAlpha;
}

std::uint32_t TBitmapImage::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const size_t i = static_cast<size_t>(y) * width_ + x;
    if (dibBits_) return dibBits_[i];
    const DecodedImage& image = Image();
    return i < image.pixels.size() ? image.pixels[i] : 0;
}

HDC TBitmapImage::SourceDc() const {
    if (!dc_) {
        HBITMAP bmp = Bitmap();
        if (!bmp) return nullptr;
        dc_.reset(::CreateCompatibleDC(nullptr));
        if (dc_) oldBitmap_ = ::SelectObject(dc_.get(), bmp);
    }
    return dc_.get();
}

TBitmapImage::~TBitmapImage() {
    // The bitmap leaves its context before either is deleted.
    if (dc_ && oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
    dc_.reset();
}

std::uint32_t TPicture::Pixel(int x, int y) const {
    return image_ ? image_->Pixel(x, y) : 0;
}

void TPicture::Assign(const TPicture& other) {
    if (&other == this) return;
    image_ = other.image_;
    sourceFile_ = other.sourceFile_;
    Changed();
}
void TPicture::Clear() {
    image_.reset();
    sourceFile_.clear();
    Changed();
}
void TPicture::SetGraphic(std::shared_ptr<const TBitmapImage> image) {
    image_ = std::move(image);
    Changed();
}
bool TPicture::LoadFromPng(const std::uint8_t* data, std::size_t size) {
    sourceFile_.clear();
    image_ = TBitmapImage::FromPng(data, size);
    Changed();
    return image_ != nullptr;
}
bool TPicture::LoadFromStream(const std::uint8_t* data, std::size_t size) {
    sourceFile_.clear();
    std::string cls;
    const std::uint8_t* file = nullptr;
    std::size_t fileSize = 0;
    if (!SplitPictureStream(data, size, cls, file, fileSize) || cls != "TPngImage") {
        image_.reset();
        Changed();
        return false;
    }
    return LoadFromPng(file, fileSize);
}

void DrawPicturePart(HDC dc, const TBitmapImage& image, const TRect& s, const TRect& d) {
    if (s.Width() <= 0 || s.Height() <= 0 || d.Width() <= 0 || d.Height() <= 0) return;
    HDC src = image.SourceDc();
    if (!src) return;
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, d.Left, d.Top, d.Width(), d.Height(), src, s.Left, s.Top, s.Width(), s.Height(), bf);
}

// --- TCanvas -------------------------------------------------------------------

MeasuringDc::MeasuringDc() {
    thread_local UniqueMemoryDc shared;
    if (!shared) shared.reset(::CreateCompatibleDC(nullptr));
    if (!shared) return;
    saved_ = ::SaveDC(shared.get());
    if (saved_ != 0) dc_ = shared.get();
}
MeasuringDc::~MeasuringDc() {
    if (dc_) ::RestoreDC(dc_, saved_);
}

TCanvas::TCanvas() {
    font_.OnChange = [this] {
        if (dc_) ApplyFont();
    };
}
TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    if (dc_ && oldFont_) ::SelectObject(dc_, oldFont_);
    oldFont_ = nullptr;
    dc_ = dc;
    if (dc_) ApplyFont();
}

void TCanvas::ApplyFont() {
    HGDIOBJ old = ::SelectObject(dc_, font_.Handle());
    if (!oldFont_) oldFont_ = old;
    ::SetTextColor(dc_, ColorToRgb(font_.Color()));
}

namespace {
// Runs f on the attached context, or on a temporary one with this font.
template <typename F>
auto WithDc(HDC dc, const TFont& font, F f) -> decltype(f(dc)) {
    if (dc) return f(dc);
    MeasuringDc tmp;
    if (!tmp) return decltype(f(dc)){};
    ScopedSelectObject sel(tmp.get(), font.Handle());
    return f(tmp.get());
}
}  // namespace

int TCanvas::DrawText(const std::wstring& text, TRect& rect, unsigned flags) {
    return WithDc(dc_, font_, [&](HDC dc) {
        RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
        const int h = ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        rect = {r.left, r.top, r.right, r.bottom};
        return h;
    });
}

int TCanvas::TextWidth(const std::wstring& text) {
    return WithDc(dc_, font_, [&](HDC dc) {
        SIZE sz{};
        return ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz) ? int(sz.cx) : 0;
    });
}
int TCanvas::TextHeight(const std::wstring& text) {
    return WithDc(dc_, font_, [&](HDC dc) {
        SIZE sz{};
        return ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz) ? int(sz.cy) : 0;
    });
}
bool TCanvas::GetTextMetrics(TEXTMETRICW& tm) {
    return WithDc(dc_, font_, [&](HDC dc) { return ::GetTextMetricsW(dc, &tm) != FALSE; });
}

void TCanvas::FillRect(const TRect& r) {
    if (!dc_ || Brush.Style == TBrushStyle::bsClear) return;
    UniqueGdiObject brush(::CreateSolidBrush(ColorToRgb(Brush.Color)));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc_, &rc, static_cast<HBRUSH>(brush.get()));
}

void TCanvas::Rectangle(const TRect& r) {
    if (!dc_) return;
    FillRect(r);
    UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, ColorToRgb(Pen.Color)));
    ScopedSelectObject selPen(dc_, pen.get());
    ScopedSelectObject selBrush(dc_, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc_, r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::SetTextColor(TColor c) {
    if (dc_) ::SetTextColor(dc_, ColorToRgb(c));
}
void TCanvas::SetTransparentText() {
    if (dc_) ::SetBkMode(dc_, TRANSPARENT);
}

void TCanvas::Draw(int x, int y, const TPicture& p) {
    if (!dc_ || p.Empty()) return;
    DrawPicturePart(dc_, *p.Graphic(), TRect::FromSize(0, 0, p.Width(), p.Height()),
                    TRect::FromSize(x, y, p.Width(), p.Height()));
}
void TCanvas::StretchDraw(const TRect& r, const TPicture& p) {
    if (!dc_ || p.Empty()) return;
    DrawPicturePart(dc_, *p.Graphic(), TRect::FromSize(0, 0, p.Width(), p.Height()), r);
}

}  // namespace promo
