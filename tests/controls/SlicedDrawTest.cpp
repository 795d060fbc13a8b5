// DrawSlicedPicture and TDesignRect, checked on the pixels drawn.
#include <gtest/gtest.h>

#include "controls/RdScrollBar.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::Rgb;
using test::Surface;

// The buy button's face: the ends carry a gradient so that any scaling of
// them shows; the middle is plain green.
void ButtonFace(TPicture& p) {
    p.SetGraphic(test::MakeImage(156, 36, [](int x, int) -> std::uint32_t {
        if (x < 52) return 0xFF000000u | Rgb(x * 4, 0, 0);
        if (x >= 104) return 0xFF000000u | Rgb(0, 0, (x - 104) * 4);
        return 0xFF000000u | Rgb(0, 200, 0);
    }));
}

TEST(SlicedDraw, BuyButtonEndsStayUnscaledAndTheMiddleStretches) {
    TPicture face;
    ButtonFace(face);
    TDesignRect margins;
    margins.SetLeft(52);
    margins.SetTop(12);
    margins.SetRight(52);
    margins.SetBottom(12);
    Surface s(240, 36, Rgb(255, 255, 255));
    DrawSlicedPicture(s.Dc(), face, TRect::FromSize(0, 0, 240, 36), margins);
    for (int y : {0, 17, 35}) {
        for (int x = 0; x < 52; ++x) ASSERT_EQ(s.At(x, y), Rgb(x * 4, 0, 0)) << x << "," << y;
        for (int x = 52; x < 188; ++x) ASSERT_EQ(s.At(x, y), Rgb(0, 200, 0)) << x << "," << y;
        for (int i = 0; i < 52; ++i) ASSERT_EQ(s.At(188 + i, y), Rgb(0, 0, i * 4)) << i << "," << y;
    }
}

TEST(SlicedDraw, AtItsOwnSizeOrOneWiderThePictureIsOnePiece) {
    TPicture face;
    ButtonFace(face);
    TDesignRect margins;
    margins.SetLeft(52);
    margins.SetRight(52);
    Surface exact(156, 36);
    DrawSlicedPicture(exact.Dc(), face, TRect::FromSize(0, 0, 156, 36), margins);
    for (int x = 0; x < 156; ++x) ASSERT_EQ(exact.At(x, 5), face.Pixel(x, 5) & 0xFFFFFF) << x;
    // One pixel wider: the whole picture scaled by one pixel, so the right
    // end cannot stay in place: its last column lands on the new last column
    // and the end's first column moves by at most one.
    Surface wider(157, 36);
    DrawSlicedPicture(wider.Dc(), face, TRect::FromSize(0, 0, 157, 36), margins);
    EXPECT_EQ(wider.At(0, 5), Rgb(0, 0, 0));
    EXPECT_EQ(wider.At(156, 5), Rgb(0, 0, 51 * 4));
    int greenColumns = 0;
    for (int x = 0; x < 157; ++x) greenColumns += wider.At(x, 5) == Rgb(0, 200, 0);
    EXPECT_GE(greenColumns, 52);
    EXPECT_LE(greenColumns, 53);
}

TEST(SlicedDraw, FillTilesFromTheTopLeftAndCutsTheLastRowAndColumn) {
    TPicture tile;
    tile.SetGraphic(
        test::MakeImage(10, 6, [](int x, int y) { return 0xFF000000u | Rgb(x * 20, y * 40, 77); }));
    TDesignRect margins;
    margins.SetStretchMode(TSuperStretchMode::sdmFill);
    ASSERT_TRUE(margins.Empty());
    Surface s(30, 20, Rgb(1, 2, 3));
    DrawSlicedPicture(s.Dc(), tile, TRect::FromSize(0, 0, 25, 13), margins);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 25; ++x)
            ASSERT_EQ(s.At(x, y), Rgb((x % 10) * 20, (y % 6) * 40, 77)) << x << "," << y;
    EXPECT_EQ(s.At(25, 5), Rgb(1, 2, 3));  // nothing outside the destination
    EXPECT_EQ(s.At(5, 13), Rgb(1, 2, 3));
}

TEST(SlicedDraw, FillStretchesEdgesThinnerThanFourPixels) {
    // Columns carry their x in red, so a tiled edge repeats a column and a
    // stretched one does not.
    TPicture p;
    p.SetGraphic(test::MakeImage(12, 12, [](int x, int y) { return 0xFF000000u | Rgb(x * 20, y * 20, 0); }));
    TDesignRect margins;
    margins.SetStretchMode(TSuperStretchMode::sdmFill);
    for (int i = 0; i < 4; ++i) margins.SetMargin(i, 3);
    Surface s(36, 36);
    DrawSlicedPicture(s.Dc(), p, TRect::FromSize(0, 0, 36, 36), margins);
    // Top edge (3 high): stretched from source columns 3..8 over 30 pixels;
    // its red grows steadily instead of restarting every 6 pixels.
    EXPECT_EQ(s.At(3, 0), Rgb(60, 0, 0));
    EXPECT_GT(s.At(3 + 6, 0) >> 16, 60u);
    EXPECT_GE(s.At(32, 0) >> 16, 160u);
    // Middle (6 by 6 source): tiled, so it restarts every 6 pixels.
    for (int y = 3; y < 33; ++y)
        for (int x = 3; x < 33; ++x)
            ASSERT_EQ(s.At(x, y), Rgb((3 + (x - 3) % 6) * 20, (3 + (y - 3) % 6) * 20, 0)) << x << "," << y;
    // Corners at their own size.
    EXPECT_EQ(s.At(35, 35), Rgb(11 * 20, 11 * 20, 0));
    EXPECT_EQ(s.At(33, 33), Rgb(9 * 20, 9 * 20, 0));
}

TEST(SlicedDraw, EmptyMarginsStretchTheWholePictureAndAlphaBlends) {
    TPicture half;  // white at half opacity, premultiplied
    half.SetGraphic(test::MakeImage(4, 4, [](int, int) { return 0x80808080u; }));
    TDesignRect empty;
    empty.SetStretchMode(TSuperStretchMode::sdmFrame);  // empty margins: still stretched whole
    Surface s(40, 20, Rgb(0, 0, 0));
    DrawSlicedPicture(s.Dc(), half, TRect::FromSize(0, 0, 40, 20), empty);
    for (int y = 0; y < 20; y += 7)
        for (int x = 0; x < 40; x += 9) EXPECT_EQ(s.At(x, y), Rgb(128, 128, 128)) << x << "," << y;
}

TEST(SlicedDraw, NothingForAMissingPicture) {
    TPicture none;
    TDesignRect margins;
    Surface s(10, 10, Rgb(9, 9, 9));
    DrawSlicedPicture(s.Dc(), none, TRect::FromSize(0, 0, 10, 10), margins);
    EXPECT_EQ(s.Ink(Rgb(9, 9, 9)), TRect{});
}

TEST(DesignRect, ChangesNotifyOnlyWhenSomethingChanges) {
    TDesignRect r;
    int changes = 0;
    r.OnChange = [&] { ++changes; };
    r.SetLeft(5);
    r.SetLeft(5);
    r.SetStretchMode(TSuperStretchMode::sdmFill);
    EXPECT_EQ(changes, 2);
    TDesignRect other;
    other.SetLeft(5);
    r.Assign(&other);  // same margins: nothing
    EXPECT_EQ(changes, 2);
    other.SetBottom(7);
    r.Assign(&other);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(r.Bottom(), 7);
    EXPECT_EQ(r.StretchMode(), TSuperStretchMode::sdmFill);  // the mode is not copied
    r.Assign(nullptr);
    EXPECT_TRUE(r.Empty());
    EXPECT_EQ(changes, 4);
}

TEST(DesignRect, EmptyFalseLetsTheOwnerFillThirds) {
    TDesignRect r;
    bool sawMarker = false;
    r.OnChange = [&] {
        if (r.FillDefaults()) {
            sawMarker = true;
            r.SetThirds(156, 36);
        }
    };
    r.SetEmpty(false);
    EXPECT_TRUE(sawMarker);
    EXPECT_FALSE(r.FillDefaults());
    EXPECT_EQ(r.Left(), 52);
    EXPECT_EQ(r.Top(), 12);
    EXPECT_EQ(r.Right(), 52);
    EXPECT_EQ(r.Bottom(), 12);
    r.SetEmpty(true);
    EXPECT_TRUE(r.Empty());
}

}  // namespace
}  // namespace promo
