// The wait before the decision: until the system has been up for the build's
// minimum uptime and the user's session has been logged on as long.
//
// The tick count alone is not enough: it counts time spent hibernated, and
// since Windows 8 "Shut down" with Fast Startup hibernates the kernel, so
// after a power-on the count says days while the user has only just logged
// on. The session's age comes from its logon time; where that cannot be read
// the uptime alone counts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace promo {

// Which age the wait is still waiting for (the later of the two).
enum class UptimeWaitOn { nothing, system, session };

// The time left, in milliseconds, until both the uptime and the session's
// age (empty: unknown, it does not count) reach thresholdMs, and which of the
// two ends it last.
struct UptimeWaitLeft {
    std::uint64_t ms = 0;
    UptimeWaitOn on = UptimeWaitOn::nothing;
};
UptimeWaitLeft UptimeWaitLeftMs(std::uint64_t thresholdMs, std::uint64_t uptimeMs,
                                std::optional<std::uint64_t> sessionAgeMs);

// Waits until UptimeWaitLeftMs says nothing is left: while the tick count
// (milliseconds since the system started) is below its end, sleepAndPump()
// (one second's sleep, then the pending window messages). The session's age
// is read once, at the start, and turned into an end on the tick count, so
// that a change of the clock during the wait moves nothing. Returns at once
// when nothing is left.
void WaitForUptime(std::uint64_t thresholdMs, const std::function<std::uint64_t()>& tickCount,
                   const std::function<std::optional<std::uint64_t>()>& sessionAgeMs,
                   const std::function<void()>& sleepAndPump);

// The session's age from the session manager's logon time and its time of
// the query (100-nanosecond units); empty when the logon time is unknown
// (zero). A logon time after the query's time (the clock was set back since
// the logon) counts as a session logged on just now.
std::optional<std::uint64_t> SessionAgeFromTimes(std::int64_t logonTime, std::int64_t currentTime);

#ifdef _WIN32
// Milliseconds since the system started, from GetTickCount64 (Vista and
// later, looked up at run time so that the program still loads without it);
// else from GetTickCount. The 32-bit count starts again at 0 after 49.7 days,
// and the wait would then hold the window back for nothing.
std::uint64_t SystemUptimeMs();

// Milliseconds since the user of this process's session logged on; empty
// where the session manager does not tell.
std::optional<std::uint64_t> SessionAgeMs();
#endif

}  // namespace promo
