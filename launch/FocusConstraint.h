// The product's Focus Assist hook: "Focus.dll" in the program's own folder
// exports PopConditionMet, which says whether a pop-up may be shown now.
//
// Contract of the export: `unsigned char __stdcall PopConditionMet(void)`,
// exported under that undecorated name; non-zero means a pop-up may be shown.
// With no arguments __stdcall and cdecl calls are the same, so a library built
// either way works.
#pragma once

#include <windows.h>

#include <optional>

#include "support/Handles.h"

namespace promo {

// Signature of the export.
using PopConditionMetFn = unsigned char(__stdcall*)();

// Calls the export with a structured-exception frame of our own around it:
// an exception that the library leaves unhandled (an access violation, a
// stack overflow, an uncaught throw of its own runtime) ends the call instead
// of the program. Returns the answer, or nothing when the call faulted. The
// thread's exception chain, stack, direction flag and floating-point control
// words are as before the call either way.
std::optional<bool> CallPopConditionMet(PopConditionMetFn popConditionMet);

// Asks the loaded library and frees it, except after a fault in the export,
// when it stays loaded. A library that is missing (empty handle), lacks the
// export or faults in it allows the pop-up.
bool AskPopConditionMet(UniqueModule library);

// Loads "Focus.dll" from the program's own folder only (never the current
// folder or PATH) and asks it. True when the pop-up may be shown.
bool FocusHookAllowsPopup();

}  // namespace promo
