// Prints the resource counts of every running process with a given file name,
// one line each: process_counters.exe NAME.exe
//   pid=N gdi=N user=N handles=N workingset=BYTES gdi_source=... user_source=...
// GDI and USER objects come from GetGuiResources where the system implements
// it. Where it does not (Wine), GDI objects are the used entries of the
// process's GDI handle table (stock objects included), and USER
// objects are the windows of the process's threads (top-level and children),
// the USER objects a window program creates and destroys as it runs.
#include <windows.h>
// after windows.h
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// One entry of the GDI handle table (32-bit and 64-bit layouts agree).
#pragma pack(push, 1)
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "table layout");
constexpr std::size_t kGdiTableEntries = 0x10000;

using QueryProcessFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
using QueryThreadFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);

template <typename T>
bool ReadRemote(HANDLE process, std::uint64_t address, T& value) {
    SIZE_T read = 0;
    return address != 0 && address <= 0xFFFFFFFFu &&
           ::ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address)),
                               &value, sizeof value, &read) &&
           read == sizeof value;
}

// Where the GDI handle table of a 32-bit process lies: its PEB says so on
// Windows; under Wine's 64-bit prefixes the 64-bit PEB does, reached through
// the 64-bit TEB whose address the 32-bit TEB keeps in GdiBatchCount.
std::uint64_t GdiTableAddress(HANDLE process, DWORD pid) {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto queryProcess = reinterpret_cast<QueryProcessFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryInformationProcess")));
    const auto queryThread = reinterpret_cast<QueryThreadFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryInformationThread")));
    if (!queryProcess || !queryThread) return 0;
    PROCESS_BASIC_INFORMATION info{};
    std::uint32_t table32 = 0;
    if (queryProcess(process, 0, &info, sizeof info, nullptr) >= 0 &&
        ReadRemote(process, reinterpret_cast<std::uintptr_t>(info.PebBaseAddress) + 0x94, table32) &&
        table32 != 0)
        return table32;

    HANDLE threads = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (threads == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    std::uint64_t table = 0;
    for (BOOL more = ::Thread32First(threads, &entry); more && !table;
         more = ::Thread32Next(threads, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        HANDLE thread = ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        struct {
            LONG exitStatus;
            void* teb;
            CLIENT_ID client;
            ULONG_PTR affinity;
            LONG priority;
            LONG basePriority;
        } basic{};
        std::uint32_t teb64 = 0;
        std::uint64_t peb64 = 0;
        if (queryThread(thread, 0, &basic, sizeof basic, nullptr) >= 0 &&
            ReadRemote(process, reinterpret_cast<std::uintptr_t>(basic.teb) + 0xF70, teb64) &&
            ReadRemote(process, std::uint64_t{teb64} + 0x60, peb64))
            ReadRemote(process, peb64 + 0xF8, table);
        ::CloseHandle(thread);
    }
    ::CloseHandle(threads);
    return table;
}

long GdiFromHandleTable(HANDLE process, DWORD pid) {
    const std::uint64_t table = GdiTableAddress(process, pid);
    if (table == 0 || table > 0xFFFFFFFFu) return -1;
    std::vector<GdiHandleEntry> entries(kGdiTableEntries);
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(table)),
                             entries.data(), entries.size() * sizeof(GdiHandleEntry), &read))
        return -1;
    long used = 0;
    for (std::size_t i = 0; i < read / sizeof(GdiHandleEntry); ++i)
        if (entries[i].type != 0) ++used;
    return used;
}

// Handles of the process in the system's handle list (where the per-process
// count is not implemented).
long HandlesFromSystemList(DWORD pid) {
    using QueryFn = LONG(NTAPI*)(int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        void* object;
        ACCESS_MASK access;
    };
    constexpr int kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 16);
    for (int round = 0; round < 12; ++round) {
        ULONG needed = 0;
        const LONG status =
            query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status < 0) return -1;
        const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
        const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
        long owned = 0;
        for (ULONG i = 0; i < count; ++i)
            if (entries[i].ownerPid == pid) ++owned;
        return owned;
    }
    return -1;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    auto* counted = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == counted->pid) {
        ++counted->count;
        ::EnumChildWindows(window, CountChild, param);
    }
    return TRUE;
}

long WindowsOf(DWORD pid) {
    WindowCount counted{pid, 0};
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counted));
    // Message-only windows are not top-level windows of the desktop.
    HWND child = nullptr;
    while ((child = ::FindWindowExW(HWND_MESSAGE, child, nullptr, nullptr)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(child, &owner);
        if (owner == pid) ++counted.count;
    }
    return counted.count;
}

void Report(DWORD pid) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        std::printf("pid=%lu error=%lu\n", pid, ::GetLastError());
        return;
    }
    const char* gdiSource = "GetGuiResources";
    long gdi = static_cast<long>(::GetGuiResources(process, GR_GDIOBJECTS));
    if (gdi == 0) {
        gdi = GdiFromHandleTable(process, pid);
        gdiSource = "handle-table";
    }
    const char* userSource = "GetGuiResources";
    long user = static_cast<long>(::GetGuiResources(process, GR_USEROBJECTS));
    if (user == 0) {
        user = WindowsOf(pid);
        userSource = "windows";
    }
    const char* handleSource = "GetProcessHandleCount";
    DWORD handles = 0;
    long handleCount = ::GetProcessHandleCount(process, &handles) ? static_cast<long>(handles) : 0;
    if (handleCount == 0) {
        handleCount = HandlesFromSystemList(pid);
        handleSource = "system-list";
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    const long long workingSet = ::GetProcessMemoryInfo(process, &memory, sizeof memory)
                                     ? static_cast<long long>(memory.WorkingSetSize)
                                     : -1;
    std::printf(
        "pid=%lu gdi=%ld user=%ld handles=%ld workingset=%lld gdi_source=%s user_source=%s "
        "handle_source=%s\n",
        pid, gdi, user, handleCount, workingSet, gdiSource, userSource, handleSource);
    ::CloseHandle(process);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int found = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (::lstrcmpiW(entry.szExeFile, argv[1]) == 0) {
            Report(entry.th32ProcessID);
            ++found;
        }
    }
    ::CloseHandle(snapshot);
    std::fflush(stdout);
    return found ? 0 : 1;
}
