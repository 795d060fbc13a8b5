// Folders, processes, file versions, single registry numbers, the local
// clock and raising a window. Every function reports failure through its
// result (empty text, the default, false); none raises.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "product/KeyboardHolder.h"
#include "product/TextHelpers.h"
#include "support/DateTime.h"

namespace promo {

// The user's roaming application data folder, the all-users application data
// folder and the system folder, each ending with exactly one "\". Empty text
// when the system cannot name the folder.
std::wstring AppDataFolder();
std::wstring CommonAppDataFolder();
std::wstring SystemFolder();

// The folder of a module's file (the running program's when null), with its
// trailing "\"; empty when the file cannot be named.
std::wstring ModuleFolder(HMODULE module = nullptr);

// Full path of a process's executable, or empty text (also for pid 0). The
// form of the path (drive letter or device name) depends on the way that
// worked; ProcessFileName is the same for both.
std::wstring ProcessImagePath(DWORD pid);
// The two older ways, used when the system lacks QueryFullProcessImageNameW:
// GetProcessImageFileNameW of the system folder's psapi.dll (device form of
// the path) and GetModuleFileNameExW of the main module (drive form; fails
// for 64-bit processes). Empty text on failure.
std::wstring ProcessImagePathByDeviceName(DWORD pid);
std::wstring ProcessImagePathByMainModule(DWORD pid);
// The file-name part of ProcessImagePath: the text after its last "\" or ":".
std::wstring ProcessFileName(DWORD pid);

// The file version of `path` (trimmed; empty means this program's own
// executable) with 1 to 4 parts joined by "." ("7.0.0.1" for 4 parts). Empty
// text for a missing file, a file without version resource, or another
// number of parts.
std::wstring FileVersionText(const std::wstring& path, int parts);

// A REG_DWORD (or REG_DWORD_BIG_ENDIAN, read as stored without a byte swap)
// of root\path, or `defaultValue` when the key or value is missing, of another
// type or longer than 4 bytes. No registry-view flag is given.
DWORD ReadRegDWord(HKEY root, const std::wstring& path, const std::wstring& name, DWORD defaultValue);
// Creates or opens root\path and stores `value` as REG_DWORD; true on success.
bool WriteRegDWord(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value);

// Creates the folder and every missing parent; true when it exists afterwards.
bool ForceFolder(const std::wstring& path);

// The foreground window's facts for AnotherProgramHoldsTheKeyboard (none
// for a null window).
KeyboardHolderFacts KeyboardHolderFactsOf(HWND window);

// Shows the window at the top of the normal (not top-most) windows, passing
// through top-most, which it does not keep. Where no other program holds the
// keyboard (product/KeyboardHolder.h) it also makes the window the
// foreground window, briefly attached to the foreground thread's input; true
// when SetForegroundWindow succeeded. Otherwise the window appears without
// activation and without touching the other program's input: false.
bool BringWindowToFront(HWND window);

// The current local date and time, to the millisecond; the date at midnight.
DateTimeValue NowLocal();
DateTimeValue TodayLocal();

}  // namespace promo
