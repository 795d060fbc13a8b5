#include "launch/Uptime.h"

namespace promo {

void WaitForUptime(std::uint64_t thresholdMs, const std::function<std::uint64_t()>& tickCount,
                   const std::function<void()>& sleepAndPump) {
    while (tickCount() < thresholdMs) sleepAndPump();
}

}  // namespace promo
