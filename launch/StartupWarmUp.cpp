#include "launch/StartupWarmUp.h"

#include <windows.h>

#include "support/Handles.h"
#include "support/SystemLibraries.h"
#include "support/Timeline.h"

namespace promo {
namespace {

struct WarmUpState {
    UniqueHandle done;   // set by the thread when its work is done
    UniqueModule shell;  // set by the thread, touched by others only once done is set
    bool started = false;
    WarmUpState() = default;
    WarmUpState(const WarmUpState&) = delete;
    WarmUpState& operator=(const WarmUpState&) = delete;
    // A run that started it and ends without finishing it still waits for
    // the work before the shell library goes.
    ~WarmUpState() { Finish(); }

    void Finish() {
        if (!done) return;
        ::WaitForSingleObject(done.get(), INFINITE);
        done.reset();
        shell.reset();
    }
};

WarmUpState& State() {
    static WarmUpState state;
    return state;
}

DWORD WINAPI WarmUp(void* param) {
    auto* state = static_cast<WarmUpState*>(param);
    if (HDC screen = ::GetDC(nullptr)) ::ReleaseDC(nullptr, screen);
    // Loaded by the first window in any case; this reference is kept, like
    // the system's own.
    LoadSystemLibrary(L"uxtheme.dll");
    state->shell.reset(LoadSystemLibrary(L"shell32.dll"));
    TimelineMark(L"warm-up");
    ::SetEvent(state->done.get());
    // The thread stays, blocked for good, until the process ends: under Wine
    // a thread's exit loads the unwinder's library, and its stacks are only
    // given back when another thread exits, so an ended thread would cost
    // the shown window more memory than a waiting one. It never wakes.
    ::Sleep(INFINITE);
    return 0;
}

}  // namespace

void StartStartupWarmUp() {
    WarmUpState& state = State();
    if (state.started) return;
    state.started = true;
    // Without the thread the program only loses the head start.
    state.done.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!state.done) return;
    const UniqueHandle thread(
        ::CreateThread(nullptr, 64 * 1024, &WarmUp, &state, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) state.done.reset();
}

void FinishStartupWarmUp() { State().Finish(); }

}  // namespace promo
