// The full-screen test with real windows on the test display (1920x1080):
// a borderless window covering the screen, the same one pixel smaller, the
// desktop window, and a desktop-class window covering the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "DecisionWinSupport.h"
#include "launch/ChkFullScrn.h"

namespace promo {
namespace {

using Lines = std::vector<std::wstring>;

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A borderless top-level window of the given class, brought to the front.
class FrontWindow {
public:
    FrontWindow(const wchar_t* className, int width, int height) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        ::RegisterClassW(&wc);
        wnd_ = ::CreateWindowExW(0, className, L"promo full screen", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                 height, nullptr, nullptr, wc.hInstance, nullptr);
        ::SetForegroundWindow(wnd_);
        Pump();
    }
    // Wine lets any window take the foreground; Windows refuses a process
    // that is not in front itself (the foreground lock), and the tests that
    // need the window in front are then skipped rather than failed.
    bool InFront() const { return ::GetForegroundWindow() == wnd_; }
    ~FrontWindow() {
        ::DestroyWindow(wnd_);
        Pump();
    }
    HWND Handle() const { return wnd_; }

private:
    HWND wnd_ = nullptr;
};

int ScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return ::GetSystemMetrics(SM_CYSCREEN); }

Lines GeometryLines(long right, long bottom) {
    return {L"ChkFullScrn focus Screen.Width = " + std::to_wstring(ScreenWidth()),
            L"ChkFullScrn focus Screen.Height = " + std::to_wstring(ScreenHeight()),
            L"ChkFullScrn focus ARect.Left = 0",
            L"ChkFullScrn focus ARect.Top = 0",
            L"ChkFullScrn focus ARect.Right = " + std::to_wstring(right),
            L"ChkFullScrn focus ARect.Bottom = " + std::to_wstring(bottom)};
}

TEST(FullScreen, DesktopWindowOrNothingInFrontIsNot) {
    // Before this process shows a window (so this test comes first), the
    // desktop window is in front, or nothing is: a test program that ended
    // just before can leave the foreground empty for a moment, until the
    // system hands it to the desktop (which may happen between any two
    // calls here). Either is no full-screen application.
    const HWND front = ::GetForegroundWindow();
    ASSERT_TRUE(front == ::GetDesktopWindow() || front == nullptr) << front;
    test::DebugLines debug;
    EXPECT_FALSE(IsFullScreenAppActive());
    Lines nothingInFront = GeometryLines(0, 0);  // no window: no rectangle
    nothingInFront.push_back(L"Size lessthan Screen");
    const Lines desktopInFront{L"ChkFullScrn GetDesktopWindow = AHandle"};
    EXPECT_TRUE(debug.lines == desktopInFront || debug.lines == nothingInFront)
        << ::testing::PrintToString(debug.lines);
}

TEST(FullScreen, BorderlessWindowCoveringTheScreenIsFullScreen) {
    ASSERT_EQ(ScreenWidth(), 1920);
    ASSERT_EQ(ScreenHeight(), 1080);
    FrontWindow game(L"PromoTestGame", ScreenWidth(), ScreenHeight());
    if (!game.InFront()) GTEST_SKIP() << "the system kept this process out of the foreground";
    test::DebugLines debug;
    EXPECT_TRUE(IsFullScreenAppActive());
    Lines expected = GeometryLines(1920, 1080);
    expected.push_back(L"ChkFullScrn Size morethan Screen");
    expected.push_back(L"ChkFullScrn AClassName=PromoTestGame");
    EXPECT_EQ(debug.lines, expected);
}

TEST(FullScreen, OnePixelSmallerIsNot) {
    for (const auto& size : {std::pair{1919, 1080}, std::pair{1920, 1079}}) {
        FrontWindow game(L"PromoTestGame", size.first, size.second);
        if (!game.InFront()) GTEST_SKIP() << "the system kept this process out of the foreground";
        test::DebugLines debug;
        EXPECT_FALSE(IsFullScreenAppActive());
        Lines expected = GeometryLines(size.first, size.second);
        expected.push_back(L"Size lessthan Screen");  // the one line without the prefix
        EXPECT_EQ(debug.lines, expected);
    }
}

TEST(FullScreen, DesktopClassCoveringTheScreenIsNot) {
    FrontWindow desktop(L"Progman", ScreenWidth(), ScreenHeight());
    if (!desktop.InFront()) GTEST_SKIP() << "the system kept this process out of the foreground";
    test::DebugLines debug;
    EXPECT_FALSE(IsFullScreenAppActive());
    Lines expected = GeometryLines(1920, 1080);
    expected.push_back(L"ChkFullScrn Size morethan Screen");
    expected.push_back(L"ChkFullScrn AClassName=Progman");
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring exe(self);
    exe = exe.substr(exe.find_last_of(L'\\') + 1);
    expected.push_back(L"ChkFullScrn ProcessName = " + exe);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&info);
#pragma GCC diagnostic pop
    expected.push_back(L"ChkFullScrn Windows version max = " + std::to_wstring(info.dwMajorVersion) +
                       L" min = " + std::to_wstring(info.dwMinorVersion));
    EXPECT_EQ(debug.lines, expected);
}

}  // namespace
}  // namespace promo
