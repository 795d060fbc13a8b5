// Where the parts of a sliced picture go (the geometry behind
// DrawSlicedPicture), checked as source -> destination rectangles.
#include <gtest/gtest.h>

#include "controls/SliceLayout.h"

namespace promo {
namespace {

TBlitStep Step(int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) {
    return {TRect::FromSize(sx, sy, sw, sh), TRect::FromSize(dx, dy, dw, dh)};
}

TSliceMargins Margins(int l, int t, int r, int b, TSuperStretchMode m = TSuperStretchMode::sdmDefault) {
    return {l, t, r, b, m};
}

// Every destination pixel is covered exactly once.
void ExpectExactCover(const std::vector<TBlitStep>& steps, const TRect& dest) {
    std::vector<int> hits(static_cast<size_t>(dest.Width() * dest.Height()), 0);
    for (const auto& s : steps)
        for (int y = s.Dest.Top; y < s.Dest.Bottom; ++y)
            for (int x = s.Dest.Left; x < s.Dest.Right; ++x) {
                ASSERT_TRUE(dest.Contains(x, y)) << x << "," << y;
                ++hits[static_cast<size_t>((y - dest.Top) * dest.Width() + (x - dest.Left))];
            }
    for (int h : hits) ASSERT_EQ(h, 1);
}

TEST(SliceLayout, BuyButtonKeepsItsEndsAndStretchesTheMiddle) {
    const auto steps = SlicePicture(156, 36, TRect::FromSize(0, 0, 240, 36), Margins(52, 12, 52, 12));
    // Heights are equal, so the top and bottom margins drop out.
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0], Step(0, 0, 52, 36, 0, 0, 52, 36));
    EXPECT_EQ(steps[1], Step(104, 0, 52, 36, 188, 0, 52, 36));
    EXPECT_EQ(steps[2], Step(52, 0, 52, 36, 52, 0, 136, 36));
}

TEST(SliceLayout, OwnSizeOrOnePixelOffIsOnePiece) {
    for (int w : {156, 157, 155}) {
        const auto steps = SlicePicture(156, 36, TRect::FromSize(3, 4, w, 36), Margins(52, 12, 52, 12));
        ASSERT_EQ(steps.size(), 1u) << w;
        EXPECT_EQ(steps[0], Step(0, 0, 156, 36, 3, 4, w, 36)) << w;
    }
    // Two pixels off is sliced again.
    EXPECT_EQ(SlicePicture(156, 36, TRect::FromSize(0, 0, 158, 36), Margins(52, 12, 52, 12)).size(), 3u);
}

TEST(SliceLayout, NineParts) {
    const TRect dest = TRect::FromSize(10, 20, 100, 50);
    const auto steps = SlicePicture(30, 30, dest, Margins(10, 10, 10, 10, TSuperStretchMode::sdmStretch));
    ASSERT_EQ(steps.size(), 9u);
    EXPECT_EQ(steps[0], Step(0, 0, 10, 10, 10, 20, 10, 10));     // top-left
    EXPECT_EQ(steps[1], Step(10, 0, 10, 10, 20, 20, 80, 10));    // top edge
    EXPECT_EQ(steps[2], Step(20, 0, 10, 10, 100, 20, 10, 10));   // top-right
    EXPECT_EQ(steps[3], Step(0, 10, 10, 10, 10, 30, 10, 30));    // left edge
    EXPECT_EQ(steps[4], Step(20, 10, 10, 10, 100, 30, 10, 30));  // right edge
    EXPECT_EQ(steps[5], Step(0, 20, 10, 10, 10, 60, 10, 10));    // bottom-left
    EXPECT_EQ(steps[6], Step(10, 20, 10, 10, 20, 60, 80, 10));   // bottom edge
    EXPECT_EQ(steps[7], Step(20, 20, 10, 10, 100, 60, 10, 10));  // bottom-right
    EXPECT_EQ(steps[8], Step(10, 10, 10, 10, 20, 30, 80, 30));   // middle
    ExpectExactCover(steps, dest);
}

TEST(SliceLayout, FrameLeavesTheMiddleOut) {
    const auto steps = SlicePicture(30, 30, TRect::FromSize(0, 0, 100, 50),
                                    Margins(10, 10, 10, 10, TSuperStretchMode::sdmFrame));
    ASSERT_EQ(steps.size(), 8u);
    for (const auto& s : steps) EXPECT_FALSE(s.Dest == TRect::FromSize(10, 10, 80, 30));
}

TEST(SliceLayout, EmptyMarginsStretchTheWholePicture) {
    for (auto mode :
         {TSuperStretchMode::sdmDefault, TSuperStretchMode::sdmStretch, TSuperStretchMode::sdmFrame}) {
        const auto steps = SlicePicture(20, 10, TRect::FromSize(5, 5, 200, 70), Margins(0, 0, 0, 0, mode));
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_EQ(steps[0], Step(0, 0, 20, 10, 5, 5, 200, 70));
    }
}

TEST(SliceLayout, FillWithEmptyMarginsTilesFromTopLeftCuttingTheLastRowAndColumn) {
    const TRect dest = TRect::FromSize(0, 0, 25, 13);
    const auto steps = SlicePicture(10, 6, dest, Margins(0, 0, 0, 0, TSuperStretchMode::sdmFill));
    // Columns 10, 10, 5 wide; rows 6, 6, 1 high; column by column.
    ASSERT_EQ(steps.size(), 9u);
    EXPECT_EQ(steps[0], Step(0, 0, 10, 6, 0, 0, 10, 6));
    EXPECT_EQ(steps[1], Step(0, 0, 10, 6, 0, 6, 10, 6));
    EXPECT_EQ(steps[2], Step(0, 0, 10, 1, 0, 12, 10, 1));
    EXPECT_EQ(steps[3], Step(0, 0, 10, 6, 10, 0, 10, 6));
    EXPECT_EQ(steps[8], Step(0, 0, 5, 1, 20, 12, 5, 1));
    for (const auto& s : steps) EXPECT_EQ(s.Source.Width(), s.Dest.Width());  // never scaled
    ExpectExactCover(steps, dest);
    // An area smaller than one tile gets one cut tile.
    const auto small =
        SlicePicture(10, 6, TRect::FromSize(0, 0, 4, 3), Margins(0, 0, 0, 0, TSuperStretchMode::sdmFill));
    ASSERT_EQ(small.size(), 1u);
    EXPECT_EQ(small[0], Step(0, 0, 4, 3, 0, 0, 4, 3));
}

TEST(SliceLayout, FillTilesOnlyPartsOfAtLeastFourPixels) {
    // Picture 12x12 with 4-pixel margins: middle source 4x4 (tiled), edges
    // 4 thick (tiled). With 3-pixel margins the edges are 3 thick: stretched.
    const TRect dest = TRect::FromSize(0, 0, 30, 30);
    const auto tiled = SlicePicture(12, 12, dest, Margins(4, 4, 4, 4, TSuperStretchMode::sdmFill));
    const auto thin = SlicePicture(12, 12, dest, Margins(3, 3, 3, 3, TSuperStretchMode::sdmFill));
    ExpectExactCover(tiled, dest);
    ExpectExactCover(thin, dest);
    for (const auto& s : tiled) EXPECT_EQ(s.Source.Width(), s.Dest.Width());
    // With 3-pixel margins, the top edge (source 6 wide, 3 high) is one stretched step.
    bool stretchedTop = false;
    for (const auto& s : thin)
        if (s.Dest == TRect::FromSize(3, 0, 24, 3)) stretchedTop = s.Source == TRect::FromSize(3, 0, 6, 3);
    EXPECT_TRUE(stretchedTop);
    // ... while its middle (6x6 source) is tiled: 24 / 6 = 4 tiles per row and column.
    int middleTiles = 0;
    for (const auto& s : thin)
        if (s.Source == TRect::FromSize(3, 3, 6, 6)) ++middleTiles;
    EXPECT_EQ(middleTiles, 16);
}

TEST(SliceLayout, NothingForAnEmptyPicture) {
    EXPECT_TRUE(SlicePicture(0, 10, TRect::FromSize(0, 0, 10, 10), Margins(1, 1, 1, 1)).empty());
    EXPECT_TRUE(SlicePicture(10, 0, TRect::FromSize(0, 0, 10, 10), Margins(0, 0, 0, 0)).empty());
}

}  // namespace
}  // namespace promo
