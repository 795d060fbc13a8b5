// The windowless control base and the form host: pictures, constraints,
// parent font, enabled state and the mouse, hints, painting order, BiDi
// modes, cursors and accelerators.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/TestData.h"
#include "controls/RdLabel.h"
#include "ui/Form.h"
#include "ui/Graphics.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::Rgb;

// A picture once drawn keeps its pixels in its bitmap alone; every way of
// reading them still gives what it was made of.
TEST(BitmapImage, ADrawnPictureReadsTheSameFromItsBitmap) {
    DecodedImage made;
    made.width = 3;
    made.height = 2;
    made.pixels = {0xFF102030u, 0x80404040u, 0x00000000u, 0xFFFFFFFFu, 0x7F010203u, 0xFF000000u};
    made.hasAlpha = true;
    const TBitmapImage picture{DecodedImage(made)};
    ASSERT_NE(picture.Bitmap(), nullptr);
    ASSERT_NE(picture.SourceDc(), nullptr);
    const struct {
        int x, y;
        std::uint32_t want;
    } reads[] = {{0, 0, 0xFF102030u}, {1, 0, 0x80404040u}, {2, 0, 0u},
                 {0, 1, 0xFFFFFFFFu}, {1, 1, 0x7F010203u}, {2, 1, 0xFF000000u},
                 {-1, 0, 0u},         {3, 0, 0u},          {0, 2, 0u}};
    for (const auto& r : reads) EXPECT_EQ(picture.Pixel(r.x, r.y), r.want) << r.x << "," << r.y;
    EXPECT_TRUE(picture.HasAlpha());
    EXPECT_EQ(picture.Image().pixels, made.pixels);  // copied back when asked
    EXPECT_EQ(picture.Pixel(1, 1), 0x7F010203u);
    // What the bitmap holds is what was made.
    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectW(picture.Bitmap(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    const auto* bits = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
    EXPECT_EQ(std::vector<std::uint32_t>(bits, bits + 6), made.pixels);
}

TEST(Picture, PixelsAreDecodedWhenFirstNeededAndABrokenFileDrawsNothing) {
    const auto whole = test::ReadDataFile("png/alpha-3x2.png");
    TPicture good;
    ASSERT_TRUE(good.LoadFromPng(whole.data(), whole.size()));
    EXPECT_EQ(good.Width(), 3);
    EXPECT_EQ(good.Pixel(1, 0), 0xFF0000FFu);  // decoded on this first read
    EXPECT_TRUE(good.HasAlpha());

    // Header intact, pixels cut off: the size is known at load, the picture
    // then turns out fully transparent.
    const auto idat = std::string(whole.begin(), whole.end()).find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(idat) + 8);
    TPicture broken;
    ASSERT_TRUE(broken.LoadFromPng(cut.data(), cut.size()));
    EXPECT_EQ(broken.Width(), 3);
    EXPECT_EQ(broken.Height(), 2);
    test::Surface s(3, 2, Rgb(1, 2, 3));
    TCanvas canvas;
    canvas.SetHandle(s.Dc());
    canvas.Draw(0, 0, broken);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(s.At(0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(s.At(2, 1), Rgb(1, 2, 3));
    EXPECT_EQ(broken.Pixel(1, 0), 0u);

    const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    TPicture none;
    EXPECT_FALSE(none.LoadFromPng(junk, sizeof junk));
    EXPECT_TRUE(none.Empty());
}

// Every measurement borrows one shared context: a borrow must leave it as it
// found it (or the next measurement inherits a font, and a font still selected
// there can never be deleted), and borrows must nest.
TEST(MeasuringDc, BorrowsShareOneContextAndLeaveItAsTheyFoundIt) {
    HDC shared = nullptr;
    HGDIOBJ before = nullptr;
    {
        MeasuringDc outer;
        ASSERT_TRUE(outer);
        shared = outer.get();
        before = ::GetCurrentObject(shared, OBJ_FONT);
        HFONT font = ::CreateFontW(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
        ::SelectObject(shared, font);
        ::SetTextColor(shared, RGB(1, 2, 3));
        {
            MeasuringDc inner;
            EXPECT_EQ(inner.get(), shared);
            ::SelectObject(inner.get(), ::GetStockObject(SYSTEM_FIXED_FONT));
        }
        EXPECT_EQ(::GetCurrentObject(shared, OBJ_FONT), font);  // the inner borrow put the outer's font back
        ::SelectObject(shared, before);
        EXPECT_TRUE(::DeleteObject(font));
        font = ::CreateFontW(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
        ::SelectObject(shared, font);  // left selected: the borrow's end must deselect it
        MeasuringDc third;
        EXPECT_EQ(third.get(), shared);
    }
    MeasuringDc again;
    EXPECT_EQ(again.get(), shared);
    EXPECT_EQ(::GetCurrentObject(shared, OBJ_FONT), before);
    EXPECT_NE(::GetTextColor(shared), RGB(1, 2, 3));
}

TEST(Control, ConstraintsClampEveryBoundsChangeAndReapplyAtOnce) {
    TShape s;
    s.SetBounds(5, 6, 200, 100);
    s.Constraints().SetMaxWidth(120);  // re-applied to the current size
    EXPECT_EQ(s.BoundsRect(), TRect::FromSize(5, 6, 120, 100));
    s.Constraints().SetMinHeight(150);
    EXPECT_EQ(s.Height(), 150);
    s.SetBounds(0, 0, 10, 10);
    EXPECT_EQ(s.Width(), 10);
    EXPECT_EQ(s.Height(), 150);
    s.Constraints().SetMinWidth(50);
    EXPECT_EQ(s.Width(), 50);
    s.Constraints().SetMaxWidth(0);  // 0: no limit
    s.SetWidth(900);
    EXPECT_EQ(s.Width(), 900);
    // A maximum below the minimum: the minimum wins.
    s.Constraints().SetMaxHeight(20);
    EXPECT_EQ(s.Height(), 150);
}

TEST(Control, ParentFontFollowsTheFormUntilTheControlSetsItsOwn) {
    TForm form(L"TTestForm");
    auto label = std::make_unique<TRdLabel>();
    TRdLabel* l = label.get();
    form.AddControl(std::move(label));
    form.Font().SetHeight(-20);
    EXPECT_EQ(l->Font().Height(), -20);
    EXPECT_TRUE(l->ParentFont());
    l->Font().SetColor(0x00FF00);
    EXPECT_FALSE(l->ParentFont());
    form.Font().SetHeight(-9);
    EXPECT_EQ(l->Font().Height(), -20);
    l->SetParentFont(true);
    EXPECT_EQ(l->Font().Height(), -9);
}

TEST(Control, LoadingDefersFittingUntilLoaded) {
    TRdLabel l;
    l.BeginLoading();
    l.Font().SetHeight(-12);
    l.SetCaption(L"A caption to fit");
    EXPECT_EQ(l.Width(), 65);  // nothing measured while loading
    l.EndLoading();
    EXPECT_EQ(l.Width(), test::MeasureText(L"A caption to fit", -12, DT_EXPANDTABS).cx);
}

struct TwoControls {
    TForm form{L"TTestForm"};
    TShape* below = nullptr;
    TShape* above = nullptr;
    std::vector<std::string> events;
    TwoControls() {
        form.SetBounds(0, 0, 100, 60);
        form.SetColor(0x102030);
        auto a = std::make_unique<TShape>();
        auto b = std::make_unique<TShape>();
        below = a.get();
        above = b.get();
        form.AddControl(std::move(a));
        form.AddControl(std::move(b));
        below->SetBounds(0, 0, 60, 60);
        below->SetBrushColor(0x0000FF);
        above->SetBounds(40, 20, 60, 40);
        above->SetBrushColor(0x00FF00);
        for (TShape* s : {below, above}) {
            const std::string name = s == below ? "below" : "above";
            s->OnMouseEnter = [this, name](TControl*) { events.push_back("enter " + name); };
            s->OnMouseLeave = [this, name](TControl*) { events.push_back("leave " + name); };
            s->OnClick = [this, name](TControl*) { events.push_back("click " + name); };
        }
        form.CreateHandle();
    }
    void Send(UINT msg, int x, int y, WPARAM keys = 0) {
        ::SendMessageW(form.Handle(), msg, keys, MAKELPARAM(x, y));
    }
};

TEST(Form, PaintsControlsInCreationOrder) {
    TwoControls t;
    DecodedImage img;
    ASSERT_TRUE(t.form.RenderToImage(img));
    auto px = [&](int x, int y) { return img.pixels[static_cast<size_t>(y) * 100 + x] & 0xFFFFFF; };
    EXPECT_EQ(px(10, 10), Rgb(255, 0, 0));        // the first shape's brush (BGR 0x0000FF)
    EXPECT_EQ(px(50, 30), Rgb(0, 255, 0));        // the second lies above it
    EXPECT_EQ(px(90, 5), Rgb(0x30, 0x20, 0x10));  // the form's colour
    EXPECT_EQ(px(40, 20), Rgb(0, 0, 0));          // the upper one's frame
    t.above->SetVisible(false);
    ASSERT_TRUE(t.form.RenderToImage(img));
    EXPECT_EQ(px(50, 30), Rgb(255, 0, 0));
}

TEST(Form, EnterLeaveAndClicksGoToTheTopmostControl) {
    TwoControls t;
    t.Send(WM_MOUSEMOVE, 10, 10);
    t.Send(WM_MOUSEMOVE, 50, 30);
    t.Send(WM_LBUTTONDOWN, 50, 30, MK_LBUTTON);
    t.Send(WM_LBUTTONUP, 50, 30);
    EXPECT_EQ(t.events,
              (std::vector<std::string>{"enter below", "leave below", "enter above", "click above"}));
    // A disabled control still sees the mouse come and go but takes no press:
    // the press reaches the enabled control beneath it.
    t.events.clear();
    t.above->SetEnabled(false);
    t.Send(WM_MOUSEMOVE, 45, 30);
    t.Send(WM_LBUTTONDOWN, 45, 30, MK_LBUTTON);
    t.Send(WM_LBUTTONUP, 45, 30);
    EXPECT_EQ(t.events, (std::vector<std::string>{"click below"}));
    t.Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(t.events.back(), "leave above");
}

// The form applies its layout arithmetic (FormLayoutTest walks the same
// steps natively) to real controls as they are aligned, anchored and resized.
TEST(Form, AlignedAndAnchoredControlsFollowTheForm) {
    TwoControls t;
    t.below->SetAlign(TAlign::alTop);
    EXPECT_EQ(t.below->BoundsRect(), TRect::FromSize(0, 0, 100, 60));
    t.below->SetHeight(10);
    t.above->SetAnchors(akRight | akBottom);
    t.form.SetBounds(0, 0, 150, 80);
    EXPECT_EQ(t.below->BoundsRect(), TRect::FromSize(0, 0, 150, 10));
    EXPECT_EQ(t.above->BoundsRect(), TRect::FromSize(90, 40, 60, 40));  // kept 0 to the right and bottom
    t.above->SetAnchors(akLeft | akTop | akRight);
    t.form.SetBounds(0, 0, 170, 80);
    EXPECT_EQ(t.above->BoundsRect(), TRect::FromSize(90, 40, 80, 40));  // stretched with the form
    t.above->SetAlign(TAlign::alClient);
    EXPECT_EQ(t.above->BoundsRect(), TRect::FromSize(0, 10, 170, 70));  // the space the top one left
}

TEST(Form, HintsFollowShowHintAndTheLabelsEllipsis) {
    TForm form(L"TTestForm");
    auto label = std::make_unique<TRdLabel>();
    TRdLabel* l = label.get();
    form.AddControl(std::move(label));
    l->SetCaption(L"A caption that will not fit");
    l->SetHint(L"own hint");
    EXPECT_EQ(TForm::HintFor(l), L"");  // ShowHint is off
    l->SetShowHint(true);
    EXPECT_EQ(TForm::HintFor(l), L"own hint");
    l->SetAutoShowHint(true);
    EXPECT_EQ(TForm::HintFor(l), L"");  // auto-sized: never cut
    l->SetHint(L"");
    l->SetAutoSize(false);
    l->SetWidth(40);
    l->SetEllipsisPosition(TEllipsisPosition::epEndEllipsis);
    l->SetWidth(41);  // measured on the resize
    EXPECT_TRUE(l->FoundTextEllipsis());
    EXPECT_EQ(TForm::HintFor(l), L"A caption that will not fit");
    // ParentShowHint takes the form's setting.
    l->SetParentShowHint(true);
    EXPECT_EQ(TForm::HintFor(l), L"");
    form.SetShowHint(true);
    EXPECT_EQ(TForm::HintFor(l), L"A caption that will not fit");
}

TEST(Control, BiDiModesFlipAlignmentOrReadingAndFollowTheParent) {
    TShape s;
    struct Case {
        TBiDiMode mode;
        unsigned left, right, center;  // DT_LEFT, DT_RIGHT, DT_CENTER become
    };
    const unsigned rtl = DT_RTLREADING;
    const Case cases[] = {
        {TBiDiMode::bdLeftToRight, DT_LEFT, DT_RIGHT, DT_CENTER},
        {TBiDiMode::bdRightToLeft, DT_RIGHT | rtl, DT_LEFT | rtl, DT_CENTER | rtl},
        {TBiDiMode::bdRightToLeftNoAlign, DT_LEFT | rtl, DT_RIGHT | rtl, DT_CENTER | rtl},
        {TBiDiMode::bdRightToLeftReadingOnly, DT_LEFT | rtl, DT_RIGHT | rtl, DT_CENTER | rtl},
    };
    for (const Case& c : cases) {
        s.SetBiDiMode(c.mode);
        EXPECT_EQ(s.DrawTextBiDiModeFlags(DT_LEFT | DT_WORDBREAK), c.left | DT_WORDBREAK);
        EXPECT_EQ(s.DrawTextBiDiModeFlags(DT_RIGHT), c.right);
        EXPECT_EQ(s.DrawTextBiDiModeFlags(DT_CENTER), c.center);
    }
    s.SetBiDiMode(TBiDiMode::bdRightToLeft);
    EXPECT_EQ(s.EffectiveAlignment(TAlignment::taLeftJustify), TAlignment::taRightJustify);
    EXPECT_EQ(s.EffectiveAlignment(TAlignment::taCenter), TAlignment::taCenter);

    TForm form(L"TTestForm");
    auto child = std::make_unique<TShape>();
    TShape* c = child.get();
    form.AddControl(std::move(child));
    form.SetBiDiMode(TBiDiMode::bdRightToLeftReadingOnly);
    EXPECT_EQ(c->BiDiMode(), TBiDiMode::bdRightToLeftReadingOnly);
    c->SetBiDiMode(TBiDiMode::bdLeftToRight);  // its own from now on
    EXPECT_FALSE(c->ParentBiDiMode());
    form.SetBiDiMode(TBiDiMode::bdRightToLeft);
    EXPECT_EQ(c->BiDiMode(), TBiDiMode::bdLeftToRight);
    c->SetParentBiDiMode(true);
    EXPECT_EQ(c->BiDiMode(), TBiDiMode::bdRightToLeft);
}

TEST(Control, AcceleratorIsTheCharacterAfterTheFirstSingleAmpersand) {
    EXPECT_EQ(AcceleratorOf(L"&Name"), L'N');
    EXPECT_EQ(AcceleratorOf(L"Save && e&xit"), L'x');
    EXPECT_EQ(AcceleratorOf(L"Save && exit"), 0);
    EXPECT_EQ(AcceleratorOf(L"Trailing&"), 0);
    EXPECT_EQ(AcceleratorOf(L"&&&A"), L'A');
    EXPECT_TRUE(IsAccel(L'n', L"&Name"));
    EXPECT_TRUE(IsAccel(L'\x00E4', L"&\x00C4rger"));  // letters without regard to case
    EXPECT_FALSE(IsAccel(L'n', L"N&ame && a"));
    EXPECT_TRUE(IsAccel(L'a', L"N&ame && a"));
    EXPECT_FALSE(IsAccel(L'&', L"A && B"));
}

TEST(Form, TheCursorIsTheOneOfTheControlUnderTheMouse) {
    EXPECT_EQ(CursorHandle(crDefault), ::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(CursorHandle(crHandPoint), ::LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(CursorHandle(crSizeWE), ::LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(CursorHandle(crHourGlass), ::LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_EQ(CursorHandle(crNone), nullptr);
    EXPECT_EQ(CursorHandle(7), ::LoadCursorW(nullptr, IDC_ARROW));  // no such cursor here

    TForm form(L"TTestForm");
    form.SetBounds(60, 60, 200, 100);
    auto shape = std::make_unique<TShape>();
    TShape* s = shape.get();
    form.AddControl(std::move(shape));
    s->SetBounds(10, 10, 50, 50);
    s->SetCursor(crCross);
    form.Show();
    auto setCursorAt = [&](int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(form.Handle(), &p);
        ::SetCursorPos(p.x, p.y);
        ::SetCursor(nullptr);
        return ::SendMessageW(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Handle()),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    EXPECT_TRUE(setCursorAt(20, 20));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_CROSS));
    setCursorAt(150, 20);  // the form's own
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
    // A change while the mouse is over the control shows at once.
    ::SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    s->SetCursor(crIBeam);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_IBEAM));
    // A disabled control shows none of its own.
    s->SetEnabled(false);
    setCursorAt(20, 20);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace
}  // namespace promo
