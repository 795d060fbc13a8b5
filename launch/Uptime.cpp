#include "launch/Uptime.h"

namespace promo {

void WaitForUptime(std::uint32_t thresholdMs, const std::function<std::uint32_t()>& tickCount,
                   const std::function<void()>& sleepAndPump) {
    while (tickCount() < thresholdMs) sleepAndPump();
}

}  // namespace promo
