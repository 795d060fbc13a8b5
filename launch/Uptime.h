// The wait for system uptime, over an injected tick source.
#pragma once

#include <cstdint>
#include <functional>

namespace promo {

// While tickCount() (milliseconds since the system started, compared
// unsigned) is below thresholdMs: sleepAndPump() (one second's sleep, then
// the pending window messages). Returns at once when the threshold is reached.
void WaitForUptime(std::uint32_t thresholdMs, const std::function<std::uint32_t()>& tickCount,
                   const std::function<void()>& sleepAndPump);

}  // namespace promo
