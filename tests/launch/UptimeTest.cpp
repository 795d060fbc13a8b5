// The uptime wait polls once per second until the threshold is reached.
#include <gtest/gtest.h>

#include "launch/Uptime.h"

namespace promo {
namespace {

TEST(Uptime, ReturnsAtOnceWhenTheSystemHasBeenUpLongEnough) {
    int pumps = 0;
    WaitForUptime(600000, [] { return std::uint64_t{600000}; }, [&] { ++pumps; });
    EXPECT_EQ(pumps, 0);
}

TEST(Uptime, WaitsOneStepPerSecondUntilTheThreshold) {
    std::uint64_t now = 3 * 60 * 1000;  // up for 3 minutes
    int pumps = 0;
    WaitForUptime(600000, [&] { return now; }, [&] {
        ++pumps;
        now += 1000;
    });
    EXPECT_EQ(pumps, 420);  // seven minutes of one-second steps
    EXPECT_GE(now, 600000u);
}

TEST(Uptime, LongUptimesNeverWait) {
    // Past 2^31 ms (about 25 days) the count is a long uptime, not a negative
    // one; past 2^32 ms (49.7 days) a 32-bit count would start again at 0 and
    // the low bits alone would wait ten minutes more.
    const std::uint64_t wrapped = (std::uint64_t{1} << 32) + 5000;
    for (const std::uint64_t uptime : {std::uint64_t{0x80000010u}, std::uint64_t{0xFFFFFFFFu}, wrapped,
                                       std::uint64_t{1} << 40}) {
        int pumps = 0;
        WaitForUptime(600000, [=] { return uptime; }, [&] { ++pumps; });
        EXPECT_EQ(pumps, 0) << uptime;
    }
    int pumps = 0;
    std::uint64_t low = static_cast<std::uint32_t>(wrapped);
    WaitForUptime(600000, [&] { return low; }, [&] {
        ++pumps;
        low += 1000;
    });
    EXPECT_EQ(pumps, 595);  // what the 32-bit count cost after the wrap
}

}  // namespace
}  // namespace promo
