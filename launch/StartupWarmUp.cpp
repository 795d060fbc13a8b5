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
    UniqueHandle jobReady;  // set once `job` holds the one job handed over
    LPTHREAD_START_ROUTINE job = nullptr;
    void* jobParam = nullptr;
    bool started = false;
    bool jobTaken = false;
    WarmUpState() = default;
    WarmUpState(const WarmUpState&) = delete;
    WarmUpState& operator=(const WarmUpState&) = delete;
    // A run that started it and ends without finishing it still waits for
    // the work before the shell library goes.
    // The thread may still wait for a job: its event is left to the
    // process's end (a handle closed under a pending wait is undefined).
    ~WarmUpState() {
        Finish();
        static_cast<void>(jobReady.release());
    }

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
    // Then the one job handed over, if any (the Focus Assist hook's call),
    // so that the run needs no second thread: under Wine every thread costs
    // the shown window about a megabyte.
    if (state->jobReady && ::WaitForSingleObject(state->jobReady.get(), INFINITE) == WAIT_OBJECT_0 &&
        state->job)
        state->job(state->jobParam);
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
    state.jobReady.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!state.done || !state.jobReady) {
        state.done.reset();
        state.jobReady.reset();
        return;
    }
    // The system's usual reservation (only the pages used are committed): a
    // job handed over runs another product's code, built for a usual stack.
    const UniqueHandle thread(
        ::CreateThread(nullptr, 1024 * 1024, &WarmUp, &state, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) {
        state.done.reset();
        state.jobReady.reset();
    }
}

void FinishStartupWarmUp() { State().Finish(); }

bool HandToWarmUpThread(LPTHREAD_START_ROUTINE job, void* param) {
    WarmUpState& state = State();
    if (!state.jobReady || state.jobTaken || !job) return false;
    state.jobTaken = true;
    state.job = job;
    state.jobParam = param;
    ::SetEvent(state.jobReady.get());
    return true;
}

}  // namespace promo
