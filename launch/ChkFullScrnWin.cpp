// The foreground-window side of the full-screen test.
#include <windows.h>

#include <string>

#include "launch/ChkFullScrn.h"
#include "product/SystemHelpers.h"
#include "support/DebugOutput.h"
#include "support/OsVersion.h"

namespace promo {
namespace {

void Trace(const std::wstring& text) { DebugOut(L"ChkFullScrn " + text); }

}  // namespace

ForegroundWindowFacts ReadForegroundWindow(bool everything) {
    ForegroundWindowFacts facts;
    const HWND handle = ::GetForegroundWindow();
    if (handle == INVALID_HANDLE_VALUE) return facts;
    facts.kind = handle == ::GetDesktopWindow() ? ForegroundWindowFacts::Kind::desktop
                                                : ForegroundWindowFacts::Kind::window;
    if (facts.kind == ForegroundWindowFacts::Kind::desktop && !everything) return facts;

    RECT rect{};
    if (!::GetWindowRect(handle, &rect)) rect = RECT{};
    facts.rect = WindowBounds{rect.left, rect.top, rect.right, rect.bottom};
    facts.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    facts.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    if (!everything && !CoversScreen(facts.rect, facts.screenWidth, facts.screenHeight)) return facts;

    wchar_t buffer[256];
    const int length = ::GetClassNameW(handle, buffer, 256);
    facts.className = std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    if (!everything && !IsDesktopOrImmersiveClass(*facts.className)) return facts;

    DWORD processId = 0;
    ::GetWindowThreadProcessId(handle, &processId);
    facts.processName = ProcessFileName(processId);
    const OsVersion& version = ReportedOsVersion();
    facts.majorVersion = version.major;
    facts.minorVersion = version.minor;
    return facts;
}

bool IsFullScreenAppActive() {
    const ForegroundWindowFacts facts = ReadForegroundWindow(false);
    if (facts.kind == ForegroundWindowFacts::Kind::invalid) {
        Trace(L"AHandle = INVALID_HANDLE_VALUE");
        return false;
    }
    if (facts.kind == ForegroundWindowFacts::Kind::desktop) {
        Trace(L"GetDesktopWindow = AHandle");
        return false;
    }
    Trace(L"focus Screen.Width = " + std::to_wstring(facts.screenWidth));
    Trace(L"focus Screen.Height = " + std::to_wstring(facts.screenHeight));
    Trace(L"focus ARect.Left = " + std::to_wstring(facts.rect.left));
    Trace(L"focus ARect.Top = " + std::to_wstring(facts.rect.top));
    Trace(L"focus ARect.Right = " + std::to_wstring(facts.rect.right));
    Trace(L"focus ARect.Bottom = " + std::to_wstring(facts.rect.bottom));
    if (!facts.className) {
        DebugOut(L"Size lessthan Screen");
        return false;
    }
    Trace(L"Size morethan Screen");
    Trace(L"AClassName=" + *facts.className);
    if (facts.processName) {
        Trace(L"ProcessName = " + *facts.processName);
        Trace(L"Windows version max = " + std::to_wstring(facts.majorVersion) + L" min = " +
              std::to_wstring(facts.minorVersion));
    }
    return IsFullScreenApp(facts);
}

}  // namespace promo
