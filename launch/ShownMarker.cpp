#include "launch/ShownMarker.h"

#include <windows.h>

#include "product/SystemHelpers.h"
#include "support/DebugOutput.h"
#include "support/PSafeIniFile.h"

namespace promo {
namespace {

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring ShownMarkerPath() {
    const std::wstring folder = CommonAppDataFolder();
    // Without a folder the path would name a file in the current folder.
    return folder.empty() ? std::wstring() : folder + kShownMarkerRelativePath;
}

bool IsShownMarkerPresent() { return IsShownMarkerPresentIn(ShownMarkerPath()); }

bool IsShownMarkerPresentIn(const std::wstring& path) {
    // Opening the INI class on a missing file would create it.
    if (path.empty() || !FileExists(path)) return false;
    TSafeIniFile ini(path);
    return ini.ValueExists(kShownMarkerSection, kShownMarkerKey);
}

void WriteShownMarker() { WriteShownMarkerTo(ShownMarkerPath(), NowLocal()); }

bool WriteShownMarkerTo(const std::wstring& path, DateTimeValue now) {
    if (path.empty()) return false;
    try {
        TSafeIniFile ini(path);
        DebugOut(L"7iniPath:" + path);
        ini.WriteString(kShownMarkerSection, kShownMarkerKey, ShownMarkerValue(now));
        // A file that could not be read is not saved over (the INI class
        // refuses), so the marker was not recorded.
        if (ini.LoadFailed()) return false;
        ini.UpdateFile();
        return ini.LastError() == 0;
    } catch (const EIniFolderError&) {
        // The "Norvi" folder could not be created. The marker is lost for this
        // run, but the window still closes and its request is still sent.
        return false;
    }
}

}  // namespace promo
