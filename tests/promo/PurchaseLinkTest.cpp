#include <gtest/gtest.h>

#include <limits>

#include "promo/PurchaseLink.h"
#include "support/DateTime.h"

namespace promo {
namespace {

constexpr wchar_t kHost[] = L"www.shop.test";
constexpr wchar_t kHostRu[] = L"ru.shop.test:8443";

std::wstring Address(const std::wstring& languageCode, const std::wstring& version,
                     const std::wstring& instd = L"12", const std::wstring& finstd = L"400") {
    return BuildPurchaseAddress(LowerLanguageCode(languageCode), version, instd, finstd, kHost, kHostRu);
}

TEST(PurchaseAddress, EnglishUsesThePreorderPrePageUnderItsLanguageSegment) {
    EXPECT_EQ(Address(L"EN", L"7.0.0.1"),
              L"https://www.shop.test/en/kv/kv8preorderpre.php?to=kv8prepoppre7&ver=7.0.0.1&instd=12"
              L"&finstd=400");
    EXPECT_EQ(Address(L"en", L""),
              L"https://www.shop.test/en/kv/kv8preorderpre.php?to=kv8prepoppre7&ver=&instd=12&finstd=400");
}

TEST(PurchaseAddress, OtherLanguagesUseThePlainPreorderPage) {
    EXPECT_EQ(Address(L"DE", L"7.2.0.15", L"1", L"-1"),
              L"https://www.shop.test/de/kv/kv8preorder.php?to=kv8prepoppre7&ver=7.2.0.15&instd=1&finstd=-1");
    EXPECT_EQ(Address(L"nl", L"", L"-1", L"31"),
              L"https://www.shop.test/nl/kv/kv8preorder.php?to=kv8prepoppre7&ver=&instd=-1&finstd=31");
}

TEST(PurchaseAddress, RussianGoesToTheRegionalSiteWithoutLanguageSegment) {
    EXPECT_EQ(Address(L"RU", L"7.0.0.1"),
              L"https://ru.shop.test:8443/purchase/kv/kv8preorder.php?to=kv8prepoppre7&ver=7.0.0.1&instd=12"
              L"&finstd=400");
    EXPECT_EQ(Address(L"ru", L""),
              L"https://ru.shop.test:8443/purchase/kv/kv8preorder.php?to=kv8prepoppre7&ver=&instd=12"
              L"&finstd=400");
}

TEST(PurchaseAddress, LanguageComparisonIsExactAfterLowerCasing) {
    // Only "en" and "ru" are special; a code merely containing them is not.
    EXPECT_EQ(Address(L"ENG", L"1.2.3.4").find(L"https://www.shop.test/eng/kv/kv8preorder.php?"), 0u);
    EXPECT_EQ(Address(L"rus", L"1.2.3.4").find(L"https://www.shop.test/rus/kv/kv8preorder.php?"), 0u);
}

TEST(LanguageCode, LowerCasesAsciiLettersOnly) {
    EXPECT_EQ(LowerLanguageCode(L"PT"), L"pt");
    EXPECT_EQ(LowerLanguageCode(L"Sv"), L"sv");
    EXPECT_EQ(LowerLanguageCode(L"Z[@a9\u00c4"), L"z[@a9\u00c4");
    EXPECT_EQ(LowerLanguageCode(L""), L"");
}

class DaysSince : public ::testing::Test {
protected:
    // 2020-09-01 14:00 local.
    const DateTimeValue now_ = EncodeDateValue(2020, 9, 1) + EncodeTimeValue(14, 0, 0, 0);
};

TEST_F(DaysSince, NothingRecordedOrInTheFutureGivesMinusOne) {
    EXPECT_EQ(DaysSinceText(0, now_), L"-1");
    EXPECT_EQ(DaysSinceText(now_ + 1.0 / 86400, now_), L"-1");
    EXPECT_EQ(DaysSinceText(now_ + 40, now_), L"-1");
    EXPECT_EQ(DaysSinceText(std::numeric_limits<double>::quiet_NaN(), now_), L"-1");
}

// A damaged value far in the past must not wrap round to a plausible count
// (2^32 + 30 days ago would otherwise read as 31).
TEST_F(DaysSince, CountsBeyond32BitsGiveMinusOne) {
    const struct {
        double daysAgo;
        const wchar_t* text;
    } cases[] = {
        {2147483647.5, L"2147483648"},  // the largest count that fits
        {2147483648.5, L"-1"},
        {4294967296.0 + 30, L"-1"},
        {1e300, L"-1"},
    };
    for (const auto& c : cases) EXPECT_EQ(DaysSinceText(now_ - c.daysAgo, now_), c.text) << c.daysAgo;
    EXPECT_EQ(DaysSinceText(-std::numeric_limits<double>::infinity(), now_), L"-1");
}

TEST_F(DaysSince, CountsWholeDaysPlusOne) {
    EXPECT_EQ(DaysSinceText(EncodeDateValue(2020, 9, 1) + EncodeTimeValue(2, 24, 0, 0), now_), L"1");
    EXPECT_EQ(DaysSinceText(now_, now_), L"1");
    EXPECT_EQ(DaysSinceText(now_ - 30 - 5.0 / 24, now_), L"31");
    // Whole elapsed days, not calendar dates: 23 hours ago across midnight is still day 1.
    EXPECT_EQ(DaysSinceText(now_ - 23.0 / 24, now_), L"1");
    EXPECT_EQ(DaysSinceText(now_ - 200, now_), L"201");
}

TEST_F(DaysSince, FeedsTheAddressAsTheProductWouldSeeIt) {
    const std::wstring address =
        Address(L"FR", L"7.0.0.1", DaysSinceText(now_ - 30 - 5.0 / 24, now_), DaysSinceText(0, now_));
    EXPECT_EQ(address,
              L"https://www.shop.test/fr/kv/kv8preorder.php?to=kv8prepoppre7&ver=7.0.0.1&instd=31&finstd=-1");
}

TEST(StatsRequest, BodyNamesLanguageCampaignAndClick) {
    EXPECT_EQ(BuildStatsBody(LowerLanguageCode(L"EN"), false),
              L"lan=en&name=20200821_kv8prepoppre7&show=1&click=1");
    EXPECT_EQ(BuildStatsBody(LowerLanguageCode(L"SV"), true),
              L"lan=sv&name=20200821_kv8prepoppre7&show=1&click=0");
    EXPECT_EQ(BuildStatsBody(L"ru", true), L"lan=ru&name=20200821_kv8prepoppre7&show=1&click=0");
}

TEST(StatsRequest, AddressKeepsTheTrailingBlankOfItsPath) {
    EXPECT_EQ(StatsAddress(L"stats.test"), L"http://stats.test/other/kv_reservepmt.php ");
    EXPECT_EQ(StatsAddress(L"127.0.0.1:18931"), L"http://127.0.0.1:18931/other/kv_reservepmt.php ");
}

}  // namespace
}  // namespace promo
