// System libraries bound on first use.
//
// The libraries needed only when the window is dismissed (WinInet for the
// statistics request, COM for the browser, the version reader for the purchase
// address), only once the mouse rests on the window (the common controls,
// for the tooltip) or only when an accessibility client asks for the window's
// object (oleacc) are not imported: the loader would map and initialise them
// before the window could appear. Their functions are looked up when first
// needed instead, from the system folder by full path; the common controls by
// name, so that the version the manifest asks for is the one loaded. A
// function that cannot be had is nullptr, and its caller fails as it would when
// the call itself failed. Libraries stay loaded for the life of the process.
#pragma once

#include <windows.h>

namespace promo {

// Loads a library of the system folder by its full path; nullptr on failure.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

enum class TLibraryLookup {
    SystemFolder,  // the system folder's file, by full path
    SideBySide,    // by name: the manifest's side-by-side version when it names one
};

// The entry point name of library, loading the library once; nullptr when
// either cannot be found. Safe from any thread.
FARPROC SystemProcedure(const wchar_t* library, const char* name,
                        TLibraryLookup lookup = TLibraryLookup::SystemFolder);

// The same, typed: SystemFunction<decltype(::InternetOpenW)>(L"wininet.dll", "InternetOpenW").
template <typename Fn>
Fn* SystemFunction(const wchar_t* library, const char* name,
                   TLibraryLookup lookup = TLibraryLookup::SystemFolder) {
    return reinterpret_cast<Fn*>(reinterpret_cast<void*>(SystemProcedure(library, name, lookup)));
}

}  // namespace promo
