#include <gtest/gtest.h>

#include "promo/LayoutMath.h"
#include "ui/PictureSets.h"

namespace promo {
namespace {

TEST(LayoutMath, DesignSizesGiveTheDesignLayout) {
    const TLayoutResult r = ArrangeLayout(TLayoutInput{});

    EXPECT_EQ(r.btnClose.left, 465);
    EXPECT_EQ(r.btnClose.top, 1);
    EXPECT_EQ(r.lblTitle.left, 10);
    EXPECT_EQ(r.lblTitle.top, 10);
    EXPECT_EQ(r.imgRegType.left, 84);  // title right (79) + 5
    EXPECT_EQ(r.imgFuns.left, 68);
    EXPECT_EQ(r.imgFuns.top, 112);
    EXPECT_EQ(r.lblDes.left, 158);
    EXPECT_EQ(r.lblDes.top, 61);  // 23 + (112 - 23 - 13) / 2

    const int headingLefts[] = {33, 190, 349};
    const int descriptionLefts[] = {33, 190, 334};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(r.funTitles[i].left, headingLefts[i]);
        EXPECT_EQ(r.funTitles[i].top, 175);
        EXPECT_EQ(r.funDescriptions[i].left, descriptionLefts[i]);
        EXPECT_EQ(r.funDescriptions[i].top, 193);  // heading bottom 188 + 5
        EXPECT_EQ(r.funDescriptions[i].width, kDescriptionWidths[i]);
        // Each description is centred under its heading.
        EXPECT_EQ(2 * r.funDescriptions[i].left + r.funDescriptions[i].width,
                  2 * r.funTitles[i].left + r.funTitles[i].width);
    }

    EXPECT_EQ(r.btnBuy.width, 156);
    EXPECT_EQ(r.btnBuy.height, 36);
    EXPECT_EQ(r.btnBuy.left, 172);
    EXPECT_EQ(r.btnBuy.top, 260);

    EXPECT_EQ(r.windowLeft, 1419);
    EXPECT_EQ(r.windowTop, 709);
}

TEST(LayoutMath, WindowSitsOnePixelInsideTheWorkAreasBottomRightCorner) {
    TLayoutInput in;
    in.workArea = {0, 0, 1920, 1080};  // no task bar
    EXPECT_EQ(ArrangeLayout(in).windowLeft, 1419);
    EXPECT_EQ(ArrangeLayout(in).windowTop, 749);

    in.workArea = {0, 40, 1920, 1080};  // task bar at the top: only the bottom edge counts
    EXPECT_EQ(ArrangeLayout(in).windowTop, 749);
    in.workArea = {0, 0, 1858, 1080};  // task bar on the right
    EXPECT_EQ(ArrangeLayout(in).windowLeft, 1357);
    in.workArea = {0, 0, 1280, 720};
    in.form = {500, 330};
    EXPECT_EQ(ArrangeLayout(in).windowLeft, 779);
    EXPECT_EQ(ArrangeLayout(in).windowTop, 389);
}

TEST(LayoutMath, LongerBuyCaptionWidensTheButtonWhichStaysCentred) {
    TLayoutInput in;
    in.btnBuyCaptionWidth = 180;
    TLayoutResult r = ArrangeLayout(in);
    EXPECT_EQ(r.btnBuy.width, 228);
    EXPECT_EQ(r.btnBuy.left, 136);
    EXPECT_EQ(r.btnBuy.top, 260);

    in.btnBuyCaptionWidth = 109;  // odd width: the half is truncated
    r = ArrangeLayout(in);
    EXPECT_EQ(r.btnBuy.width, 157);
    EXPECT_EQ(r.btnBuy.left, 171);
}

TEST(LayoutMath, HalvingsTruncateTowardZero) {
    // The badge (16 high) is taller than the title (13): (13 - 16) / 2 is -1, not -2.
    TLayoutResult r = ArrangeLayout(TLayoutInput{});
    EXPECT_EQ(r.imgRegType.top, 9);

    // A headline taller than the room above the picture: (112 - 23 - 100) / 2 is -5.
    TLayoutInput in;
    in.lblDes = {300, 100};
    r = ArrangeLayout(in);
    EXPECT_EQ(r.lblDes.top, 18);
    EXPECT_EQ(r.lblDes.left, 100);

    // A headline wider than the form gets a negative left, truncated toward zero too.
    in.lblDes = {503, 24};
    EXPECT_EQ(ArrangeLayout(in).lblDes.left, -1);
}

TEST(LayoutMath, MeasuredTitleMovesBadgeAndHeadline) {
    TLayoutInput in;
    in.lblTitle = {73, 16};  // Tahoma at height -13
    in.lblDes = {352, 24};   // a long headline at height -20
    const TLayoutResult r = ArrangeLayout(in);
    EXPECT_EQ(r.imgRegType.left, 88);
    EXPECT_EQ(r.imgRegType.top, 10);
    EXPECT_EQ(r.lblDes.left, 74);
    EXPECT_EQ(r.lblDes.top, 26 + (112 - 26 - 24) / 2);
}

TEST(LayoutMath, DescriptionsFollowTheirHeadingsHeights) {
    TLayoutInput in;
    in.funTitles = {{{120, 15}, {120, 15}, {120, 15}}};
    in.funDescriptions = {{{90, 15}, {200, 15}, {64, 15}}};  // single-line sizes before fitting
    const TLayoutResult r = ArrangeLayout(in);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(r.funTitles[i].top, 175);
        EXPECT_EQ(r.funDescriptions[i].top, 195);
        EXPECT_EQ(r.funDescriptions[i].width, kDescriptionWidths[i]);
        EXPECT_EQ(r.funDescriptions[i].height, 15);
    }
    // The middle description is centred by its measured width (before fitting);
    // the outer ones hang off the picture whatever their width.
    EXPECT_EQ(r.funDescriptions[1].left, 150);
    EXPECT_EQ(r.funDescriptions[0].left, 33);
    EXPECT_EQ(r.funDescriptions[2].left, 334);
}

TEST(LayoutMath, TwoLineDescriptionsStayClearOfTheBuyButtonForEveryLineHeight) {
    // Headings one line of the tile font high, descriptions cut to two lines:
    // the layout's fixed numbers must leave room above the buy button.
    for (int line = 12; line <= 24; ++line) {
        SCOPED_TRACE(line);
        TLayoutInput in;
        for (int i = 0; i < 3; ++i) {
            in.funTitles[i] = {120, line};
            in.funDescriptions[i] = {kDescriptionWidths[i], kDescriptionLines * line};
        }
        const TLayoutResult r = ArrangeLayout(in);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(r.funTitles[i].height, line);
            EXPECT_EQ(r.funTitles[i].top, 175);  // the heading keeps its top whatever its height
            EXPECT_LT(r.funDescriptions[i].Bottom(), r.btnBuy.top);
        }
    }
}

TEST(LayoutMath, AWorkAreaThatCouldNotBeReadFallsBackToTheScreen) {
    struct Case {
        const char* name;
        bool queried;
        TLayoutEdges area;
        int left, top;
    };
    const Case cases[] = {
        {"read", true, {0, 0, 1920, 1040}, 1419, 709},
        {"not read (the area was never written)", false, {0, 0, 0, 0}, 1419, 749},
        {"not read, whatever the area holds", false, {0, 0, 800, 600}, 1419, 749},
        {"read but empty", true, {0, 0, 0, 0}, 1419, 749},
        {"read but inverted", true, {1920, 1080, 0, 0}, 1419, 749},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLayoutInput in;
        in.workArea = WorkAreaOrScreen(c.queried, c.area, {1920, 1080});
        const TLayoutResult r = ArrangeLayout(in);
        EXPECT_EQ(r.windowLeft, c.left);
        EXPECT_EQ(r.windowTop, c.top);
    }
}

// The controls as a display of each scale measures them: every design size
// taken to the DPI (the labels' texts and the button's caption in fonts of
// the scaled heights give these sizes).
TLayoutInput ScaledInput(int dpi) {
    const auto px = [dpi](int v) { return ScaleLength(v, dpi); };
    TLayoutInput in;
    in.dpi = dpi;
    in.form = {px(500), px(330)};
    in.btnClose = {px(34), px(34)};
    in.lblTitle = {px(69), px(13)};
    in.imgRegType = {px(34), px(16)};
    in.lblDes = {px(184), px(13)};
    in.imgFuns = {px(364), px(93)};
    for (int i = 0; i < 3; ++i) in.funTitles[i] = in.funDescriptions[i] = {px(120), px(13)};
    in.btnBuyCaptionWidth = px(108);
    in.btnBuyHeight = px(36);
    in.workArea = {0, 0, 1920, 1080};
    return in;
}

TEST(LayoutMath, EveryDesignLengthScalesWithTheDisplay) {
    // Per DPI: close button, title, badge, headline, feature picture, the
    // three headings, the three descriptions, buy button, and the window
    // (left, top, width, height). The close button stays one device pixel
    // inside the frame, the window one inside the work area's corner.
    struct Row {
        int dpi;
        std::array<TLayoutRect, 13> rects;
    };
    // clang-format off
    const Row rows[] = {
        {96, {{  // 100 %
            {465, 1, 34, 34}, {10, 10, 69, 13}, {84, 9, 34, 16}, {158, 61, 184, 13}, {68, 112, 364, 93},
            {33, 175, 120, 13}, {190, 175, 120, 13}, {349, 175, 120, 13}, {33, 193, 120, 13}, {190, 193, 120, 13},
            {334, 193, 150, 13}, {172, 260, 156, 36}, {1419, 749, 500, 330}
        }}},
        {120, {{  // 125 %
            {581, 1, 43, 43}, {13, 13, 86, 16}, {105, 11, 43, 20}, {197, 76, 230, 16}, {85, 140, 455, 116},
            {41, 219, 150, 16}, {237, 219, 150, 16}, {436, 219, 150, 16}, {41, 241, 150, 16}, {237, 241, 150, 16},
            {417, 241, 188, 16}, {215, 325, 195, 45}, {1294, 666, 625, 413}
        }}},
        {144, {{  // 150 %
            {698, 1, 51, 51}, {15, 15, 104, 20}, {127, 13, 51, 24}, {237, 91, 276, 20}, {102, 168, 546, 140},
            {49, 263, 180, 20}, {285, 263, 180, 20}, {524, 263, 180, 20}, {49, 291, 180, 20}, {285, 291, 180, 20},
            {501, 291, 225, 20}, {258, 390, 234, 54}, {1169, 584, 750, 495}
        }}},
        {168, {{  // 175 %
            {814, 1, 60, 60}, {18, 18, 121, 23}, {148, 16, 60, 28}, {276, 107, 322, 23}, {119, 196, 637, 163},
            {58, 306, 210, 23}, {332, 306, 210, 23}, {611, 306, 210, 23}, {58, 338, 210, 23}, {332, 338, 210, 23},
            {585, 338, 263, 23}, {301, 455, 273, 63}, {1044, 501, 875, 578}
        }}},
        {192, {{  // 200 %
            {931, 1, 68, 68}, {20, 20, 138, 26}, {168, 17, 68, 32}, {316, 122, 368, 26}, {136, 224, 728, 186},
            {66, 350, 240, 26}, {380, 350, 240, 26}, {698, 350, 240, 26}, {66, 386, 240, 26}, {380, 386, 240, 26},
            {668, 386, 300, 26}, {344, 520, 312, 72}, {919, 419, 1000, 660}
        }}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dpi);
        const TLayoutInput in = ScaledInput(row.dpi);
        const TLayoutResult r = ArrangeLayout(in);
        const TLayoutRect got[] = {r.btnClose,
                                   r.lblTitle,
                                   r.imgRegType,
                                   r.lblDes,
                                   r.imgFuns,
                                   r.funTitles[0],
                                   r.funTitles[1],
                                   r.funTitles[2],
                                   r.funDescriptions[0],
                                   r.funDescriptions[1],
                                   r.funDescriptions[2],
                                   r.btnBuy,
                                   {r.windowLeft, r.windowTop, in.form.width, in.form.height}};
        for (std::size_t i = 0; i < row.rects.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].left, row.rects[i].left);
            EXPECT_EQ(got[i].top, row.rects[i].top);
            EXPECT_EQ(got[i].width, row.rects[i].width);
            EXPECT_EQ(got[i].height, row.rects[i].height);
        }
    }
}

TEST(LayoutMath, ASmallWorkAreaTakesTheLargestScaleThatFitsButNeverLessThanDesign) {
    struct Case {
        int dpi;
        TLayoutSize workArea;
        int chosen;
    };
    const Case cases[] = {
        {192, {1920, 1080}, 192},  // 1000x660 fits
        {192, {1001, 661}, 192},   // exactly, with the one-pixel margin
        {192, {1000, 661}, 191},   // a pixel short
        {192, {1024, 600}, 174},   // height decides: 330 at 174 DPI is 598
        {144, {640, 480}, 122},    // width decides: 500 at 122 DPI is 635
        {144, {800, 600}, 144},
        {120, {500, 330}, 96},  // not even the design size fits: never below it
        {96, {320, 240}, 96},
        {72, {1920, 1080}, 72},  // below design scale there is nothing to shrink for
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        SCOPED_TRACE(c.workArea.width);
        EXPECT_EQ(FittingDpi(c.dpi, c.workArea), c.chosen);
    }
}

}  // namespace
}  // namespace promo
