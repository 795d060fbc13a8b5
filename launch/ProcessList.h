// The process list: whether an application is running. Every process of the
// system's snapshot counts by its file name; its full path counts where it
// can be read (not for some protected or other users' processes).
#pragma once

#include <windows.h>

#include <string>

namespace promo {

// True when a process runs whose executable file name or full path equals
// `application`, ignoring the case of A-Z. A bare file name matches the file
// wherever it lies, a full path only that file; neither wildcards nor partial
// names match, and an empty application matches nothing.
bool IsAppRunning(const std::wstring& application);

// Tests only: the function that opens each listed process (nullptr puts
// OpenProcess back), so that processes this one may not open can be had.
using ProcessOpener = HANDLE(WINAPI*)(DWORD access, BOOL inherit, DWORD pid);
void SetProcessOpenerForTesting(ProcessOpener opener);

}  // namespace promo
