// The image button's caption on a real device context under Wine: where it
// is drawn beside the icon and inside the text offsets, the size
// AutoSizeByText gives, and the ellipses. CaptionLayoutTest.cpp checks the
// same geometry natively over a fixed-pitch measurer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/ImageButtonFaces.h"
#include "controls/RdImageButton.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::Faces;
using test::kNormal;
using test::MeasureText;
using test::Rgb;
using test::SetSolid;
using test::Surface;

constexpr std::uint32_t kIcon = Rgb(9, 9, 9);

// The box of caption ink: pixels that are neither face nor icon.
TRect CaptionInk(const Surface& s) {
    TRect r{s.Width(), s.Height(), -1, -1};
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const std::uint32_t px = s.At(x, y);
            if (px == kNormal || px == kIcon) continue;
            r.Left = std::min(r.Left, x);
            r.Top = std::min(r.Top, y);
            r.Right = std::max(r.Right, x + 1);
            r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
}

TEST(RdImageButton, ACaptionTooWideForTheNarrowedRectangleIsCutBeforeTheIcon) {
    TRdImageButton b;
    b.SetBounds(0, 0, 120, 30);
    Faces(b, 120, 30);
    b.Font().SetHeight(-15);
    b.Font().SetColor(0xFFFFFF);
    SetSolid(b.DnIcon(TRdIconState::Normal), 20, 20, kIcon);  // x 90..110
    const std::wstring caption = L"WWWWWWW";
    ASSERT_LT(MeasureText(caption, -15).cx, 120);  // fits the button, not the room left of the icon
    ASSERT_GT(MeasureText(caption, -15).cx, 90);
    b.SetCaption(caption);
    EXPECT_TRUE(b.FoundTextEllipsis());
    Surface s(120, 30);
    s.Paint(b);
    EXPECT_TRUE(b.FoundTextEllipsis());
    EXPECT_LE(CaptionInk(s).Right, 90);
    b.SetIconVisible(false);
    EXPECT_FALSE(b.FoundTextEllipsis());
}

TEST(RdImageButton, EllipsisByHeightKeepsTheWholeLinesThatFit) {
    const std::wstring caption = L"one two three four five six seven eight nine ten eleven twelve";
    const int line = MeasureText(kLineSample, -12).cy;
    struct Case {
        int height;
        bool byHeight;
        bool cut;
        int lines;  // whole lines shown (0: not checked)
    };
    const Case cases[] = {
        {2 * line + line / 2, true, true, 2},  // two and a half lines: two, centred
        {line / 2, true, true, 1},             // less than one: still one line
        {2 * line + line / 2, false, false, 0},
        {12 * line, true, false, 0},  // everything fits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("height " + std::to_string(c.height) + (c.byHeight ? " by height" : ""));
        TRdImageButton b;
        b.SetBounds(0, 0, 100, c.height);
        Faces(b, 100, c.height);
        b.Font().SetHeight(-12);
        b.Font().SetColor(0xFFFFFF);
        b.SetWordWrap(true);
        b.SetEllipsisByHeight(c.byHeight);
        b.SetCaption(caption);
        Surface s(100, c.height);
        s.Paint(b);
        EXPECT_EQ(b.FoundTextEllipsis(), c.cut);
        if (c.lines == 0) continue;
        const int block = c.lines * line;
        const int top = std::max(0, (c.height - block) / 2);
        const TRect ink = CaptionInk(s);
        EXPECT_GE(ink.Top, top);
        EXPECT_LE(ink.Bottom, top + block);
        if (c.lines == 2) {
            EXPECT_GT(ink.Bottom, top + line);  // the second line is drawn
        }
    }
}

// --- the icon ------------------------------------------------------------------------------

TEST(RdImageButton, CaptionSitsInTheRectangleNarrowedByTextOffsetAndTheIcon) {
    // A 200x30 button; the icon (20x20, right-aligned, IconOffset 10) covers x 170..190.
    constexpr int kWidth = 200, kIconLeft = 170;
    const std::wstring caption = L"WHW";
    const int tw = MeasureText(caption, -15).cx;
    struct Case {
        TAlignment align;
        int offset;
        bool icon;
    };
    for (const TAlignment align :
         {TAlignment::taLeftJustify, TAlignment::taRightJustify, TAlignment::taCenter})
        for (const int offset : {0, 20})
            for (const bool icon : {false, true}) {
                SCOPED_TRACE("alignment " + std::to_string(static_cast<int>(align)) + ", TextOffset " +
                             std::to_string(offset) + (icon ? ", icon shown" : ", no icon"));
                TRdImageButton b;
                b.SetBounds(0, 0, kWidth, 30);
                Faces(b, kWidth, 30);
                b.Font().SetHeight(-15);
                b.Font().SetColor(0xFFFFFF);
                b.SetButtonCaptionAlignment(align);
                b.SetTextOffset(offset);
                if (icon) SetSolid(b.DnIcon(TRdIconState::Normal), 20, 20, kIcon);
                b.SetCaption(caption);
                Surface s(kWidth, 30);
                s.Paint(b);
                // The rectangle the caption may use, and where it starts in it.
                int left = align == TAlignment::taLeftJustify ? offset : 0;
                int right = kWidth - (align == TAlignment::taRightJustify ? offset : 0);
                if (icon)
                    right = std::min(kIconLeft - (align == TAlignment::taRightJustify ? offset : 0), right);
                const int start = align == TAlignment::taLeftJustify    ? left
                                  : align == TAlignment::taRightJustify ? right - tw
                                                                        : left + (right - left - tw) / 2;
                const TRect ink = CaptionInk(s);
                EXPECT_GE(ink.Left, start);
                EXPECT_LE(ink.Left, start + 2);  // a glyph's side bearing
                EXPECT_LE(ink.Right, start + tw);
                EXPECT_GE(ink.Right, start + tw - 3);
                EXPECT_LE(ink.Right, right);
                EXPECT_FALSE(b.FoundTextEllipsis());
                if (icon) {
                    EXPECT_EQ(s.Count(kIcon, TRect::FromSize(kIconLeft, 5, 20, 20)), 400);
                }
            }
}

TEST(RdImageButton, AutoSizeByTextSizesForTheCaptionIconAndCheckBox) {
    const std::wstring caption = L"Scan";
    const SIZE text = MeasureText(caption, -15);
    struct Case {
        const char* name;
        TAlignment align;
        SIZE icon;   // 0x0: none
        SIZE check;  // 0x0: none
        int width, height;
    };
    const Case cases[] = {
        {"centred caption only", TAlignment::taCenter, {}, {}, text.cx, text.cy},
        {"left caption keeps TextOffset", TAlignment::taLeftJustify, {}, {}, 20 + text.cx, text.cy},
        {"right caption keeps TextOffset", TAlignment::taRightJustify, {}, {}, text.cx + 20, text.cy},
        // The icon's room (its width + IconOffset) is added on its side; its height is a minimum.
        {"icon taller than the text", TAlignment::taCenter, {16, 40}, {}, text.cx + 26, 40},
        {"right caption beside an icon", TAlignment::taRightJustify, {16, 10}, {}, text.cx + 46, text.cy},
        // The check box is drawn over the caption's row, so it only sets minimums.
        {"check box wider than the text", TAlignment::taCenter, {}, {text.cx + 5, 30}, text.cx + 15, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRdImageButton b;
        b.Font().SetHeight(-15);
        b.Font().SetColor(0xFFFFFF);
        b.SetButtonCaptionAlignment(c.align);
        b.SetCaption(caption);
        if (c.icon.cx) SetSolid(b.DnIcon(TRdIconState::Normal), c.icon.cx, c.icon.cy, kIcon);
        if (c.check.cx) {
            SetSolid(b.CheckBoxNormalImage(), c.check.cx, c.check.cy, Rgb(200, 200, 200));
            b.SetShowCheckBox(true);
        }
        b.SetAutoSizeByText(true);
        EXPECT_EQ(b.Width(), c.width);
        EXPECT_EQ(b.Height(), c.height);
        // Sizing and painting agree: the caption fits whole.
        EXPECT_FALSE(b.FoundTextEllipsis());
    }
}

}  // namespace
}  // namespace promo
