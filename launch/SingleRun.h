// One run at a time in a session. The product starts the program at each of
// its own starts and a run may wait ten minutes for uptime, so two can
// overlap; the first holds a named mutex in the session's namespace until it
// ends, and a start that finds the mutex there ends at once, writing and
// sending nothing.
#pragma once

#ifdef _WIN32
#include "support/Handles.h"
#endif

namespace promo {

// "Local\": the session's namespace (another user's session runs its own).
inline constexpr wchar_t kSingleRunMutexName[] = L"Local\\Norvi.PellorinPromo.SingleRun";

enum class TSingleRunClaim {
    First,        // this start made the mutex: it is the run
    AnotherRuns,  // the mutex was there already: end now
    Unguarded,    // no mutex could be had: go on as if alone (never lose the run)
};

// What CreateMutexW's outcome means: whether it gave a handle, and the last
// error it left (ERROR_ALREADY_EXISTS with a handle to an existing mutex;
// ERROR_ACCESS_DENIED without one when a mutex of another security context
// holds the name).
TSingleRunClaim ClassifyMutexCreation(bool gotHandle, unsigned long lastError);

#ifdef _WIN32
// Holds the mutex for the run; move-only. Ends with the process at the latest.
class TSingleRunLock {
public:
    static TSingleRunLock Claim(const wchar_t* name = kSingleRunMutexName);

    TSingleRunClaim Result() const { return claim_; }
    bool AnotherRuns() const { return claim_ == TSingleRunClaim::AnotherRuns; }

private:
    TSingleRunLock(UniqueHandle mutex, TSingleRunClaim claim) : mutex_(std::move(mutex)), claim_(claim) {}
    UniqueHandle mutex_;
    TSingleRunClaim claim_;
};
#endif

}  // namespace promo
