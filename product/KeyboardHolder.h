// Who holds the keyboard when the window is about to appear, judged from the
// window in front. A window that comes up while the user types into another
// program must not take the keys: it appears without activation instead.
// Portable: the Win32 side (BringWindowToFront) reads the facts.
#pragma once

#include <string>

namespace promo {

// The foreground window as the system names it, as far as the keyboard goes.
struct KeyboardHolderFacts {
    bool exists = false;          // there is a foreground window at all
    bool ownProcess = false;      // it belongs to this program
    bool desktopOrShell = false;  // it is the desktop window or the shell's window
    std::wstring className;       // its window class; empty when it could not be read
};

// True when another program holds the keyboard: a foreground window of
// another process that is neither the desktop (the desktop window, the
// shell's "Progman" and "WorkerW" windows) nor the task bar
// ("Shell_TrayWnd", "Shell_SecondaryTrayWnd"). Class names compare without
// regard to case, as the system's do. A window whose class cannot be read
// counts as another program's.
bool AnotherProgramHoldsTheKeyboard(const KeyboardHolderFacts& foreground);

}  // namespace promo
