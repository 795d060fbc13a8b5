/* Stand-ins for the product's "Focus.dll" in the hook tests. Built three
   times: PopConditionMet answering FOCUS_TEST_RESULT, or (FOCUS_TEST_NO_EXPORT)
   a library whose only export has a different name. */
#include <windows.h>

#ifdef FOCUS_TEST_NO_EXPORT
__declspec(dllexport) unsigned char __stdcall PopConditionMetLater(void) { return 0; }
#else
__declspec(dllexport) unsigned char __stdcall PopConditionMet(void) { return FOCUS_TEST_RESULT; }
#endif
