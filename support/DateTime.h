// Date-time values: a double whose whole part counts days since 1899-12-30
// 00:00 and whose fraction is the time of day (0.5 is noon). Always local
// time; no time zone is applied anywhere. 1970-01-01 is 25569.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace promo {

using DateTimeValue = double;

// Day value of a calendar date at midnight. No range check: the callers pass
// the clock's own date.
DateTimeValue EncodeDateValue(std::uint16_t year, std::uint16_t month, std::uint16_t day);

// The calendar date of a value's whole part (rounded down, so times before
// 1899-12-30 fall on their own day). All zero for a value that is not finite
// or lies beyond about 270000 years.
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CalendarDate&) const = default;
};
CalendarDate DecodeDateValue(DateTimeValue value);

// Fraction of a day.
DateTimeValue EncodeTimeValue(std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                              std::uint16_t millisecond);

// Whole days between two values, |a - b| truncated toward zero (low 32 bits).
std::int32_t DaysBetween(DateTimeValue a, DateTimeValue b);

// (t - 25569) * 86400 rounded half to even: the local wall-clock time counted
// as if it were UTC.
std::int64_t UnixStyleTime(DateTimeValue t);

// Parses a date written "yyyy-M-d" (one or more digits per field, separator
// "-"), as the campaign end is stored. Empty for anything else, including
// dates that do not exist (month 13, 30 February).
std::optional<DateTimeValue> ParseIsoDate(const std::wstring& text);

}  // namespace promo
