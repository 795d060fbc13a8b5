// The "/kv" switch: whole-parameter match, A-Z case ignored, the walk stops
// at the first empty parameter.
#include <gtest/gtest.h>

#include "launch/CommandLine.h"

namespace promo {
namespace {

bool Launch(const std::wstring& commandLine) { return HasSwitch(SplitCommandLine(commandLine), L"/kv"); }

TEST(CommandLine, SplitsByBlanksAndQuotes) {
    EXPECT_EQ(SplitCommandLine(L"\"C:\\Program Files\\P\\PellorinPromo.exe\"  /kv\t x"),
              (std::vector<std::wstring>{L"C:\\Program Files\\P\\PellorinPromo.exe", L"/kv", L"x"}));
    EXPECT_EQ(SplitCommandLine(L"p.exe \"\" /kv"), (std::vector<std::wstring>{L"p.exe", L"", L"/kv"}));
    EXPECT_EQ(SplitCommandLine(L"p.exe a\"b c\"d"), (std::vector<std::wstring>{L"p.exe", L"ab cd"}));
    EXPECT_EQ(SplitCommandLine(L"   "), std::vector<std::wstring>{});
}

TEST(CommandLine, RecognisesTheSwitchAnywhereInAnyLetterCase) {
    EXPECT_TRUE(Launch(L"p.exe /kv"));
    EXPECT_TRUE(Launch(L"p.exe /KV"));
    EXPECT_TRUE(Launch(L"p.exe /Kv"));
    EXPECT_TRUE(Launch(L"p.exe other /kv"));
    EXPECT_TRUE(Launch(L"p.exe \"/kv\""));
}

TEST(CommandLine, RejectsNearMissesAndTheProgramName) {
    for (const wchar_t* line : {L"p.exe", L"p.exe -kv", L"p.exe kv", L"p.exe /kvx", L"p.exe /kv=1", L"p.exe \"/kv \"",
                                L"/kv", L"\"/kv\""})
        EXPECT_FALSE(Launch(line)) << line;
}

TEST(CommandLine, StopsAtTheFirstEmptyParameter) {
    EXPECT_FALSE(Launch(L"p.exe \"\" /kv"));
    EXPECT_TRUE(Launch(L"p.exe /kv \"\""));
}

TEST(CommandLine, TrimsTheSwitchButMatchesItUntrimmed) {
    const std::vector<std::wstring> params{L"p.exe", L"/kv"};
    EXPECT_FALSE(HasSwitch(params, L"   "));
    EXPECT_FALSE(HasSwitch(params, L""));
    // Only the emptiness test sees the trimmed text.
    EXPECT_FALSE(HasSwitch(params, L" /kv"));
    // Letters outside A-Z are compared exactly.
    EXPECT_FALSE(HasSwitch({L"p.exe", L"/\u00C4"}, L"/\u00E4"));
}

}  // namespace
}  // namespace promo
