// The process list: whether an application is running. Processes that cannot
// be opened (protected or other users' system processes) are invisible here.
#pragma once

#include <string>

namespace promo {

// True when a process runs whose executable file name or full path equals
// `application`, ignoring the case of A-Z. A bare file name matches the file
// wherever it lies, a full path only that file; neither wildcards nor partial
// names match, and an empty application matches nothing.
bool IsAppRunning(const std::wstring& application);

}  // namespace promo
