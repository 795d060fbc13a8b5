#include "launch/QuietTime.h"

namespace promo {

QuietTimeEvaluation EvaluateQuietTime(QuietTimeEnvironment& env, bool testEverything) {
    QuietTimeEvaluation evaluation;
    // Records that `test` holds the window back; false when the evaluation ends here.
    auto hold = [&](QuietTest test) {
        if (!evaluation.holdingTest) evaluation.holdingTest = test;
        if (!evaluation.Holds(test)) evaluation.holdingTests.push_back(test);
        return testEverything;
    };
    const bool focusMode = env.FocusModeEnabled();
    evaluation.focusMode = focusMode;
    if (!focusMode && !testEverything) return evaluation;

    evaluation.fullScreen = env.IsFullScreenAppActive();
    if (focusMode && *evaluation.fullScreen && !hold(QuietTest::fullScreen)) return evaluation;

    evaluation.focusAssistEnabled = env.IsFocusAssistEnabled();
    if (*evaluation.focusAssistEnabled || testEverything) {
        evaluation.hookAllowsPopup = env.FocusHookAllowsPopup();
        if (focusMode && *evaluation.focusAssistEnabled && !*evaluation.hookAllowsPopup &&
            !hold(QuietTest::focusAssist))
            return evaluation;
    }

    for (const std::wstring& line : env.FocusAppLines()) {
        const std::wstring application = FocusAppOfLine(line);
        // An empty entry would match every process whose path cannot be read.
        if (application.empty()) continue;
        const bool running = env.IsAppRunning(application);
        evaluation.apps.emplace_back(application, running);
        if (focusMode && running && !hold(QuietTest::focusApps)) return evaluation;
    }
    return evaluation;
}

bool DecideQuietTime(QuietTimeEnvironment& env) { return EvaluateQuietTime(env, false).Quiet(); }

std::wstring FocusAppOfLine(const std::wstring& line) {
    const size_t eq = line.find(L'=');
    return eq == std::wstring::npos ? line : line.substr(eq + 1);
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    auto fold = [](wchar_t c) {
        return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    };
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

bool AppMatchesProcess(std::wstring_view application, std::wstring_view exeName, std::wstring_view fullPath) {
    if (application.empty()) return false;
    return EqualsIgnoringAsciiCase(application, exeName) || EqualsIgnoringAsciiCase(application, fullPath);
}

}  // namespace promo
