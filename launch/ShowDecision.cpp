#include "launch/ShowDecision.h"

#include "support/DebugOutput.h"

namespace promo {

bool IsInstalledLongEnough(double installTime, DateTimeValue now) {
    if (installTime == 0.0) return false;
    // A future install time gives a negative age and fails here as well.
    return now - installTime > kMinInstallAgeDays;
}

bool IsJapaneseSystem(std::uint16_t langId) { return langId == kJapaneseLangId; }

bool DecideShow(const std::wstring& campaignEnd, ShowEnvironment& env) {
    const std::optional<DateTimeValue> end = ParseIsoDate(campaignEnd);
    DebugOut(L"limitdate");
    // Without a readable end the campaign cannot be known to be running.
    if (!end) return false;
    const DateTimeValue now = env.Now();
    if (!(now < *end)) return false;

    if (!IsInstalledLongEnough(env.InstallTime(), now)) return false;

    DebugOut(L"haveshow");
    if (env.ShownMarkerPresent()) return false;

    DebugOut(L"jp");
    if (IsJapaneseSystem(env.SystemDefaultLangId())) return false;

    DebugOut(L"silentMode");
    if (env.QuietTime()) return false;

    DebugOut(L"result: True");
    return true;
}

}  // namespace promo
