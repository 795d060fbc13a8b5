// The Focus Assist hook's loading with stand-in libraries (missing library,
// missing export, false, true), the program-folder rule, and our own
// "Focus.dll" under Wine, whose shell state is a stub that accepts
// notifications.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "DecisionWinSupport.h"
#include "launch/FocusConstraint.h"

namespace promo {
namespace {

// The stand-ins are built into focus-cases\<case>\Focus.dll beside this exe.
std::wstring CaseLibrary(const wchar_t* name) {
    return test::ExeFolder() + L"focus-cases\\" + name + L"\\Focus.dll";
}

bool AskCase(const wchar_t* name) {
    const std::wstring path = CaseLibrary(name);
    UniqueModule library(::LoadLibraryW(path.c_str()));
    EXPECT_TRUE(library) << "stand-in missing: " << std::string(path.begin(), path.end());
    const bool allowed = AskPopConditionMet(std::move(library));
    EXPECT_EQ(::GetModuleHandleW(path.c_str()), nullptr) << "the library must be freed";
    return allowed;
}

TEST(FocusHook, AnswerOfTheLibraryIsTaken) {
    EXPECT_FALSE(AskCase(L"false"));
    EXPECT_TRUE(AskCase(L"true"));
}

TEST(FocusHook, MissingLibraryOrExportAllowsThePopup) {
    EXPECT_TRUE(AskPopConditionMet(UniqueModule()));
    EXPECT_TRUE(AskCase(L"noexport"));
}

TEST(FocusHook, LoadsOnlyFromTheProgramFolder) {
    // Beside this exe lies the stand-in that answers false; a library in the
    // current folder that answers true must not be taken instead.
    wchar_t oldDir[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, oldDir);
    const std::wstring trueFolder = test::ExeFolder() + L"focus-cases\\true\\";
    ASSERT_TRUE(::SetCurrentDirectoryW(trueFolder.c_str()));
    const bool allowed = FocusHookAllowsPopup();
    ::SetCurrentDirectoryW(oldDir);
    EXPECT_FALSE(allowed);
    EXPECT_EQ(::GetModuleHandleW(L"Focus.dll"), nullptr);
}

TEST(FocusHook, OurFocusLibraryAllowsWhenTheShellAcceptsNotifications) {
    // Wine's shell always reports QUNS_ACCEPTS_NOTIFICATIONS and has no Focus
    // Assist state, which counts as off.
    EXPECT_TRUE(AskCase(L"real"));
}

}  // namespace
}  // namespace promo
