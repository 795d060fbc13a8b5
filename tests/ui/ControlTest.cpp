// The windowless control base and the form host: constraints, parent font,
// enabled state and the mouse, hints, and painting order.
#include <gtest/gtest.h>

#include "controls/RdLabel.h"
#include "ui/Form.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::Rgb;

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

}  // namespace
}  // namespace promo
