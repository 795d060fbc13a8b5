// The uptime wait: the time left from the system's uptime and the session's
// age, and the one-second polling until it is gone.
#include <gtest/gtest.h>

#include "launch/Uptime.h"

namespace promo {
namespace {

constexpr std::uint64_t kMinute = 60 * 1000;
constexpr std::uint64_t kTen = 10 * kMinute;

TEST(Uptime, TimeLeftIsTheLaterOfTheSystemsAndTheSessionsWait) {
    const std::optional<std::uint64_t> unknown;
    const struct {
        const char* name;
        std::uint64_t uptime;
        std::optional<std::uint64_t> sessionAge;
        std::uint64_t left;
        UptimeWaitOn on;
    } cases[] = {
        {"both old", 3 * 60 * kMinute, 2 * 60 * kMinute, 0, UptimeWaitOn::nothing},
        {"both exactly ten minutes", kTen, kTen, 0, UptimeWaitOn::nothing},
        {"fresh boot, logon unknown", 3 * kMinute, unknown, 7 * kMinute, UptimeWaitOn::system},
        {"fresh boot, fresh logon", 3 * kMinute, 2 * kMinute, 8 * kMinute, UptimeWaitOn::session},
        {"fresh boot, equal ages", 3 * kMinute, 3 * kMinute, 7 * kMinute, UptimeWaitOn::system},
        // Fast Startup: the count says days (it includes the hibernation),
        // the user has just logged on.
        {"hibernated boot, logon 30 s ago", 3 * 24 * 60 * kMinute, 30000, kTen - 30000,
         UptimeWaitOn::session},
        {"hibernated boot, logon unknown", 3 * 24 * 60 * kMinute, unknown, 0, UptimeWaitOn::nothing},
        {"hibernated boot, logon just now", 3 * 24 * 60 * kMinute, 0, kTen, UptimeWaitOn::session},
        {"old session, fresh count", kMinute, 3 * 60 * kMinute, 9 * kMinute, UptimeWaitOn::system},
        {"one millisecond short", kTen - 1, kTen, 1, UptimeWaitOn::system},
    };
    for (const auto& c : cases) {
        const UptimeWaitLeft left = UptimeWaitLeftMs(kTen, c.uptime, c.sessionAge);
        EXPECT_EQ(left.ms, c.left) << c.name;
        EXPECT_EQ(left.on, c.on) << c.name;
    }
}

TEST(Uptime, SessionAgeFromTheSessionManagersTimes) {
    constexpr std::int64_t kLogon = 132'000'000'000'000'000;  // a FILETIME in 2019
    constexpr std::int64_t kPerMs = 10'000;
    EXPECT_EQ(SessionAgeFromTimes(kLogon, kLogon + 90'000 * kPerMs), std::optional<std::uint64_t>(90'000));
    EXPECT_EQ(SessionAgeFromTimes(kLogon, kLogon + kPerMs - 1), std::optional<std::uint64_t>(0));
    // The clock was set back after the logon: a session of age 0, not of
    // thousands of years.
    EXPECT_EQ(SessionAgeFromTimes(kLogon, kLogon - 3600 * 1000 * kPerMs), std::optional<std::uint64_t>(0));
    EXPECT_EQ(SessionAgeFromTimes(0, kLogon), std::nullopt);  // no logon time recorded
}

// A run of the wait over a fake tick count that each pump moves by one
// second; the session's age as given, counting how often it is read.
struct WaitRun {
    int pumps = 0;
    int sessionReads = 0;
    std::uint64_t endTick = 0;
};
WaitRun RunWait(std::uint64_t startTick, std::optional<std::uint64_t> sessionAge) {
    WaitRun run;
    std::uint64_t now = startTick;
    WaitForUptime(
        kTen, [&] { return now; },
        [&] {
            ++run.sessionReads;
            return sessionAge;
        },
        [&] {
            ++run.pumps;
            now += 1000;
        });
    run.endTick = now;
    return run;
}

TEST(Uptime, WaitsOneStepPerSecondUntilBothAgesAreReached) {
    const struct {
        const char* name;
        std::uint64_t startTick;
        std::optional<std::uint64_t> sessionAge;
        int pumps;
    } cases[] = {
        {"up long enough, logon unknown", kTen, std::nullopt, 0},
        {"up three minutes, logon unknown", 3 * kMinute, std::nullopt, 420},
        {"up three minutes, logged on for one", 3 * kMinute, kMinute, 540},
        {"up for days, logged on 30 s ago", 3 * 24 * 60 * kMinute, 30000, 570},
        {"up for days, logged on for an hour", 3 * 24 * 60 * kMinute, 60 * kMinute, 0},
    };
    for (const auto& c : cases) {
        const WaitRun run = RunWait(c.startTick, c.sessionAge);
        EXPECT_EQ(run.pumps, c.pumps) << c.name;
        // The session's age is read once and becomes an end on the tick
        // count: a clock set forward or back during the wait moves nothing.
        EXPECT_EQ(run.sessionReads, 1) << c.name;
    }
}

TEST(Uptime, LongUptimesNeverWait) {
    // Past 2^31 ms (about 25 days) the count is a long uptime, not a negative
    // one; past 2^32 ms (49.7 days) a 32-bit count would start again at 0 and
    // the low bits alone would wait ten minutes more.
    const std::uint64_t wrapped = (std::uint64_t{1} << 32) + 5000;
    for (const std::uint64_t uptime :
         {std::uint64_t{0x80000010u}, std::uint64_t{0xFFFFFFFFu}, wrapped, std::uint64_t{1} << 40})
        EXPECT_EQ(RunWait(uptime, std::nullopt).pumps, 0) << uptime;
    EXPECT_EQ(RunWait(static_cast<std::uint32_t>(wrapped), std::nullopt).pumps,
              595);  // what the 32-bit count cost after the wrap
}

}  // namespace
}  // namespace promo
