// The start-up warm-up loads the shell library ahead of the Focus Assist
// hook and gives it back once the decision is taken: the shown window never
// keeps it.
#include <gtest/gtest.h>
#include <windows.h>

#include "launch/StartupWarmUp.h"

namespace promo {
namespace {

TEST(StartupWarmUp, LoadsTheShellAheadAndLetsItGoWhenFinished) {
    ASSERT_EQ(::GetModuleHandleW(L"shell32.dll"), nullptr) << "this test needs a process without the shell";
    FinishStartupWarmUp();  // nothing started: nothing to wait for
    StartStartupWarmUp();
    StartStartupWarmUp();  // once per process
    bool loaded = false;
    for (int i = 0; i < 500 && !loaded; ++i) {
        loaded = ::GetModuleHandleW(L"shell32.dll") != nullptr;
        if (!loaded) ::Sleep(10);
    }
    EXPECT_TRUE(loaded);
    FinishStartupWarmUp();
    EXPECT_EQ(::GetModuleHandleW(L"shell32.dll"), nullptr);
    FinishStartupWarmUp();  // finished already
    EXPECT_EQ(::GetModuleHandleW(L"shell32.dll"), nullptr);
}

}  // namespace
}  // namespace promo
