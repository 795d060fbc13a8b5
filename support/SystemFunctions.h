// The system functions the program binds at run time, one list per library:
// the one place that shows what the program may load beyond its imports (the
// few bound elsewhere are named below).
//
// These libraries serve the dismissal (WinInet for the statistics request,
// COM and the shell for the browser, the version reader for the purchase
// address), the decision's process list (the process status library), the
// uptime wait's session logon time (the session manager's library), the
// tooltip once the mouse rests on the window (the common controls) or an
// accessibility client (oleacc). Imported, the loader would map and
// initialise them before the window could appear. A library's functions are
// bound together when the first of them is asked for, from the system folder
// by full path; the common controls by name, so that the version the manifest
// asks for is the one loaded (support/SystemLibraries.h). Each pointer has the
// type of the SDK's own declaration. A function that cannot be had is
// nullptr: its caller tests it and fails as the call itself would have
// failed. Libraries stay loaded for the life of the process.
//
// Bound elsewhere, for reasons of their own: the shell's folder question and
// the process status library's device-name path (product/SystemHelpers.cpp)
// load their library for the one question and give it back; Shcore's DPI
// functions sit behind the DPI rules' platform (launch/CheckDPIScaled.cpp);
// entry points that older versions of kernel32 and user32 lack are looked up
// in the loaded module where they are used; the program's own Focus.dll comes
// from its folder for each question (launch/FocusConstraint.cpp).
#pragma once

#include <windows.h>
// The SDK's declarations, after windows.h.
#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>
#include <oleauto.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>
#include <wtsapi32.h>

#include "support/SystemLibraries.h"

namespace promo {

// wininet.dll: the statistics request (support/WebRoutines.cpp).
#define PROMO_WININET_FUNCTIONS(X) \
    X(InternetOpenW)               \
    X(InternetConnectW)            \
    X(HttpOpenRequestW)            \
    X(HttpAddRequestHeadersW)      \
    X(HttpSendRequestW)            \
    X(InternetSetOptionW)          \
    X(InternetCrackUrlW)           \
    X(InternetCloseHandle)

// ole32.dll: the thread's apartment (support/ComApartment.h), the desktop
// shell's objects and the shell's item lists.
#define PROMO_OLE32_FUNCTIONS(X) \
    X(CoInitializeEx)            \
    X(CoUninitialize)            \
    X(CoCreateInstance)          \
    X(CoTaskMemFree)

// oleaut32.dll: texts handed to the desktop shell and to accessibility clients.
#define PROMO_OLEAUT32_FUNCTIONS(X) \
    X(SysAllocStringLen)            \
    X(SysFreeString)

// shell32.dll: starting the browser and finding Internet Explorer.
#define PROMO_SHELL32_FUNCTIONS(X) \
    X(ShellExecuteW)               \
    X(SHGetSpecialFolderLocation)  \
    X(SHGetPathFromIDListW)

// psapi.dll: a process's main module, where its image name cannot be had.
#define PROMO_PSAPI_FUNCTIONS(X) X(GetModuleFileNameExW)

// version.dll: file versions for the purchase address.
#define PROMO_VERSION_FUNCTIONS(X) \
    X(GetFileVersionInfoSizeW)     \
    X(GetFileVersionInfoW)         \
    X(VerQueryValueW)

// oleacc.dll: the window's accessible object (ui/Accessible.cpp).
#define PROMO_OLEACC_FUNCTIONS(X) \
    X(CreateStdAccessibleObject)  \
    X(LresultFromObject)

// wtsapi32.dll: the session's logon time (launch/UptimeWin.cpp).
#define PROMO_WTSAPI32_FUNCTIONS(X) \
    X(WTSQuerySessionInformationW)  \
    X(WTSFreeMemory)

// comctl32.dll, the manifest's side-by-side version: the tooltip (ui/Form.cpp).
#define PROMO_COMCTL32_FUNCTIONS(X) X(InitCommonControlsEx)

// The libraries: (table type, accessor, file, how it is found, its list).
#define PROMO_SYSTEM_LIBRARIES(LIBRARY)                                                              \
    LIBRARY(WinInetFunctions, WinInet, L"wininet.dll", SystemFolder, PROMO_WININET_FUNCTIONS)        \
    LIBRARY(Ole32Functions, Ole32, L"ole32.dll", SystemFolder, PROMO_OLE32_FUNCTIONS)                \
    LIBRARY(OleAut32Functions, OleAut32, L"oleaut32.dll", SystemFolder, PROMO_OLEAUT32_FUNCTIONS)    \
    LIBRARY(Shell32Functions, Shell32, L"shell32.dll", SystemFolder, PROMO_SHELL32_FUNCTIONS)        \
    LIBRARY(PsapiFunctions, Psapi, L"psapi.dll", SystemFolder, PROMO_PSAPI_FUNCTIONS)                \
    LIBRARY(VersionFunctions, VersionLibrary, L"version.dll", SystemFolder, PROMO_VERSION_FUNCTIONS) \
    LIBRARY(OleAccFunctions, OleAcc, L"oleacc.dll", SystemFolder, PROMO_OLEACC_FUNCTIONS)            \
    LIBRARY(WtsApiFunctions, WtsApi, L"wtsapi32.dll", SystemFolder, PROMO_WTSAPI32_FUNCTIONS)        \
    LIBRARY(CommonControlsFunctions, CommonControls, L"comctl32.dll", SideBySide, PROMO_COMCTL32_FUNCTIONS)

// Per library a table of its functions' pointers, with Complete() telling
// whether every one was found, and its accessor, which binds the table on
// first use (safe from any thread):
//     if (const auto open = WinInet().InternetOpenW) open(...);
#define PROMO_SYSTEM_FUNCTION_POINTER(fn) decltype(::fn)* fn = nullptr;
#define PROMO_SYSTEM_FUNCTION_FOUND(fn) &&fn != nullptr
#define PROMO_DECLARE_SYSTEM_LIBRARY(Table, accessor, file, lookup, FUNCTIONS)        \
    struct Table {                                                                    \
        static constexpr const wchar_t* kFile = file;                                 \
        static constexpr TLibraryLookup kLookup = TLibraryLookup::lookup;             \
        FUNCTIONS(PROMO_SYSTEM_FUNCTION_POINTER)                                      \
        bool Complete() const { return true FUNCTIONS(PROMO_SYSTEM_FUNCTION_FOUND); } \
    };                                                                                \
    const Table& accessor();

PROMO_SYSTEM_LIBRARIES(PROMO_DECLARE_SYSTEM_LIBRARY)

}  // namespace promo
