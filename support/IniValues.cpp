#include "support/IniValues.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "support/IniNames.h"

namespace promo {

namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::wstring_view text) {
    std::wstring_view rest = text;
    bool hex = false;
    bool negative = false;
    if (rest.size() > 2 && rest[0] == L'0' && (rest[1] == L'x' || rest[1] == L'X')) {
        hex = true;
        rest.remove_prefix(2);
    } else {
        if (!rest.empty() && (rest[0] == L'+' || rest[0] == L'-')) {
            negative = rest[0] == L'-';
            rest.remove_prefix(1);
        }
        if (!rest.empty() && rest[0] == L'$') {
            hex = true;
            rest.remove_prefix(1);
        }
    }
    if (rest.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (wchar_t c : rest) {
        int d = hex ? HexDigit(c) : (c >= L'0' && c <= L'9' ? c - L'0' : -1);
        if (d < 0) return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
        if (magnitude > 0xFFFFFFFFull) return std::nullopt;
    }
    if (hex) {
        auto pattern = static_cast<std::uint32_t>(magnitude);
        if (negative) pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    if (negative) {
        if (magnitude > 0x80000000ull) return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    if (magnitude > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<std::int32_t>(magnitude);
}

std::optional<double> ParseIniFloat(std::wstring_view text, std::wstring_view decimalSeparator) {
    text = TrimIniText(text);
    // Rewritten as plain ASCII with "." for strtod, checking the grammar
    // [sign] digits [separator digits] [(e|E) [sign] digits] on the way.
    std::string ascii;
    ascii.reserve(text.size());
    size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') ascii.push_back('-');
        ++i;
    }
    size_t digits = 0;
    auto takeDigits = [&]() {
        size_t n = 0;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
            ascii.push_back(static_cast<char>(text[i]));
            ++i;
            ++n;
        }
        return n;
    };
    digits += takeDigits();
    if (!decimalSeparator.empty() && text.substr(i, decimalSeparator.size()) == decimalSeparator) {
        ascii.push_back('.');
        i += decimalSeparator.size();
        digits += takeDigits();
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ascii.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
            ascii.push_back(static_cast<char>(text[i++]));
        if (takeDigits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    // The program never changes the C locale, so strtod reads "." as the
    // decimal point. Too large or too small to be held: no number.
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(ascii.c_str(), &end);
    if (errno == ERANGE || end != ascii.c_str() + ascii.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::wstring FormatIniFloat(double value, std::wstring_view decimalSeparator) {
    if (std::isnan(value)) return L"NAN";
    if (std::isinf(value)) return value > 0 ? L"INF" : L"-INF";
    // Fifteen significant digits in the shortest of fixed or exponent form,
    // in the C locale (the program never changes it).
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string_view text(buffer, length > 0 && length < static_cast<int>(sizeof buffer) ? length : 0);
    // "1.5e-07" -> "1.5E-7", "1e+20" -> "1E20".
    std::wstring out;
    size_t e = text.find('e');
    std::string_view mantissa = text.substr(0, e);
    for (char c : mantissa) {
        if (c == '.')
            out.append(decimalSeparator);
        else
            out.push_back(static_cast<wchar_t>(c));
    }
    if (e != std::string_view::npos) {
        std::string_view exponent = text.substr(e + 1);
        out.push_back(L'E');
        if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
            if (exponent[0] == '-') out.push_back(L'-');
            exponent.remove_prefix(1);
        }
        while (exponent.size() > 1 && exponent[0] == '0') exponent.remove_prefix(1);
        for (char c : exponent) out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}

}  // namespace promo
