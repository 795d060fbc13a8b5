// Quiet time over the real system: the product configuration, the foreground
// window, "Focus.dll" and the process list.
#include "launch/ChkFullScrn.h"
#include "launch/FocusConstraint.h"
#include "launch/ProcessList.h"
#include "launch/QuietTime.h"
#include "product/AppConfig.h"

namespace promo {

bool SystemQuietTimeEnvironment::FocusModeEnabled() { return config_.FocusModeEnabled(); }

bool SystemQuietTimeEnvironment::IsFullScreenAppActive() { return promo::IsFullScreenAppActive(); }

bool SystemQuietTimeEnvironment::IsFocusAssistEnabled() {
    return writeBack_ ? config_.IsFocusAssistEnabled() : config_.ReadFocusAssist().Enabled();
}

bool SystemQuietTimeEnvironment::FocusHookAllowsPopup() { return promo::FocusHookAllowsPopup(); }

std::vector<std::wstring> SystemQuietTimeEnvironment::FocusAppLines() {
    IniStringList lines;
    config_.ReadSectionValues(L"FocusApps", lines);
    return lines;
}

bool SystemQuietTimeEnvironment::IsAppRunning(const std::wstring& application) {
    return promo::IsAppRunning(application);
}

bool IsQuietTime() {
    SystemQuietTimeEnvironment env(SharedConfigOrDefaults(), true);
    return DecideQuietTime(env);
}

}  // namespace promo
