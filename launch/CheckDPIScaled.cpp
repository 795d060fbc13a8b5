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
    Win32DpiPlatform platform;  // fresh look-up: shcore.dll is only found if loaded
    return promo::RequestDpiAwareness(platform);
}

}  // namespace promo
