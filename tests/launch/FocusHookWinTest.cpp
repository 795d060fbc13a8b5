// The Focus Assist hook's loading with stand-in libraries (missing library,
// missing export, false, true, faulting, never answering), the bound on the
// wait for an answer, the program-folder rule, and our own
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

// A bound for the cases that must not answer; the others get the program's.
constexpr DWORD kShortBoundMs = 500;

// Asks a stand-in; one whose export faulted or did not answer must stay
// loaded (its detach code is not run on an unknown state), every other is
// freed again.
HookAnswer AskCase(const wchar_t* name, bool staysLoaded = false, DWORD bound = kFocusHookAnswerBoundMs) {
    const std::wstring path = CaseLibrary(name);
    UniqueModule library(::LoadLibraryW(path.c_str()));
    EXPECT_TRUE(library) << "stand-in missing: " << std::string(path.begin(), path.end());
    const HookAnswer answer = AskPopConditionMet(std::move(library), bound, nullptr);
    HMODULE left = ::GetModuleHandleW(path.c_str());
    if (staysLoaded) {
        EXPECT_NE(left, nullptr) << "a library that faulted or hung must not be freed";
        EXPECT_TRUE(FocusHookMisbehaved());
    } else {
        EXPECT_EQ(left, nullptr) << "the library must be freed";
    }
    return answer;
}

TEST(FocusHook, AnswerOfTheLibraryIsTaken) {
    EXPECT_EQ(AskCase(L"false"), HookAnswer::holdsBack);
    EXPECT_EQ(AskCase(L"true"), HookAnswer::allows);
}

TEST(FocusHook, MissingLibraryOrExportAllowsThePopup) {
    EXPECT_EQ(AskPopConditionMet(UniqueModule(), kShortBoundMs, nullptr), HookAnswer::absent);
    EXPECT_EQ(AskCase(L"noexport"), HookAnswer::absent);
    EXPECT_TRUE(HookAllowsPopup(HookAnswer::absent));
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
        EXPECT_EQ(AskCase(name, true), HookAnswer::faulted);
        EXPECT_EQ(ExceptionChainHead(), chain);
        EXPECT_EQ(X87ControlWord(), control) << "the library's control word must not stay";
        EXPECT_FALSE(DirectionFlagSet());
    }
    EXPECT_TRUE(HookAllowsPopup(HookAnswer::faulted));
    // Faulting and answering libraries in turn: the answers still count.
    EXPECT_EQ(AskCase(L"false"), HookAnswer::holdsBack);
}

TEST(FocusHook, AnswerOfALibraryThatBreaksTheCallingConventionCountsAndLeavesNoTrace) {
    const unsigned short control = X87ControlWord();
    EXPECT_EQ(AskCase(L"dirty"), HookAnswer::holdsBack);
    EXPECT_EQ(X87ControlWord(), control) << "the library's control word must not stay";
    EXPECT_FALSE(DirectionFlagSet()) << "the library's direction flag must not stay";
}

// An export that blocks until the test lets it go.
HANDLE g_release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
unsigned char __stdcall BlocksUntilReleased() {
    ::WaitForSingleObject(g_release, INFINITE);
    return 1;
}
unsigned char __stdcall AnswersOne() { return 1; }

TEST(FocusHook, BoundedCallTakesAFastAnswerAndCountsABlockedOneAsNoAnswer) {
    const struct {
        const char* name;
        PopConditionMetFn fn;
        HookAnswer expected;
    } cases[] = {
        {"answers no", &AnswersZero, HookAnswer::holdsBack},
        {"answers yes", &AnswersOne, HookAnswer::allows},
        {"faults", &ReadsNull, HookAnswer::faulted},
        {"blocks", &BlocksUntilReleased, HookAnswer::noAnswer},
    };
    constexpr DWORD kBound = 1000;
    for (const auto& c : cases) {
        const ULONGLONG start = ::GetTickCount64();
        EXPECT_EQ(CallPopConditionMetBounded(c.fn, kBound, nullptr), c.expected) << c.name;
        const ULONGLONG elapsed = ::GetTickCount64() - start;
        if (c.expected == HookAnswer::noAnswer) {
            EXPECT_GE(elapsed + 20, kBound) << c.name;  // the tick count's granularity
            EXPECT_LT(elapsed, kBound + 2000) << c.name;
        } else {
            EXPECT_LT(elapsed, kBound) << c.name << ": a fast answer is taken at once";
        }
    }
    ::SetEvent(g_release);  // the abandoned call ends now
}

TEST(FocusHook, WaitForTheAnswerKeepsTheMessagesMoving) {
    ::ResetEvent(g_release);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // this thread has a queue
    ASSERT_TRUE(::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 7, 0, 0));
    int seen = 0;
    const HookAnswer answer = CallPopConditionMetBounded(&BlocksUntilReleased, 300, [&] {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_APP + 7) ++seen;
    });
    ::SetEvent(g_release);
    EXPECT_EQ(answer, HookAnswer::noAnswer);
    EXPECT_EQ(seen, 1) << "the message posted before the wait was not serviced during it";
}

TEST(FocusHook, LibraryThatNeverAnswersHoldsThePopupBackWithinTheBoundAndStaysLoaded) {
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(AskCase(L"hang", true, kShortBoundMs), HookAnswer::noAnswer);
    EXPECT_LT(::GetTickCount64() - start, kShortBoundMs + 2000);
    EXPECT_FALSE(HookAllowsPopup(HookAnswer::noAnswer));
    // A library that answers after it: its answer counts, and it is freed.
    EXPECT_EQ(AskCase(L"true"), HookAnswer::allows);
}

TEST(FocusHook, LibraryWhoseExportFaultedStaysLoaded) {
    // AskCase checks what is left loaded: the faulting library twice (the
    // second load takes the module that stayed), then one that answers.
    EXPECT_EQ(AskCase(L"fault", true), HookAnswer::faulted);
    EXPECT_EQ(AskCase(L"fault", true), HookAnswer::faulted);
    EXPECT_EQ(AskCase(L"false"), HookAnswer::holdsBack);
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
    EXPECT_EQ(AskCase(L"real"), HookAnswer::allows);
}

}  // namespace
}  // namespace promo
