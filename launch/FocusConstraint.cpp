#include "launch/FocusConstraint.h"

#include <cstddef>
#include <cstdint>

#include "launch/DllSafety.h"

// The hook belongs to another product and may be broken: a fault inside it
// must not end the program (under Wine an unhandled fault starts the debugger
// and the process hangs there). mingw has no __try, so the call gets its own
// frame on the thread's structured-exception chain, as __try would build it:
// an exception the library does not handle itself reaches our handler only
// after the library's own handlers had their turn, and the handler resumes at
// the call site with the stack and registers saved there. A vectored handler
// would run before the library's own handlers and take faults it means to
// handle; a helper thread would still need a handler and breaks the
// one-thread model.

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

// `library` is freed when this returns, unless its export faulted.
bool AskPopConditionMet(UniqueModule library) {
    if (!library) return true;
    const auto popConditionMet = reinterpret_cast<PopConditionMetFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "PopConditionMet")));
    if (!popConditionMet) return true;
    const std::optional<bool> answer = CallPopConditionMet(popConditionMet);
    // A hook that faults says nothing, like a missing one. Its state is then
    // unknown (a lock held, a half-built object): freeing it would run its
    // detach code outside our guard, so it stays loaded for the run.
    if (!answer) library.release();
    return answer.value_or(true);
}

bool FocusHookAllowsPopup() { return AskPopConditionMet(UniqueModule(LoadApplicationLibrary(L"Focus.dll"))); }

}  // namespace promo
