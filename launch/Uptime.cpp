#include "launch/Uptime.h"

#include <algorithm>

namespace promo {

UptimeWaitLeft UptimeWaitLeftMs(std::uint64_t thresholdMs, std::uint64_t uptimeMs,
                                std::optional<std::uint64_t> sessionAgeMs) {
    UptimeWaitLeft left;
    if (uptimeMs < thresholdMs) left = {thresholdMs - uptimeMs, UptimeWaitOn::system};
    // On a tie the system's count names the wait: it is the one that always counts.
    if (sessionAgeMs && *sessionAgeMs < thresholdMs && thresholdMs - *sessionAgeMs > left.ms)
        left = {thresholdMs - *sessionAgeMs, UptimeWaitOn::session};
    return left;
}

void WaitForUptime(std::uint64_t thresholdMs, const std::function<std::uint64_t()>& tickCount,
                   const std::function<std::optional<std::uint64_t>()>& sessionAgeMs,
                   const std::function<void()>& sleepAndPump) {
    const std::uint64_t start = tickCount();
    const UptimeWaitLeft left = UptimeWaitLeftMs(thresholdMs, start, sessionAgeMs());
    const std::uint64_t end = std::max(thresholdMs, start + left.ms);
    while (tickCount() < end) sleepAndPump();
}

std::optional<std::uint64_t> SessionAgeFromTimes(std::int64_t logonTime, std::int64_t currentTime) {
    if (logonTime <= 0) return std::nullopt;
    if (currentTime <= logonTime) return std::uint64_t{0};
    return static_cast<std::uint64_t>(currentTime - logonTime) / 10000;  // 100 ns -> ms
}

}  // namespace promo
