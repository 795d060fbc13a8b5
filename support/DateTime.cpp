#include "support/DateTime.h"

#include <cfenv>
#include <cmath>

namespace promo {
namespace {

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

}  // namespace

DateTimeValue EncodeDateValue(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    std::int64_t dayOfYear = day;
    for (int m = 1; m < month && m <= 12; ++m) dayOfYear += DaysInMonth(year, m);
    const std::int64_t k = static_cast<std::int64_t>(year) - 1;
    return static_cast<double>(k * 365 + k / 4 - k / 100 + k / 400 + dayOfYear - 693594);
}

CalendarDate DecodeDateValue(DateTimeValue value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e8) return {};
    // Days since 1970-01-01, then the civil calendar in 400-year eras
    // counted from 0000-03-01.
    const std::int64_t z = static_cast<std::int64_t>(std::floor(value)) - 25569 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

DateTimeValue EncodeTimeValue(std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                              std::uint16_t millisecond) {
    const double ms = hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond;
    return ms / 86400000.0;
}

std::int32_t DaysBetween(DateTimeValue a, DateTimeValue b) {
    const double days = std::trunc(std::fabs(a - b));
    if (!(days < 9.2e18)) return 0;  // NaN or beyond 64 bits: no meaningful count
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(days)));
}

std::int64_t UnixStyleTime(DateTimeValue t) {
    // std::nearbyint honours the rounding mode, which is round-half-even by default.
    const double seconds = (t - 25569.0) * 86400.0;
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(seconds);
    std::fesetround(old);
    return static_cast<std::int64_t>(rounded);
}

std::optional<DateTimeValue> ParseIsoDate(const std::wstring& text) {
    int fields[3] = {0, 0, 0};
    int field = 0;
    int digits = 0;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            if (++digits > 4) return std::nullopt;
            fields[field] = fields[field] * 10 + (c - L'0');
        } else if (c == L'-' && digits > 0 && field < 2) {
            ++field;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (field != 2 || digits == 0) return std::nullopt;
    const int y = fields[0], m = fields[1], d = fields[2];
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return std::nullopt;
    return EncodeDateValue(static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(m),
                           static_cast<std::uint16_t>(d));
}

}  // namespace promo
