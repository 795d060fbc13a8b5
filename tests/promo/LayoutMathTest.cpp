#include <gtest/gtest.h>

#include "promo/LayoutMath.h"

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

}  // namespace
}  // namespace promo
