// The image button's caption layout over made-up font metrics: the caption's
// place in the rectangle its offset and the icon leave, and the size
// AutoSizeByText gives the button.
#include <gtest/gtest.h>

#include <string>

#include "common/FixedPitchText.h"
#include "controls/CaptionLayout.h"

namespace promo {
namespace {

using test::FixedPitchText;

TEST(CaptionLayout, CaptionSitsInTheRectangleNarrowedByTextOffsetAndTheIcon) {
    // A 200x30 button; the icon (20x20, right-aligned, IconOffset 10) covers x 170..190.
    constexpr int kWidth = 200, kIconLeft = 170;
    FixedPitchText measure(9, 18);
    const std::wstring caption = L"WHW";
    const int tw = measure.Width(caption);
    for (const TAlignment align :
         {TAlignment::taLeftJustify, TAlignment::taRightJustify, TAlignment::taCenter})
        for (const int offset : {0, 20})
            for (const bool icon : {false, true}) {
                SCOPED_TRACE("alignment " + std::to_string(static_cast<int>(align)) + ", TextOffset " +
                             std::to_string(offset) + (icon ? ", icon shown" : ", no icon"));
                TButtonCaption c;
                c.Width = kWidth;
                c.Height = 30;
                c.Text = caption;
                c.Alignment = align;
                c.TextOffset = offset;
                if (icon) c.Icon.Width = c.Icon.Height = 20;
                const TCaptionPlacement placed = PlaceCaption(c, measure);
                // The rectangle the caption may use, and where it starts in it.
                int left = align == TAlignment::taLeftJustify ? offset : 0;
                int right = kWidth - (align == TAlignment::taRightJustify ? offset : 0);
                if (icon)
                    right = std::min(kIconLeft - (align == TAlignment::taRightJustify ? offset : 0), right);
                const int start = align == TAlignment::taLeftJustify    ? left
                                  : align == TAlignment::taRightJustify ? right - tw
                                                                        : left + (right - left - tw) / 2;
                // Where the caption's glyphs go, drawn as placed.
                const TRect ink = measure.Extent(caption, placed.Text, placed.Format);
                EXPECT_EQ(ink.Left, start);
                EXPECT_EQ(ink.Right, start + tw);
                EXPECT_LE(ink.Right, right);
                EXPECT_FALSE(placed.Ellipsis);
                EXPECT_EQ(placed.Icon, icon ? TRect::FromSize(kIconLeft, 5, 20, 20) : TRect{});
            }
}

TEST(CaptionLayout, AutoSizeByTextSizesForTheCaptionIconAndCheckBox) {
    FixedPitchText measure(9, 18);
    const std::wstring caption = L"Scan";
    const TButtonSize text{measure.Width(caption), 18};
    struct Case {
        const char* name;
        TAlignment align;
        TButtonSize icon;   // 0x0: none
        TButtonSize check;  // 0x0: none
        int width, height;
    };
    const Case cases[] = {
        {"centred caption only", TAlignment::taCenter, {}, {}, text.Width, text.Height},
        {"left caption keeps TextOffset", TAlignment::taLeftJustify, {}, {}, 20 + text.Width, text.Height},
        {"right caption keeps TextOffset", TAlignment::taRightJustify, {}, {}, text.Width + 20, text.Height},
        // The icon's room (its width + IconOffset) is added on its side; its height is a minimum.
        {"icon taller than the text", TAlignment::taCenter, {16, 40}, {}, text.Width + 26, 40},
        {"right caption beside an icon",
         TAlignment::taRightJustify,
         {16, 10},
         {},
         text.Width + 46,
         text.Height},
        // The check box is drawn over the caption's row, so it only sets minimums.
        {"check box wider than the text",
         TAlignment::taCenter,
         {},
         {text.Width + 5, 30},
         text.Width + 15,
         30},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TButtonCaption c;
        c.Width = 75;  // the button's size before it first fits itself
        c.Height = 25;
        c.Text = caption;
        c.Alignment = k.align;
        c.Icon.Width = k.icon.Width;
        c.Icon.Height = k.icon.Height;
        c.CheckBox.Width = k.check.Width;
        c.CheckBox.Height = k.check.Height;
        const TButtonSize size = FitButtonToCaption(c, measure);
        EXPECT_EQ(size.Width, k.width);
        EXPECT_EQ(size.Height, k.height);
        // Sizing and placing agree: the caption fits whole.
        c.Width = size.Width;
        c.Height = size.Height;
        EXPECT_FALSE(PlaceCaption(c, measure).Ellipsis);
    }
}

}  // namespace
}  // namespace promo
