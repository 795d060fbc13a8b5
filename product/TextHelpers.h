// Text helpers of the product environment that need no Win32: a printf-like
// formatter that cannot misbehave on a wrong argument list, the file-name part
// of a path, folder texts with one trailing separator, and version texts.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace promo {

// One argument of SafeFormat: a whole number or a text.
using FormatArg = std::variant<std::int64_t, std::wstring>;

// Formats `args` by `format`. Conversions: %d and %i (signed), %u, %x and %X
// (the number's low 32 bits when it is negative, as a 32-bit printf would),
// %s (text), %% (a percent sign); each may carry a "-" flag, a "0" flag (numbers)
// and a width. A conversion that does not fit its argument, a missing argument,
// an unknown conversion or a lone "%" at the end makes the result the format
// text unchanged. Surplus arguments are ignored.
std::wstring SafeFormatArgs(std::wstring_view format, std::span<const FormatArg> args);

namespace detail {

template <typename T>
FormatArg ToFormatArg(const T& value) {
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, wchar_t> || std::is_same_v<T, char>) {
        static_assert(!sizeof(T), "SafeFormat takes whole numbers and texts only");
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
        return static_cast<std::int64_t>(value);
    } else if constexpr (std::is_convertible_v<const T&, std::wstring_view>) {
        return std::wstring(std::wstring_view(value));
    } else {
        static_assert(!sizeof(T), "SafeFormat takes whole numbers and texts only");
    }
}

}  // namespace detail

// SafeFormat(L"%d.%d", major, minor): the typed front of SafeFormatArgs. Only
// whole numbers and wide texts are accepted, so a wrong type is a compile
// error and a wrong count gives the format text back.
template <typename... Args>
std::wstring SafeFormat(std::wstring_view format, const Args&... args) {
    const std::array<FormatArg, sizeof...(Args)> list{detail::ToFormatArg(args)...};
    return SafeFormatArgs(format, list);
}

// The part of a path after its last "\" or ":" (also "/"), the whole text when
// there is none. "C:\Windows\explorer.exe" and the device form
// "\Device\HarddiskVolume1\Windows\explorer.exe" give the same name.
std::wstring FileNamePart(std::wstring_view path);

// The text with one "\" appended unless it already ends with one; empty text
// stays empty (a folder that could not be named is not the root folder).
std::wstring WithTrailingBackslash(std::wstring_view folder);

// The version of a fixed file-information block as text: 1 to 4 parts of
// (high word of ms, low word of ms, high word of ls, low word of ls) joined by
// ".". Empty for any other number of parts.
std::wstring VersionText(std::uint32_t versionMs, std::uint32_t versionLs, int parts);

// The text without leading and trailing white space and control characters
// (code points up to U+0020).
std::wstring TrimText(std::wstring_view text);

}  // namespace promo
