#include "launch/ProcessList.h"

#include <windows.h>
// after windows.h
#include <psapi.h>
#include <tlhelp32.h>

#include "launch/QuietTime.h"
#include "support/Handles.h"
#include "support/SystemFunctions.h"

namespace promo {
namespace {

constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x0410
constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION (Vista)

ProcessOpener processOpener = &::OpenProcess;

using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

QueryFullProcessImageNameFn QueryFullProcessImageNameEntry() {
    // Vista and later; looked up once so that the program still loads where
    // kernel32 lacks it.
    static const auto entry = reinterpret_cast<QueryFullProcessImageNameFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
    return entry;
}

// The full path of an open process's executable (a drive path), empty when it
// cannot be read.
std::wstring ImagePathOf(HANDLE process) {
    wchar_t buffer[MAX_PATH + 1];
    // The main module of a 64-bit process cannot be read from a 32-bit one
    // (GetModuleFileNameExW fails there); the image name can.
    if (const QueryFullProcessImageNameFn query = QueryFullProcessImageNameEntry()) {
        DWORD size = MAX_PATH;
        if (query(process, 0, buffer, &size) && size > 0) return std::wstring(buffer, size);
    }
    // The process status library is bound here, not imported: start-up does not need it.
    const auto moduleFileName = Psapi().GetModuleFileNameExW;
    const DWORD n = moduleFileName ? moduleFileName(process, nullptr, buffer, MAX_PATH) : 0;
    return std::wstring(buffer, n < MAX_PATH ? n : 0);
}

// The full path of a process's executable, empty when it cannot be read.
// A process that refuses the query-and-read access (a protected one, a game
// behind anti-cheat) may still grant the limited query that
// QueryFullProcessImageNameW needs ("QueryFullProcessImageNameW function",
// Microsoft Learn).
std::wstring ImagePathOf(DWORD pid) {
    UniqueHandle process(processOpener(kQueryAndRead, FALSE, pid));
    if (!process && QueryFullProcessImageNameEntry())
        process.reset(processOpener(kQueryLimitedInformation, FALSE, pid));
    return process ? ImagePathOf(process.get()) : std::wstring();
}

}  // namespace

bool IsAppRunning(const std::wstring& application) {
    if (application.empty()) return false;
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        // The file name is the snapshot's own: a process that cannot be
        // opened still matches by it. The full path is compared only when it
        // could be read.
        const std::wstring exeName(entry.szExeFile, ::wcsnlen(entry.szExeFile, MAX_PATH));
        if (AppMatchesProcess(application, exeName, {})) return true;
        const std::wstring fullPath = ImagePathOf(entry.th32ProcessID);
        if (!fullPath.empty() && EqualsIgnoringAsciiCase(application, fullPath)) return true;
    }
    return false;
}

void SetProcessOpenerForTesting(ProcessOpener opener) { processOpener = opener ? opener : &::OpenProcess; }

}  // namespace promo
