// The arithmetic of a form's layout over plain rectangles: controls aligned
// to a side of the client area take that side of the space the earlier ones
// left (top, bottom, left, right, then the client-aligned ones fill what is
// left), and unaligned controls anchored to an edge keep their distance to
// it when the form's size changes. No Win32 here: TForm applies the results
// to its controls, whose constraints may give them another size than asked.
#pragma once

#include <array>

#include "ui/Geometry.h"

namespace promo {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// The order in which the aligned controls are placed, each group in
// creation order.
inline constexpr std::array<TAlign, 5> kAlignOrder = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft,
                                                      TAlign::alRight, TAlign::alClient};

// Where a control of this size aligned to `side` goes in the space left.
TRect AlignedBounds(TAlign side, const TRect& space, int width, int height);
// The space left once a control aligned to `side` took its place with this
// size (the size it has after it was placed).
TRect SpaceLeft(TAlign side, const TRect& space, int width, int height);
// An unaligned control's bounds when the client area grows by dw, dh: an
// edge anchored on the right (bottom) moves with the form, stretching the
// control when its left (top) edge is anchored too.
TRect AnchoredBounds(const TRect& bounds, unsigned anchors, int dw, int dh);

}  // namespace promo
