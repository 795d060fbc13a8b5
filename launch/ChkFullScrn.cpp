#include "launch/ChkFullScrn.h"

#include "launch/QuietTime.h"

namespace promo {

bool CoversScreen(const WindowBounds& r, long screenWidth, long screenHeight) {
    return r.right - r.left >= screenWidth && r.bottom - r.top >= screenHeight && r.left == 0 && r.top == 0 &&
           r.right == screenWidth && r.bottom == screenHeight;
}

bool IsDesktopOrImmersiveClass(std::wstring_view className) {
    return EqualsIgnoringAsciiCase(className, L"WorkerW") || EqualsIgnoringAsciiCase(className, L"Progman") ||
           EqualsIgnoringAsciiCase(className, L"Windows.UI.Core.CoreWindow");
}

bool IsFullScreenImmersiveApp(std::wstring_view className, std::wstring_view processName,
                              unsigned majorVersion, unsigned minorVersion) {
    if (!EqualsIgnoringAsciiCase(className, L"Windows.UI.Core.CoreWindow")) return false;
    if (!EqualsIgnoringAsciiCase(processName, L"WWAHost.exe") &&
        !EqualsIgnoringAsciiCase(processName, L"PhotosApp.exe")) {
        return false;
    }
    return majorVersion == 6 && (minorVersion == 2 || minorVersion == 3);
}

bool IsFullScreenApp(const ForegroundWindowFacts& facts) {
    if (facts.kind != ForegroundWindowFacts::Kind::window) return false;
    if (!CoversScreen(facts.rect, facts.screenWidth, facts.screenHeight)) return false;
    const std::wstring className = facts.className.value_or(std::wstring());
    if (!IsDesktopOrImmersiveClass(className)) return true;
    return IsFullScreenImmersiveApp(className, facts.processName.value_or(std::wstring()), facts.majorVersion,
                                    facts.minorVersion);
}

}  // namespace promo
