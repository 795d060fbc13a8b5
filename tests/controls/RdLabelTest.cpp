// The skinned label under Wine with Tahoma: fitting, wrapping, ellipsis, the
// flags it reports, and where its text lands on the pixels.
#include <gtest/gtest.h>

#include <cwchar>

#include "controls/RdLabel.h"
#include "ui/Form.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::MeasureText;
using test::Rgb;
using test::Surface;

constexpr std::uint32_t kBlack = 0;

// A label in Tahoma -12, white on the black test surface.
void Prepare(TRdLabel& l, const std::wstring& caption) {
    l.Font().SetName(L"Tahoma");
    l.Font().SetHeight(-12);
    l.Font().SetColor(clWhite);
    l.SetCaption(caption);
}

int LineHeight() { return MeasureText(kLineSample, -12).cy; }

TEST(RdLabel, AutoSizeTakesTheSizeOfItsText) {
    TRdLabel l;
    Prepare(l, L"Pellorin 7 upgrade");
    const SIZE want = MeasureText(L"Pellorin 7 upgrade", -12, DT_EXPANDTABS);
    EXPECT_EQ(l.Width(), want.cx);
    EXPECT_EQ(l.Height(), want.cy);
    // Text borders add to it.
    l.TextBorder().SetLeft(3);
    l.TextBorder().SetTop(4);
    EXPECT_EQ(l.Width(), want.cx + 3);
    EXPECT_EQ(l.Height(), want.cy + 4);
    // An empty caption: one blank wide, one line high (plus the borders).
    l.SetCaption(L"");
    EXPECT_EQ(l.Width(), MeasureText(L" ", -12).cx + 3);
    EXPECT_EQ(l.Height(), LineHeight() + 4);
}

TEST(RdLabel, AmpersandIsAnAcceleratorUnlessShowAccelCharIsOff) {
    TRdLabel l;
    Prepare(l, L"Save && exit");
    const int withPrefix = l.Width();
    EXPECT_EQ(withPrefix, MeasureText(L"Save && exit", -12, DT_EXPANDTABS).cx);
    l.SetShowAccelChar(false);
    l.SetAutoSize(false);
    l.SetAutoSize(true);
    EXPECT_EQ(l.Width(), MeasureText(L"Save && exit", -12, DT_EXPANDTABS | DT_NOPREFIX).cx);
    EXPECT_GT(l.Width(), withPrefix);
}

TEST(RdLabel, WordWrapBreaksALongWordBetweenCharacters) {
    TRdLabel l;
    Prepare(l, L"Superdriverupdateaccelerator now");
    l.SetWidth(60);
    l.SetWordWrap(true);
    // The long word does not fit 60 pixels: it is broken, so nothing is wider.
    EXPECT_LE(l.Width(), 60);
    EXPECT_GE(l.Height(), 3 * LineHeight());
    Surface s(80, 80, kBlack);
    s.Paint(l);
    const TRect ink = s.Ink(kBlack);
    EXPECT_LE(ink.Right, 60);
    EXPECT_GT(ink.Bottom, 2 * LineHeight());
}

TEST(RdLabel, TwoAndAHalfLinesAreCutToTwoEndingInAnEllipsis) {
    TRdLabel l;
    Prepare(l, L"Scan every driver of this computer and update all of them in one go, automatically");
    const int line = LineHeight();
    l.SetAutoSize(false);
    l.SetWordWrap(true);
    l.SetBounds(0, 0, 120, line * 5 / 2);
    l.SetEllipsisPosition(TEllipsisPosition::epEndEllipsis);
    Surface s(140, 80, kBlack);
    s.Paint(l);
    EXPECT_TRUE(l.FoundTextEllipsis());
    const TRect ink = s.Ink(kBlack);
    EXPECT_GT(ink.Bottom, line);      // a second line is drawn ...
    EXPECT_LE(ink.Bottom, 2 * line);  // ... and no third, not even in part
    // The second line ends in "...": three dots, i.e. the right end of that
    // line is made of separate small blobs on the base line only.
    int dotsRight = ink.Right;
    int rowsWithInk = 0;
    for (int y = line; y < 2 * line; ++y)
        for (int x = dotsRight - 3; x < dotsRight; ++x)
            if (s.At(x, y) != kBlack) {
                ++rowsWithInk;
                break;
            }
    EXPECT_LE(rowsWithInk, 3);  // a dot is at most a couple of rows high
    EXPECT_GE(rowsWithInk, 1);

    // Less than one line high still gets one line.
    l.SetHeight(line / 2);
    Surface one(140, 80, kBlack);
    one.Paint(l);
    EXPECT_TRUE(l.FoundTextEllipsis());
    EXPECT_GT(one.Ink(kBlack).Width(), 50);
}

TEST(RdLabel, EllipsisIsReportedAndHintedOnlyWhenTheTextIsCut) {
    TRdLabel l;
    Prepare(l, L"A text much wider than the label");
    l.SetAutoSize(false);
    l.SetBounds(0, 0, 60, 20);
    l.SetEllipsisPosition(TEllipsisPosition::epEndEllipsis);
    l.SetAutoShowHint(true);
    EXPECT_TRUE(l.ShowHint());
    Surface s(100, 30, kBlack);
    s.Paint(l);
    EXPECT_TRUE(l.FoundTextEllipsis());
    EXPECT_LE(s.Ink(kBlack).Right, 60);
    std::wstring hint = l.Hint();
    EXPECT_TRUE(l.DoShowHint(hint));
    EXPECT_EQ(hint, L"A text much wider than the label");

    l.SetCaption(L"Fits");
    l.SetHint(L"a hint of its own");
    s.Fill(kBlack);
    s.Paint(l);
    EXPECT_FALSE(l.FoundTextEllipsis());
    hint = l.Hint();
    l.DoShowHint(hint);
    EXPECT_EQ(hint, L"");  // no hint, even though Hint is set
}

TEST(RdLabel, FlagsFollowAResizeWithoutAPaint) {
    TRdLabel l;
    Prepare(l, L"A text much wider than the label");
    l.SetAutoSize(false);
    l.SetBounds(0, 0, 400, 20);
    l.SetEllipsisPosition(TEllipsisPosition::epEndEllipsis);
    l.SetWidth(401);
    EXPECT_FALSE(l.FoundTextEllipsis());
    l.SetWidth(50);  // measured off-screen on the resize
    EXPECT_TRUE(l.FoundTextEllipsis());
}

TEST(RdLabel, AutoSizeAndEllipsisPositionClearEachOther) {
    TRdLabel l;
    Prepare(l, L"Some text");
    l.SetAutoSize(false);
    l.SetEllipsisPosition(TEllipsisPosition::epEndEllipsis);
    l.SetAutoSize(true);
    EXPECT_EQ(l.EllipsisPosition(), TEllipsisPosition::epNone);
    const int fitted = l.Width();
    l.SetWidth(fitted + 30);  // AutoSize does not pull it back on its own
    l.SetEllipsisPosition(TEllipsisPosition::epWordEllipsis);
    EXPECT_FALSE(l.AutoSize());
    EXPECT_EQ(l.Width(), fitted + 30);  // turned off without re-fitting
}

TEST(RdLabel, RightJustifiedGrowthKeepsTheRightEdgeUpToMaxWidth) {
    TRdLabel l;
    Prepare(l, L"ab");
    l.SetAlignment(TAlignment::taRightJustify);
    l.SetLeft(300);
    l.SetAutoSize(false);
    l.SetAutoSize(true);
    const int right = l.Left() + l.Width();
    l.SetCaption(L"a much longer caption");
    EXPECT_EQ(l.Width(), MeasureText(L"a much longer caption", -12, DT_EXPANDTABS).cx);
    EXPECT_EQ(l.Left() + l.Width(), right);
    l.Constraints().SetMaxWidth(50);  // re-applied at once: the label shrinks
    EXPECT_EQ(l.Width(), 50);
    l.SetCaption(L"a much longer caption still");
    EXPECT_EQ(l.Width(), 50);
    EXPECT_EQ(l.Left() + l.Width(),
              right - (MeasureText(L"a much longer caption", -12, DT_EXPANDTABS).cx - 50));
}

TEST(RdLabel, CentredLayoutCentresBelowTheTopBorder) {
    auto firstInkRow = [](int topBorder) {
        TRdLabel l;
        Prepare(l, L"X");
        l.SetAutoSize(false);
        l.SetBounds(0, 0, 40, 40);
        l.SetLayout(TTextLayout::tlCenter);
        l.TextBorder().SetTop(topBorder);
        Surface s(40, 40, kBlack);
        s.Paint(l);
        return s.Ink(kBlack).Top;
    };
    const int line = LineHeight();
    const int plain = firstInkRow(0);
    const int bordered = firstInkRow(4);
    EXPECT_EQ(bordered - plain, (4 + (36 - line) / 2) - (40 - line) / 2);
}

TEST(RdLabel, BottomLayoutPutsTheTextAboveTheBottomBorder) {
    // Where the ink of "Wg" lands in a 60x50 label, by layout and bottom border.
    auto ink = [](TTextLayout layout, int bottomBorder) {
        TRdLabel l;
        Prepare(l, L"Wg");
        l.SetAutoSize(false);
        l.SetBounds(0, 0, 60, 50);
        l.SetLayout(layout);
        l.TextBorder().SetBottom(bottomBorder);
        Surface s(60, 50, kBlack);
        s.Paint(l);
        return s.Ink(kBlack);
    };
    const int line = LineHeight();
    const int topInk = ink(TTextLayout::tlTop, 0).Top;  // the glyphs' own top gap
    for (const int border : {0, 7}) {
        SCOPED_TRACE(border);
        const TRect bottom = ink(TTextLayout::tlBottom, border);
        EXPECT_EQ(bottom.Top, 50 - border - line + topInk);
        EXPECT_LE(bottom.Bottom, 50 - border);
        EXPECT_GE(bottom.Bottom, 50 - border - 3);  // the descender of "g" reaches the line's foot
    }
}

TEST(RdLabel, BottomLayoutAutoSizeKeepsTheBottomEdge) {
    const int line = LineHeight();
    struct Case {
        int minHeight, height;
    };
    for (const Case& c : {Case{0, line}, Case{30, 30}}) {
        SCOPED_TRACE(c.minHeight);
        TRdLabel l;
        l.SetLayout(TTextLayout::tlBottom);
        l.Constraints().SetMinHeight(c.minHeight);
        l.SetBounds(5, 100, 65, 60);
        Prepare(l, L"Wg");
        EXPECT_EQ(l.Height(), c.height);
        EXPECT_EQ(l.Top() + l.Height(), 160);
        // A longer text later: the bottom still stays.
        l.SetCaption(L"Wg\nWg");
        EXPECT_EQ(l.Top() + l.Height(), 160);
    }
}

TEST(RdLabel, FoundTextWordBreakTellsWhetherTheTextWrapped) {
    const int line = LineHeight();
    struct Case {
        const wchar_t* text;
        bool autoSize;
        int height;  // for a label of fixed size
        bool wrapped;
    };
    const Case cases[] = {
        {L"Short", true, 0, false},
        {L"Several short words that wrap", true, 0, true},
        {L"Several short words that wrap", false, line, true},  // one line shown of several
        {L"Short", false, 3 * line, false},                     // room to spare, nothing wrapped
        {L"Two\nlines", true, 0, false},                        // its own line break is no wrap
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        TRdLabel l;
        Prepare(l, L"");
        l.SetWordWrap(true);
        l.Constraints().SetMinWidth(60);  // auto-size fits the height only, as the window's fitting does
        l.Constraints().SetMaxWidth(60);
        l.SetAutoSize(c.autoSize);
        if (!c.autoSize) l.SetBounds(0, 0, 60, c.height);
        l.SetCaption(c.text);
        Surface s(l.Width(), l.Height(), kBlack);
        s.Paint(l);
        EXPECT_EQ(l.FoundTextWordBreak(), c.wrapped);
    }
}

TEST(RdLabel, ColoursByState) {
    TRdLabel l;
    Prepare(l, L"WWW");
    l.SetFontHoverColor(Rgb(0, 0, 255) /* BGR: red */);
    Surface s(60, 20, kBlack);
    s.Paint(l);
    EXPECT_GT(s.Count(Rgb(255, 255, 255), s.Ink(kBlack)), 0);
    l.MouseEnter();
    s.Fill(kBlack);
    s.Paint(l);
    EXPECT_GT(s.Count(Rgb(255, 0, 0), s.Ink(kBlack)), 0);
    EXPECT_EQ(s.Count(Rgb(255, 255, 255), s.Ink(kBlack)), 0);
    l.MouseLeave();
    l.SetEnabled(false);
    l.SetFontDisabledColor(0x00FF00);
    s.Fill(kBlack);
    s.Paint(l);
    EXPECT_GT(s.Count(Rgb(0, 255, 0), s.Ink(kBlack)), 0);
}

// --- right to left -------------------------------------------------------------------------

// Where the text of a 100-pixel label lands, by BiDi mode and alignment.
TRect InkOf(TBiDiMode mode, TAlignment alignment, const std::wstring& caption = L"WW") {
    TRdLabel l;
    Prepare(l, caption);
    l.SetAutoSize(false);
    l.SetBounds(0, 0, 100, 20);
    l.SetAlignment(alignment);
    l.SetBiDiMode(mode);
    Surface s(100, 20, kBlack);
    s.Paint(l);
    return s.Ink(kBlack);
}

TEST(RdLabel, RightToLeftAlignmentSwapsLeftAndRight) {
    const int w = MeasureText(L"WW", -12).cx;
    const TRect ltr = InkOf(TBiDiMode::bdLeftToRight, TAlignment::taLeftJustify);
    EXPECT_LT(ltr.Left, 3);
    const TRect rtl = InkOf(TBiDiMode::bdRightToLeft, TAlignment::taLeftJustify);
    EXPECT_GT(rtl.Left, 100 - w - 3);
    EXPECT_GT(rtl.Right, 100 - 3);
    EXPECT_LT(InkOf(TBiDiMode::bdRightToLeft, TAlignment::taRightJustify).Left, 3);
    // Centred stays centred.
    const TRect centred = InkOf(TBiDiMode::bdRightToLeft, TAlignment::taCenter);
    EXPECT_NEAR(centred.Left + centred.Right, 100, 4);
    // The modes that only change the reading order keep the alignment.
    EXPECT_LT(InkOf(TBiDiMode::bdRightToLeftNoAlign, TAlignment::taLeftJustify).Left, 3);
    EXPECT_LT(InkOf(TBiDiMode::bdRightToLeftReadingOnly, TAlignment::taLeftJustify).Left, 3);
}

TEST(RdLabel, RightToLeftReadingPutsTrailingPunctuationFirst) {
    // "b." read right to left shows as ".b": the full stop's ink moves to
    // the left end, the letter to the right.
    auto columns = [](TBiDiMode mode) {
        TRdLabel l;
        Prepare(l, L"b.");
        l.SetBiDiMode(mode);
        Surface s(l.Width(), l.Height(), kBlack);
        s.Paint(l);
        // The first column with ink near the top is the tall letter's.
        const TRect ink = s.Ink(kBlack);
        int firstTall = -1;
        for (int x = 0; x < s.Width() && firstTall < 0; ++x)
            for (int y = ink.Top; y < ink.Top + 3; ++y)
                if (s.At(x, y) != kBlack) firstTall = x;
        return std::pair{ink.Left, firstTall};
    };
    const auto [ltrLeft, ltrTall] = columns(TBiDiMode::bdLeftToRight);
    const auto [rtlLeft, rtlTall] = columns(TBiDiMode::bdRightToLeftReadingOnly);
    EXPECT_EQ(ltrTall, ltrLeft);  // the letter starts the line
    EXPECT_GT(rtlTall, rtlLeft);  // the full stop does
}

TEST(RdLabel, AutoSizeKeepsTheRightEdgeWhenTheModeFlipsALeftAlignment) {
    auto grow = [](TBiDiMode mode, int maxWidth) {
        TRdLabel l;
        Prepare(l, L"ab");
        l.SetBiDiMode(mode);
        l.SetLeft(300);
        l.Constraints().SetMaxWidth(maxWidth);
        l.SetAutoSize(false);
        l.SetAutoSize(true);
        const TRect before = l.BoundsRect();
        l.SetCaption(L"a much longer caption");
        return std::pair{before, l.BoundsRect()};
    };
    const int longer = MeasureText(L"a much longer caption", -12, DT_EXPANDTABS).cx;
    auto [before, after] = grow(TBiDiMode::bdRightToLeft, 0);
    EXPECT_EQ(after.Width(), longer);
    EXPECT_EQ(after.Right, before.Right);
    std::tie(before, after) = grow(TBiDiMode::bdRightToLeft, 60);
    EXPECT_EQ(after.Width(), 60);
    EXPECT_EQ(after.Right, before.Right);
    // Reading order alone does not flip the alignment: the left edge stays.
    std::tie(before, after) = grow(TBiDiMode::bdRightToLeftNoAlign, 0);
    EXPECT_EQ(after.Left, 300);
    EXPECT_EQ(after.Width(), longer);
}

// --- repaints on hover ---------------------------------------------------------------------

TEST(RdLabel, HoverRepaintsOnlyForAHoverColourOtherThanTheFonts) {
    TForm form(L"TTestForm");
    form.SetBounds(0, 0, 200, 60);
    auto label = std::make_unique<TRdLabel>();
    TRdLabel* l = label.get();
    form.AddControl(std::move(label));
    Prepare(*l, L"Hover");
    form.Show();
    const HWND wnd = form.Handle();
    test::TakeRepaint(wnd);
    l->MouseEnter();  // no hover colour
    l->MouseLeave();
    EXPECT_FALSE(test::TakeRepaint(wnd));
    l->SetFontHoverColor(clWhite);         // the font's own colour: nothing to show
    EXPECT_FALSE(test::TakeRepaint(wnd));  // stored without a repaint
    l->MouseEnter();
    EXPECT_FALSE(test::TakeRepaint(wnd));
    l->MouseLeave();
    EXPECT_FALSE(test::TakeRepaint(wnd));
    l->SetFontHoverColor(0x00FF00);
    l->MouseEnter();
    EXPECT_TRUE(test::TakeRepaint(wnd));
    l->MouseLeave();
    EXPECT_TRUE(test::TakeRepaint(wnd));
}

// --- the accelerator -----------------------------------------------------------------------

// A shown form with two edits and a label "&Name" that names the first.
struct AccelForm {
    TForm form{L"TTestForm"};
    TEdit* name = nullptr;
    TEdit* other = nullptr;
    TRdLabel* label = nullptr;
    AccelForm() {
        form.SetBounds(20, 20, 300, 100);
        auto add = [this](auto control) {
            auto* raw = control.get();
            form.AddControl(std::move(control));
            return raw;
        };
        label = add(std::make_unique<TRdLabel>());
        name = add(std::make_unique<TEdit>());
        other = add(std::make_unique<TEdit>());
        name->SetBounds(80, 10, 100, 21);
        other->SetBounds(80, 40, 100, 21);
        label->SetCaption(L"&Name");
        label->SetFocusControl(name);
        form.Show();
    }
    // Alt+key typed while the other edit has the focus; true when the focus moved.
    bool AltKey(wchar_t c) {
        other->SetFocus();
        EXPECT_TRUE(other->Focused());
        ::SendMessageW(other->Handle(), WM_SYSCHAR, c, 1u << 29);
        return name->Focused();
    }
};

TEST(RdLabel, TheAcceleratorMovesTheFocusOnlyWhenEveryConditionHolds) {
    AccelForm f;
    ASSERT_NE(f.name->Handle(), nullptr);
    EXPECT_TRUE(f.AltKey(L'n'));
    EXPECT_TRUE(f.AltKey(L'N'));
    EXPECT_FALSE(f.AltKey(L'x'));  // not the accelerator
    f.label->SetEnabled(false);
    EXPECT_FALSE(f.AltKey(L'n'));
    f.label->SetEnabled(true);
    f.label->SetShowAccelChar(false);
    EXPECT_FALSE(f.AltKey(L'n'));
    f.label->SetShowAccelChar(true);
    f.name->SetEnabled(false);  // cannot take the focus
    EXPECT_FALSE(f.AltKey(L'n'));
    EXPECT_FALSE(f.label->DialogChar(L'n'));
    f.name->SetEnabled(true);
    f.label->SetCaption(L"&&Name");  // "&&" is a plain "&"
    EXPECT_FALSE(f.AltKey(L'n'));
    f.label->SetCaption(L"&Name");
    // Reported as handled; typed to the form itself it works the same.
    EXPECT_TRUE(f.label->DialogChar(L'n'));
    f.other->SetFocus();
    ::SendMessageW(f.form.Handle(), WM_SYSCHAR, L'n', 1u << 29);
    EXPECT_TRUE(f.name->Focused());
    // Without a focus control nothing happens.
    f.label->SetFocusControl(nullptr);
    EXPECT_FALSE(f.AltKey(L'n'));
}

TEST(RdLabel, TheFocusControlIsForgottenWhenItIsDestroyed) {
    TRdLabel l;
    {
        TEdit edit;
        l.SetFocusControl(&edit);
        EXPECT_EQ(l.FocusControl(), &edit);
    }
    EXPECT_EQ(l.FocusControl(), nullptr);
    // And the label going first leaves the edit nothing to tell.
    TEdit edit;
    {
        TRdLabel gone;
        gone.SetFocusControl(&edit);
    }
}

}  // namespace
}  // namespace promo
