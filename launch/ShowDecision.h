// The show decision: whether the promotion window may appear in this run.
// The rules are tested in a fixed order and the first one that fails ends the
// decision, so nothing a later rule would read (configuration, marker file,
// process list) is touched after an earlier rule has said no. A debug line is
// written just before each rule is tested.
//
// The rules themselves are portable and run over ShowEnvironment, which the
// program fills from the real system and tests fill with fixed answers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "campaign/CampaignConstants.h"  // kMinInstallAgeDays
#include "launch/QuietTime.h"
#include "support/DateTime.h"

namespace promo {

// Japanese as used in Japan: the only system default language that holds the
// window back.
constexpr std::uint16_t kJapaneseLangId = 0x0411;

// What the decision reads. Each call is made at most once per decision, and
// only when the rules get that far.
class ShowEnvironment {
public:
    virtual ~ShowEnvironment() = default;
    virtual DateTimeValue Now() = 0;                  // local date-time
    virtual double InstallTime() = 0;                 // "Main"/"instTime1", 0 when missing
    virtual bool ShownMarkerPresent() = 0;            // EventPromote.ini holds the marker
    virtual std::uint16_t SystemDefaultLangId() = 0;  // GetSystemDefaultLangID
    virtual bool QuietTime() = 0;                     // the product's focus mode holds pop-ups
};

// True when the product was installed more than kMinInstallAgeDays (the
// campaign's MinInstallDays) before `now`. An
// install time of 0 (missing) or one in the future gives false.
bool IsInstalledLongEnough(double installTime, DateTimeValue now);

// True exactly for the Japanese system default language.
bool IsJapaneseSystem(std::uint16_t langId);

// The decision's rules, in the order they are tested.
enum class ShowGate { campaignEnd, installAge, shownMarker, japaneseSystem, quietTime };
inline constexpr std::size_t kShowGateCount = 5;

// The outcome of each rule: empty when it was not tested.
struct ShowEvaluation {
    std::array<std::optional<bool>, kShowGateCount> blocks;
    std::optional<ShowGate> firstBlocking;
    bool Shows() const { return !firstBlocking; }
    std::optional<bool> Blocks(ShowGate gate) const { return blocks[static_cast<std::size_t>(gate)]; }
};

// The rules over `env`, with the campaign end as written in the build
// settings ("yyyy-M-d", local midnight; the window may appear strictly before
// it). An end that cannot be parsed means the window is not shown. The
// program stops at the first rule that says no; `testEveryRule` goes on
// through the later ones as well, to tell what else would hold the window
// back (the check tool). The debug lines are the same either way.
ShowEvaluation EvaluateShow(const std::wstring& campaignEnd, ShowEnvironment& env, bool testEveryRule);

// The program's decision: EvaluateShow stopping at the first no.
bool DecideShow(const std::wstring& campaignEnd, ShowEnvironment& env);

#ifdef _WIN32
class TConfig;
class QuietTimeEnvironment;

// The facts over the real system: the local clock, [Main] instTime1 of the
// given configuration, the shown marker (read, never created), the system
// language, and quiet time over `quiet` (every test made when
// `testEverything`; what each found is kept in `quietEvaluation`).
class SystemShowEnvironment : public ShowEnvironment {
public:
    SystemShowEnvironment(const TConfig& config, QuietTimeEnvironment& quiet, bool testEverything)
        : config_(config), quiet_(quiet), testEverything_(testEverything) {}
    DateTimeValue Now() override;
    double InstallTime() override;
    bool ShownMarkerPresent() override;
    std::uint16_t SystemDefaultLangId() override;
    bool QuietTime() override;

    QuietTimeEvaluation quietEvaluation;

private:
    const TConfig& config_;
    QuietTimeEnvironment& quiet_;
    bool testEverything_;
};

// The decision over the real system: the campaign end of the build settings
// and the facts above through the shared product configuration.
bool ShowDecision();
#endif

}  // namespace promo
