#include "launch/ProcessList.h"

#include <windows.h>
// after windows.h
#include <psapi.h>
#include <tlhelp32.h>

#include "launch/QuietTime.h"
#include "support/Handles.h"
#include "support/SystemLibraries.h"

namespace promo {
namespace {

constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x0410

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
    const auto moduleFileName = SystemFunction<decltype(::GetModuleFileNameExW)>(L"psapi.dll", "GetModuleFileNameExW");
    const DWORD n = moduleFileName ? moduleFileName(process, nullptr, buffer, MAX_PATH) : 0;
    return std::wstring(buffer, n < MAX_PATH ? n : 0);
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
        UniqueHandle process(::OpenProcess(kQueryAndRead, FALSE, entry.th32ProcessID));
        if (!process) continue;  // protected or not ours to see: skipped even when the name matches
        const std::wstring exeName(entry.szExeFile, ::wcsnlen(entry.szExeFile, MAX_PATH));
        if (AppMatchesProcess(application, exeName, ImagePathOf(process.get()))) return true;
    }
    return false;
}

}  // namespace promo
