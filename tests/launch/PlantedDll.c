/* A library that an attacker would plant beside the user's files or on PATH.
   Loading it is harmless here; the tests only look at whether it was loaded. */
#include <windows.h>

__declspec(dllexport) int PlantedProbe(void) { return 42; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
