#include "launch/FocusConstraint.h"

#include "launch/StartupWarmUp.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "launch/DllSafety.h"
#include "launch/StartupWarmUp.h"
#include "launch/Uptime.h"
#include "ui/Application.h"

// The hook belongs to another product and may be broken: a fault inside it
// must not end the program (under Wine an unhandled fault starts the debugger
// and the process hangs there). mingw has no __try, so the call gets its own
// frame on the thread's structured-exception chain, as __try would build it:
// an exception the library does not handle itself reaches our handler only
// after the library's own handlers had their turn, and the handler resumes at
// the call site with the stack and registers saved there. A vectored handler
// would run before the library's own handlers and take faults it means to
// handle. The frame is built on the hook's own thread (below), where the call
// runs so that a library that never returns holds up nothing but that thread.

namespace promo {
namespace detail {

// The frame's layout is fixed: the first two fields are the system's
// exception registration record, the rest are read by the code below.
struct GuardFrame {
    GuardFrame* previous;        // 0: the chain as it was
    void* handler;               // 4: GuardHandler
    std::uint32_t stackPointer;  // 8: esp after the saved registers
    std::uint32_t framePointer;  // 12: ebp of PromoCallGuarded
    std::uint32_t x87Control;    // 16: low 16 bits
    std::uint32_t sseControl;    // 20: mxcsr
    std::uint32_t hasSse;        // 24: mxcsr exists on this processor
};
static_assert(offsetof(GuardFrame, handler) == 4 && offsetof(GuardFrame, framePointer) == 12 &&
                  offsetof(GuardFrame, hasSse) == 24,
              "the assembly below relies on this layout");

}  // namespace detail
}  // namespace promo

#if defined(__i386__)

extern "C" {
// Returns the hook's byte zero-extended, or 0xFFFFFFFF when it faulted.
std::uint32_t __cdecl PromoCallGuarded(promo::PopConditionMetFn fn, promo::detail::GuardFrame* frame);
// Continues at the fault exit of PromoCallGuarded with the frame's stack.
[[noreturn]] void __cdecl PromoResumeGuarded(promo::detail::GuardFrame* frame);
}

// x87 control word and mxcsr are put back and the direction flag cleared on
// both exits (a library may change them); the fault exit first clears the x87
// register stack, which the fault may have left part-filled.
asm(R"(
    .text
    .p2align 4
    .globl _PromoCallGuarded
_PromoCallGuarded:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 12(%ebp), %edx
    movl %esp, 8(%edx)
    movl %ebp, 12(%edx)
    fnstcw 16(%edx)
    cmpl $0, 24(%edx)
    je 1f
    stmxcsr 20(%edx)
1:
    movl %fs:0, %eax
    movl %eax, 0(%edx)
    movl %edx, %fs:0
    call *8(%ebp)
    movzbl %al, %eax
    jmp 2f
_PromoFaultExit:
    fninit
    movl $-1, %eax
2:
    cld
    movl 12(%ebp), %edx
    movl 0(%edx), %ecx
    movl %ecx, %fs:0
    fldcw 16(%edx)
    cmpl $0, 24(%edx)
    je 3f
    ldmxcsr 20(%edx)
3:
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret

    .p2align 4
    .globl _PromoResumeGuarded
_PromoResumeGuarded:
    movl 4(%esp), %edx
    movl 8(%edx), %esp
    movl 12(%edx), %ebp
    jmp _PromoFaultExit
)");

namespace promo {
namespace {

// Called by the system's dispatcher, on the faulting thread, for an exception
// that every inner frame (the library's own) passed on. The unwinding call
// that follows a handled exception elsewhere is passed on too.
EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT*,
                                           void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    // The frames below ours (the library's and the dispatcher's own) are left
    // behind, as a jump out of __except leaves them.
    PromoResumeGuarded(static_cast<detail::GuardFrame*>(establisherFrame));
}

}  // namespace

std::optional<bool> CallPopConditionMet(PopConditionMetFn popConditionMet) {
    detail::GuardFrame frame{};
    frame.handler = reinterpret_cast<void*>(&GuardHandler);
    frame.hasSse = ::IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE) ? 1 : 0;
    const std::uint32_t answer = PromoCallGuarded(popConditionMet, &frame);
    if (answer > 0xFF) return std::nullopt;
    return answer != 0;
}

}  // namespace promo

#else
#error "the guarded hook call is written for 32-bit x86"
#endif

namespace promo {
namespace {

std::atomic<bool> g_misbehaved{false};

// What the asking thread and the hook's thread share. The asking thread may
// give up on it, so each holds a reference, and the last one frees it.
struct HookCall {
    PopConditionMetFn fn = nullptr;
    UniqueHandle answered;  // manual-reset event, set once `answer` holds the result
    std::atomic<std::uint32_t> answer{0};
};

DWORD WINAPI HookThread(void* param) {
    const std::unique_ptr<std::shared_ptr<HookCall>> owner(static_cast<std::shared_ptr<HookCall>*>(param));
    HookCall& call = **owner;
    const std::optional<bool> result = CallPopConditionMet(call.fn);
    call.answer = result ? (*result ? 1u : 0u) : 0xFFFFFFFFu;
    ::SetEvent(call.answered.get());
    // The thread waits here until the process ends. After a fault the
    // library's state is unknown, and ending the thread would run its
    // thread-detach code. After an answer, ending it would cost the shown
    // window memory under Wine: a thread's exit loads the unwinder's library,
    // and its stack is given back only when another thread exits.
    ::Sleep(INFINITE);
    return 0;
}

// Waits until `object` is signalled or `deadline` (a SystemUptimeMs value)
// passes, running pumpMessages() whenever input is waiting. With
// MWMO_INPUTAVAILABLE the wait also returns for input that was already queued
// before it began
// (https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-msgwaitformultipleobjectsex).
bool WaitPumping(HANDLE object, std::uint64_t deadline, const std::function<void()>& pumpMessages) {
    for (;;) {
        const std::uint64_t now = SystemUptimeMs();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD result =
            ::MsgWaitForMultipleObjectsEx(1, &object, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;  // time out, or the wait failed
        if (pumpMessages) pumpMessages();
        if (::WaitForSingleObject(object, 0) == WAIT_OBJECT_0) return true;
        if (SystemUptimeMs() >= deadline) return false;
    }
}

// Runs the export on the warm-up thread when one waits for a job (the
// program's own run: no thread of its own to pay for), else on a new thread.
HookAnswer CallBounded(PopConditionMetFn popConditionMet, DWORD boundMs,
                       const std::function<void()>& pumpMessages, bool mayUseWarmUpThread) {
    auto call = std::make_shared<HookCall>();
    call->fn = popConditionMet;
    call->answered.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // Without an event or a thread the export cannot be asked within a bound;
    // it is not asked, and that counts as no answer: a system that cannot
    // start a thread is in no state for a pop-up either.
    if (!call->answered) return HookAnswer::noAnswer;
    auto* forThread = new std::shared_ptr<HookCall>(call);
    if (!mayUseWarmUpThread || !HandToWarmUpThread(&HookThread, forThread)) {
        const UniqueHandle thread(::CreateThread(nullptr, 0, &HookThread, forThread, 0, nullptr));
        if (!thread) {
            delete forThread;
            return HookAnswer::noAnswer;
        }
    }
    const std::uint64_t deadline = SystemUptimeMs() + boundMs;
    if (!WaitPumping(call->answered.get(), deadline, pumpMessages)) return HookAnswer::noAnswer;
    const std::uint32_t answer = call->answer;
    if (answer > 0xFF) return HookAnswer::faulted;
    return answer != 0 ? HookAnswer::allows : HookAnswer::holdsBack;
}

}  // namespace

bool HookAllowsPopup(HookAnswer answer) {
    return answer != HookAnswer::holdsBack && answer != HookAnswer::noAnswer;
}

HookAnswer CallPopConditionMetBounded(PopConditionMetFn popConditionMet, DWORD boundMs,
                                      const std::function<void()>& pumpMessages) {
    return CallBounded(popConditionMet, boundMs, pumpMessages, false);
}

HookAnswer AskPopConditionMet(UniqueModule library, DWORD boundMs,
                              const std::function<void()>& pumpMessages) {
    if (!library) return HookAnswer::absent;
    const auto popConditionMet = reinterpret_cast<PopConditionMetFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "PopConditionMet")));
    if (!popConditionMet) return HookAnswer::absent;
    const HookAnswer answer = CallBounded(popConditionMet, boundMs, pumpMessages, true);
    const bool sound = answer == HookAnswer::allows || answer == HookAnswer::holdsBack;
    if (!sound) {
        // Its state is unknown (a lock held, a half-built object, a thread
        // still inside it): freeing it would run its detach code, so it stays
        // loaded for the run, and the run ends without detach code.
        g_misbehaved = true;
        library.release();
    }
    return answer;
}

HookAnswer AskFocusHook() {
    return AskPopConditionMet(UniqueModule(LoadApplicationLibrary(L"Focus.dll")), kFocusHookAnswerBoundMs,
                              [] { Application().ProcessMessages(); });
}

bool FocusHookAllowsPopup() { return HookAllowsPopup(AskFocusHook()); }

bool FocusHookMisbehaved() { return g_misbehaved; }

}  // namespace promo
