// The form's layout arithmetic, walked the way TForm applies it to two
// controls on a form that is aligned, anchored and resized.
#include <gtest/gtest.h>

#include "ui/FormLayout.h"

namespace promo {
namespace {

TEST(FormLayout, AlignedAndAnchoredControlsFollowTheForm) {
    // Two controls on a 100x60 client area; the second lies above the first.
    TRect below = TRect::FromSize(0, 0, 60, 60);
    TRect above = TRect::FromSize(40, 20, 60, 40);
    // Aligned to the top: the client area's width at its own height.
    below = AlignedBounds(TAlign::alTop, TRect{0, 0, 100, 60}, below.Width(), below.Height());
    EXPECT_EQ(below, TRect::FromSize(0, 0, 100, 60));
    // Its height set to 10, the other anchored right and bottom, the form
    // grown to 150x80.
    below.Bottom = below.Top + 10;
    above = AnchoredBounds(above, akRight | akBottom, 50, 20);
    below = AlignedBounds(TAlign::alTop, TRect{0, 0, 150, 80}, below.Width(), below.Height());
    EXPECT_EQ(below, TRect::FromSize(0, 0, 150, 10));
    EXPECT_EQ(above, TRect::FromSize(90, 40, 60, 40));  // kept 0 to the right and bottom
    // Anchored left, top and right, the form 20 wider.
    above = AnchoredBounds(above, akLeft | akTop | akRight, 20, 0);
    EXPECT_EQ(above, TRect::FromSize(90, 40, 80, 40));  // stretched with the form
    // Aligned to the client area: what the top one left of it.
    const TRect client{0, 0, 170, 80};
    below = AlignedBounds(TAlign::alTop, client, below.Width(), below.Height());
    const TRect rest = SpaceLeft(TAlign::alTop, client, below.Width(), below.Height());
    above = AlignedBounds(TAlign::alClient, rest, above.Width(), above.Height());
    EXPECT_EQ(above, TRect::FromSize(0, 10, 170, 70));  // the space the top one left
}

}  // namespace
}  // namespace promo
