#include "launch/DpiSetup.h"

#include <algorithm>
#include <exception>
#include <string>

namespace promo {

void DpiTrace(const std::wstring&) {}

namespace {

void Trace(const DpiTraceHook& trace, const std::wstring& line) {
    if (trace) trace(line);
}

int MeasureDpi(DpiPlatform& p, const DpiTraceHook& trace) {
    const int dpi = p.MeasureLogPixelsY();
    Trace(trace, L"InitCheckDPI LOGPIXELSY: " + std::to_wstring(dpi));
    return dpi;
}

}  // namespace

void InitCheckDPI(DpiPlatform& p, DpiSetupState& state, const DpiTraceHook& trace) {
    if (p.MajorVersion() <= 5) return;
    state.foundUser32SetProcessDPIAware = p.HasSetProcessDPIAware();
    if (!p.HasIsProcessDPIAware()) return;
    if (p.IsProcessDPIAware()) {
        if (!p.FindShcoreLoaded()) return;
        state.foundShcoreSetProcessDpiAwareness = p.HasSetProcessDpiAwareness();
        if (!p.HasGetProcessDpiAwareness()) return;
        const std::optional<int> awareness = p.GetProcessDpiAwareness();
        if (!awareness) return;
        Trace(trace, L"**************** GetProcessDpiAwareness : " + std::to_wstring(*awareness));
        if (*awareness == 0 && MeasureDpi(p, trace) == 96) state.systemAt96Dpi = true;
    } else {
        if (MeasureDpi(p, trace) == 96) state.systemAt96Dpi = true;
    }
}

bool NeedScale(DpiPlatform& p, WorkAreaSize& workArea, const DpiTraceHook& trace) {
    const int sw = p.ScreenWidth();
    const int sh = p.ScreenHeight();
    Trace(trace, L"NeedScale ******** SW: " + std::to_wstring(sw));
    Trace(trace, L"NeedScale ******** SH: " + std::to_wstring(sh));
    workArea = p.PrimaryWorkArea();
    Trace(trace, L"Screen Width: " + std::to_wstring(workArea.width));
    Trace(trace, L"Screen Height: " + std::to_wstring(workArea.height));
    const int longer = std::max(sw, sh);
    const int shorter = std::min(sw, sh);
    return longer >= 1350 && shorter - 40 >= 640;
}

int GetSystemDPI(DpiPlatform& p, const DpiTraceHook& trace) {
    const std::optional<std::int64_t> applied = p.AppliedDpi();
    if (!applied) return 96;
    const int dpi = static_cast<int>(static_cast<std::uint32_t>(*applied));
    Trace(trace, L"************ - GetSystemDPI: " + std::to_wstring(dpi));
    return dpi;
}

void DoDPIAware(DpiPlatform& p, const DpiSetupState& state, const DpiTraceHook& trace) {
    const unsigned major = p.MajorVersion();
    Trace(trace, L"**************** DoDPIAware begin: " + std::to_wstring(major));
    if (major <= 5) return;
    const std::wstring minorLine = L"Win32MinorVersion: " + std::to_wstring(p.MinorVersion());
    p.DebugLine(minorLine);
    Trace(trace, minorLine);
    if (p.IsWindows8Point1OrGreater()) {
        Trace(trace, L"IsWindows8Point1OrGreater 11111");
        if (state.foundShcoreSetProcessDpiAwareness) {
            Trace(trace, L"**************** SetProcessDpiAwareness 1");
            p.SetProcessDpiAwareness(2);
        } else {
            const bool loaded = p.FindShcoreLoaded();
            Trace(trace, L"**************** SHcoreHandle: " + std::to_wstring(p.ShcoreHandleValue()));
            if ((loaded || p.LoadShcore()) && p.HasSetProcessDpiAwareness()) {
                Trace(trace, L"**************** SetProcessDpiAwareness");
                p.SetProcessDpiAwareness(2);
            }
        }
    } else {
        Trace(trace, L"IsWindows8Point1OrGreater 2222");
        if (state.foundUser32SetProcessDPIAware) {
            p.SetProcessDPIAware();
            Trace(trace, L"**************** DoDPIAware SetProcessDPIAware 3");
        }
    }
}

void RunStartupDpiSetup(DpiPlatform& p, DpiSetupState& state, const DpiTraceHook& trace) {
    try {
        InitCheckDPI(p, state, trace);
    } catch (const std::exception& e) {
        const std::string what = e.what();
        p.DebugLine(L"Excepction e: " + std::wstring(what.begin(), what.end()));
    }
    if (state.systemAt96Dpi && NeedScale(p, state.workArea, trace)) return;
    Trace(trace, L"**************** DoDPIAware 1");
    if (GetSystemDPI(p, trace) == 96) {
        DoDPIAware(p, state, trace);
        return;
    }
    NeedScale(p, state.workArea, trace);
    Trace(trace, L"**************** ScreenWidth, ScreenHeight: " + std::to_wstring(state.workArea.width) +
                     L", " + std::to_wstring(state.workArea.height));
    if (state.workArea.width < 940 || state.workArea.height < 640) {
        Trace(trace, L"**************** DoDPIAware 2");
        DoDPIAware(p, state, trace);
    }
}

bool RequestDpiAwareness(DpiPlatform& p) {
    const unsigned major = p.MajorVersion(), minor = p.MinorVersion();
    if (major <= 5) return false;
    if (major > 6 || (major == 6 && minor > 2)) {
        // shcore.dll is only looked up, not loaded, here.
        if (!p.FindShcoreLoaded() || !p.HasSetProcessDpiAwareness()) return false;
        return p.SetProcessDpiAwareness(2);
    }
    if (!p.HasSetProcessDPIAware()) return false;
    return p.SetProcessDPIAware();
}

int WindowDpi(const WindowDpiFacts& f) {
    int dpi = 96;
    if (f.processAwareness) {
        if (*f.processAwareness >= 2)
            dpi = f.monitorDpi.value_or(f.systemDpi);
        else if (*f.processAwareness == 1)
            dpi = f.systemDpi;
    } else if (f.systemAware) {
        dpi = f.systemDpi;
    }
    return dpi > 0 ? dpi : 96;
}

}  // namespace promo
