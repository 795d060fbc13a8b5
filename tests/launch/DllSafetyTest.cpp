// The library search of the (elevated) program: a library planted in the
// current folder or on PATH is never loaded; system libraries come from the
// system folder by full path.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "launch/DllSafety.h"
#include "support/SystemFunctions.h"
#include "support/SystemLibraries.h"

namespace promo {
namespace {

std::wstring ModulePath(HMODULE module) {
    wchar_t buffer[MAX_PATH] = {};
    ::GetModuleFileNameW(module, buffer, MAX_PATH);
    return buffer;
}

std::wstring TestExeFolder() {
    std::wstring path = ModulePath(nullptr);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(towlower(c));
    return s;
}

// The planted library is built into a sub-folder, away from the test exe.
std::wstring PlantedSource() { return TestExeFolder() + L"planted\\PlantedDll.dll"; }

// A scratch folder holding the planted library under two names.
struct PlantedFolder {
    std::wstring path;
    PlantedFolder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + L"promo-planted-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(path.c_str(), nullptr);
        const std::wstring source = PlantedSource();
        ::CopyFileW(source.c_str(), (path + L"PlantedDll.dll").c_str(), FALSE);
        ::CopyFileW(source.c_str(), (path + L"ControlProbe.dll").c_str(), FALSE);
        ::CopyFileW(source.c_str(), (path + L"Shcore.dll").c_str(), FALSE);
        ::CopyFileW(source.c_str(), (path + L"wininet.dll").c_str(), FALSE);
        ::CopyFileW(source.c_str(), (path + L"comctl32.dll").c_str(), FALSE);
    }
    ~PlantedFolder() {
        ::DeleteFileW((path + L"PlantedDll.dll").c_str());
        ::DeleteFileW((path + L"ControlProbe.dll").c_str());
        ::DeleteFileW((path + L"Shcore.dll").c_str());
        ::DeleteFileW((path + L"wininet.dll").c_str());
        ::DeleteFileW((path + L"comctl32.dll").c_str());
        ::RemoveDirectoryW(path.c_str());
    }
};

TEST(DllSafety, PlantedLibrariesAreNotLoadedOnceTheSearchIsRestricted) {
    PlantedFolder planted;
    wchar_t oldDir[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, oldDir);
    ASSERT_TRUE(::SetCurrentDirectoryW(planted.path.c_str()));

    // Control: without the restriction the current folder is searched, so
    // the plant would work.
    HMODULE before = ::LoadLibraryW(L"ControlProbe.dll");
    ASSERT_NE(before, nullptr) << "the planted library should load from the current folder";
    ::FreeLibrary(before);

    EXPECT_TRUE(RestrictDllSearch());
    EXPECT_EQ(::LoadLibraryW(L"PlantedDll.dll"), nullptr);

    // Shcore is looked up in the system folder only, whatever lies beside us.
    HMODULE shcore = LoadSystemLibrary(L"Shcore.dll");
    ASSERT_NE(shcore, nullptr);
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(Lower(ModulePath(shcore)).rfind(Lower(system), 0), 0u) << ModulePath(shcore);
    EXPECT_EQ(::GetProcAddress(shcore, "PlantedProbe"), nullptr);

    // The program's own folder is still searched (Focus.dll lives there).
    const std::wstring appLocal = TestExeFolder() + L"AppLocalProbe.dll";
    ASSERT_TRUE(::CopyFileW(PlantedSource().c_str(), appLocal.c_str(), FALSE));
    HMODULE own = LoadApplicationLibrary(L"AppLocalProbe.dll");
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(Lower(ModulePath(own)), Lower(appLocal));
    ::FreeLibrary(own);
    HMODULE searched = ::LoadLibraryW(L"AppLocalProbe.dll");
    EXPECT_NE(searched, nullptr);
    ::FreeLibrary(searched);
    ::DeleteFileW(appLocal.c_str());

    ::SetCurrentDirectoryW(oldDir);
}

// The file a function was found in.
template <typename Fn>
std::wstring ModuleOf(Fn* function) {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(function), &module);
    return Lower(ModulePath(module));
}

TEST(DllSafety, LateBoundFunctionsComeFromTheSystemWhateverLiesInTheCurrentFolder) {
    PlantedFolder planted;  // wininet.dll and comctl32.dll stand-ins exporting PlantedProbe
    wchar_t oldDir[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, oldDir);
    ASSERT_TRUE(::SetCurrentDirectoryW(planted.path.c_str()));
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);

    // The list's functions, bound now with the plants beside us.
    const auto crack = WinInet().InternetCrackUrlW;
    ASSERT_NE(crack, nullptr);
    EXPECT_EQ(ModuleOf(crack).rfind(Lower(system), 0), 0u) << ModuleOf(crack);
    EXPECT_EQ(SystemProcedure(L"wininet.dll", "PlantedProbe"), nullptr);
    // Bound again: the same entry point.
    EXPECT_EQ(SystemFunction<decltype(::InternetCrackUrlW)>(L"WININET.DLL", "InternetCrackUrlW"), crack);

    // The common controls by name: the manifest's version 6, from the
    // side-by-side store, never the plant.
    const auto init = CommonControls().InitCommonControlsEx;
    ASSERT_NE(init, nullptr);
    EXPECT_NE(ModuleOf(init).find(L"winsxs"), std::wstring::npos) << ModuleOf(init);
    EXPECT_EQ(SystemProcedure(L"comctl32.dll", "PlantedProbe", TLibraryLookup::SideBySide), nullptr);

    // What does not exist is nullptr, not a failure later.
    EXPECT_EQ(SystemProcedure(L"no-such-library.dll", "Anything"), nullptr);
    EXPECT_EQ(SystemProcedure(L"wininet.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(SystemFunction<decltype(::GetTickCount)>(L"no-such-library.dll", "GetTickCount"), nullptr);

    ::SetCurrentDirectoryW(oldDir);
}

}  // namespace
}  // namespace promo
