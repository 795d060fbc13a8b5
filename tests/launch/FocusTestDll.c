/* Stand-ins for the product's "Focus.dll" in the hook tests. Built once per
   case: PopConditionMet answering FOCUS_TEST_RESULT; (FOCUS_TEST_NO_EXPORT) a
   library whose only export has a different name; (FOCUS_TEST_FAULT) an
   export that reads through a null pointer; (FOCUS_TEST_THROW) an export that
   raises a non-continuable exception, as a C++ throw of another compiler's
   runtime does, after changing the x87 control word; (FOCUS_TEST_DIRTY) an
   export that answers but returns with the x87 control word changed and the
   direction flag set, against the calling convention. (Raising with the
   direction flag set is outside the convention too, and crashes the qemu-user
   emulator that runs 32-bit Wine on some machines, before our guard is
   reached.) */
#include <windows.h>

#if defined(FOCUS_TEST_NO_EXPORT)
__declspec(dllexport) unsigned char __stdcall PopConditionMetLater(void) { return 0; }
#elif defined(FOCUS_TEST_FAULT)
__declspec(dllexport) unsigned char __stdcall PopConditionMet(void) {
    volatile unsigned char* volatile nowhere = 0;
    return *nowhere;
}
#elif defined(FOCUS_TEST_THROW)
__declspec(dllexport) unsigned char __stdcall PopConditionMet(void) {
    unsigned short control = 0x0C7F; /* round toward zero */
    __asm__ volatile("fldcw %0" : : "m"(control));
    RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, NULL);
    return 1;
}
#elif defined(FOCUS_TEST_DIRTY)
__declspec(dllexport) unsigned char __stdcall PopConditionMet(void) {
    unsigned short control = 0x0C7F; /* round toward zero */
    __asm__ volatile("fldcw %0\n\tstd" : : "m"(control));
    return 0;
}
#else
__declspec(dllexport) unsigned char __stdcall PopConditionMet(void) { return FOCUS_TEST_RESULT; }
#endif
