#include "support/SystemLibraries.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace promo {
namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

HMODULE LoadSideBySideLibrary(const wchar_t* fileName) {
    // The activation context is consulted first; otherwise only System32.
    // Systems without the search flags refuse them: then the plain search,
    // which the start-up restriction has already narrowed.
    if (HMODULE m = ::LoadLibraryExW(fileName, nullptr, kSearchSystem32)) return m;
    if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    return ::LoadLibraryW(fileName);
}

HMODULE CachedLibrary(const wchar_t* library, TLibraryLookup lookup) {
    static std::mutex lock;
    static std::vector<std::pair<std::wstring, HMODULE>> loaded;
    const std::lock_guard<std::mutex> hold(lock);
    for (const auto& [name, module] : loaded)
        if (::lstrcmpiW(name.c_str(), library) == 0) return module;
    HMODULE module =
        lookup == TLibraryLookup::SideBySide ? LoadSideBySideLibrary(library) : LoadSystemLibrary(library);
    // A library that failed to load is not tried again with every call.
    loaded.emplace_back(library, module);
    return module;
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::wstring path(folder, n);
    if (path.back() != L'\\') path += L'\\';
    path += fileName;
    return ::LoadLibraryW(path.c_str());
}

FARPROC SystemProcedure(const wchar_t* library, const char* name, TLibraryLookup lookup) {
    HMODULE module = CachedLibrary(library, lookup);
    return module ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace promo
