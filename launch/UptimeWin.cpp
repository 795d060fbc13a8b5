#include "launch/UptimeWin.h"

#include "launch/Uptime.h"
#include "support/SystemFunctions.h"

namespace promo {

std::uint64_t SystemUptimeMs() {
    using TickCount64Fn = ULONGLONG(WINAPI*)();
    static const auto tick64 = reinterpret_cast<TickCount64Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    return tick64 ? tick64() : ::GetTickCount();
}

// The session, not the logon session of our token: the program runs elevated,
// and an elevated token belongs to a logon session of its own (the linked
// token's), made at the same logon but not the interactive one. The terminal
// session is the same for both tokens, and WTS_CURRENT_SESSION is the one
// this process runs in. WTSINFOW holds the session's LogonTime and the
// session manager's CurrentTime, both in 100-nanosecond units
// (https://learn.microsoft.com/en-us/windows/win32/api/wtsapi32/ns-wtsapi32-wtsinfow);
// the difference of the two needs no clock of ours.
// https://learn.microsoft.com/en-us/windows/win32/api/wtsapi32/nf-wtsapi32-wtsquerysessioninformationw
std::optional<std::uint64_t> SessionAgeMs(const SessionInfoFunctions& functions) {
    if (!functions.query || !functions.free) return std::nullopt;
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!functions.query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSSessionInfo, &buffer, &bytes))
        return std::nullopt;
    std::optional<std::uint64_t> age;
    if (buffer && bytes >= sizeof(WTSINFOW)) {
        const auto* info = reinterpret_cast<const WTSINFOW*>(buffer);
        std::int64_t current = info->CurrentTime.QuadPart;
        if (current == 0) {  // not filled in: the system's own clock, in the same units
            FILETIME now{};
            ::GetSystemTimeAsFileTime(&now);
            current =
                static_cast<std::int64_t>((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
        }
        age = SessionAgeFromTimes(info->LogonTime.QuadPart, current);
    }
    if (buffer) functions.free(buffer);
    return age;
}

std::optional<std::uint64_t> SessionAgeMs() {
    const WtsApiFunctions& wts = WtsApi();
    return SessionAgeMs(SessionInfoFunctions{wts.WTSQuerySessionInformationW, wts.WTSFreeMemory});
}

}  // namespace promo
