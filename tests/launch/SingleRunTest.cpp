// What the mutex's creation means for the start.
#include <gtest/gtest.h>

#include "launch/SingleRun.h"

namespace promo {
namespace {

TEST(SingleRun, TheMutexCreationDecidesWhetherThisStartIsTheRun) {
    struct Case {
        bool gotHandle;
        unsigned long lastError;
        TSingleRunClaim expected;
    } cases[] = {
        {true, 0, TSingleRunClaim::First},
        {true, 183, TSingleRunClaim::AnotherRuns},  // ERROR_ALREADY_EXISTS: opened the first run's
        {false, 5, TSingleRunClaim::AnotherRuns},   // ERROR_ACCESS_DENIED: another context holds the name
        {false, 6, TSingleRunClaim::Unguarded},     // ERROR_INVALID_HANDLE: the name is another object's kind
        {false, 8, TSingleRunClaim::Unguarded},     // ERROR_NOT_ENOUGH_MEMORY
        {true, 5, TSingleRunClaim::First},          // a stale last error beside a new mutex
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyMutexCreation(c.gotHandle, c.lastError), c.expected)
            << "handle " << c.gotHandle << ", error " << c.lastError;
}

}  // namespace
}  // namespace promo
