// Forms built from a description: the sample window embedded in this test
// program's resources by the build step, its window, its handlers and the
// hints of its controls.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first
#include <commctrl.h>

#include "controls/ControlClasses.h"
#include "controls/PImageNote.h"
#include "controls/RdImageButton.h"
#include "controls/RdLabel.h"
#include "ui/Form.h"
#include "ui/SampleForm.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::TSampleForm;

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

TEST(Form, BuildsTheSampleFromItsResource) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    EXPECT_EQ(form.created, 1);
    // The window comes with the first show, after the creation handler, so
    // that it takes the DPI awareness in force then.
    EXPECT_FALSE(form.handleAtCreate);
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_EQ(form.Name, L"SampleForm");
    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(form.Controls().size(), 6u);
    auto* title = form.FindChild<TRdLabel>(L"lblTitle");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(form.FindChild<TRdImageButton>(L"lblTitle"), nullptr);  // typed lookup checks the class
    // Loaded fitted the label to its text in its -13 font.
    EXPECT_EQ(title->Width(), test::MeasureText(L"Pellorin 7", -13, DT_EXPANDTABS).cx);
    EXPECT_EQ(form.labelWidthAtCreate, title->Width());
    EXPECT_FALSE(title->ParentFont());
    auto* close = form.FindChild<TRdImageButton>(L"btnClose");
    EXPECT_EQ(close->BoundsRect(), TRect::FromSize(260, 0, 34, 34));  // AutoSize to its picture
    EXPECT_EQ(close->SkinLink().Name, L"btnClose_skinlink_");
    auto* note = form.FindChild<TImageNote>(L"imgNote");
    ASSERT_EQ(note->Items().Count(), 2);
    EXPECT_EQ(note->Items()[1]->Name, L"Picture_1");
    EXPECT_EQ(note->Items()[1]->Picture().Width(), 51);
    EXPECT_FALSE(note->Visible());
    // The badge gets the note's first picture as the window does it.
    auto* badge = form.FindChild<TImage>(L"imgBadge");
    badge->Picture().Assign(note->Items()[0]->Picture());
    EXPECT_EQ(badge->Width(), 34);
    EXPECT_EQ(badge->Height(), 16);
    // The parent's font reached controls that keep ParentFont.
    EXPECT_EQ(form.FindChild<TShape>(L"shp")->Font().Name(), L"Tahoma");
    form.Show();
    form.Show();
    EXPECT_EQ(form.shown, 1);
    EXPECT_TRUE(::IsWindowVisible(form.Handle()));
    // Owned by the application window (or none): never a task-bar window of its own.
    EXPECT_EQ(::GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(::GetWindowLongPtrW(form.Handle(), GWL_STYLE) & WS_CAPTION, 0);
    form.Hide();
    EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

TEST(Form, RoutesClicksAndMouseDownsToTheBoundHandlers) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    form.CreateHandle();
    auto send = [&](UINT msg, int x, int y, WPARAM keys) {
        ::SendMessageW(form.Handle(), msg, keys, MAKELPARAM(x, y));
    };
    send(WM_MOUSEMOVE, 150, 70, 0);
    send(WM_LBUTTONDOWN, 150, 70, MK_LBUTTON);
    send(WM_LBUTTONUP, 150, 70, 0);
    EXPECT_EQ(form.buyClicks, 1);
    send(WM_RBUTTONDOWN, 5, 110, MK_RBUTTON);  // the background shape, any button
    send(WM_RBUTTONUP, 5, 110, 0);
    EXPECT_EQ(form.shapeDowns, 1);
    EXPECT_EQ(form.buyClicks, 1);
}

TEST(Form, ShowsTheHintOfTheControlUnderTheMouse) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    auto* close = form.FindChild<TRdImageButton>(L"btnClose");
    EXPECT_EQ(TForm::HintFor(close), L"Close");
    EXPECT_EQ(TForm::HintFor(form.FindChild<TRdLabel>(L"lblTitle")), L"");  // ShowHint off
}

// The hint really shows: a tooltip window with the control's hint appears
// after the pointer rests on the control.
TEST(Form, TheTooltipShowsTheHintOfTheHoveredControl) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    form.SetBounds(100, 100, 300, 120);
    form.Show();
    ::SetCursorPos(100 + 275, 100 + 15);  // on btnClose
    ::SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(275, 15));
    HWND tip = nullptr;
    wchar_t text[64] = {};
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 4000 && !tip) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        HWND w = ::FindWindowW(TOOLTIPS_CLASSW, nullptr);
        if (w && ::IsWindowVisible(w)) {
            tip = w;
            TTTOOLINFOW ti{};
            ti.cbSize = TTTOOLINFOW_V1_SIZE;
            ti.lpszText = text;
            ::SendMessageW(w, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
            ::SendMessageW(w, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
        }
        ::Sleep(20);
    }
    ASSERT_NE(tip, nullptr);
    EXPECT_STREQ(text, L"Close");
}

}  // namespace
}  // namespace promo
