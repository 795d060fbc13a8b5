// Quiet time: the product's focus mode holds pop-ups back while a full-screen
// application is in front, while the product's Focus Assist hook says no, or
// while one of the configured focus applications runs. A true result keeps
// the promotion window hidden in this run.
//
// The order of the tests is portable and runs over QuietTimeEnvironment; the
// program's environment asks the configuration, the foreground window,
// "Focus.dll" and the process list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace promo {

class QuietTimeEnvironment {
public:
    virtual ~QuietTimeEnvironment() = default;
    virtual bool FocusModeEnabled() = 0;                    // "Focus"/"FocusMode"
    virtual bool IsFullScreenAppActive() = 0;               // unit ChkFullScrn
    virtual bool IsFocusAssistEnabled() = 0;                // "Focus"/"FocusAssist" with its version guard
    virtual bool FocusHookAllowsPopup() = 0;                // PopConditionMet of "Focus.dll"
    virtual std::vector<std::wstring> FocusAppLines() = 0;  // "FocusApps" as key=value lines
    virtual bool IsAppRunning(const std::wstring& application) = 0;
};

// The tests in order: focus mode off -> false; full-screen application ->
// true; Focus Assist enabled and the hook says no -> true; a running focus
// application -> true; otherwise false. Later tests are not made once the
// answer is known.
bool DecideQuietTime(QuietTimeEnvironment& env);

// The application named by one "FocusApps" line: the text after the first
// "=" (the whole line when it has none), without change.
std::wstring FocusAppOfLine(const std::wstring& line);

// Whether a process matches a focus application: the application text equals
// the process's executable file name or its full path, ignoring the case of
// the letters A to Z only. An empty application matches nothing (a process
// whose path cannot be read has an empty full path).
bool AppMatchesProcess(std::wstring_view application, std::wstring_view exeName, std::wstring_view fullPath);

// Equality ignoring the case of A-Z only; other letters compare exactly.
bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);

#ifdef _WIN32
// Quiet time on the real system, through the shared product configuration.
bool IsQuietTime();
#endif

}  // namespace promo
