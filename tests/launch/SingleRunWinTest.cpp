// The session mutex with the real kernel objects: the second claim finds the
// first, and the name is free again once the first run lets go.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "launch/SingleRun.h"

namespace promo {
namespace {

std::wstring TestName() { return L"Local\\PellorinPromoTest.SingleRun." + std::to_wstring(::GetCurrentProcessId()); }

TEST(SingleRunLock, ASecondClaimFindsTheFirstUntilItEnds) {
    const std::wstring name = TestName();
    std::optional<TSingleRunLock> first(TSingleRunLock::Claim(name.c_str()));
    EXPECT_EQ(first->Result(), TSingleRunClaim::First);
    {
        const TSingleRunLock second = TSingleRunLock::Claim(name.c_str());
        EXPECT_TRUE(second.AnotherRuns());
    }
    // The turned-away claim kept no handle: the first still holds the name alone.
    TSingleRunLock moved = std::move(*first);
    first.reset();
    EXPECT_TRUE(TSingleRunLock::Claim(name.c_str()).AnotherRuns());
    { TSingleRunLock gone = std::move(moved); }
    EXPECT_EQ(TSingleRunLock::Claim(name.c_str()).Result(), TSingleRunClaim::First);
}

TEST(SingleRunLock, TheNameLivesInTheSessionsNamespace) {
    EXPECT_EQ(std::wstring(kSingleRunMutexName).rfind(L"Local\\", 0), 0u);
    // Another kind of object under the name: no mutex to be had, the run goes on.
    const std::wstring name = TestName() + L".event";
    const UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(event);
    EXPECT_EQ(TSingleRunLock::Claim(name.c_str()).Result(), TSingleRunClaim::Unguarded);
}

}  // namespace
}  // namespace promo
