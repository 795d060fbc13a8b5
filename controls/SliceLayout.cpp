#include "controls/SliceLayout.h"

#include <cstdlib>

namespace promo {

void TileArea(const TRect& source, const TRect& dest, std::vector<TBlitStep>& out) {
    const int tw = source.Width();
    const int th = source.Height();
    if (tw <= 0 || th <= 0 || dest.Width() <= 0 || dest.Height() <= 0) return;
    for (int x = dest.Left; x < dest.Right; x += tw) {
        const int w = std::min(tw, dest.Right - x);
        for (int y = dest.Top; y < dest.Bottom; y += th) {
            const int h = std::min(th, dest.Bottom - y);
            out.push_back({TRect::FromSize(source.Left, source.Top, w, h), TRect::FromSize(x, y, w, h)});
        }
    }
}

namespace {

// One edge or the middle: tiled in sdmFill when its source part is big
// enough, stretched otherwise.
void Part(const TRect& src, const TRect& dst, bool tile, std::vector<TBlitStep>& out) {
    if (tile)
        TileArea(src, dst, out);
    else
        out.push_back({src, dst});
}

}  // namespace

std::vector<TBlitStep> SlicePicture(int pw, int ph, const TRect& dest, const TSliceMargins& m) {
    std::vector<TBlitStep> out;
    if (pw <= 0 || ph <= 0) return out;
    TSuperStretchMode mode = m.Mode;
    if (m.Empty() && mode != TSuperStretchMode::sdmFill) {
        out.push_back({TRect::FromSize(0, 0, pw, ph), dest});
        return out;
    }
    if (mode == TSuperStretchMode::sdmDefault) mode = TSuperStretchMode::sdmStretch;
    const bool fill = mode == TSuperStretchMode::sdmFill;
    const int x0 = dest.Left, y0 = dest.Top, dw = dest.Width(), dh = dest.Height();
    int l = m.Left, t = m.Top, r = m.Right, b = m.Bottom;
    // A picture drawn at its own size, or one pixel off, is one piece.
    if (std::abs(dh - ph) <= 1) t = b = 0;
    if (std::abs(dw - pw) <= 1) l = r = 0;
    const int sw = pw - l - r, sh = ph - t - b;
    const int mw = dw - l - r, mh = dh - t - b;
    auto src = TRect::FromSize;
    auto dst = TRect::FromSize;

    if (t > 0) {
        if (l > 0) out.push_back({src(0, 0, l, t), dst(x0, y0, l, t)});
        if (mw != 0 && sw != 0) Part(src(l, 0, sw, t), dst(x0 + l, y0, mw, t), fill && sw >= 4 && t > 3, out);
        if (r > 0) out.push_back({src(pw - r, 0, r, t), dst(x0 + dw - r, y0, r, t)});
    }
    if (mh != 0 && sh != 0) {
        if (l > 0) Part(src(0, t, l, sh), dst(x0, y0 + t, l, mh), fill && l >= 4 && sh > 3, out);
        if (r > 0)
            Part(src(pw - r, t, r, sh), dst(x0 + dw - r, y0 + t, r, mh), fill && r >= 4 && sh > 3, out);
    }
    if (b > 0) {
        const int by = y0 + dh - b;
        if (l > 0) out.push_back({src(0, ph - b, l, b), dst(x0, by, l, b)});
        if (mw != 0 && sw != 0)
            Part(src(l, ph - b, sw, b), dst(x0 + l, by, mw, b), fill && sw >= 4 && b > 3, out);
        if (r > 0) out.push_back({src(pw - r, ph - b, r, b), dst(x0 + dw - r, by, r, b)});
    }
    if (mode != TSuperStretchMode::sdmFrame && mw != 0 && sw != 0 && mh != 0 && sh != 0)
        Part(src(l, t, sw, sh), dst(x0 + l, y0 + t, mw, mh), fill && sw >= 4 && sh > 3, out);
    return out;
}

}  // namespace promo
