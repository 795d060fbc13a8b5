// The session's age read through the session manager's functions: stand-ins
// for them give the logon times, and the real ones are asked under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "launch/Uptime.h"
#include "launch/UptimeWin.h"

namespace promo {
namespace {

// What the stand-in query answers, and what it was asked.
struct FakeSession {
    BOOL succeeds = TRUE;
    DWORD bytes = sizeof(WTSINFOW);
    std::int64_t logon = 0;
    std::int64_t current = 0;
    DWORD askedSession = 0;
    WTS_INFO_CLASS askedClass = WTSInitialProgram;
    void* handedOut = nullptr;
    void* freed = nullptr;
};
FakeSession g_fake;

BOOL WINAPI FakeQuery(HANDLE, DWORD session, WTS_INFO_CLASS infoClass, LPWSTR* buffer, DWORD* bytes) {
    g_fake.askedSession = session;
    g_fake.askedClass = infoClass;
    if (!g_fake.succeeds) return FALSE;
    auto* info = static_cast<WTSINFOW*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(WTSINFOW)));
    info->LogonTime.QuadPart = g_fake.logon;
    info->CurrentTime.QuadPart = g_fake.current;
    g_fake.handedOut = info;
    *buffer = reinterpret_cast<LPWSTR>(info);
    *bytes = g_fake.bytes;
    return TRUE;
}

void WINAPI FakeFree(PVOID memory) {
    g_fake.freed = memory;
    ::HeapFree(::GetProcessHeap(), 0, memory);
}

std::int64_t SystemTimeNow() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return static_cast<std::int64_t>((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}

constexpr std::int64_t kPerMs = 10'000;
constexpr std::int64_t kLogon = 132'000'000'000'000'000;

TEST(SessionAge, TakenFromTheLogonTimeOfThisProcesssSession) {
    const struct {
        const char* name;
        FakeSession fake;
        std::optional<std::uint64_t> age;
    } cases[] = {
        {"logged on 4 minutes ago", {TRUE, sizeof(WTSINFOW), kLogon, kLogon + 240'000 * kPerMs}, 240'000},
        {"no logon time", {TRUE, sizeof(WTSINFOW), 0, kLogon}, std::nullopt},
        {"the query fails", {FALSE, sizeof(WTSINFOW), kLogon, kLogon + kPerMs}, std::nullopt},
        {"a short answer", {TRUE, sizeof(WTSINFOW) - 8, kLogon, kLogon + kPerMs}, std::nullopt},
        {"the clock went back", {TRUE, sizeof(WTSINFOW), kLogon, kLogon - 60'000 * kPerMs}, 0},
    };
    for (const auto& c : cases) {
        g_fake = c.fake;
        EXPECT_EQ(SessionAgeMs(SessionInfoFunctions{&FakeQuery, &FakeFree}), c.age) << c.name;
        EXPECT_EQ(g_fake.askedSession, WTS_CURRENT_SESSION) << c.name;
        EXPECT_EQ(g_fake.askedClass, WTSSessionInfo) << c.name;
        EXPECT_EQ(g_fake.freed, g_fake.handedOut) << c.name << ": the answer must be given back";
    }
}

TEST(SessionAge, WithoutTheManagersTimeOfQueryTheSystemClockCounts) {
    g_fake = {TRUE, sizeof(WTSINFOW), SystemTimeNow() - 120'000 * kPerMs, 0};
    const std::optional<std::uint64_t> age = SessionAgeMs(SessionInfoFunctions{&FakeQuery, &FakeFree});
    ASSERT_TRUE(age.has_value());
    EXPECT_GE(*age, 120'000u);
    EXPECT_LT(*age, 180'000u);
}

TEST(SessionAge, UnknownWithoutTheFunctions) {
    g_fake = {TRUE, sizeof(WTSINFOW), kLogon, kLogon + kPerMs};
    EXPECT_EQ(SessionAgeMs(SessionInfoFunctions{nullptr, &FakeFree}), std::nullopt);
    EXPECT_EQ(SessionAgeMs(SessionInfoFunctions{&FakeQuery, nullptr}), std::nullopt);
}

TEST(SessionAge, WineOnlyTheSessionManagerGivesNoLogonTime) {
    // Wine's session manager library gives no logon time for WTSSessionInfo, so
    // under Wine the uptime alone counts. On Windows the session's age is
    // known and no greater than the time since the logon.
    EXPECT_EQ(SessionAgeMs(), std::nullopt);
}

}  // namespace
}  // namespace promo
