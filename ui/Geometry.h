// Plain rectangles and size constraints of the windowless controls. No Win32
// here: the layout maths that needs no device context lives on both sides.
#pragma once

#include <algorithm>

namespace promo {

// Horizontal alignment of a text or a picture.
enum class TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

struct TPoint {
    int X = 0;
    int Y = 0;
};

// Left/top inclusive, right/bottom exclusive, as the platform's RECT.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static TRect FromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    void Offset(int dx, int dy) {
        Left += dx;
        Right += dx;
        Top += dy;
        Bottom += dy;
    }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    // Whether o lies wholly inside (an empty o lies inside anything).
    bool Contains(const TRect& o) const {
        return o.Empty() || (o.Left >= Left && o.Top >= Top && o.Right <= Right && o.Bottom <= Bottom);
    }
    bool Intersects(const TRect& o) const {
        return !Empty() && !o.Empty() && Left < o.Right && o.Left < Right && Top < o.Bottom && o.Top < Bottom;
    }
    // The common part (an empty rectangle when there is none).
    TRect Intersection(const TRect& o) const {
        if (!Intersects(o)) return {};
        return {std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
                std::min(Bottom, o.Bottom)};
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    TRect Union(const TRect& o) const {
        if (o.Empty()) return *this;
        if (Empty()) return o;
        return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
                std::max(Bottom, o.Bottom)};
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// MinWidth/MaxWidth/MinHeight/MaxHeight; 0 means no limit. A maximum below
// the minimum is taken as the minimum (the minimum wins).
struct TSizeLimits {
    int MinWidth = 0;
    int MaxWidth = 0;
    int MinHeight = 0;
    int MaxHeight = 0;

    int ConstrainWidth(int w) const { return Clamp(w, MinWidth, MaxWidth); }
    int ConstrainHeight(int h) const { return Clamp(h, MinHeight, MaxHeight); }
    friend bool operator==(const TSizeLimits&, const TSizeLimits&) = default;

private:
    static int Clamp(int v, int lo, int hi) {
        if (hi > 0) v = std::min(v, hi);
        if (lo > 0) v = std::max(v, lo);
        return v;
    }
};

// Integer division truncating toward zero, as the layout rules are written.
inline int DivTrunc(int a, int b) { return a / b; }

}  // namespace promo
