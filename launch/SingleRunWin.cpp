#include <windows.h>

#include "launch/SingleRun.h"

namespace promo {

TSingleRunLock TSingleRunLock::Claim(const wchar_t* name) {
    // Not owned: the mutex's existence is the signal, and it goes with the
    // last handle, so a run that died leaves nothing behind.
    UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, name));
    const DWORD error = ::GetLastError();
    const TSingleRunClaim claim = ClassifyMutexCreation(static_cast<bool>(mutex), error);
    if (claim != TSingleRunClaim::First) mutex.reset();
    return TSingleRunLock(std::move(mutex), claim);
}

}  // namespace promo
