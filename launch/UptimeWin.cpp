#include <windows.h>

#include "launch/Uptime.h"

namespace promo {

std::uint64_t SystemUptimeMs() {
    using TickCount64Fn = ULONGLONG(WINAPI*)();
    static const auto tick64 = reinterpret_cast<TickCount64Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    return tick64 ? tick64() : ::GetTickCount();
}

}  // namespace promo
