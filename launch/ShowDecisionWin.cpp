// The show decision over the real system.
#include <windows.h>

#include "launch/QuietTime.h"
#include "launch/ShowDecision.h"
#include "launch/ShownMarker.h"
#include "product/AppConfig.h"
#include "product/SystemHelpers.h"
#include "support/BuildSettings.h"

namespace promo {
namespace {

class SystemShowEnvironment : public ShowEnvironment {
public:
    DateTimeValue Now() override { return NowLocal(); }
    double InstallTime() override {
        // Without the shared configuration the install time is unknown (0),
        // and the window is not shown.
        const TConfig* config = ConfigInstance();
        return config ? config->ReadFloat(L"Main", L"instTime1", 0.0) : 0.0;
    }
    bool ShownMarkerPresent() override { return IsShownMarkerPresent(); }
    std::uint16_t SystemDefaultLangId() override { return ::GetSystemDefaultLangID(); }
    bool QuietTime() override { return IsQuietTime(); }
};

}  // namespace

bool ShowDecision() {
    SystemShowEnvironment env;
    return DecideShow(GetBuildSettings().campaignEnd, env);
}

}  // namespace promo
