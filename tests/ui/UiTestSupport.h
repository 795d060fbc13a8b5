// Helpers of the framework and control tests under Wine: pictures made from
// pixel functions, an off-screen 32-bit surface to paint into and read back,
// ink searches, and a font measurement that does not go through our canvas.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "support/Handles.h"
#include "ui/Control.h"
#include "ui/Graphics.h"

namespace promo::test {

// 0x00RRGGBB of an opaque colour, as pixels read back.
constexpr std::uint32_t Rgb(int r, int g, int b) { return (std::uint32_t(r) << 16) | (g << 8) | b; }

// A picture whose pixel (x, y) is f(x, y) (0xAARRGGBB, premultiplied).
inline std::shared_ptr<const TBitmapImage> MakeImage(int w, int h,
                                                     const std::function<std::uint32_t(int, int)>& f) {
    DecodedImage img;
    img.width = w;
    img.height = h;
    img.pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            img.pixels[static_cast<size_t>(y) * w + x] = f(x, y);
            if ((f(x, y) >> 24) != 0xFF) img.hasAlpha = true;
        }
    return std::make_shared<const TBitmapImage>(std::move(img));
}
inline void SetSolid(TPicture& p, int w, int h, std::uint32_t rgb) {
    p.SetGraphic(MakeImage(w, h, [rgb](int, int) { return 0xFF000000u | rgb; }));
}

// A top-down 32-bit DIB section selected into a memory context.
class Surface {
public:
    Surface(int w, int h, std::uint32_t background = 0) : w_(w), h_(h) {
        bmp_ = CreateTopDownDib(w, h, reinterpret_cast<void**>(&bits_));
        dc_.reset(::CreateCompatibleDC(nullptr));
        old_ = ::SelectObject(dc_.get(), bmp_.get());
        Fill(background);
    }
    ~Surface() { ::SelectObject(dc_.get(), old_); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC Dc() const { return dc_.get(); }
    int Width() const { return w_; }
    int Height() const { return h_; }
    void Fill(std::uint32_t rgb) {
        for (int i = 0; i < w_ * h_; ++i) bits_[i] = rgb;
    }
    // 0x00RRGGBB
    std::uint32_t At(int x, int y) const {
        ::GdiFlush();
        return bits_[y * w_ + x] & 0x00FFFFFFu;
    }
    // Paints a control with its top left at (x, y).
    void Paint(TControl& c, int x = 0, int y = 0) {
        const int saved = ::SaveDC(Dc());
        ::SetViewportOrgEx(Dc(), x, y, nullptr);
        ::IntersectClipRect(Dc(), 0, 0, c.Width(), c.Height());
        c.PaintTo(Dc());
        ::RestoreDC(Dc(), saved);
        ::GdiFlush();
    }
    // The box of pixels that differ from the background (empty: none).
    TRect Ink(std::uint32_t background) const {
        TRect r{w_, h_, -1, -1};
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                if (At(x, y) != background) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r.Right < 0 ? TRect{} : r;
    }
    int Count(std::uint32_t rgb, const TRect& area) const {
        int n = 0;
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x) n += At(x, y) == rgb;
        return n;
    }

private:
    int w_, h_;
    std::uint32_t* bits_ = nullptr;
    UniqueGdiObject bmp_;
    UniqueMemoryDc dc_;
    HGDIOBJ old_ = nullptr;
};

// Whether anything of the window was invalidated since the last call (its
// update region is emptied). The window must be visible.
inline bool TakeRepaint(HWND wnd) {
    RECT r;
    const bool any = ::GetUpdateRect(wnd, &r, FALSE) != 0;
    ::ValidateRect(wnd, nullptr);
    return any;
}

// DrawTextW with DT_CALCRECT on a screen-compatible context with a font made
// here, independently of TFont and TCanvas.
inline SIZE MeasureText(const std::wstring& text, int fontHeight, unsigned flags = DT_SINGLELINE,
                        int width = 0) {
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    UniqueGdiObject font(
        ::CreateFontW(fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    ScopedSelectObject sel(dc.get(), font.get());
    RECT r{0, 0, width, 0};
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
    return SIZE{r.right, r.bottom};
}

}  // namespace promo::test
