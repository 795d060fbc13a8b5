// Quiet time: the order of its tests, the focus-application matching, the
// full-screen geometry and class rules, and the decision of "Focus.dll".
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "launch/ChkFullScrn.h"
#include "launch/QuietTime.h"
#include "launch/focus/FocusPolicy.h"

namespace promo {
namespace {

class FakeQuietEnvironment : public QuietTimeEnvironment {
public:
    bool focusMode = true;
    bool fullScreen = false;
    bool focusAssist = true;
    bool hookAllows = true;
    std::vector<std::wstring> lines;
    std::vector<std::wstring> running;  // applications IsAppRunning says yes to
    std::vector<std::string> asked;
    std::vector<std::wstring> appsAsked;

    bool FocusModeEnabled() override {
        asked.push_back("mode");
        return focusMode;
    }
    bool IsFullScreenAppActive() override {
        asked.push_back("fullscreen");
        return fullScreen;
    }
    bool IsFocusAssistEnabled() override {
        asked.push_back("assist");
        return focusAssist;
    }
    bool FocusHookAllowsPopup() override {
        asked.push_back("hook");
        return hookAllows;
    }
    std::vector<std::wstring> FocusAppLines() override {
        asked.push_back("apps");
        return lines;
    }
    bool IsAppRunning(const std::wstring& application) override {
        appsAsked.push_back(application);
        for (const auto& r : running) {
            if (r == application) return true;
        }
        return false;
    }
};

using Asked = std::vector<std::string>;

TEST(QuietTime, FocusModeOffTouchesNothingElse) {
    FakeQuietEnvironment env;
    env.focusMode = false;
    env.fullScreen = true;
    env.hookAllows = false;
    env.lines = {L"a=game.exe"};
    env.running = {L"game.exe"};
    EXPECT_FALSE(DecideQuietTime(env));
    EXPECT_EQ(env.asked, (Asked{"mode"}));
    EXPECT_TRUE(env.appsAsked.empty());
}

TEST(QuietTime, FullScreenApplicationIsQuietBeforeHookAndList) {
    FakeQuietEnvironment env;
    env.fullScreen = true;
    EXPECT_TRUE(DecideQuietTime(env));
    EXPECT_EQ(env.asked, (Asked{"mode", "fullscreen"}));
}

TEST(QuietTime, HookIsAskedOnlyWhenFocusAssistIsEnabled) {
    FakeQuietEnvironment env;
    env.hookAllows = false;
    EXPECT_TRUE(DecideQuietTime(env));
    EXPECT_EQ(env.asked, (Asked{"mode", "fullscreen", "assist", "hook"}));

    FakeQuietEnvironment off;
    off.focusAssist = false;
    off.hookAllows = false;
    EXPECT_FALSE(DecideQuietTime(off));
    EXPECT_EQ(off.asked, (Asked{"mode", "fullscreen", "assist", "apps"}));
}

TEST(QuietTime, FocusApplicationsAreTriedInOrderUntilOneRuns) {
    FakeQuietEnvironment env;
    env.lines = {L"1=first.exe", L"2=C:\\Games\\x=y.exe", L"3=third.exe", L"4=fourth.exe"};
    env.running = {L"third.exe"};
    EXPECT_TRUE(DecideQuietTime(env));
    // The text after the first "=" only; nothing after the running one.
    EXPECT_EQ(env.appsAsked, (std::vector<std::wstring>{L"first.exe", L"C:\\Games\\x=y.exe", L"third.exe"}));

    FakeQuietEnvironment none;
    none.lines = {L"1=first.exe"};
    EXPECT_FALSE(DecideQuietTime(none));
}

TEST(QuietTime, EmptyFocusApplicationIsSkipped) {
    FakeQuietEnvironment env;
    env.lines = {L"empty=", L"game=game.exe"};
    env.running = {L""};  // an empty entry would otherwise match a process without a readable path
    EXPECT_FALSE(DecideQuietTime(env));
    EXPECT_EQ(env.appsAsked, (std::vector<std::wstring>{L"game.exe"}));
}

// The check tool's evaluation: every test is made, the answer stays the
// program's, and the holding test is the one the program would stop at.
TEST(QuietTime, TestingEverythingKeepsTheProgramsAnswer) {
    using Tests = std::vector<QuietTest>;
    struct Case {
        const char* name;
        bool focusMode, fullScreen, focusAssist, hookAllows;
        std::vector<std::wstring> running;
        std::optional<QuietTest> holding;
        Tests holdingTests;
    };
    const Case cases[] = {
        {"nothing", true, false, true, true, {}, std::nullopt, {}},
        {"mode off hides everything", false, true, true, false, {L"b.exe"}, std::nullopt, {}},
        {"full screen first",
         true,
         true,
         true,
         false,
         {L"b.exe"},
         QuietTest::fullScreen,
         {QuietTest::fullScreen, QuietTest::focusAssist, QuietTest::focusApps}},
        {"hook",
         true,
         false,
         true,
         false,
         {L"b.exe"},
         QuietTest::focusAssist,
         {QuietTest::focusAssist, QuietTest::focusApps}},
        {"hook asked but not counted when off", true, false, false, false, {}, std::nullopt, {}},
        {"second app", true, false, true, true, {L"b.exe"}, QuietTest::focusApps, {QuietTest::focusApps}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto make = [&] {
            FakeQuietEnvironment env;
            env.focusMode = c.focusMode;
            env.fullScreen = c.fullScreen;
            env.focusAssist = c.focusAssist;
            env.hookAllows = c.hookAllows;
            env.lines = {L"1=a.exe", L"2=", L"3=b.exe", L"4=c.exe"};
            env.running = c.running;
            return env;
        };
        FakeQuietEnvironment program = make();
        FakeQuietEnvironment tool = make();
        const QuietTimeEvaluation all = EvaluateQuietTime(tool, true);
        EXPECT_EQ(all.holdingTest, c.holding);
        EXPECT_EQ(all.holdingTests, c.holdingTests);
        EXPECT_EQ(all.Quiet(), DecideQuietTime(program));
        EXPECT_EQ(tool.asked, (Asked{"mode", "fullscreen", "assist", "hook", "apps"}));
        EXPECT_EQ(tool.appsAsked, (std::vector<std::wstring>{L"a.exe", L"b.exe", L"c.exe"}));
        ASSERT_EQ(all.apps.size(), 3u);
        EXPECT_EQ(all.apps[1], (std::pair<std::wstring, bool>{L"b.exe", !c.running.empty()}));
        EXPECT_EQ(all.hookAllowsPopup, c.hookAllows);
    }
}

TEST(QuietTime, FocusAppOfLineTakesTextAfterFirstEquals) {
    EXPECT_EQ(FocusAppOfLine(L"k=v"), L"v");
    EXPECT_EQ(FocusAppOfLine(L"k=a=b"), L"a=b");
    EXPECT_EQ(FocusAppOfLine(L"k="), L"");
    EXPECT_EQ(FocusAppOfLine(L"=v"), L"v");
    EXPECT_EQ(FocusAppOfLine(L"novalue"), L"novalue");
}

TEST(IsAppRunningMatch, NameOrFullPathIgnoringCaseOfAsciiLettersOnly) {
    const std::wstring name = L"Game.exe";
    const std::wstring path = L"C:\\Games\\Game.exe";
    EXPECT_TRUE(AppMatchesProcess(L"gAME.EXE", name, path));
    EXPECT_TRUE(AppMatchesProcess(L"c:\\games\\GAME.exe", name, path));
    EXPECT_FALSE(AppMatchesProcess(L"Game", name, path));   // no partial names
    EXPECT_FALSE(AppMatchesProcess(L"*.exe", name, path));  // no wildcards
    EXPECT_FALSE(AppMatchesProcess(L"D:\\Games\\Game.exe", name, path));
    EXPECT_FALSE(AppMatchesProcess(L"", name, L""));  // empty never matches
    // Only A-Z fold: other letters must match exactly.
    EXPECT_TRUE(AppMatchesProcess(L"\u00C4pfel.exe", L"\u00C4PFEL.EXE", L""));
    EXPECT_FALSE(AppMatchesProcess(L"\u00E4pfel.exe", L"\u00C4pfel.exe", L""));
    // Characters next to the letter ranges are not letters.
    EXPECT_FALSE(EqualsIgnoringAsciiCase(L"[", L"{"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(L"@", L"`"));
}

TEST(ChkFullScrn, CoversScreenNeedsExactlyTheScreenAtTheOrigin) {
    EXPECT_TRUE(CoversScreen({0, 0, 1920, 1080}, 1920, 1080));
    EXPECT_FALSE(CoversScreen({0, 0, 1919, 1080}, 1920, 1080));
    EXPECT_FALSE(CoversScreen({0, 0, 1920, 1079}, 1920, 1080));
    EXPECT_FALSE(CoversScreen({1, 0, 1921, 1080}, 1920, 1080));
    EXPECT_FALSE(CoversScreen({-8, -8, 1928, 1088}, 1920, 1080));   // maximized with borders
    EXPECT_FALSE(CoversScreen({1920, 0, 3840, 1080}, 1920, 1080));  // second monitor only
    EXPECT_FALSE(CoversScreen({0, 0, 0, 0}, 1920, 1080));           // unreadable rectangle
}

TEST(ChkFullScrn, DesktopAndImmersiveFramesAreToldApart) {
    EXPECT_TRUE(IsDesktopOrImmersiveClass(L"WorkerW"));
    EXPECT_TRUE(IsDesktopOrImmersiveClass(L"progman"));
    EXPECT_TRUE(IsDesktopOrImmersiveClass(L"WINDOWS.UI.CORE.COREWINDOW"));
    EXPECT_FALSE(IsDesktopOrImmersiveClass(L"UnityWndClass"));
    EXPECT_FALSE(IsDesktopOrImmersiveClass(L"WorkerWx"));

    const wchar_t* core = L"Windows.UI.Core.CoreWindow";
    EXPECT_TRUE(IsFullScreenImmersiveApp(core, L"wwahost.EXE", 6, 2));
    EXPECT_TRUE(IsFullScreenImmersiveApp(core, L"PhotosApp.exe", 6, 3));
    EXPECT_FALSE(IsFullScreenImmersiveApp(core, L"PhotosApp.exe", 10, 0));
    EXPECT_FALSE(IsFullScreenImmersiveApp(core, L"PhotosApp.exe", 6, 1));
    EXPECT_FALSE(IsFullScreenImmersiveApp(core, L"explorer.exe", 6, 3));
    EXPECT_FALSE(IsFullScreenImmersiveApp(L"Progman", L"WWAHost.exe", 6, 3));
}

class FakeFocusState : public focus::FocusStateSource {
public:
    std::optional<int> shell = focus::kAcceptsNotifications;
    std::optional<std::uint32_t> profile;
    int profileReads = 0;
    std::optional<int> ShellState() override { return shell; }
    std::optional<std::uint32_t> QuietHoursProfile() override {
        ++profileReads;
        return profile;
    }
};

TEST(FocusHookPolicy, AllowsOnlyWhenShellAcceptsAndQuietHoursAreOff) {
    FakeFocusState state;
    EXPECT_TRUE(focus::PopupAllowed(state));  // no Focus Assist on this system
    state.profile = focus::kQuietHoursOff;
    EXPECT_TRUE(focus::PopupAllowed(state));
    state.profile = 1;  // priority only
    EXPECT_FALSE(focus::PopupAllowed(state));
    state.profile = 2;  // alarms only
    EXPECT_FALSE(focus::PopupAllowed(state));
}

TEST(FocusHookPolicy, AnyOtherShellStateHoldsThePopupWithoutAskingFocusAssist) {
    for (int s : {int{focus::kNotPresent}, int{focus::kBusy}, int{focus::kRunningD3dFullScreen},
                  int{focus::kPresentationMode}, int{focus::kQuietTime}, int{focus::kApp}}) {
        FakeFocusState state;
        state.shell = s;
        state.profile = focus::kQuietHoursOff;
        EXPECT_FALSE(focus::PopupAllowed(state)) << s;
        EXPECT_EQ(state.profileReads, 0);
    }
    FakeFocusState unknown;
    unknown.shell.reset();
    EXPECT_FALSE(focus::PopupAllowed(unknown));
}

}  // namespace
}  // namespace promo
