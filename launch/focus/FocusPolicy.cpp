#include "launch/focus/FocusPolicy.h"

namespace promo::focus {

bool PopupAllowed(FocusStateSource& source) {
    // SHQueryUserNotificationState exists on every supported system, so a
    // failed query is a shell in trouble: hold the pop-up back this time.
    const std::optional<int> shell = source.ShellState();
    if (!shell || *shell != kAcceptsNotifications) return false;
    const std::optional<std::uint32_t> profile = source.QuietHoursProfile();
    return !profile || *profile == kQuietHoursOff;
}

}  // namespace promo::focus
