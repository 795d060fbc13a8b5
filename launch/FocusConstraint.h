// The product's Focus Assist hook: "Focus.dll" in the program's own folder
// exports PopConditionMet, which says whether a pop-up may be shown now.
//
// Contract of the export: `unsigned char __stdcall PopConditionMet(void)`,
// exported under that undecorated name; non-zero means a pop-up may be shown.
// With no arguments __stdcall and cdecl calls are the same, so a library built
// either way works.
//
// The library belongs to another product and may be broken. Its export runs
// on a thread of its own, under a fault guard, and the asking thread waits
// for the answer a bounded time while it keeps its window messages moving. A
// library that faulted or did not answer in time stays loaded and its code
// never runs again in this run: the run ends without the libraries' detach
// code (ui/Application.h, TerminateRun).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "support/Handles.h"

namespace promo {

// Signature of the export.
using PopConditionMetFn = unsigned char(__stdcall*)();

// How long the program waits for the export's answer.
inline constexpr DWORD kFocusHookAnswerBoundMs = 3000;

// What asking the hook gave.
enum class HookAnswer {
    allows,     // the export answered: a pop-up may be shown
    holdsBack,  // the export answered: not now
    absent,     // no library, or no such export: allows
    faulted,    // the export raised an exception it did not handle: allows
    noAnswer,   // no answer within the bound: not now (quiet time; the next start asks again)
};

// Whether the answer lets the pop-up be shown.
bool HookAllowsPopup(HookAnswer answer);

// Calls the export with a structured-exception frame of our own around it,
// on the calling thread: an exception that the library leaves unhandled (an
// access violation, a stack overflow, an uncaught throw of its own runtime)
// ends the call instead of the program. Returns the answer, or nothing when
// the call faulted. The thread's exception chain, stack, direction flag and
// floating-point control words are as before the call either way.
std::optional<bool> CallPopConditionMet(PopConditionMetFn popConditionMet);

// Calls the export as CallPopConditionMet does, on a new thread, and waits at
// most boundMs for its answer; while it waits, pumpMessages() runs whenever
// input arrives for this thread. The thread stays blocked after the call
// until the process ends: after a fault its exit would run the library's
// thread-detach code, and under Wine an ended thread costs more memory than
// a waiting one. One that does not answer is left as it is.
HookAnswer CallPopConditionMetBounded(PopConditionMetFn popConditionMet, DWORD boundMs,
                                      const std::function<void()>& pumpMessages);

// Asks the loaded library with that bound, on the start-up warm-up thread
// when it waits for a job (launch/StartupWarmUp.h), else on a new thread, and
// frees it after a sound answer; a library that faulted or did not answer
// stays loaded and marks the run (FocusHookMisbehaved).
HookAnswer AskPopConditionMet(UniqueModule library, DWORD boundMs, const std::function<void()>& pumpMessages);

// Loads "Focus.dll" from the program's own folder only (never the current
// folder or PATH) and asks it, servicing the application's messages while it
// waits.
HookAnswer AskFocusHook();
// HookAllowsPopup(AskFocusHook()).
bool FocusHookAllowsPopup();

// Whether a library asked in this run faulted or did not answer: its code
// must not run again, and the run ends by TerminateRun.
bool FocusHookMisbehaved();

}  // namespace promo
