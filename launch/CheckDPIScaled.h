// The Win32 side of the DPI handling: the start-up setup (run once among the
// unit initializations, before the main program body) and the form's request.
#pragma once

namespace promo {

// Runs the start-up DPI setup once per process; later calls do nothing.
void StartupDpiSetup();

// The second request for awareness, made by the form's creation handler.
bool RequestDpiAwareness();

}  // namespace promo
