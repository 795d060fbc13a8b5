#include "launch/SingleRun.h"

namespace promo {
namespace {

// winerror.h's values, so that the rule builds anywhere.
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kAlreadyExists = 183;

}  // namespace

TSingleRunClaim ClassifyMutexCreation(bool gotHandle, unsigned long lastError) {
    if (gotHandle) return lastError == kAlreadyExists ? TSingleRunClaim::AnotherRuns : TSingleRunClaim::First;
    // The name is taken by an object this process may not open: a run of
    // the same program under another security context in this session.
    if (lastError == kAccessDenied) return TSingleRunClaim::AnotherRuns;
    return TSingleRunClaim::Unguarded;
}

}  // namespace promo
