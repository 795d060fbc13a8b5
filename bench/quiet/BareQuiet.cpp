// The yardstick of the quiet run: a program that does only what the decision
// of a start after the first dismissal needs, finding the common application
// data folder and reading the shown marker there, and ends. Exit code 0 when
// the marker is there, 1 when it is not (so the benchmark can tell that both
// programs saw the same prefix), 2 without a folder.
#include <windows.h>
// The SDK's declarations, after windows.h.
#include <shlobj.h>

#include "launch/ShownMarker.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t folder[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return 2;
    const std::wstring path = std::wstring(folder) + L"\\" + promo::kShownMarkerRelativePath;
    wchar_t value[64];
    // A default no marker holds: an empty marker counts as present.
    const DWORD n = ::GetPrivateProfileStringW(promo::kShownMarkerSection, promo::kShownMarkerKey, L"\x01",
                                               value, 64, path.c_str());
    return n == 1 && value[0] == L'\x01' ? 1 : 0;
}
