// Quiet time over the real system: the product configuration, the foreground
// window, "Focus.dll" and the process list.
#include "launch/ChkFullScrn.h"
#include "launch/FocusConstraint.h"
#include "launch/ProcessList.h"
#include "launch/QuietTime.h"
#include "product/AppConfig.h"

namespace promo {
namespace {

// The shared configuration, or an unopened one whose reads give the defaults.
TConfig& Config() {
    if (TConfig* config = ConfigInstance()) return *config;
    static TConfig unopened;
    return unopened;
}

class SystemQuietTimeEnvironment : public QuietTimeEnvironment {
public:
    bool FocusModeEnabled() override { return Config().FocusModeEnabled(); }
    bool IsFullScreenAppActive() override { return promo::IsFullScreenAppActive(); }
    bool IsFocusAssistEnabled() override { return Config().IsFocusAssistEnabled(); }
    bool FocusHookAllowsPopup() override { return promo::FocusHookAllowsPopup(); }
    std::vector<std::wstring> FocusAppLines() override {
        IniStringList lines;
        Config().ReadSectionValues(L"FocusApps", lines);
        return lines;
    }
    bool IsAppRunning(const std::wstring& application) override { return promo::IsAppRunning(application); }
};

}  // namespace

bool IsQuietTime() {
    SystemQuietTimeEnvironment env;
    return DecideQuietTime(env);
}

}  // namespace promo
