// The skinned label under Wine with Tahoma: fitting, wrapping, ellipsis, the
// flags it reports, and where its text lands on the pixels.
#include <gtest/gtest.h>

#include "controls/RdLabel.h"
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

}  // namespace
}  // namespace promo
