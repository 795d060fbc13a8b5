// Quiet time: the product's focus mode holds pop-ups back while a full-screen
// application is in front, while the product's Focus Assist hook says no, or
// while one of the configured focus applications runs. A true result keeps
// the promotion window hidden in this run.
//
// The order of the tests is portable and runs over QuietTimeEnvironment; the
// program's environment asks the configuration, the foreground window,
// "Focus.dll" and the process list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// The four tests of quiet time, in their order.
enum class QuietTest { focusMode, fullScreen, focusAssist, focusApps };

// What each test found; a test that was not made keeps its empty value.
struct QuietTimeEvaluation {
    std::optional<bool> focusMode;
    std::optional<bool> fullScreen;
    std::optional<bool> focusAssistEnabled;
    std::optional<bool> hookAllowsPopup;
    // Each non-empty "FocusApps" entry that was looked for, and whether it runs.
    std::vector<std::pair<std::wstring, bool>> apps;
    // The test that makes it quiet time (never focusMode); empty when none does.
    std::optional<QuietTest> holdingTest;
    // Every test that would make it quiet time, in order (only the first when
    // the evaluation stopped there).
    std::vector<QuietTest> holdingTests;
    bool Quiet() const { return holdingTest.has_value(); }
    bool Holds(QuietTest test) const {
        for (QuietTest t : holdingTests)
            if (t == test) return true;
        return false;
    }
};

// The tests in order: focus mode off -> not quiet; full-screen application ->
// quiet; Focus Assist enabled and the hook says no -> quiet; a running focus
// application -> quiet; otherwise not quiet. The program makes no further
// test once the answer is known; `testEverything` makes every test all the
// same (the check tool), asking the hook even where Focus Assist is off and
// looking for every application, without changing the answer.
QuietTimeEvaluation EvaluateQuietTime(QuietTimeEnvironment& env, bool testEverything);

// The program's answer: EvaluateQuietTime stopping once it is known.
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
class TConfig;

// The tests over the real system: the given configuration, the foreground
// window, "Focus.dll" and the process list. The program asks with its shared
// configuration and lets the Focus Assist reading write its switch back; the
// check tool asks with a configuration opened for reading and no write-back.
class SystemQuietTimeEnvironment : public QuietTimeEnvironment {
public:
    SystemQuietTimeEnvironment(TConfig& config, bool writeBack) : config_(config), writeBack_(writeBack) {}
    bool FocusModeEnabled() override;
    bool IsFullScreenAppActive() override;
    bool IsFocusAssistEnabled() override;
    bool FocusHookAllowsPopup() override;
    std::vector<std::wstring> FocusAppLines() override;
    bool IsAppRunning(const std::wstring& application) override;

protected:
    TConfig& config_;
    bool writeBack_;
};

// Quiet time on the real system, through the shared product configuration.
bool IsQuietTime();
#endif

}  // namespace promo
