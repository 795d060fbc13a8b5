// How system libraries are loaded and their functions found: from the
// system folder by full path, or by name for a library whose side-by-side
// version the manifest names (the common controls). SystemProcedure loads a
// library once and keeps it for the life of the process; what cannot be
// found is nullptr. The functions the program binds this way are listed, one
// list per library, in support/SystemFunctions.h: bind them through those
// lists.
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
// The lists' binder.
template <typename Fn>
Fn* SystemFunction(const wchar_t* library, const char* name,
                   TLibraryLookup lookup = TLibraryLookup::SystemFolder) {
    return reinterpret_cast<Fn*>(reinterpret_cast<void*>(SystemProcedure(library, name, lookup)));
}

}  // namespace promo
