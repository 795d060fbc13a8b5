#include "launch/CheckDPIScaled.h"

#include <windows.h>

#include <string>

#include "launch/DllSafety.h"
#include "launch/DpiSetup.h"
#include "product/RegistryClass.h"
#include "support/DebugOutput.h"
#include "support/Handles.h"
#include "support/OsVersion.h"
#include "support/WorkArea.h"

namespace promo {
namespace {

using IsProcessDPIAwareFn = BOOL(WINAPI*)();
using SetProcessDPIAwareFn = BOOL(WINAPI*)();
using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
using SetProcessDpiAwarenessFn = HRESULT(WINAPI*)(int);
// user32 from Windows 10 1607 on; Shcore from Windows 8.1 on.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

class Win32DpiPlatform final : public DpiPlatform {
public:
    unsigned MajorVersion() override { return ReportedOsVersion().major; }
    unsigned MinorVersion() override { return ReportedOsVersion().minor; }
    bool IsWindows8Point1OrGreater() override {
        OSVERSIONINFOEXW info{};
        info.dwOSVersionInfoSize = sizeof info;
        info.dwMajorVersion = 6;
        info.dwMinorVersion = 3;
        info.wServicePackMajor = 0;
        DWORDLONG mask = 0;
        mask = ::VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
        mask = ::VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
        mask = ::VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
        return ::VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                                    mask) != FALSE;
    }

    bool HasIsProcessDPIAware() override {
        return Lookup<IsProcessDPIAwareFn>(User32(), "IsProcessDPIAware");
    }
    bool IsProcessDPIAware() override {
        auto fn = Lookup<IsProcessDPIAwareFn>(User32(), "IsProcessDPIAware");
        return fn && fn();
    }
    bool HasSetProcessDPIAware() override {
        return Lookup<SetProcessDPIAwareFn>(User32(), "SetProcessDPIAware");
    }
    bool SetProcessDPIAware() override {
        auto fn = Lookup<SetProcessDPIAwareFn>(User32(), "SetProcessDPIAware");
        return fn && fn();
    }

    bool FindShcoreLoaded() override {
        shcore_ = ::GetModuleHandleW(L"Shcore.dll");
        return shcore_ != nullptr;
    }
    std::uintptr_t ShcoreHandleValue() override { return reinterpret_cast<std::uintptr_t>(shcore_); }
    bool LoadShcore() override {
        // Never freed: the process keeps its awareness entry points.
        shcore_ = LoadSystemLibrary(L"Shcore.dll");
        return shcore_ != nullptr;
    }
    bool HasGetProcessDpiAwareness() override {
        return Lookup<GetProcessDpiAwarenessFn>(shcore_, "GetProcessDpiAwareness");
    }
    std::optional<int> GetProcessDpiAwareness() override {
        auto fn = Lookup<GetProcessDpiAwarenessFn>(shcore_, "GetProcessDpiAwareness");
        int value = 0;
        if (!fn || fn(nullptr, &value) < 0) return std::nullopt;
        return value;
    }
    bool HasSetProcessDpiAwareness() override {
        return Lookup<SetProcessDpiAwarenessFn>(shcore_, "SetProcessDpiAwareness");
    }
    bool SetProcessDpiAwareness(int level) override {
        auto fn = Lookup<SetProcessDpiAwarenessFn>(shcore_, "SetProcessDpiAwareness");
        return fn && fn(level) >= 0;
    }

    int MeasureLogPixelsY() override {
        UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
        return dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    }
    int ScreenWidth() override { return ::GetSystemMetrics(SM_CXSCREEN); }
    int ScreenHeight() override { return ::GetSystemMetrics(SM_CYSCREEN); }
    WorkAreaSize PrimaryWorkArea() override {
        RECT rc{};
        PrimaryMonitorWorkArea(rc);
        return {rc.right - rc.left, rc.bottom - rc.top};
    }
    std::optional<std::int64_t> AppliedDpi() override {
        try {
            RegistryReader reader;
            reader.SetRootKey(HKEY_CURRENT_USER);
            if (!reader.OpenKeyReadOnly(L"Control Panel\\Desktop\\WindowMetrics")) return std::nullopt;
            return reader.ReadNumber(L"AppliedDPI");
        } catch (const ERegistryException&) {
            return std::nullopt;
        }
    }
    void DebugLine(const std::wstring& line) override { DebugOut(line); }

private:
    static HMODULE User32() { return ::GetModuleHandleW(L"user32.dll"); }
    HMODULE shcore_ = nullptr;
};

Win32DpiPlatform& Platform() {
    static Win32DpiPlatform platform;
    return platform;
}

}  // namespace

void StartupDpiSetup() {
    static bool done = false;
    if (done) return;
    done = true;
    static DpiSetupState state;
    RunStartupDpiSetup(Platform(), state, &DpiTrace);
}

bool RequestDpiAwareness() {
    // The request finds Shcore's entry only when the process has the library
    // loaded. What had loaded it by now (the window description, the warm-up's
    // shell library) comes after the show decision, so it is loaded here,
    // from the system folder, and kept, as the start-up setup keeps it.
    // Without it the process would stay unaware and the system would stretch
    // the window's bitmap on a scaled display.
    LoadSystemLibrary(L"Shcore.dll");
    Win32DpiPlatform platform;  // fresh look-up: shcore.dll is only found if loaded
    return promo::RequestDpiAwareness(platform);
}

int CurrentWindowDpi(HWND window) {
    WindowDpiFacts facts;
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    // Only looked up: a process made aware through Shcore has it loaded.
    const HMODULE shcore = ::GetModuleHandleW(L"Shcore.dll");
    if (auto get = Lookup<GetProcessDpiAwarenessFn>(shcore, "GetProcessDpiAwareness")) {
        int awareness = 0;
        if (get(nullptr, &awareness) >= 0) facts.processAwareness = awareness;
    }
    if (auto aware = Lookup<IsProcessDPIAwareFn>(user32, "IsProcessDPIAware"))
        facts.systemAware = aware() != FALSE;
    // GetDpiForWindow answers in the window's own awareness
    // (learn.microsoft.com, GetDpiForWindow); GetDpiForMonitor gives the
    // monitor's effective DPI to a per-monitor aware process.
    if (auto forWindow = Lookup<GetDpiForWindowFn>(user32, "GetDpiForWindow"); forWindow && window)
        if (const UINT dpi = forWindow(window)) facts.monitorDpi = static_cast<int>(dpi);
    if (!facts.monitorDpi)
        if (auto forMonitor = Lookup<GetDpiForMonitorFn>(shcore, "GetDpiForMonitor")) {
            const HMONITOR monitor = window ? ::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)
                                            : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
            UINT x = 0, y = 0;
            if (forMonitor(monitor, kEffectiveDpi, &x, &y) >= 0 && y > 0)
                facts.monitorDpi = static_cast<int>(y);
        }
    facts.systemDpi = Platform().MeasureLogPixelsY();
    return WindowDpi(facts);
}

}  // namespace promo
