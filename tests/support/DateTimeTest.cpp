#include <gtest/gtest.h>

#include <limits>

#include "support/DateTime.h"

namespace promo {
namespace {

TEST(EncodeDateValue, CountsDaysFromTheEpochOfDateValues) {
    EXPECT_EQ(EncodeDateValue(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDateValue(1899, 12, 31), 1.0);
    EXPECT_EQ(EncodeDateValue(1970, 1, 1), 25569.0);
    EXPECT_EQ(EncodeDateValue(2020, 9, 22), 44096.0);
}

TEST(EncodeDateValue, FollowsTheLeapYearRules) {
    EXPECT_EQ(EncodeDateValue(2000, 3, 1), EncodeDateValue(2000, 2, 29) + 1);  // divisible by 400
    EXPECT_EQ(EncodeDateValue(1900, 3, 1), EncodeDateValue(1900, 2, 28) + 1);  // by 100, not 400
    EXPECT_EQ(EncodeDateValue(2024, 3, 1), EncodeDateValue(2024, 2, 28) + 2);  // by 4
    EXPECT_EQ(EncodeDateValue(2021, 1, 1) - EncodeDateValue(2020, 1, 1), 366.0);
    EXPECT_EQ(EncodeDateValue(2022, 1, 1) - EncodeDateValue(2021, 1, 1), 365.0);
}

TEST(EncodeDateValue, DoesNotRejectMonthsOutsideTheYear) {
    // No range check: month 0 counts no months, an overflowing day runs on.
    EXPECT_EQ(EncodeDateValue(2020, 0, 1), EncodeDateValue(2020, 1, 1));
    EXPECT_EQ(EncodeDateValue(2020, 1, 32), EncodeDateValue(2020, 2, 1));
}

TEST(DecodeDateValue, InvertsEncodeDateValue) {
    EXPECT_EQ(DecodeDateValue(0.0), (CalendarDate{1899, 12, 30}));
    EXPECT_EQ(DecodeDateValue(44096.75), (CalendarDate{2020, 9, 22}));
    EXPECT_EQ(DecodeDateValue(-0.25), (CalendarDate{1899, 12, 29}));  // rounded down, not toward zero
    for (int y : {1601, 1899, 1900, 1970, 2000, 2020, 2100, 9999})
        for (int m = 1; m <= 12; ++m)
            for (int d : {1, 28, 29, 30, 31}) {
                const double v = EncodeDateValue(static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(m),
                                                 static_cast<std::uint16_t>(d));
                const CalendarDate back = DecodeDateValue(v);
                if (ParseIsoDate(std::to_wstring(y) + L"-" + std::to_wstring(m) + L"-" +
                                 std::to_wstring(d))) {
                    EXPECT_EQ(back, (CalendarDate{y, m, d})) << y << "-" << m << "-" << d;
                }
            }
    EXPECT_EQ(DecodeDateValue(std::numeric_limits<double>::quiet_NaN()), CalendarDate{});
    EXPECT_EQ(DecodeDateValue(1e300), CalendarDate{});
}

TEST(EncodeTimeValue, IsTheFractionOfADay) {
    EXPECT_EQ(EncodeTimeValue(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTimeValue(6, 0, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(EncodeTimeValue(23, 59, 59, 999), 86399999.0 / 86400000.0);
}

TEST(DaysBetween, TruncatesTheDistanceInEitherOrder) {
    EXPECT_EQ(DaysBetween(100.0, 100.9), 0);
    EXPECT_EQ(DaysBetween(100.9, 100.0), 0);
    EXPECT_EQ(DaysBetween(100.0, 101.0), 1);
    EXPECT_EQ(DaysBetween(101.0, 100.0), 1);
    EXPECT_EQ(DaysBetween(44096.0, 44096.0 - 30 - 5.0 / 24), 30);
}

TEST(UnixStyleTime, CountsLocalSecondsFrom1970) {
    EXPECT_EQ(UnixStyleTime(25569.0), 0);
    EXPECT_EQ(UnixStyleTime(25569.5), 43200);
    EXPECT_EQ(UnixStyleTime(EncodeDateValue(2020, 9, 1) + EncodeTimeValue(12, 0, 0, 0)), 1598961600);
    EXPECT_EQ(UnixStyleTime(25568.0), -86400);
}

TEST(UnixStyleTime, RoundsHalfSecondsToTheEvenSecond) {
    // 1/256 of a day is exactly 337.5 s, 3/256 exactly 1012.5 s.
    EXPECT_EQ(UnixStyleTime(25569.0 + 1.0 / 256), 338);
    EXPECT_EQ(UnixStyleTime(25569.0 + 3.0 / 256), 1012);
    EXPECT_EQ(UnixStyleTime(25569.0 - 1.0 / 256), -338);
    EXPECT_EQ(UnixStyleTime(25569.0 + 1.0 / 128), 675);  // not a tie
}

TEST(ParseIsoDate, ReadsTheCampaignEndForm) {
    EXPECT_EQ(ParseIsoDate(L"2020-9-22"), 44096.0);
    EXPECT_EQ(ParseIsoDate(L"2020-09-22"), 44096.0);
    EXPECT_EQ(ParseIsoDate(L"2000-2-29"), EncodeDateValue(2000, 2, 29));
}

TEST(ParseIsoDate, RejectsDatesThatDoNotExistAndOtherForms) {
    for (const wchar_t* bad :
         {L"", L"2020-9", L"2020-9-", L"-9-22", L"2020--22", L"2020-9-22-1", L"2020/9/22", L" 2020-9-22",
          L"2020-9-22 ", L"2020-13-1", L"2020-0-1", L"2020-9-0", L"2021-2-29", L"1900-2-29", L"2020-4-31",
          L"0-1-1", L"20200-1-1"}) {
        EXPECT_FALSE(ParseIsoDate(bad).has_value())
            << "accepted \"" << testing::PrintToString(std::wstring(bad)) << "\"";
    }
}

}  // namespace
}  // namespace promo
