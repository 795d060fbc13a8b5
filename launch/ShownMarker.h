// The shown marker: the record that the promotion window was shown and
// answered on this computer. Key kShownMarkerKey of section
// kShownMarkerSection (the campaign's, from its folder) in
// "Norvi\EventPromote.ini" under the common application data folder; only the
// key's presence counts, its value is the local time of writing in seconds
// since 1970-01-01 (no time-zone conversion).
#pragma once

#include <string>

#include "campaign/CampaignConstants.h"
#include "support/DateTime.h"

namespace promo {

inline constexpr const wchar_t* kShownMarkerRelativePath = L"Norvi\\EventPromote.ini";

// The value written for a marker set at local date-time `now`.
inline std::wstring ShownMarkerValue(DateTimeValue now) { return std::to_wstring(UnixStyleTime(now)); }

#ifdef _WIN32
// Full path of the marker file.
std::wstring ShownMarkerPath();

// True when the marker file exists and holds the key in its section (names
// compared without case; an empty value counts). Never creates the file.
bool IsShownMarkerPresent();
bool IsShownMarkerPresentIn(const std::wstring& path);

// Sets the marker to the current local time, keeping the file's other
// sections and keys. A folder that cannot be created or a file that cannot
// be saved is not reported: the caller goes on closing the window and
// sending its request either way. Writes "7iniPath:" and the path as a debug
// line. The second form writes to `path` with the given time and returns
// whether the marker was saved: false when the folder could not be created,
// the file could not be read (it is then left as it is) or not be saved.
void WriteShownMarker();
bool WriteShownMarkerTo(const std::wstring& path, DateTimeValue now);
#endif

}  // namespace promo
