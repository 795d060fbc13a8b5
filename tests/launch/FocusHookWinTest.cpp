// The Focus Assist hook's loading with stand-in libraries (missing library,
// missing export, false, true, faulting), the program-folder rule, and our own
// "Focus.dll" under Wine, whose shell state is a stub that accepts
// notifications.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "DecisionWinSupport.h"
#include "launch/FocusConstraint.h"

namespace promo {
namespace {

// The stand-ins are built into focus-cases\<case>\Focus.dll beside this exe.
std::wstring CaseLibrary(const wchar_t* name) {
    return test::ExeFolder() + L"focus-cases\\" + name + L"\\Focus.dll";
}

// Asks a stand-in; one whose export faults must stay loaded (its detach code
// is not run on an unknown state), every other is freed again.
bool AskCase(const wchar_t* name, bool faults = false) {
    const std::wstring path = CaseLibrary(name);
    UniqueModule library(::LoadLibraryW(path.c_str()));
    EXPECT_TRUE(library) << "stand-in missing: " << std::string(path.begin(), path.end());
    const bool allowed = AskPopConditionMet(std::move(library));
    HMODULE left = ::GetModuleHandleW(path.c_str());
    if (faults) {
        EXPECT_NE(left, nullptr) << "a library that faulted must not be freed";
    } else {
        EXPECT_EQ(left, nullptr) << "the library must be freed";
    }
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

// The head of this thread's structured-exception chain.
void* ExceptionChainHead() {
    void* head = nullptr;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

bool DirectionFlagSet() {
    unsigned long flags = 0;
    __asm__ volatile("pushfl\n\tpopl %0" : "=r"(flags));
    return (flags & 0x400) != 0;
}

unsigned short X87ControlWord() {
    unsigned short control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    return control;
}

unsigned char __stdcall AnswersZero() { return 0; }
unsigned char __stdcall AnswersHighBit() { return 0x80; }
unsigned char __stdcall ReadsNull() {
    volatile unsigned char* volatile nowhere = nullptr;
    return *nowhere;
}
unsigned char __stdcall DividesByZero() {
    volatile int zero = 0;
    return static_cast<unsigned char>(7 / zero);
}

TEST(FocusHook, GuardedCallGivesTheAnswerOrNothingWhenItFaults) {
    const struct {
        const char* name;
        PopConditionMetFn fn;
        std::optional<bool> expected;
    } cases[] = {
        {"zero", &AnswersZero, false},
        {"any non-zero byte", &AnswersHighBit, true},
        {"access violation", &ReadsNull, std::nullopt},
        {"integer division by zero", &DividesByZero, std::nullopt},
    };
    for (const auto& c : cases) {
        // Twice each: a fault must leave the thread able to take the next one.
        for (int round = 0; round < 2; ++round) {
            void* const chain = ExceptionChainHead();
            EXPECT_EQ(CallPopConditionMet(c.fn), c.expected) << c.name;
            EXPECT_EQ(ExceptionChainHead(), chain) << c.name;
        }
    }
}

TEST(FocusHook, LibraryThatFaultsOrRaisesIsLikeAMissingOne) {
    const unsigned short control = X87ControlWord();
    void* const chain = ExceptionChainHead();
    for (const wchar_t* name : {L"fault", L"throw", L"fault"}) {
        EXPECT_TRUE(AskCase(name, true));
        EXPECT_EQ(ExceptionChainHead(), chain);
        EXPECT_EQ(X87ControlWord(), control) << "the library's control word must not stay";
        EXPECT_FALSE(DirectionFlagSet());
    }
    // Faulting and answering libraries in turn: the answers still count.
    EXPECT_FALSE(AskCase(L"false"));
}

TEST(FocusHook, AnswerOfALibraryThatBreaksTheCallingConventionCountsAndLeavesNoTrace) {
    const unsigned short control = X87ControlWord();
    EXPECT_FALSE(AskCase(L"dirty"));
    EXPECT_EQ(X87ControlWord(), control) << "the library's control word must not stay";
    EXPECT_FALSE(DirectionFlagSet()) << "the library's direction flag must not stay";
}

TEST(FocusHook, LibraryWhoseExportFaultedStaysLoaded) {
    // AskCase checks what is left loaded: the faulting library twice (the
    // second load takes the module that stayed), then one that answers.
    EXPECT_TRUE(AskCase(L"fault", true));
    EXPECT_TRUE(AskCase(L"fault", true));
    EXPECT_FALSE(AskCase(L"false"));
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
    // By full path: a stand-in that faulted earlier stays loaded under the same name.
    EXPECT_EQ(::GetModuleHandleW((test::ExeFolder() + L"Focus.dll").c_str()), nullptr);
    EXPECT_EQ(::GetModuleHandleW((trueFolder + L"Focus.dll").c_str()), nullptr);
}

TEST(FocusHook, WineOnlyOurFocusLibraryAllowsWhenTheShellAcceptsNotifications) {
    // Wine's SHQueryUserNotificationState is a stub that always reports
    // QUNS_ACCEPTS_NOTIFICATIONS, and Wine has no Focus Assist state, which
    // counts as off. On Windows the answer follows the desktop's real state.
    EXPECT_TRUE(AskCase(L"real"));
}

}  // namespace
}  // namespace promo
