#include <gtest/gtest.h>

#include "product/TextHelpers.h"

namespace promo {
namespace {

TEST(SafeFormat, FormatsNumbersAndTexts) {
    EXPECT_EQ(SafeFormat(L"%d.%d.%d.%d", 7, 0, 0, 1), L"7.0.0.1");
    EXPECT_EQ(SafeFormat(L"7iniPath:%s", std::wstring(L"C:\\x")), L"7iniPath:C:\\x");
    EXPECT_EQ(SafeFormat(L"%s=%d%%", L"ratio", -45), L"ratio=-45%");
    EXPECT_EQ(SafeFormat(L"%d", INT64_MIN), L"-9223372036854775808");
    EXPECT_EQ(SafeFormat(L"%u %x %X", -1, 255, 0xABCDu), L"4294967295 ff ABCD");
    EXPECT_EQ(SafeFormat(L"[%4d][%-4d][%04d][%-3s][%3s]", 7, 7, -7, L"a", L"b"),
              L"[   7][7   ][-007][a  ][  b]");
    EXPECT_EQ(SafeFormat(L"no conversions"), L"no conversions");
}

TEST(SafeFormat, GivesTheFormatBackWhenItDoesNotFitTheArguments) {
    EXPECT_EQ(SafeFormat(L"%d.%d", 7), L"%d.%d");                  // too few
    EXPECT_EQ(SafeFormat(L"%d", L"text"), L"%d");                  // text for a number
    EXPECT_EQ(SafeFormat(L"%s", 12), L"%s");                       // number for a text
    EXPECT_EQ(SafeFormat(L"%q", 1), L"%q");                        // unknown conversion
    EXPECT_EQ(SafeFormat(L"100%", 1), L"100%");                    // lone percent at the end
    EXPECT_EQ(SafeFormat(L"%99999999999d", 1), L"%99999999999d");  // absurd width
    EXPECT_EQ(SafeFormat(L"%d", 1, 2), L"1");                      // surplus ignored
}

TEST(FileNamePart, TakesTheTextAfterTheLastSeparatorOrColon) {
    EXPECT_EQ(FileNamePart(L"C:\\Program Files\\App\\app.exe"), L"app.exe");
    EXPECT_EQ(FileNamePart(L"\\Device\\HarddiskVolume1\\Windows\\explorer.exe"), L"explorer.exe");
    EXPECT_EQ(FileNamePart(L"C:app.exe"), L"app.exe");
    EXPECT_EQ(FileNamePart(L"app.exe"), L"app.exe");
    EXPECT_EQ(FileNamePart(L"C:\\folder\\"), L"");
    EXPECT_EQ(FileNamePart(L""), L"");
}

TEST(WithTrailingBackslash, AppendsExactlyOneSeparator) {
    EXPECT_EQ(WithTrailingBackslash(L"C:\\Users\\a\\AppData\\Roaming"), L"C:\\Users\\a\\AppData\\Roaming\\");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\"), L"C:\\");
    EXPECT_EQ(WithTrailingBackslash(L""), L"");
}

TEST(VersionText, JoinsTheRequestedPartsInOrder) {
    const std::uint32_t ms = (7u << 16) | 6u, ls = (5u << 16) | 65535u;
    EXPECT_EQ(VersionText(ms, ls, 1), L"7");
    EXPECT_EQ(VersionText(ms, ls, 2), L"7.6");
    EXPECT_EQ(VersionText(ms, ls, 3), L"7.6.5");
    EXPECT_EQ(VersionText(ms, ls, 4), L"7.6.5.65535");
    EXPECT_EQ(VersionText(ms, ls, 0), L"");
    EXPECT_EQ(VersionText(ms, ls, 5), L"");
}

TEST(TrimText, RemovesSurroundingWhiteSpace) {
    EXPECT_EQ(TrimText(L" \t C:\\a b.exe \r\n"), L"C:\\a b.exe");
    EXPECT_EQ(TrimText(L"   "), L"");
}

}  // namespace
}  // namespace promo
