// The process list: whether an application is running, and the executable of
// a process. Processes that cannot be opened (protected or other users'
// system processes) are invisible here.
#pragma once

#include <windows.h>

#include <string>

namespace promo {

// True when a process runs whose executable file name or full path equals
// `application`, ignoring the case of A-Z. A bare file name matches the file
// wherever it lies, a full path only that file; neither wildcards nor partial
// names match, and an empty application matches nothing.
bool IsAppRunning(const std::wstring& application);

// The full path of an open process's executable (a drive path), empty when it
// cannot be read. Works for 64-bit processes seen from this 32-bit program.
std::wstring ProcessImagePath(HANDLE process);

// The executable file name of a process by its identifier, empty when it
// cannot be opened or read.
std::wstring ProcessExeName(DWORD processId);

}  // namespace promo
