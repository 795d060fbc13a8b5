// The session mutex with the real kernel objects: the second claim finds the
// first, and the name is free again once the first run lets go.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "launch/SingleRun.h"

namespace promo {
namespace {

std::wstring TestName() {
    return L"Local\\PellorinPromoTest.SingleRun." + std::to_wstring(::GetCurrentProcessId());
}

TEST(SingleRunLock, ASecondClaimFindsTheFirstUntilItEnds) {
    const std::wstring name = TestName();
    std::optional<TSingleRunLock> first(TSingleRunLock::Claim(name.c_str()));
    EXPECT_EQ(first->Result(), TSingleRunClaim::First);
    const TSingleRunLock second = TSingleRunLock::Claim(name.c_str());
    EXPECT_TRUE(second.AnotherRuns());
    // A moved lock holds on; the moved-from one lets go of nothing.
    std::optional<TSingleRunLock> moved(std::move(*first));
    first.reset();
    EXPECT_TRUE(TSingleRunLock::Claim(name.c_str()).AnotherRuns());
    // The run ends: the name is free at once, though the turned-away
    // second claim still exists (it kept no handle).
    moved.reset();
    EXPECT_EQ(TSingleRunLock::Claim(name.c_str()).Result(), TSingleRunClaim::First);
}

}  // namespace
}  // namespace promo
