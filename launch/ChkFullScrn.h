// The full-screen test of the focus mode: is the foreground window an
// application that covers the whole primary screen? The desktop and the
// immersive-app frame also cover the screen and are told apart by their
// window class (and, for immersive apps on Windows 8 and 8.1, by process).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace promo {

// A window rectangle in screen coordinates.
struct WindowBounds {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

// True when the rectangle is at least the screen's size, starts at (0,0) and
// ends exactly at the screen's right and bottom edges.
bool CoversScreen(const WindowBounds& r, long screenWidth, long screenHeight);

// The classes of windows that cover the screen without being an application
// in full screen: "WorkerW", "Progman" (the desktop) and
// "Windows.UI.Core.CoreWindow" (the immersive-app frame); case ignored.
bool IsDesktopOrImmersiveClass(std::wstring_view className);

// For a screen-covering window of one of those classes: true when it is an
// immersive app that fills the screen, i.e. the class is the immersive-app
// frame, the process is "WWAHost.exe" or "PhotosApp.exe" (case ignored) and
// the system is Windows 8 or 8.1 (6.2, 6.3).
bool IsFullScreenImmersiveApp(std::wstring_view className, std::wstring_view processName,
                              unsigned majorVersion, unsigned minorVersion);

// What the full-screen test reads about the foreground window.
struct ForegroundWindowFacts {
    enum class Kind { invalid, desktop, window };
    Kind kind = Kind::invalid;  // INVALID_HANDLE_VALUE, the desktop window, or another window
    WindowBounds rect;          // zeros when it cannot be read
    long screenWidth = 0;
    long screenHeight = 0;
    // The program reads the class only for a window that covers the screen,
    // and the process only for a desktop or immersive class; the check tool
    // reads both always. Empty when not read.
    std::optional<std::wstring> className;
    std::optional<std::wstring> processName;
    unsigned majorVersion = 0;
    unsigned minorVersion = 0;
};

// The full-screen rule over those facts: a window other than the desktop that
// covers the screen and is no desktop or immersive frame, or a full-screen
// immersive app on Windows 8 and 8.1.
bool IsFullScreenApp(const ForegroundWindowFacts& facts);

#ifdef _WIN32
// Reads the foreground window: as the program needs it, or (`everything`)
// the class and process as well.
ForegroundWindowFacts ReadForegroundWindow(bool everything);

// The test on the foreground window, with its "ChkFullScrn " debug lines.
bool IsFullScreenAppActive();
#endif

}  // namespace promo
