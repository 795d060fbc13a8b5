// The show decision over the real system.
#include <windows.h>

#include "launch/FocusConstraint.h"
#include "launch/QuietTime.h"
#include "launch/ShowDecision.h"
#include "launch/ShownMarker.h"
#include "launch/StartupWarmUp.h"
#include "product/AppConfig.h"
#include "product/SystemHelpers.h"
#include "support/BuildSettings.h"

namespace promo {

DateTimeValue SystemShowEnvironment::Now() { return NowLocal(); }

// Without the shared configuration the install time is unknown (0), and the
// window is not shown.
double SystemShowEnvironment::InstallTime() { return config_.ReadFloat(L"Main", L"instTime1", 0.0); }

bool SystemShowEnvironment::ShownMarkerPresent() { return IsShownMarkerPresent(); }

std::uint16_t SystemShowEnvironment::SystemDefaultLangId() { return ::GetSystemDefaultLangID(); }

bool SystemShowEnvironment::QuietTime() {
    quietEvaluation = EvaluateQuietTime(quiet_, testEverything_);
    return quietEvaluation.Quiet();
}

namespace {

// The program's own environment: once the marker is known to be missing the
// window is likely, and the warm-up for it starts beside the remaining gates
// (a start that finds the marker, most of them, never pays for it).
class ProgramShowEnvironment : public SystemShowEnvironment {
public:
    using SystemShowEnvironment::SystemShowEnvironment;
    bool ShownMarkerPresent() override {
        const bool present = SystemShowEnvironment::ShownMarkerPresent();
        if (!present) StartStartupWarmUp();
        return present;
    }
};

}  // namespace

bool ShowDecision() {
    TConfig& config = SharedConfigOrDefaults();
    SystemQuietTimeEnvironment quiet(config, true);
    ProgramShowEnvironment env(config, quiet, false);
    const bool show = DecideShow(GetBuildSettings().campaignEnd, env);
    // The hook has been asked: the shell may go. Not after a hook that hung:
    // its thread may hold the loader's lock that freeing a library takes.
    if (!FocusHookMisbehaved()) FinishStartupWarmUp();
    return show;
}

}  // namespace promo
