#include "launch/ShowDecision.h"

#include "support/DebugOutput.h"

namespace promo {

bool IsInstalledLongEnough(double installTime, DateTimeValue now) {
    if (installTime == 0.0) return false;
    // A future install time gives a negative age and fails here as well.
    return now - installTime > kMinInstallAgeDays;
}

bool IsJapaneseSystem(std::uint16_t langId) { return langId == kJapaneseLangId; }

ShowEvaluation EvaluateShow(const std::wstring& campaignEnd, ShowEnvironment& env, bool testEveryRule) {
    ShowEvaluation evaluation;
    // Records a rule's outcome; false when the evaluation ends here.
    auto record = [&](ShowGate gate, bool blocks) {
        evaluation.blocks[static_cast<std::size_t>(gate)] = blocks;
        if (blocks && !evaluation.firstBlocking) evaluation.firstBlocking = gate;
        return !blocks || testEveryRule;
    };

    const std::optional<DateTimeValue> end = ParseIsoDate(campaignEnd);
    DebugOut(L"limitdate");
    // Without a readable end the campaign cannot be known to be running (and
    // the clock is not even asked).
    if (!end && !record(ShowGate::campaignEnd, true)) return evaluation;
    const DateTimeValue now = env.Now();
    if (end && !record(ShowGate::campaignEnd, !(now < *end))) return evaluation;

    if (!record(ShowGate::installAge, !IsInstalledLongEnough(env.InstallTime(), now))) return evaluation;

    DebugOut(L"haveshow");
    if (!record(ShowGate::shownMarker, env.ShownMarkerPresent())) return evaluation;

    DebugOut(L"jp");
    if (!record(ShowGate::japaneseSystem, IsJapaneseSystem(env.SystemDefaultLangId()))) return evaluation;

    DebugOut(L"silentMode");
    if (!record(ShowGate::quietTime, env.QuietTime())) return evaluation;

    if (evaluation.Shows()) DebugOut(L"result: True");
    return evaluation;
}

bool DecideShow(const std::wstring& campaignEnd, ShowEnvironment& env) {
    return EvaluateShow(campaignEnd, env, false).Shows();
}

}  // namespace promo
