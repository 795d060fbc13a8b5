// The values of the typed reads and writes: integers (decimal or
// hexadecimal), decimal numbers with the caller's decimal separator, and the
// shortest text of a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace promo {

// A 32-bit integer in decimal (optional sign), or hexadecimal after "$" or a
// leading "0x"/"0X" (longer than two characters). Hexadecimal takes up to
// FFFFFFFF as the 32-bit pattern (colour values such as $FF00000F read as
// negative numbers). Empty for anything else.
std::optional<std::int32_t> ParseIniInteger(std::wstring_view text);
// A decimal number with the given decimal separator and an optional exponent.
// Leading and trailing blanks are allowed. Empty for anything else and for
// values out of the range of double.
std::optional<double> ParseIniFloat(std::wstring_view text, std::wstring_view decimalSeparator);
// Shortest general form with up to 15 significant digits ("0.1", "42", "1E20",
// "1.5E-7"); NAN, INF and -INF for the special values.
std::wstring FormatIniFloat(double value, std::wstring_view decimalSeparator);

}  // namespace promo
