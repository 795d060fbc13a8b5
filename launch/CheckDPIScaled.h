// The Win32 side of the DPI handling: the start-up setup (run once among the
// unit initializations, before the main program body) and the form's request.
#pragma once

#include <windows.h>

namespace promo {

// Runs the start-up DPI setup once per process; later calls do nothing.
void StartupDpiSetup();

// The second request for awareness, made by the form's creation handler.
bool RequestDpiAwareness();

// The DPI the window is drawn at, as the awareness in force now has it
// (WindowDpi in launch/DpiSetup.h): the monitor of `window` (the primary
// monitor while there is no window yet), the system's, or 96.
int CurrentWindowDpi(HWND window);

}  // namespace promo
