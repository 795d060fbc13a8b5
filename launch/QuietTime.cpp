#include "launch/QuietTime.h"

namespace promo {

bool DecideQuietTime(QuietTimeEnvironment& env) {
    if (!env.FocusModeEnabled()) return false;
    if (env.IsFullScreenAppActive()) return true;
    if (env.IsFocusAssistEnabled() && !env.FocusHookAllowsPopup()) return true;
    for (const std::wstring& line : env.FocusAppLines()) {
        const std::wstring application = FocusAppOfLine(line);
        // An empty entry would match every process whose path cannot be read.
        if (application.empty()) continue;
        if (env.IsAppRunning(application)) return true;
    }
    return false;
}

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
