// The foreground-window side of the full-screen test.
#include <windows.h>

#include <string>

#include "launch/ChkFullScrn.h"
#include "product/OsVersion.h"
#include "product/SystemHelpers.h"
#include "support/DebugOutput.h"

namespace promo {
namespace {

void Trace(const std::wstring& text) { DebugOut(L"ChkFullScrn " + text); }

}  // namespace

bool IsFullScreenAppActive() {
    const HWND handle = ::GetForegroundWindow();
    if (handle == INVALID_HANDLE_VALUE) {
        Trace(L"AHandle = INVALID_HANDLE_VALUE");
        return false;
    }
    if (handle == ::GetDesktopWindow()) {
        Trace(L"GetDesktopWindow = AHandle");
        return false;
    }

    RECT rect{};
    if (!::GetWindowRect(handle, &rect)) rect = RECT{};
    const long screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const long screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    Trace(L"focus Screen.Width = " + std::to_wstring(screenWidth));
    Trace(L"focus Screen.Height = " + std::to_wstring(screenHeight));
    Trace(L"focus ARect.Left = " + std::to_wstring(rect.left));
    Trace(L"focus ARect.Top = " + std::to_wstring(rect.top));
    Trace(L"focus ARect.Right = " + std::to_wstring(rect.right));
    Trace(L"focus ARect.Bottom = " + std::to_wstring(rect.bottom));

    if (!CoversScreen(WindowBounds{rect.left, rect.top, rect.right, rect.bottom}, screenWidth,
                      screenHeight)) {
        DebugOut(L"Size lessthan Screen");
        return false;
    }

    wchar_t buffer[256];
    const int length = ::GetClassNameW(handle, buffer, 256);
    const std::wstring className(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    Trace(L"Size morethan Screen");
    Trace(L"AClassName=" + className);
    if (!IsDesktopOrImmersiveClass(className)) return true;

    DWORD processId = 0;
    ::GetWindowThreadProcessId(handle, &processId);
    const std::wstring processName = ProcessFileName(processId);
    const OsVersion& version = ReportedOsVersion();
    Trace(L"ProcessName = " + processName);
    Trace(L"Windows version max = " + std::to_wstring(version.major) + L" min = " +
          std::to_wstring(version.minor));
    return IsFullScreenImmersiveApp(className, processName, version.major, version.minor);
}

}  // namespace promo
