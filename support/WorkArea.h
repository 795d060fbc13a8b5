// The primary monitor's work area, in the coordinates of the calling thread's
// DPI awareness at the moment of the call.
#pragma once

#include <windows.h>

namespace promo {

// False when the system cannot say.
bool PrimaryMonitorWorkArea(RECT& area);

}  // namespace promo
