#include "ui/FormLayout.h"

namespace promo {

TRect AlignedBounds(TAlign side, const TRect& space, int width, int height) {
    switch (side) {
        case TAlign::alTop:
            return TRect::FromSize(space.Left, space.Top, space.Width(), height);
        case TAlign::alBottom:
            return TRect::FromSize(space.Left, space.Bottom - height, space.Width(), height);
        case TAlign::alLeft:
            return TRect::FromSize(space.Left, space.Top, width, space.Height());
        case TAlign::alRight:
            return TRect::FromSize(space.Right - width, space.Top, width, space.Height());
        default:
            return TRect::FromSize(space.Left, space.Top, space.Width(), space.Height());
    }
}

TRect SpaceLeft(TAlign side, const TRect& space, int width, int height) {
    TRect rest = space;
    switch (side) {
        case TAlign::alTop:
            rest.Top += height;
            break;
        case TAlign::alBottom:
            rest.Bottom -= height;
            break;
        case TAlign::alLeft:
            rest.Left += width;
            break;
        case TAlign::alRight:
            rest.Right -= width;
            break;
        default:
            break;
    }
    return rest;
}

TRect AnchoredBounds(const TRect& bounds, unsigned anchors, int dw, int dh) {
    int x = bounds.Left, y = bounds.Top, w = bounds.Width(), h = bounds.Height();
    if (anchors & akRight) (anchors & akLeft) ? w += dw : x += dw;
    if (anchors & akBottom) (anchors & akTop) ? h += dh : y += dh;
    return TRect::FromSize(x, y, w, h);
}

}  // namespace promo
