// The show decision over a scripted environment: rule order, debug lines,
// campaign end, install age, and the marker value.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "launch/ShowDecision.h"
#include "launch/ShownMarker.h"
#include "support/DebugOutput.h"

namespace promo {
namespace {

std::vector<std::wstring>* g_lines = nullptr;

void CollectLine(const std::wstring& line) { g_lines->push_back(line); }

// Captures DebugOut lines for the test's lifetime.
class DebugCapture {
public:
    DebugCapture() : previous_(SetDebugSink(&CollectLine)) { g_lines = &lines; }
    ~DebugCapture() {
        SetDebugSink(previous_);
        g_lines = nullptr;
    }
    std::vector<std::wstring> lines;

private:
    DebugSink previous_;
};

// Answers every rule so that the window is shown, and counts what was asked.
class FakeEnvironment : public ShowEnvironment {
public:
    DateTimeValue now = EncodeDateValue(2020, 9, 1) + EncodeTimeValue(12, 0, 0, 0);
    double installTime = EncodeDateValue(2020, 1, 1);
    bool marker = false;
    std::uint16_t langId = 0x0407;
    bool quiet = false;
    std::vector<std::string> asked;

    DateTimeValue Now() override {
        asked.push_back("now");
        return now;
    }
    double InstallTime() override {
        asked.push_back("install");
        return installTime;
    }
    bool ShownMarkerPresent() override {
        asked.push_back("marker");
        return marker;
    }
    std::uint16_t SystemDefaultLangId() override {
        asked.push_back("lang");
        return langId;
    }
    bool QuietTime() override {
        asked.push_back("quiet");
        return quiet;
    }
};

const std::wstring kCampaignEnd = L"2020-9-22";

using Lines = std::vector<std::wstring>;

TEST(ShowDecision, AllRulesPassWritesTheFiveLinesInOrder) {
    DebugCapture capture;
    FakeEnvironment env;
    EXPECT_TRUE(DecideShow(kCampaignEnd, env));
    EXPECT_EQ(capture.lines, (Lines{L"limitdate", L"haveshow", L"jp", L"silentMode", L"result: True"}));
    EXPECT_EQ(env.asked, (std::vector<std::string>{"now", "install", "marker", "lang", "quiet"}));
}

TEST(ShowDecision, CampaignEndIsExclusiveAtLocalMidnight) {
    {
        DebugCapture capture;
        FakeEnvironment env;
        env.now = EncodeDateValue(2020, 9, 21) + EncodeTimeValue(23, 59, 59, 0);
        EXPECT_TRUE(DecideShow(kCampaignEnd, env));
    }
    {
        DebugCapture capture;
        FakeEnvironment env;
        env.now = EncodeDateValue(2020, 9, 22);
        EXPECT_FALSE(DecideShow(kCampaignEnd, env));
        EXPECT_EQ(capture.lines, (Lines{L"limitdate"}));
        EXPECT_EQ(env.asked, (std::vector<std::string>{"now"}));  // no configuration read
    }
}

TEST(ShowDecision, UnreadableCampaignEndNeverShows) {
    for (const wchar_t* end : {L"", L"2020/9/22", L"2020-13-1", L"2020-2-30"}) {
        DebugCapture capture;
        FakeEnvironment env;
        EXPECT_FALSE(DecideShow(end, env)) << std::string(end, end + std::wcslen(end));
        EXPECT_EQ(capture.lines, (Lines{L"limitdate"}));
        EXPECT_TRUE(env.asked.empty());
    }
}

TEST(ShowDecision, InstallAgeMustExceedNinetyDays) {
    const DateTimeValue now = EncodeDateValue(2020, 9, 1) + EncodeTimeValue(12, 0, 0, 0);
    const DateTimeValue oneMinute = EncodeTimeValue(0, 1, 0, 0);
    EXPECT_FALSE(IsInstalledLongEnough(now - 90.0, now));
    EXPECT_TRUE(IsInstalledLongEnough(now - 90.0 - oneMinute, now));
    EXPECT_FALSE(IsInstalledLongEnough(now - 30.0, now));
    EXPECT_FALSE(IsInstalledLongEnough(0.0, now));          // missing
    EXPECT_FALSE(IsInstalledLongEnough(now + 200.0, now));  // in the future
    EXPECT_TRUE(IsInstalledLongEnough(1.0, now));           // any positive old value counts
}

TEST(ShowDecision, MissingInstallTimeStopsBeforeTheMarker) {
    DebugCapture capture;
    FakeEnvironment env;
    env.installTime = 0.0;
    EXPECT_FALSE(DecideShow(kCampaignEnd, env));
    EXPECT_EQ(capture.lines, (Lines{L"limitdate"}));
    EXPECT_EQ(env.asked, (std::vector<std::string>{"now", "install"}));
}

TEST(ShowDecision, ExactlyNinetyDaysIsTooYoung) {
    DebugCapture capture;
    FakeEnvironment env;
    env.installTime = env.now - 90.0;
    EXPECT_FALSE(DecideShow(kCampaignEnd, env));
    env.installTime = env.now - 90.0 - EncodeTimeValue(0, 1, 0, 0);
    EXPECT_TRUE(DecideShow(kCampaignEnd, env));
}

TEST(ShowDecision, EachFailingRuleEndsTheDecisionWithItsOwnLineLast) {
    {
        DebugCapture capture;
        FakeEnvironment env;
        env.marker = true;
        EXPECT_FALSE(DecideShow(kCampaignEnd, env));
        EXPECT_EQ(capture.lines, (Lines{L"limitdate", L"haveshow"}));
        EXPECT_EQ(env.asked.back(), "marker");
    }
    {
        DebugCapture capture;
        FakeEnvironment env;
        env.langId = kJapaneseLangId;
        EXPECT_FALSE(DecideShow(kCampaignEnd, env));
        EXPECT_EQ(capture.lines, (Lines{L"limitdate", L"haveshow", L"jp"}));
        EXPECT_EQ(env.asked.back(), "lang");
    }
    {
        DebugCapture capture;
        FakeEnvironment env;
        env.quiet = true;
        EXPECT_FALSE(DecideShow(kCampaignEnd, env));
        EXPECT_EQ(capture.lines, (Lines{L"limitdate", L"haveshow", L"jp", L"silentMode"}));
    }
}

// The check tool's evaluation goes through every rule, names the first that
// says no as the program would stop there, and writes the program's lines.
TEST(ShowDecision, TestingEveryRuleNamesTheFirstNoAndAsksEverything) {
    struct Case {
        const char* name;
        DateTimeValue now;
        double installTime;
        bool marker;
        std::uint16_t langId;
        bool quiet;
        std::optional<ShowGate> first;
    };
    const DateTimeValue before = EncodeDateValue(2020, 9, 1);
    const DateTimeValue after = EncodeDateValue(2020, 9, 22);
    const double old = EncodeDateValue(2020, 1, 1);
    const Case cases[] = {
        {"all pass", before, old, false, 0x0407, false, std::nullopt},
        {"campaign over and more", after, 0.0, true, kJapaneseLangId, true, ShowGate::campaignEnd},
        {"young install and marker", before, before - 10, true, 0x0407, false, ShowGate::installAge},
        {"marker and quiet", before, old, true, 0x0407, true, ShowGate::shownMarker},
        {"japanese", before, old, false, kJapaneseLangId, false, ShowGate::japaneseSystem},
        {"quiet only", before, old, false, 0x0407, true, ShowGate::quietTime},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DebugCapture capture;
        FakeEnvironment env;
        env.now = c.now;
        env.installTime = c.installTime;
        env.marker = c.marker;
        env.langId = c.langId;
        env.quiet = c.quiet;
        const ShowEvaluation evaluation = EvaluateShow(kCampaignEnd, env, true);
        EXPECT_EQ(evaluation.firstBlocking, c.first);
        EXPECT_EQ(env.asked, (std::vector<std::string>{"now", "install", "marker", "lang", "quiet"}));
        EXPECT_EQ(evaluation.Blocks(ShowGate::shownMarker), c.marker);
        EXPECT_EQ(evaluation.Blocks(ShowGate::quietTime), c.quiet);
        Lines expected{L"limitdate", L"haveshow", L"jp", L"silentMode"};
        if (!c.first) expected.push_back(L"result: True");
        EXPECT_EQ(capture.lines, expected);

        FakeEnvironment program = env;
        EXPECT_EQ(DecideShow(kCampaignEnd, program), !c.first);
    }
    // An unreadable end blocks, and the other rules are still told.
    FakeEnvironment env;
    const ShowEvaluation evaluation = EvaluateShow(L"2020-13-1", env, true);
    EXPECT_EQ(evaluation.firstBlocking, ShowGate::campaignEnd);
    EXPECT_EQ(evaluation.Blocks(ShowGate::quietTime), false);
}

TEST(ShowDecision, OnlyJapaneseAsUsedInJapanHoldsTheWindowBack) {
    EXPECT_TRUE(IsJapaneseSystem(0x0411));
    EXPECT_FALSE(IsJapaneseSystem(0x0011));  // neutral Japanese
    EXPECT_FALSE(IsJapaneseSystem(0x0409));
    EXPECT_FALSE(IsJapaneseSystem(0x0804));
}

TEST(ShownMarker, ValueIsLocalSecondsSince1970WithoutZoneConversion) {
    EXPECT_EQ(ShownMarkerValue(EncodeDateValue(2020, 9, 1) + EncodeTimeValue(12, 0, 0, 0)), L"1598961600");
    EXPECT_EQ(ShownMarkerValue(EncodeDateValue(1970, 1, 1)), L"0");
}

}  // namespace
}  // namespace promo
