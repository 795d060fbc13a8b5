#include "launch/DllSafety.h"

#include <vector>

namespace promo {
namespace {

constexpr DWORD kSearchApplicationDir = 0x00000200;  // LOAD_LIBRARY_SEARCH_APPLICATION_DIR
constexpr DWORD kSearchSystem32 = 0x00000800;         // LOAD_LIBRARY_SEARCH_SYSTEM32

std::wstring ModuleFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            const size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

bool RestrictDllSearch() {
    // Takes the current folder out of the search order (XP SP1 and later).
    ::SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    // kernel32 is always loaded; the entry point exists from Windows 8 (and on
    // 7 with KB2533623).
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    return setDefault && setDefault(kSearchApplicationDir | kSearchSystem32);
}

HMODULE LoadApplicationLibrary(const wchar_t* fileName) {
    const std::wstring folder = ModuleFolder();
    if (folder.empty()) return nullptr;
    return ::LoadLibraryW((folder + fileName).c_str());
}

}  // namespace promo
