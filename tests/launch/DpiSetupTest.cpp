// The start-up DPI setup and the form's request, over injected system facts.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "launch/DpiSetup.h"

namespace promo {
namespace {

// A system whose facts the test sets; records the awareness calls made.
class FakeDpiPlatform : public DpiPlatform {
public:
    unsigned major = 10, minor = 0;
    bool processAware = false;       // what IsProcessDPIAware answers
    bool shcoreLoaded = false;       // Shcore already in the process
    bool shcoreLoadable = true;
    int logPixels = 96;              // what an unaware process measures
    int screenW = 1920, screenH = 1080;
    WorkAreaSize workArea{1920, 1040};
    std::optional<std::int64_t> appliedDpi;

    std::vector<std::wstring> calls;  // "SetProcessDpiAwareness(2)", "SetProcessDPIAware", "LoadShcore"
    std::vector<std::wstring> debugLines;

    unsigned MajorVersion() override { return major; }
    unsigned MinorVersion() override { return minor; }
    bool IsWindows8Point1OrGreater() override { return major > 6 || (major == 6 && minor >= 3); }
    bool HasIsProcessDPIAware() override { return major >= 6; }
    bool IsProcessDPIAware() override { return processAware; }
    bool HasSetProcessDPIAware() override { return major >= 6; }
    bool SetProcessDPIAware() override {
        calls.push_back(L"SetProcessDPIAware");
        return true;
    }
    bool FindShcoreLoaded() override { return shcoreLoaded && ShcoreExists(); }
    std::uintptr_t ShcoreHandleValue() override { return shcoreLoaded ? 0x1000 : 0; }
    bool LoadShcore() override {
        calls.push_back(L"LoadShcore");
        shcoreLoaded = shcoreLoadable && ShcoreExists();
        return shcoreLoaded;
    }
    bool HasGetProcessDpiAwareness() override { return shcoreLoaded && ShcoreExists(); }
    std::optional<int> GetProcessDpiAwareness() override { return processAware ? 2 : 0; }
    bool HasSetProcessDpiAwareness() override { return shcoreLoaded && ShcoreExists(); }
    bool SetProcessDpiAwareness(int level) override {
        calls.push_back(L"SetProcessDpiAwareness(" + std::to_wstring(level) + L")");
        return true;
    }
    int MeasureLogPixelsY() override { return logPixels; }
    int ScreenWidth() override { return screenW; }
    int ScreenHeight() override { return screenH; }
    WorkAreaSize PrimaryWorkArea() override { return workArea; }
    std::optional<std::int64_t> AppliedDpi() override { return appliedDpi; }
    void DebugLine(const std::wstring& line) override { debugLines.push_back(line); }

private:
    bool ShcoreExists() const { return major > 6 || (major == 6 && minor >= 3); }
};

std::vector<std::wstring> RunSetup(FakeDpiPlatform& p, std::vector<std::wstring>* trace = nullptr) {
    DpiSetupState state;
    RunStartupDpiSetup(p, state, [&](const std::wstring& line) {
        if (trace) trace->push_back(line);
    });
    return p.calls;
}

TEST(DpiSetup, HundredPercentOnALargeScreenStaysUnaware) {
    FakeDpiPlatform p;
    p.appliedDpi = 96;
    EXPECT_TRUE(RunSetup(p).empty());
    EXPECT_TRUE(p.debugLines.empty());
}

TEST(DpiSetup, HundredPercentOnASmallScreenBecomesPerMonitorAware) {
    FakeDpiPlatform p;
    p.screenW = 1280;
    p.screenH = 720;
    p.workArea = {1280, 680};
    EXPECT_EQ(RunSetup(p), (std::vector<std::wstring>{L"LoadShcore", L"SetProcessDpiAwareness(2)"}));
    EXPECT_EQ(p.debugLines, std::vector<std::wstring>{L"Win32MinorVersion: 0"});
}

TEST(DpiSetup, ScaledSystemWithAWorkAreaOfAtLeast940By640IsLeftToTheSystem) {
    FakeDpiPlatform p;  // 150 %: the unaware process sees a virtualised 96 DPI and a small screen
    p.appliedDpi = 144;
    p.screenW = 1280;
    p.screenH = 720;
    p.workArea = {1280, 680};
    EXPECT_TRUE(RunSetup(p).empty());
}

TEST(DpiSetup, ScaledSystemWithASmallWorkAreaBecomesAware) {
    FakeDpiPlatform p;
    p.appliedDpi = 144;
    p.screenW = 900;
    p.screenH = 640;
    p.workArea = {900, 600};
    std::vector<std::wstring> trace;
    EXPECT_EQ(RunSetup(p, &trace), (std::vector<std::wstring>{L"LoadShcore", L"SetProcessDpiAwareness(2)"}));
    EXPECT_NE(std::find(trace.begin(), trace.end(), L"**************** ScreenWidth, ScreenHeight: 900, 600"),
              trace.end());
    EXPECT_NE(std::find(trace.begin(), trace.end(), L"**************** DoDPIAware 2"), trace.end());
}

TEST(DpiSetup, MissingAppliedDpiCountsAs96) {
    FakeDpiPlatform p;
    p.logPixels = 120;  // the setup does not end in its first test
    EXPECT_EQ(RunSetup(p), (std::vector<std::wstring>{L"LoadShcore", L"SetProcessDpiAwareness(2)"}));
}

TEST(DpiSetup, WindowsSevenUsesUser32NeverShcore) {
    FakeDpiPlatform p;
    p.major = 6;
    p.minor = 1;
    p.logPixels = 120;
    EXPECT_EQ(RunSetup(p), std::vector<std::wstring>{L"SetProcessDPIAware"});
    EXPECT_EQ(p.debugLines, std::vector<std::wstring>{L"Win32MinorVersion: 1"});
}

TEST(DpiSetup, AnAlreadyLoadedShcoreIsUsedWithoutLoading) {
    FakeDpiPlatform p;
    p.processAware = true;  // made aware before (say by a shim): Shcore asked for its awareness
    p.shcoreLoaded = true;
    p.logPixels = 120;
    EXPECT_EQ(RunSetup(p), std::vector<std::wstring>{L"SetProcessDpiAwareness(2)"});
}

TEST(DpiSetup, NothingHappensBeforeVista) {
    FakeDpiPlatform p;
    p.major = 5;
    p.minor = 1;
    EXPECT_TRUE(RunSetup(p).empty());
    EXPECT_FALSE(RequestDpiAwareness(p));
}

TEST(DpiRequest, PerMonitorFrom63SystemAwareBefore) {
    FakeDpiPlatform win10;
    win10.shcoreLoaded = true;
    EXPECT_TRUE(RequestDpiAwareness(win10));
    EXPECT_EQ(win10.calls, std::vector<std::wstring>{L"SetProcessDpiAwareness(2)"});

    FakeDpiPlatform notLoaded;  // the request only looks Shcore up, it never loads it
    EXPECT_FALSE(RequestDpiAwareness(notLoaded));
    EXPECT_TRUE(notLoaded.calls.empty());

    FakeDpiPlatform win8;
    win8.major = 6;
    win8.minor = 2;
    EXPECT_TRUE(RequestDpiAwareness(win8));
    EXPECT_EQ(win8.calls, std::vector<std::wstring>{L"SetProcessDPIAware"});
}

}  // namespace
}  // namespace promo
