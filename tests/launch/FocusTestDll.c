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
   reached.) (FOCUS_TEST_HANG) an export that never returns.
   (FOCUS_TEST_DETACH_NOTE, with another case) a library whose process-detach
   code writes "<its path>.detached", to show whether that code ran. */
#include <windows.h>

#if defined(FOCUS_TEST_DETACH_NOTE)
static wchar_t g_note[MAX_PATH + 16];

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        DWORD n = GetModuleFileNameW(instance, g_note, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return FALSE;
        lstrcatW(g_note, L".detached");
    } else if (reason == DLL_PROCESS_DETACH) {
        HANDLE file = CreateFileW(g_note, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, "detached\n", 9, &written, NULL);
            CloseHandle(file);
        }
    }
    return TRUE;
}
#endif

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
#elif defined(FOCUS_TEST_HANG)
__declspec(dllexport) unsigned char __stdcall PopConditionMet(void) {
    for (;;) Sleep(INFINITE);
}
#else
__declspec(dllexport) unsigned char __stdcall PopConditionMet(void) { return FOCUS_TEST_RESULT; }
#endif
