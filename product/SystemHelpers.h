// Folders, processes, file versions, single registry numbers, the local
// clock, ending the program and raising a window. Every function reports
// failure through its result (empty text, the default, false).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "product/DateTime.h"

namespace promo {

// Ends the program at once with exit code 0: the main window (if any) is
// told to close, then the process terminates. Does not return.
[[noreturn]] void EndProgramNow();

// The current local date and time, to the millisecond; the date at midnight.
DateTimeValue NowLocal();
DateTimeValue TodayLocal();

}  // namespace promo
