// COM on the calling thread: the one place where a thread enters a
// single-threaded apartment (ole32 bound on first use,
// support/SystemFunctions.h). The window's thread enters it for the desktop
// shell's objects, when the elevated program starts the browser, and for the
// accessible object a client asks for; entries nest.
#pragma once

#include <windows.h>

namespace promo {

// Enters the calling thread into a single-threaded apartment (without OLE1's
// DDE), or nests one more entry when it is in one already. What
// CoInitializeEx returned: S_OK or S_FALSE (an entry to leave once), or a
// failure such as RPC_E_CHANGED_MODE (the thread is in the multithreaded
// apartment; COM may still be used). CO_E_DLLNOTFOUND when ole32 cannot be
// had.
HRESULT EnterComApartment();

// One entry for the life of the object, left again at its end.
class ScopedComApartment {
public:
    ScopedComApartment() : result_(EnterComApartment()) {}
    ~ScopedComApartment();
    ScopedComApartment(const ScopedComApartment&) = delete;
    ScopedComApartment& operator=(const ScopedComApartment&) = delete;

    // Whether COM may be used on this thread: the entry was made, or the
    // thread is in the other kind of apartment.
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

}  // namespace promo
