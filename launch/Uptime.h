// The wait for system uptime, over an injected tick source.
#pragma once

#include <cstdint>
#include <functional>

namespace promo {

// While tickCount() (milliseconds since the system started) is below
// thresholdMs: sleepAndPump() (one second's sleep, then the pending window
// messages). Returns at once when the threshold is reached.
void WaitForUptime(std::uint64_t thresholdMs, const std::function<std::uint64_t()>& tickCount,
                   const std::function<void()>& sleepAndPump);

#ifdef _WIN32
// Milliseconds since the system started, from GetTickCount64 (Vista and
// later, looked up at run time so that the program still loads without it);
// else from GetTickCount. The 32-bit count starts again at 0 after 49.7 days,
// and the wait would then hold the window back for nothing.
std::uint64_t SystemUptimeMs();
#endif

}  // namespace promo
