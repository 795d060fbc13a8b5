// The decision of "Focus.dll": may a pop-up be shown now? Yes only when the
// shell says the user accepts notifications (not busy, no full-screen
// Direct3D program, no presentation, no quiet time, no immersive app in
// front) and, where the system has Focus Assist, its quiet-hours profile is
// off. A Focus Assist state that cannot be read counts as off.
//
// The state comes through FocusStateSource so the decision is tested with
// fixed states; the library's source asks the shell and ntdll.
#pragma once

#include <cstdint>
#include <optional>

namespace promo::focus {

// The shell's notification states (QUERY_USER_NOTIFICATION_STATE).
enum ShellNotificationState : int {
    kNotPresent = 1,
    kBusy = 2,
    kRunningD3dFullScreen = 3,
    kPresentationMode = 4,
    kAcceptsNotifications = 5,
    kQuietTime = 6,
    kApp = 7,
};

// Focus Assist profiles: 0 off, 1 priority only, 2 alarms only.
inline constexpr std::uint32_t kQuietHoursOff = 0;

class FocusStateSource {
public:
    virtual ~FocusStateSource() = default;
    // The shell's state; empty when the shell could not tell.
    virtual std::optional<int> ShellState() = 0;
    // The active Focus Assist profile; empty where the system has none or it
    // cannot be read.
    virtual std::optional<std::uint32_t> QuietHoursProfile() = 0;
};

// The decision. The Focus Assist profile is read only when the shell state
// allows the pop-up.
bool PopupAllowed(FocusStateSource& source);

}  // namespace promo::focus
