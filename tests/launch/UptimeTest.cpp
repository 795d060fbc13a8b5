// The uptime wait polls once per second until the threshold is reached.
#include <gtest/gtest.h>

#include "launch/Uptime.h"

namespace promo {
namespace {

TEST(Uptime, ReturnsAtOnceWhenTheSystemHasBeenUpLongEnough) {
    int pumps = 0;
    WaitForUptime(600000, [] { return 600000u; }, [&] { ++pumps; });
    EXPECT_EQ(pumps, 0);
}

TEST(Uptime, WaitsOneStepPerSecondUntilTheThreshold) {
    std::uint32_t now = 3 * 60 * 1000;  // up for 3 minutes
    int pumps = 0;
    WaitForUptime(600000, [&] { return now; }, [&] {
        ++pumps;
        now += 1000;
    });
    EXPECT_EQ(pumps, 420);  // seven minutes of one-second steps
    EXPECT_GE(now, 600000u);
}

TEST(Uptime, ComparesTheTickCountUnsigned) {
    // A tick count past 2^31 ms (about 25 days) is a long uptime, not a negative one.
    int pumps = 0;
    WaitForUptime(600000, [] { return 0x80000010u; }, [&] { ++pumps; });
    EXPECT_EQ(pumps, 0);
}

}  // namespace
}  // namespace promo
