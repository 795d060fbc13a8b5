// The program runs as administrator, so it must never load a library planted
// in the current folder or in a folder on PATH. At start the search for
// libraries loaded at run time is restricted to the program's folder and the
// system folder; the system's own libraries are loaded by full path.
#pragma once

#include <windows.h>

#include <string>

#include "support/SystemLibraries.h"  // LoadSystemLibrary

namespace promo {

// Removes the current folder and PATH from the library search of this process
// (SetDefaultDllDirectories with the application folder and System32 where the
// system offers it; SetDllDirectoryW("") in any case). Returns true when the
// restriction to those two folders is in force.
bool RestrictDllSearch();

// Loads a library from the program's own folder by its full path.
HMODULE LoadApplicationLibrary(const wchar_t* fileName);

}  // namespace promo
