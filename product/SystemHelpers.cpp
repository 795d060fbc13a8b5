#include "product/SystemHelpers.h"

#include <psapi.h>
#include <shlobj.h>

#include <vector>

#include "support/Handles.h"
#include "support/OsVersion.h"
#include "support/SystemFunctions.h"
#include "support/SystemLibraries.h"

namespace promo {

namespace {

constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION (Vista)

// GetProcAddress returns a generic function pointer; convert it to the
// entry point's real type.
template <typename Fn>
Fn EntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

std::wstring UpToNul(const wchar_t* text, std::size_t capacity) {
    std::size_t n = 0;
    while (n < capacity && text[n] != L'\0') ++n;
    return std::wstring(text, n);
}

// The shell's own answer (SHGetSpecialFolderPathW, without creating the
// folder), kept for the run; a failed question is asked again next time.
// shell32 is not imported: it is bound here when first needed and given back
// after the question, so the shown window does not keep it. At start the
// warm-up thread holds it already, and the load is only a reference more.
std::wstring SpecialFolder(int csidl) {
    struct Answer {
        int csidl;
        std::wstring path;
    };
    static Answer answers[] = {{CSIDL_APPDATA, {}}, {CSIDL_COMMON_APPDATA, {}}};
    Answer* wanted = nullptr;
    for (Answer& a : answers)
        if (a.csidl == csidl) wanted = &a;
    if (wanted && !wanted->path.empty()) return wanted->path;

    UniqueModule shell(LoadSystemLibrary(L"shell32.dll"));
    if (!shell) return {};
    const auto getPath =
        EntryPoint<decltype(&::SHGetSpecialFolderPathW)>(shell.get(), "SHGetSpecialFolderPathW");
    if (!getPath) return {};
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!getPath(nullptr, buffer, csidl, FALSE)) return {};
    std::wstring path = UpToNul(buffer, MAX_PATH);
    if (path.empty()) return {};
    path = WithTrailingBackslash(path);
    if (wanted) wanted->path = path;
    return path;
}

std::wstring ModuleFilePath(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring OwnExecutablePath() { return ModuleFilePath(nullptr); }

// Vista and later: a drive-letter path for every process the caller may
// query, 32-bit or 64-bit, without reading the process's memory.
std::wstring ProcessImagePathByFullName(DWORD pid) {
    using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    const auto query = EntryPoint<QueryFullProcessImageNameFn>(::GetModuleHandleW(L"kernel32.dll"),
                                                               "QueryFullProcessImageNameW");
    if (!query) return {};
    UniqueHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, pid));
    if (!process) process.reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!process) return {};
    std::vector<wchar_t> buffer(32768);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!query(process.get(), 0, buffer.data(), &size)) return {};
    return std::wstring(buffer.data(), size);
}

}  // namespace

std::wstring ProcessImagePathByDeviceName(DWORD pid) {
    if (pid == 0) return {};
    const std::wstring system = SystemFolder();
    if (system.empty()) return {};
    UniqueModule psapi(::LoadLibraryW((system + L"psapi.dll").c_str()));
    if (!psapi) return {};
    using GetProcessImageFileNameFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD);
    const auto getName = EntryPoint<GetProcessImageFileNameFn>(psapi.get(), "GetProcessImageFileNameW");
    if (!getName) return {};
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!process) return {};
    wchar_t buffer[MAX_PATH] = {};
    if (getName(process.get(), buffer, MAX_PATH) == 0) return {};
    return UpToNul(buffer, MAX_PATH);
}

std::wstring ProcessImagePathByMainModule(DWORD pid) {
    if (pid == 0) return {};
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return {};
    wchar_t buffer[MAX_PATH] = {};
    const auto moduleFileName = Psapi().GetModuleFileNameExW;
    if (!moduleFileName || moduleFileName(process.get(), nullptr, buffer, MAX_PATH) == 0) return {};
    return UpToNul(buffer, MAX_PATH);
}

std::wstring AppDataFolder() { return SpecialFolder(CSIDL_APPDATA); }

std::wstring CommonAppDataFolder() { return SpecialFolder(CSIDL_COMMON_APPDATA); }

std::wstring ModuleFolder(HMODULE module) {
    const std::wstring file = ModuleFilePath(module);
    const auto slash = file.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash + 1);
}

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return WithTrailingBackslash(UpToNul(buffer, MAX_PATH));
}

std::wstring ProcessImagePath(DWORD pid) {
    if (pid == 0) return {};
    // QueryFullProcessImageNameW where the system has it: reading the main
    // module of a 64-bit process from this 32-bit program fails on some
    // systems, and the device form needs psapi. The two older ways remain
    // for a system without it, chosen by version as before.
    std::wstring path = ProcessImagePathByFullName(pid);
    if (!path.empty()) return path;
    const OsVersion& v = ReportedOsVersion();
    if (v.major >= 5 && v.minor >= 1) return ProcessImagePathByDeviceName(pid);
    return ProcessImagePathByMainModule(pid);
}

std::wstring ProcessFileName(DWORD pid) { return FileNamePart(ProcessImagePath(pid)); }

std::wstring FileVersionText(const std::wstring& path, int parts) {
    try {
        std::wstring file = TrimText(path);
        if (file.empty()) file = OwnExecutablePath();
        if (file.empty()) return {};
        // The version reader is needed only for the purchase address: bound then.
        const VersionFunctions& version = VersionLibrary();
        const auto sizeOf = version.GetFileVersionInfoSizeW;
        const auto read = version.GetFileVersionInfoW;
        const auto query = version.VerQueryValueW;
        if (!sizeOf || !read || !query) return {};
        DWORD ignored = 0;
        const DWORD size = sizeOf(file.c_str(), &ignored);
        if (size == 0) return {};
        std::vector<BYTE> data(size);  // freed on every way out
        if (!read(file.c_str(), 0, size, data.data())) return {};
        void* block = nullptr;
        UINT length = 0;
        if (!query(data.data(), L"\\", &block, &length) || !block || length < sizeof(VS_FIXEDFILEINFO))
            return {};
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
        return VersionText(info->dwFileVersionMS, info->dwFileVersionLS, parts);
    } catch (...) {
        return {};
    }
}

DWORD ReadRegDWord(HKEY root, const std::wstring& path, const std::wstring& name, DWORD defaultValue) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return defaultValue;
    const UniqueRegKey key(opened);
    DWORD size = 0;
    ::RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size);
    if (size == 0) return defaultValue;
    DWORD type = 0, value = 0, bytes = sizeof value;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &bytes) != ERROR_SUCCESS)
        return defaultValue;
    if (type != REG_DWORD && type != REG_DWORD_BIG_ENDIAN) return defaultValue;
    return value;
}

bool WriteRegDWord(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value) {
    HKEY created = nullptr;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          &created, nullptr) != ERROR_SUCCESS)
        return false;
    const UniqueRegKey key(created);
    return ::RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

bool ForceFolder(const std::wstring& path) {
    try {
        std::wstring folder = path;
        while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
        if (folder.empty()) return false;
        const auto isFolder = [](const std::wstring& f) {
            const DWORD attributes = ::GetFileAttributesW(f.c_str());
            return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        };
        if (isFolder(folder)) return true;
        const std::size_t cut = folder.find_last_of(L"\\/");
        if (cut != std::wstring::npos && cut > 0) {
            const std::wstring parent = folder.substr(0, cut);
            // Stop at a drive ("C:") and at the server part of "\\server\share".
            if (!(parent.size() == 2 && parent[1] == L':') &&
                parent.find_first_not_of(L"\\/") != std::wstring::npos)
                ForceFolder(parent);
        }
        ::CreateDirectoryW(folder.c_str(), nullptr);
        return isFolder(folder);
    } catch (...) {
        return false;
    }
}

KeyboardHolderFacts KeyboardHolderFactsOf(HWND window) {
    KeyboardHolderFacts facts;
    if (!window) return facts;
    facts.exists = true;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    facts.ownProcess = pid == ::GetCurrentProcessId();
    facts.desktopOrShell = window == ::GetDesktopWindow() || window == ::GetShellWindow();
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    if (length > 0) facts.className.assign(name, static_cast<size_t>(length));
    return facts;
}

bool BringWindowToFront(HWND window) {
    const HWND foreground = ::GetForegroundWindow();
    // The system refuses the foreground to a program while the user is
    // working with another window (learn.microsoft.com, "SetForegroundWindow
    // function"); attaching to the foreground thread's input to get round
    // that shares its keyboard state and focus with this thread
    // ("AttachThreadInput function"), so keys typed there would end in this
    // window, which has nothing to type into. The window takes the keyboard
    // only where nobody holds it; otherwise it appears on top, inactive.
    if (AnotherProgramHoldsTheKeyboard(KeyboardHolderFactsOf(foreground))) {
        constexpr UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
        ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
        return false;
    }
    const DWORD ownThread = ::GetCurrentThreadId();
    const DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = foregroundThread != 0 && foregroundThread != ownThread &&
                          ::AttachThreadInput(ownThread, foregroundThread, TRUE);
    ::ShowWindow(window, SW_SHOW);
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const bool result = ::SetForegroundWindow(window) != FALSE;
    if (attached) ::AttachThreadInput(ownThread, foregroundThread, FALSE);
    return result;
}

DateTimeValue NowLocal() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return EncodeDateValue(st.wYear, st.wMonth, st.wDay) +
           EncodeTimeValue(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

DateTimeValue TodayLocal() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return EncodeDateValue(st.wYear, st.wMonth, st.wDay);
}

}  // namespace promo
