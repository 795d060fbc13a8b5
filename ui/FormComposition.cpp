// The form's kept composition: the client area composed into a buffer that
// is kept between paints, a paint composing again only what was invalidated
// (from the topmost control that covers it with opaque pixels) and
// presenting the requested area with one blit; the buffer goes once the
// window has been idle a moment with the pointer elsewhere.
#include <algorithm>
#include <cstring>

#include "support/Timeline.h"
#include "ui/Form.h"

namespace promo {

void TForm::InvalidateArea(const TRect& r) {
    if (!wnd_) return;
    const TRect area = r.Intersection(ClientRect());
    if (area.Empty()) return;
    dirty_ = dirty_.Union(area);
    RECT rc{area.Left, area.Top, area.Right, area.Bottom};
    ::InvalidateRect(wnd_.get(), &rc, FALSE);
}

void TForm::RenderTo(HDC dc) { RenderArea(dc, ClientRect()); }

void TForm::RenderArea(HDC dc, const TRect& area) {
    if (area.Empty()) return;
    const auto shown = [](const TControl& c) { return c.Visible() && c.Width() > 0 && c.Height() > 0; };
    // Painting starts at the topmost control that covers the whole area with
    // opaque pixels: the background and the controls under it would only be
    // painted over.
    size_t first = 0;
    bool covered = false;
    for (size_t i = controls_.size(); i-- > 0;) {
        const TControl& c = *controls_[i];
        if (shown(c) && c.PaintsOpaque() && c.BoundsRect().Contains(area)) {
            first = i;
            covered = true;
            break;
        }
    }
    if (!covered) {
        UniqueGdiObject brush(::CreateSolidBrush(ColorToRgb(Color())));
        RECT rc{area.Left, area.Top, area.Right, area.Bottom};
        ::FillRect(dc, &rc, static_cast<HBRUSH>(brush.get()));
    }
    for (size_t i = first; i < controls_.size(); ++i) {
        const auto& c = controls_[i];
        if (!shown(*c)) continue;
        // Only the part inside area is drawn again: outside it the control's
        // earlier image is still there, and blending over it twice would
        // darken its translucent pixels.
        TRect part = c->BoundsRect().Intersection(area);
        if (part.Empty()) continue;
        part.Offset(-c->Left(), -c->Top());
        const int saved = ::SaveDC(dc);
        POINT old;
        ::SetViewportOrgEx(dc, c->Left(), c->Top(), &old);
        ::IntersectClipRect(dc, part.Left, part.Top, part.Right, part.Bottom);
        ::SetBkMode(dc, TRANSPARENT);
        c->PaintTo(dc);
        ::RestoreDC(dc, saved);
    }
}

bool TForm::RenderToImage(DecodedImage& out) {
    out = DecodedImage{};
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return false;
    void* bits = nullptr;
    UniqueGdiObject bmp = CreateTopDownDib(w, h, &bits);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!bmp || !dc) return false;
    {
        ScopedSelectObject sel(dc.get(), bmp.get());
        RenderTo(dc.get());
        ::GdiFlush();
    }
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<size_t>(w) * h);
    std::memcpy(out.pixels.data(), bits, out.pixels.size() * 4);
    for (auto& p : out.pixels) p |= 0xFF000000u;  // GDI leaves alpha undefined
    return true;
}

BOOL TForm::WmEraseBkgnd(HWND, HDC) {
    return TRUE;  // the paint covers every pixel
}

void TForm::WmPaint(HWND) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(wnd_.get(), &ps);
    if (!dc) return;
    const int w = std::max(Width(), 1), h = std::max(Height(), 1);
    if (!backDc_ || w != backWidth_ || h != backHeight_) {
        // A new size, or nothing kept: compose everything afresh.
        ReleaseBackBuffer();
        backDc_.reset(::CreateCompatibleDC(dc));
        backBitmap_.reset(::CreateCompatibleBitmap(dc, w, h));
        if (backDc_ && backBitmap_) {
            backOldBitmap_ = ::SelectObject(backDc_.get(), backBitmap_.get());
            backWidth_ = w;
            backHeight_ = h;
            dirty_ = ClientRect();
        } else {
            ReleaseBackBuffer();
        }
    }
    if (backDc_) {
        RenderArea(backDc_.get(), dirty_.Intersection(ClientRect()));
        dirty_ = {};
        const RECT& r = ps.rcPaint;
        ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, backDc_.get(), r.left, r.top,
                 SRCCOPY);
        // Paints come in bursts (hovering, pressing, uncovering); once one
        // is over and the pointer is elsewhere, the window is idle, and a
        // buffer of its size would only hold memory.
        ::SetTimer(wnd_.get(), kIdleCompositionTimer, kIdleCompositionMs, nullptr);
    } else {
        // Out of memory for the buffer: paint straight onto the window.
        RenderArea(dc, ClientRect());
    }
    ::EndPaint(wnd_.get(), &ps);
    TimelineMark(L"first-paint");
}

bool TForm::WmTimer(UINT_PTR id) {
    if (id != kIdleCompositionTimer) return false;
    ReleaseIdleComposition();
    return true;
}

void TForm::ReleaseIdleComposition() {
    if (!wnd_) return;
    ::KillTimer(wnd_.get(), kIdleCompositionTimer);
    if (tracking_ || hover_ || captured_) return;  // the pointer is on the window: more may come
    ReleaseBackBuffer();
}

void TForm::ReleaseBackBuffer() {
    if (backDc_ && backOldBitmap_) ::SelectObject(backDc_.get(), backOldBitmap_);
    backOldBitmap_ = nullptr;
    backDc_.reset();
    backBitmap_.reset();
    backWidth_ = backHeight_ = 0;
}

}  // namespace promo
