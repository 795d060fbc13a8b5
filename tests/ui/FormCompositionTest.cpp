// The form's painting: the sample window rendered off-screen, and the kept
// composition of a shown window (what is painted again, what is presented
// again, what an idle window lets go, what an opaque control covers).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "controls/ControlClasses.h"
#include "controls/PImageNote.h"
#include "ui/Form.h"
#include "ui/PngWriter.h"
#include "ui/SampleForm.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::Rgb;
using test::TSampleForm;

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// A file beside the test program (its build folder).
std::string BesideTheProgram(const char* name) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + name;
}

TEST(Form, RendersOffScreenIntoAPicture) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    auto* note = form.FindChild<TImageNote>(L"imgNote");
    form.FindChild<TImage>(L"imgBadge")->Picture().Assign(note->Items()[0]->Picture());
    DecodedImage shot;
    ASSERT_TRUE(form.RenderToImage(shot));
    ASSERT_EQ(shot.width, 300);
    ASSERT_EQ(shot.height, 120);
    const std::string file = BesideTheProgram("sample-form.png");  // kept for a look
    ASSERT_TRUE(WritePngFile(shot, file));
    auto px = [&](int x, int y) { return shot.pixels[static_cast<size_t>(y) * 300 + x] & 0xFFFFFF; };
    EXPECT_EQ(px(0, 0), Rgb(0, 0, 0));  // the shape's frame
    EXPECT_EQ(px(150, 119), Rgb(0, 0, 0));
    EXPECT_EQ(px(5, 50), Rgb(0x2E, 0x2E, 0x2E));    // the shape's brush
    EXPECT_EQ(px(110, 15), Rgb(0xFF, 0xD0, 0));     // the badge
    EXPECT_EQ(px(31, 62), Rgb(0xC0, 0, 0));         // the buy button's left end ...
    EXPECT_EQ(px(268, 62), Rgb(0, 0, 0xC0));        // ... right end
    EXPECT_EQ(px(100, 62), Rgb(0, 0xA0, 0));        // ... stretched middle
    EXPECT_EQ(px(270, 5), Rgb(0x40, 0x40, 0x40));   // the close button
    EXPECT_EQ(px(210, 15), Rgb(0x2E, 0x2E, 0x2E));  // the hidden picture list draws nothing
    int white = 0;                                  // the title's and the caption's ink
    for (int y = 8; y < 24; ++y)
        for (int x = 10; x < 80; ++x) white += px(x, y) == Rgb(255, 255, 255);
    EXPECT_GT(white, 20);
    int caption = 0;
    for (int y = 60; y < 96; ++y)
        for (int x = 130; x < 170; ++x) caption += px(x, y) == Rgb(255, 255, 255);
    EXPECT_GT(caption, 20);
    // The saved file reads back the same.
    std::FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<std::uint8_t> bytes(1 << 20);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    DecodedImage back;
    ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back.pixels, shot.pixels);
}

// --- the kept composition -----------------------------------------------------------------

// A control that counts its paints and fills itself with one colour.
class TPaintCounter : public TControl {
public:
    explicit TPaintCounter(COLORREF fill) : fill_(fill) {}
    int paints = 0;

protected:
    void Paint(TCanvas& canvas) override {
        ++paints;
        HBRUSH b = ::CreateSolidBrush(fill_);
        RECT r{0, 0, Width(), Height()};
        ::FillRect(canvas.Handle(), &r, b);
        ::DeleteObject(b);
    }

private:
    COLORREF fill_;
};

// The window's pixels as they are on screen.
std::uint32_t WindowPixel(HWND wnd, int x, int y) {
    test::Surface s(1, 1);
    HDC dc = ::GetDC(wnd);
    ::BitBlt(s.Dc(), 0, 0, 1, 1, dc, x, y, SRCCOPY);
    ::ReleaseDC(wnd, dc);
    return s.At(0, 0);
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Puts the pointer on the window at (x, y) and lets the window see it move there.
void PointerOnWindow(HWND wnd, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(wnd, &p);
    ::SetCursorPos(p.x, p.y);
    ::SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

TEST(Form, PaintsAgainOnlyWhatWasInvalidated) {
    TForm form(L"TForm");
    form.CreateHandle();
    form.SetBounds(40, 40, 60, 40);
    form.SetColor(RGB(0x20, 0x40, 0x60));
    auto image = std::make_unique<TImage>();
    TImage* glass = image.get();
    // Half-transparent white: blended twice it would come out lighter.
    glass->Picture().SetGraphic(test::MakeImage(20, 20, [](int, int) { return 0x80808080u; }));
    glass->SetBounds(0, 0, 20, 20);
    form.AddControl(std::move(image));
    auto a = std::make_unique<TPaintCounter>(RGB(255, 0, 0));
    auto b = std::make_unique<TPaintCounter>(RGB(0, 0, 255));
    TPaintCounter* first = a.get();
    TPaintCounter* second = b.get();
    first->SetBounds(30, 0, 10, 10);
    second->SetBounds(30, 20, 10, 10);
    form.AddControl(std::move(a));
    form.AddControl(std::move(b));
    ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    // The composition is kept while the pointer is on the window.
    PointerOnWindow(form.Handle(), 50, 35);
    ::UpdateWindow(form.Handle());
    PumpMessages();
    ASSERT_EQ(first->paints, 1);
    ASSERT_EQ(second->paints, 1);
    const std::uint32_t glassPixel = WindowPixel(form.Handle(), 5, 5);
    EXPECT_NE(glassPixel, Rgb(0x20, 0x40, 0x60));  // the picture is there ...
    EXPECT_NE(glassPixel, Rgb(255, 255, 255));     // ... and translucent
    EXPECT_EQ(WindowPixel(form.Handle(), 35, 5), Rgb(255, 0, 0));

    // Invalidated from outside (uncovered): presented again, nothing painted again.
    ::InvalidateRect(form.Handle(), nullptr, FALSE);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(first->paints, 1);
    EXPECT_EQ(second->paints, 1);
    EXPECT_EQ(WindowPixel(form.Handle(), 35, 25), Rgb(0, 0, 255));
    EXPECT_EQ(WindowPixel(form.Handle(), 50, 35), Rgb(0x20, 0x40, 0x60));

    // One control asks: only what lies in its area is painted again.
    first->Invalidate();
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(first->paints, 2);
    EXPECT_EQ(second->paints, 1);

    // A translucent control composed again over fresh background, not over itself.
    for (int i = 0; i < 3; ++i) {
        glass->Invalidate();
        ::UpdateWindow(form.Handle());
    }
    EXPECT_EQ(WindowPixel(form.Handle(), 5, 5), glassPixel);

    // A control that moves leaves nothing behind.
    first->SetBounds(45, 0, 10, 10);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(WindowPixel(form.Handle(), 35, 5), Rgb(0x20, 0x40, 0x60));
    EXPECT_EQ(WindowPixel(form.Handle(), 50, 5), Rgb(255, 0, 0));

    // A new size composes everything afresh.
    form.SetBounds(40, 40, 70, 40);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(second->paints, 2);
    EXPECT_EQ(WindowPixel(form.Handle(), 65, 35), Rgb(0x20, 0x40, 0x60));
}

TEST(Form, AnIdleWindowLetsItsCompositionGoAndPaintsTheSame) {
    // The pointer away from the window, and the motion that takes it there
    // (and any left over from earlier windows) delivered before the window
    // exists: a move into it would count as hovering and keep the buffer.
    // The window stands where no earlier test put one or the pointer.
    ::SetCursorPos(0, 0);
    for (int i = 0; i < 10; ++i) {
        PumpMessages();
        ::Sleep(20);
    }
    TForm form(L"TForm");
    form.CreateHandle();
    form.SetBounds(400, 300, 60, 40);
    form.SetColor(RGB(0x20, 0x40, 0x60));
    auto a = std::make_unique<TPaintCounter>(RGB(255, 0, 0));
    TPaintCounter* box = a.get();
    box->SetBounds(30, 0, 10, 10);
    form.AddControl(std::move(a));
    ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(form.Handle());
    ASSERT_EQ(box->paints, 1);
    // Within a burst the composition is there: presenting again paints nothing.
    ::InvalidateRect(form.Handle(), nullptr, FALSE);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(box->paints, 1);
    // Idle for a moment, it is gone: the next paint composes again, the same.
    for (int i = 0; i < 2; ++i) {
        const DWORD until = ::GetTickCount() + 600;
        while (::GetTickCount() < until) {
            PumpMessages();
            ::Sleep(20);
        }
        ::InvalidateRect(form.Handle(), nullptr, FALSE);
        ::UpdateWindow(form.Handle());
        EXPECT_EQ(box->paints, 2 + i);
        EXPECT_EQ(WindowPixel(form.Handle(), 35, 5), Rgb(255, 0, 0));
        EXPECT_EQ(WindowPixel(form.Handle(), 10, 30), Rgb(0x20, 0x40, 0x60));
    }
}

TEST(Form, WhatAnOpaqueControlCoversIsNotPainted) {
    TForm form(L"TForm");
    form.CreateHandle();
    form.SetBounds(40, 40, 60, 40);
    auto under = std::make_unique<TPaintCounter>(RGB(255, 0, 0));
    auto shape = std::make_unique<TShape>();
    auto over = std::make_unique<TPaintCounter>(RGB(0, 0, 255));
    TPaintCounter* hidden = under.get();
    TShape* cover = shape.get();
    TPaintCounter* top = over.get();
    hidden->SetBounds(5, 5, 10, 10);
    cover->SetBounds(0, 0, 60, 40);
    cover->SetBrushColor(RGB(0, 0x80, 0));
    top->SetBounds(30, 5, 10, 10);
    form.AddControl(std::move(under));
    form.AddControl(std::move(shape));
    form.AddControl(std::move(over));
    ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(form.Handle());
    PumpMessages();
    EXPECT_EQ(hidden->paints, 0);  // under a solid shape that covers the window
    EXPECT_EQ(top->paints, 1);
    EXPECT_EQ(WindowPixel(form.Handle(), 10, 10), Rgb(0, 0x80, 0));
    EXPECT_EQ(WindowPixel(form.Handle(), 35, 10), Rgb(0, 0, 255));

    // A hollow shape lets what is under it show: it is painted again.
    cover->SetBrushStyle(TBrushStyle::bsClear);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(hidden->paints, 1);
    EXPECT_EQ(WindowPixel(form.Handle(), 10, 10), Rgb(255, 0, 0));
}
}  // namespace
}  // namespace promo
