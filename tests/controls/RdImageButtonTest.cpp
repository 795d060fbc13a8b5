// The image button under Wine: faces per state through the form host's real
// mouse messages, the caption drawn inside the text margins, the ellipsis,
// caption colours, and the re-measure that leaves the font on its canvas.
// The caption's place, its ellipses and AutoSizeByText on a real device
// context are in RdImageButtonCaptionTest.cpp.
#include <gtest/gtest.h>

#include "controls/RdImageButton.h"
#include "controls/ImageButtonFaces.h"
#include "ui/Form.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::MeasureText;
using test::Rgb;
using test::SetSolid;
using test::Surface;
using test::Faces;
using test::kNormal;
using test::kOver;
using test::kDown;
using test::kDisabled;

std::uint32_t FaceColour(TRdImageButton& b) {
    Surface s(b.Width(), b.Height(), Rgb(1, 1, 1));
    s.Paint(b);
    return s.At(1, 1);
}

// A form hosting one button at (10, 10), driven with window messages.
struct Host {
    TForm form{L"TTestForm"};
    TRdImageButton* button = nullptr;
    int clicks = 0;
    Host() {
        form.SetBounds(0, 0, 200, 100);
        auto b = std::make_unique<TRdImageButton>();
        button = b.get();
        form.AddControl(std::move(b));
        button->SetBounds(10, 10, 60, 30);
        Faces(*button, 60, 30);
        button->OnClick = [this](TControl*) { ++clicks; };
        form.CreateHandle();
    }
    void Send(UINT msg, int x, int y, WPARAM keys = 0) {
        ::SendMessageW(form.Handle(), msg, keys, MAKELPARAM(x, y));
    }
};

TEST(RdImageButton, PressMoveOutReleaseShowsTheRightFacesAndDoesNotClick) {
    Host h;
    TRdImageButton& b = *h.button;
    EXPECT_EQ(FaceColour(b), kNormal);
    h.Send(WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(h.form.HoverControl(), &b);
    EXPECT_EQ(FaceColour(b), kOver);
    h.Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(b.ButtonState(), TRdButtonState::Down);
    EXPECT_TRUE(b.MouseCaptured());
    EXPECT_EQ(FaceColour(b), kDown);
    h.Send(WM_MOUSEMOVE, 150, 80, MK_LBUTTON);  // out: pressed needs hovering
    EXPECT_EQ(h.form.HoverControl(), nullptr);
    EXPECT_EQ(b.ButtonState(), TRdButtonState::Down);
    EXPECT_EQ(FaceColour(b), kNormal);
    h.Send(WM_LBUTTONUP, 150, 80);
    EXPECT_EQ(b.ButtonState(), TRdButtonState::Normal);
    EXPECT_FALSE(b.MouseCaptured());
    EXPECT_EQ(h.clicks, 0);
    // Press and release inside: one click.
    h.Send(WM_MOUSEMOVE, 20, 20);
    h.Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    h.Send(WM_LBUTTONUP, 21, 21);
    EXPECT_EQ(h.clicks, 1);
    EXPECT_EQ(b.ButtonState(), TRdButtonState::Normal);
    // The right button does not click.
    h.Send(WM_RBUTTONDOWN, 20, 20, MK_RBUTTON);
    h.Send(WM_RBUTTONUP, 20, 20);
    EXPECT_EQ(h.clicks, 1);
}

TEST(RdImageButton, WithoutAnOverPictureTheNormalFaceStaysWhileHovered) {
    TRdImageButton b;
    b.SetBounds(0, 0, 40, 20);
    Faces(b, 40, 20, /*withOver=*/false);
    b.MouseEnter();
    EXPECT_TRUE(b.Hovering());
    EXPECT_EQ(FaceColour(b), kNormal);
}

TEST(RdImageButton, DisabledShowsItsFaceOrTheNormalOneAndTheDisabledColour) {
    TRdImageButton b;
    b.SetBounds(0, 0, 120, 30);
    Faces(b, 120, 30);
    b.Font().SetHeight(-15);
    b.SetCaption(L"WWWW");
    b.SetEnabled(false);
    EXPECT_EQ(b.ButtonState(), TRdButtonState::Disabled);
    Surface s(120, 30);
    s.Paint(b);
    EXPECT_EQ(s.At(1, 1), kDisabled);
    const COLORREF dk = ::GetSysColor(COLOR_3DDKSHADOW);
    EXPECT_GT(s.Count(Rgb(GetRValue(dk), GetGValue(dk), GetBValue(dk)), TRect::FromSize(0, 0, 120, 30)), 10);
    // Hovering a disabled button keeps the disabled face.
    b.MouseEnter();
    EXPECT_EQ(FaceColour(b), kDisabled);
    TPicture none;
    b.ImageDisabled().Assign(none);
    EXPECT_EQ(FaceColour(b), kNormal);
    b.SetEnabled(true);
    EXPECT_EQ(b.ButtonState(), TRdButtonState::Normal);
}

TEST(RdImageButton, CaptionColoursFollowTheState) {
    TRdImageButton b;
    b.SetBounds(0, 0, 120, 30);
    Faces(b, 120, 30);
    b.Font().SetHeight(-15);
    b.Font().SetColor(0xFFFFFF);
    b.SetCaption(L"WWWW");
    b.SetFontHoverColor(0x00FFFF);  // BGR: yellow
    b.SetFontDownColor(0xFF00FF);   // magenta
    const TRect all = TRect::FromSize(0, 0, 120, 30);
    Surface s(120, 30);
    s.Paint(b);
    EXPECT_GT(s.Count(Rgb(255, 255, 255), all), 10);
    b.MouseEnter();
    s.Paint(b);
    EXPECT_GT(s.Count(Rgb(255, 255, 0), all), 10);
    EXPECT_EQ(s.Count(Rgb(255, 255, 255), all), 0);
    b.MouseDown(TMouseButton::mbLeft, MK_LBUTTON, 5, 5);
    s.Paint(b);
    EXPECT_GT(s.Count(Rgb(255, 0, 255), all), 10);
    b.MouseUp(TMouseButton::mbLeft, 0, 5, 5);
    b.SetFontHoverColor(clNoOverride);  // no override: the font's colour
    s.Paint(b);
    EXPECT_GT(s.Count(Rgb(255, 255, 255), all), 10);
}

TEST(RdImageButton, BuyButtonCaptionSitsAtTheTextMarginWhenTheButtonFitsIt) {
    TRdImageButton b;
    Faces(b, 156, 36);
    b.ImageOption().SetLeft(52);
    b.ImageOption().SetTop(12);
    b.ImageOption().SetRight(52);
    b.ImageOption().SetBottom(12);
    b.SetTextLeftMargin(24);
    b.SetTextRightMargin(24);
    b.Font().SetHeight(-15);
    b.Font().SetColor(0xFFFFFF);
    b.SetBounds(0, 0, 156, 36);
    b.SetCaption(L"Upgrade now to version 8");
    // The window's rule: width = caption width on the button's canvas + 48.
    const int textWidth = b.Canvas().TextWidth(b.Caption());
    EXPECT_EQ(textWidth, MeasureText(b.Caption(), -15).cx);  // the canvas kept the -15 font
    b.SetWidth(textWidth + 48);
    Surface s(b.Width(), 36);
    s.Paint(b);
    EXPECT_FALSE(b.FoundTextEllipsis());
    // White ink starts within a glyph's side bearing of x = 24, ends before width - 24.
    int left = b.Width(), right = 0;
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (s.At(x, y) == Rgb(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GE(left, 24);
    EXPECT_LE(left, 26);
    EXPECT_LT(right, b.Width() - 24);
    // The face keeps its 52-pixel ends.
    EXPECT_EQ(s.At(0, 0), kNormal);
}

TEST(RdImageButton, TooWideACaptionIsCutAtTheMarginsWithAnEllipsis) {
    TRdImageButton b;
    b.SetBounds(0, 0, 156, 36);
    Faces(b, 156, 36);
    b.SetTextLeftMargin(24);
    b.SetTextRightMargin(24);
    b.Font().SetColor(0xFFFFFF);
    b.Font().SetHeight(-15);
    b.SetCaption(L"A caption far too long for this button to hold");
    EXPECT_TRUE(b.FoundTextEllipsis());  // known from the re-measure, before any paint
    Surface s(156, 36);
    s.Paint(b);
    EXPECT_TRUE(b.FoundTextEllipsis());
    int left = 156, right = 0;
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 156; ++x)
            if (s.At(x, y) == Rgb(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GE(left, 24);
    EXPECT_LT(right, 156 - 24);
    // With AutoShowHint the cut caption is the hint.
    b.SetAutoShowHint(true);
    std::wstring hint;
    b.DoShowHint(hint);
    EXPECT_EQ(hint, b.Caption());
    b.SetCaption(L"Buy");
    EXPECT_FALSE(b.FoundTextEllipsis());
    hint = L"x";
    b.DoShowHint(hint);
    EXPECT_EQ(hint, L"");
}

TEST(RdImageButton, SettingTheSameCaptionDoesNothing) {
    TRdImageButton b;
    int changes = 0;
    b.OnCaptionChanged = [&](TControl*) { ++changes; };
    b.SetCaption(L"Buy");
    b.SetCaption(L"Buy");
    EXPECT_EQ(changes, 1);
}

TEST(RdImageButton, AutoSizeTakesTheNormalPictureSizeAtItsPlace) {
    TRdImageButton b;
    b.SetBounds(466, 3, 75, 25);
    b.SetAutoSize(true);
    SetSolid(b.ImageNormal(), 34, 34, kNormal);
    EXPECT_EQ(b.BoundsRect(), TRect::FromSize(466, 3, 34, 34));
}

TEST(RdImageButton, EmptyFalseOnImageOptionGivesThirdsOfTheNormalPicture) {
    TRdImageButton b;
    SetSolid(b.ImageNormal(), 156, 36, kNormal);
    b.ImageOption().SetEmpty(false);
    EXPECT_EQ(b.ImageOption().Left(), 52);
    EXPECT_EQ(b.ImageOption().Top(), 12);
    EXPECT_EQ(b.ImageOption().Right(), 52);
    EXPECT_EQ(b.ImageOption().Bottom(), 12);
}

TEST(RdImageButton, HitTestMaskPassesTransparentAndBlackPointsThrough) {
    Host h;
    TRdImageButton& b = *h.button;
    // The left half of the mask is opaque white, the right half transparent.
    b.ImageRange().SetGraphic(test::MakeImage(60, 30, [](int x, int) { return x < 30 ? 0xFFFFFFFFu : 0u; }));
    EXPECT_TRUE(b.HitTest(5, 5));
    EXPECT_FALSE(b.HitTest(45, 5));
    h.Send(WM_MOUSEMOVE, 10 + 45, 15);
    EXPECT_EQ(h.form.HoverControl(), nullptr);
    h.Send(WM_MOUSEMOVE, 10 + 5, 15);
    EXPECT_EQ(h.form.HoverControl(), &b);
    // With slicing margins the mask is scaled to the button.
    b.ImageOption().SetLeft(5);
    b.ImageOption().SetRight(5);
    b.SetWidth(120);
    EXPECT_TRUE(b.HitTest(20, 5));
    EXPECT_FALSE(b.HitTest(110, 5));
}

TEST(RdImageButton, CheckBoxPressTogglesWithoutPressingTheButton) {
    TRdImageButton b;
    b.SetBounds(0, 0, 100, 30);
    Faces(b, 100, 30);
    b.SetShowCheckBox(true);
    SetSolid(b.CheckBoxNormalImage(), 10, 10, Rgb(200, 200, 200));
    SetSolid(b.CheckBoxCheckedImage(), 10, 10, Rgb(0, 200, 200));
    b.SetCheckBoxFullClick(false);
    Surface s(100, 30);
    s.Paint(b);
    EXPECT_EQ(s.At(12, 15), Rgb(200, 200, 200));  // left 10, centred vertically
    int clicks = 0;
    b.OnClick = [&](TControl*) { ++clicks; };
    b.MouseDown(TMouseButton::mbLeft, MK_LBUTTON, 12, 15);
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(b.ButtonState(), TRdButtonState::Normal);
    b.Click();
    b.MouseUp(TMouseButton::mbLeft, 0, 12, 15);
    EXPECT_EQ(clicks, 0);
    s.Paint(b);
    EXPECT_EQ(s.At(12, 15), Rgb(0, 200, 200));
}

// --- cursors -------------------------------------------------------------------------------

// The cursor WM_SETCURSOR shows with the mouse at a client point of the form.
HCURSOR CursorShownAt(TForm& form, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(form.Handle(), &p);
    ::SetCursorPos(p.x, p.y);
    ::SetCursor(nullptr);
    ::SendMessageW(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Handle()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
}

TEST(RdImageButton, IconCursorShowsOverTheIconAndTheSavedCursorComesBack) {
    Host h;
    TRdImageButton& b = *h.button;
    h.form.Show();
    // A 10x10 icon at the right: (40, 10)-(50, 20) in the button, (50, 20) on the form.
    SetSolid(b.DnIcon(TRdIconState::Normal), 10, 10, Rgb(9, 9, 9));
    b.IconCursor = crHandPoint;
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW), hand = ::LoadCursorW(nullptr, IDC_HAND);
    h.Send(WM_MOUSEMOVE, 15, 15);
    EXPECT_EQ(b.Cursor(), crDefault);
    h.Send(WM_MOUSEMOVE, 55, 25);
    EXPECT_EQ(b.Cursor(), crHandPoint);
    EXPECT_EQ(b.IconState(), TRdIconState::Hover);
    EXPECT_EQ(CursorShownAt(h.form, 55, 25), hand);
    h.Send(WM_MOUSEMOVE, 15, 15);
    EXPECT_EQ(b.Cursor(), crDefault);
    EXPECT_EQ(b.IconState(), TRdIconState::Normal);
    EXPECT_EQ(CursorShownAt(h.form, 15, 15), arrow);
    // The button's own cursor is what comes back, also when the mouse leaves
    // straight from the icon.
    b.SetCursor(crHelp);
    h.Send(WM_MOUSEMOVE, 55, 25);
    EXPECT_EQ(b.Cursor(), crHandPoint);
    h.Send(WM_MOUSEMOVE, 150, 80);
    EXPECT_EQ(h.form.HoverControl(), nullptr);
    EXPECT_EQ(b.Cursor(), crHelp);
    // Without an icon cursor the cursor stays what it is.
    b.IconCursor = crDefault;
    h.Send(WM_MOUSEMOVE, 55, 25);
    EXPECT_EQ(b.Cursor(), crHelp);
    EXPECT_EQ(CursorShownAt(h.form, 55, 25), ::LoadCursorW(nullptr, IDC_HELP));
}

TEST(RdImageButton, CheckBoxCursorShowsOverTheCheckBox) {
    Host h;
    TRdImageButton& b = *h.button;
    h.form.Show();
    b.SetShowCheckBox(true);
    SetSolid(b.CheckBoxNormalImage(), 10, 10, Rgb(200, 200, 200));
    b.CheckBoxCursor = crCross;
    Surface s(60, 30);
    s.Paint(b);  // places the box: (10, 10)-(20, 20) in the button
    h.Send(WM_MOUSEMOVE, 45, 15);
    EXPECT_EQ(b.Cursor(), crDefault);
    h.Send(WM_MOUSEMOVE, 25, 25);
    EXPECT_EQ(b.Cursor(), crCross);
    EXPECT_EQ(CursorShownAt(h.form, 25, 25), ::LoadCursorW(nullptr, IDC_CROSS));
    h.Send(WM_MOUSEMOVE, 45, 15);
    EXPECT_EQ(b.Cursor(), crDefault);
    h.Send(WM_MOUSEMOVE, 25, 25);
    h.Send(WM_MOUSEMOVE, 150, 80);  // leaving restores it too
    EXPECT_EQ(b.Cursor(), crDefault);
}

// --- repaints on hover ---------------------------------------------------------------------

TEST(RdImageButton, HoverRepaintsOnlyWhenDisabledWithAnOverPictureOrAHoverColour) {
    Host h;
    TRdImageButton& b = *h.button;
    h.form.Show();
    const HWND wnd = h.form.Handle();
    TPicture none;
    b.ImageOver().Assign(none);
    test::TakeRepaint(wnd);
    b.MouseEnter();
    EXPECT_TRUE(b.Hovering());
    EXPECT_FALSE(test::TakeRepaint(wnd));
    b.MouseLeave();
    EXPECT_FALSE(test::TakeRepaint(wnd));
    b.SetFontHoverColor(0x00FFFF);
    EXPECT_FALSE(test::TakeRepaint(wnd));  // stored without a repaint
    b.MouseEnter();
    EXPECT_TRUE(test::TakeRepaint(wnd));
    b.MouseLeave();
    EXPECT_TRUE(test::TakeRepaint(wnd));
    b.SetFontHoverColor(clNoOverride);
    SetSolid(b.ImageOver(), 60, 30, kOver);
    test::TakeRepaint(wnd);
    b.MouseEnter();
    EXPECT_TRUE(test::TakeRepaint(wnd));
    b.MouseLeave();
    EXPECT_TRUE(test::TakeRepaint(wnd));
    // Disabled while hovered: the flag's change repaints.
    b.ImageOver().Assign(none);
    b.MouseEnter();
    b.SetEnabled(false);
    test::TakeRepaint(wnd);
    b.MouseLeave();
    EXPECT_FALSE(b.Hovering());
    EXPECT_TRUE(test::TakeRepaint(wnd));
}

// --- the caption's rectangle ---------------------------------------------------------------

// A host whose button has a 10x10 icon at (40, 10) in the button, (50, 20) on
// the form, with a colour per state.
constexpr std::uint32_t kIconNormal = Rgb(100, 100, 100), kIconHover = Rgb(0, 200, 0),
                        kIconDown = Rgb(200, 0, 0);
struct IconHost : Host {
    int iconClicks = 0;
    IconHost() {
        SetSolid(button->DnIcon(TRdIconState::Normal), 10, 10, kIconNormal);
        SetSolid(button->DnIcon(TRdIconState::Hover), 10, 10, kIconHover);
        SetSolid(button->DnIcon(TRdIconState::Down), 10, 10, kIconDown);
        button->IconOnClick = [this](TControl*) { ++iconClicks; };
    }
    std::uint32_t IconShown() {
        Surface s(60, 30);
        s.Paint(*button);
        return s.At(45, 15);
    }
};

TEST(RdImageButton, IconPressesFollowTheStateMachine) {
    const TPoint onIcon{55, 25}, onButton{20, 20}, outside{150, 80};
    struct Case {
        const char* name;
        bool fullClick;
        TPoint press, release;
        TRdButtonState whilePressed;
        TRdIconState iconWhilePressed, iconAfter;
        int clicks, iconClicks;
    };
    const Case cases[] = {
        {"icon press, release on the icon", false, onIcon, onIcon, TRdButtonState::Normal, TRdIconState::Down,
         TRdIconState::Hover, 0, 1},
        {"icon press, release beside it", false, onIcon, onButton, TRdButtonState::Normal, TRdIconState::Down,
         TRdIconState::Normal, 1, 0},
        {"icon press, release outside", false, onIcon, outside, TRdButtonState::Normal, TRdIconState::Down,
         TRdIconState::Normal, 0, 0},
        {"button press, release inside", false, onButton, onButton, TRdButtonState::Down,
         TRdIconState::Normal, TRdIconState::Normal, 1, 0},
        {"full click, release inside", true, onButton, onButton, TRdButtonState::Down, TRdIconState::Down,
         TRdIconState::Hover, 1, 0},
        {"full click, release outside", true, onButton, outside, TRdButtonState::Down, TRdIconState::Down,
         TRdIconState::Normal, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IconHost h;
        h.button->IconFullClick = c.fullClick;
        h.Send(WM_MOUSEMOVE, c.press.X, c.press.Y);
        h.Send(WM_LBUTTONDOWN, c.press.X, c.press.Y, MK_LBUTTON);
        EXPECT_EQ(h.button->ButtonState(), c.whilePressed);
        EXPECT_EQ(h.button->IconState(), c.iconWhilePressed);
        h.Send(WM_MOUSEMOVE, c.release.X, c.release.Y, MK_LBUTTON);
        h.Send(WM_LBUTTONUP, c.release.X, c.release.Y);
        EXPECT_EQ(h.button->ButtonState(), TRdButtonState::Normal);
        EXPECT_EQ(h.button->IconState(), c.iconAfter);
        EXPECT_EQ(h.clicks, c.clicks);
        EXPECT_EQ(h.iconClicks, c.iconClicks);
        const std::uint32_t shown = c.iconAfter == TRdIconState::Hover ? kIconHover : kIconNormal;
        EXPECT_EQ(h.IconShown(), shown);
    }
}

TEST(RdImageButton, DisabledIconIsItsOwnPictureOrTheNormalOneInGrey) {
    IconHost h;
    TRdImageButton& b = *h.button;
    SetSolid(b.DnIcon(TRdIconState::Normal), 10, 10, Rgb(200, 100, 50));
    b.SetEnabled(false);
    const int grey = (28 * 50 + 151 * 100 + 77 * 200) >> 8;
    EXPECT_EQ(h.IconShown(), Rgb(grey, grey, grey));
    SetSolid(b.DnIcon(TRdIconState::Disabled), 10, 10, Rgb(1, 2, 3));
    EXPECT_EQ(h.IconShown(), Rgb(1, 2, 3));
    b.SetEnabled(true);
    EXPECT_EQ(h.IconShown(), Rgb(200, 100, 50));
}

TEST(RdImageButton, LeavingWhileHeldRepaintsThePressedFaceAwayWithoutAnOverPicture) {
    Host h;
    TRdImageButton& b = *h.button;
    TPicture none;
    b.ImageOver().Assign(none);
    h.form.Show();
    const HWND wnd = h.form.Handle();
    h.Send(WM_MOUSEMOVE, 20, 20);
    h.Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(FaceColour(b), kDown);
    test::TakeRepaint(wnd);
    h.Send(WM_MOUSEMOVE, 150, 80, MK_LBUTTON);
    EXPECT_TRUE(test::TakeRepaint(wnd));
    EXPECT_EQ(FaceColour(b), kNormal);
    h.Send(WM_MOUSEMOVE, 20, 20, MK_LBUTTON);  // and back in: pressed again
    EXPECT_TRUE(test::TakeRepaint(wnd));
    EXPECT_EQ(FaceColour(b), kDown);
    h.Send(WM_LBUTTONUP, 20, 20);
}

}  // namespace
}  // namespace promo
