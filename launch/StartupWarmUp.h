// The start-up warm-up: work the system does once per process for the window,
// started on a second thread once the show decision has found no marker of
// an earlier dismissal (the window is then likely), so that it is done (or
// under way) when the main thread needs it. A start that ends at the marker,
// every start after the first dismissal, never starts it: it would only cost
// that run the display connection and a thread.
//
// Under Wine the first window of a process pays for the display connection
// and the display driver, tens of milliseconds on the main thread's path to
// the window; asking for the screen's device context on another thread,
// beside the decision's last gates, takes that cost off the path. The theme
// library is the first window's next load. The shell library is what
// "Focus.dll" imports, and mapping it is most of the hook's time in the show
// decision; it is released again once the decision is taken, so the shown
// window does not keep it. Nothing here changes what the program decides or
// shows: every step is one the program, or the system on its behalf, takes
// later anyway, and each has no effect beyond the process.
#pragma once

namespace promo {

// Starts the warm-up thread (once; later calls do nothing). The show
// decision calls it when the marker is missing.
void StartStartupWarmUp();

// Waits for the warm-up's work and releases the shell library it loaded (the
// show decision calls it once the hook has been asked); does nothing when no
// warm-up was started or it was finished already.
void FinishStartupWarmUp();

// Hands `job` to the warm-up thread, which runs it once its own work is done
// and stays blocked afterwards until the process ends (so a job may hang or
// leave the thread in any state). True when handed over; false when no
// warm-up thread runs or it has a job already: the caller runs it elsewhere.
bool HandToWarmUpThread(unsigned long(__stdcall* job)(void*), void* param);

}  // namespace promo
