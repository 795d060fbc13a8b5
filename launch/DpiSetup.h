// The start-up DPI setup and the form's DPI request, as decision logic over
// the system facts they read. The Win32 side (CheckDPIScaled) supplies the
// facts and entry points; tests supply a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace promo {

struct WorkAreaSize {
    int width = 0;
    int height = 0;
};

// What the DPI setup asks of the system. Each entry point may be missing.
class DpiPlatform {
public:
    virtual ~DpiPlatform() = default;

    virtual unsigned MajorVersion() = 0;  // as reported at start-up
    virtual unsigned MinorVersion() = 0;
    virtual bool IsWindows8Point1OrGreater() = 0;

    // user32 (never loaded or freed here)
    virtual bool HasIsProcessDPIAware() = 0;
    virtual bool IsProcessDPIAware() = 0;
    virtual bool HasSetProcessDPIAware() = 0;
    virtual bool SetProcessDPIAware() = 0;  // true when the call returned non-zero

    // Shcore: looked up without loading, or loaded on request (from the system folder)
    virtual bool FindShcoreLoaded() = 0;   // GetModuleHandle; true when loaded
    virtual std::uintptr_t ShcoreHandleValue() = 0;
    virtual bool LoadShcore() = 0;
    virtual bool HasGetProcessDpiAwareness() = 0;
    virtual std::optional<int> GetProcessDpiAwareness() = 0;  // empty when the call failed
    virtual bool HasSetProcessDpiAwareness() = 0;
    virtual bool SetProcessDpiAwareness(int level) = 0;  // true when the result was not negative

    virtual int MeasureLogPixelsY() = 0;
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    virtual WorkAreaSize PrimaryWorkArea() = 0;
    virtual std::optional<std::int64_t> AppliedDpi() = 0;  // empty when unreadable

    virtual void DebugLine(const std::wstring& line) = 0;  // OutputDebugStringW
};

// Process-wide state of the start-up DPI setup.
struct DpiSetupState {
    bool systemAt96Dpi = false;
    bool foundUser32SetProcessDPIAware = false;
    bool foundShcoreSetProcessDpiAwareness = false;
    WorkAreaSize workArea;
};

using DpiTraceHook = std::function<void(const std::wstring&)>;

// The start-up DPI setup (InitCheckDPI, NeedScale, GetSystemDPI, DoDPIAware).
// Trace lines go to `trace`; only the two debug lines reach the platform.
void RunStartupDpiSetup(DpiPlatform& platform, DpiSetupState& state, const DpiTraceHook& trace);

// The helpers of the setup, exposed for tests.
void InitCheckDPI(DpiPlatform& platform, DpiSetupState& state, const DpiTraceHook& trace);
bool NeedScale(DpiPlatform& platform, WorkAreaSize& workArea, const DpiTraceHook& trace);
int GetSystemDPI(DpiPlatform& platform, const DpiTraceHook& trace);
void DoDPIAware(DpiPlatform& platform, const DpiSetupState& state, const DpiTraceHook& trace);

// The form's second request for awareness (per monitor from 6.3, system
// aware on 6.0 to 6.2).
bool RequestDpiAwareness(DpiPlatform& platform);

// What tells the DPI the window is drawn at, read after the form's request.
struct WindowDpiFacts {
    // Shcore's GetProcessDpiAwareness (Windows 8.1 on): 0 unaware, 1 system
    // aware, 2 per-monitor aware; empty where it cannot be asked.
    std::optional<int> processAwareness;
    // user32's IsProcessDPIAware, the answer on Windows 7 and 8.
    bool systemAware = false;
    // The DPI of the monitor the window sits on (GetDpiForWindow, else
    // GetDpiForMonitor); empty where neither can be asked.
    std::optional<int> monitorDpi;
    // LOGPIXELSY of a screen context: the system DPI.
    int systemDpi = 96;
};

// The DPI to draw the window at: a per-monitor aware process takes its
// monitor's (else the system's), a system aware one the system's; a process
// that stayed unaware draws at 96 and the system scales it. A DPI that is
// not positive counts as 96.
int WindowDpi(const WindowDpiFacts& facts);

// The trace hook of the DPI unit: it writes nothing.
void DpiTrace(const std::wstring& line);

}  // namespace promo
