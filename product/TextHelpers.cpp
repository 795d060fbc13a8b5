#include "product/TextHelpers.h"

#include <optional>

namespace promo {
namespace {

std::wstring Digits(std::uint64_t value, unsigned base, bool upper) {
    const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring out;
    do {
        out.insert(out.begin(), digits[value % base]);
        value /= base;
    } while (value != 0);
    return out;
}

void Pad(std::wstring& out, std::wstring body, std::size_t width, bool left, bool zero) {
    if (body.size() >= width) {
        out += body;
    } else if (left) {
        out += body;
        out.append(width - body.size(), L' ');
    } else if (zero) {
        // Zeros go between the sign and the digits.
        const std::size_t sign = (!body.empty() && body[0] == L'-') ? 1 : 0;
        body.insert(sign, width - body.size(), L'0');
        out += body;
    } else {
        out.append(width - body.size(), L' ');
        out += body;
    }
}

// Formats into `out`; nullopt when the format does not fit the arguments.
std::optional<std::wstring> Format(std::wstring_view format, std::span<const FormatArg> args) {
    std::wstring out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            out += format[i];
            continue;
        }
        if (++i >= format.size()) return std::nullopt;
        if (format[i] == L'%') {
            out += L'%';
            continue;
        }
        bool left = false, zero = false;
        for (; i < format.size() && (format[i] == L'-' || format[i] == L'0'); ++i)
            (format[i] == L'-' ? left : zero) = true;
        std::size_t width = 0;
        for (; i < format.size() && format[i] >= L'0' && format[i] <= L'9'; ++i) {
            width = width * 10 + static_cast<std::size_t>(format[i] - L'0');
            if (width > 1024) return std::nullopt;  // no use here; refuse huge paddings
        }
        if (i >= format.size() || next >= args.size()) return std::nullopt;
        const FormatArg& arg = args[next++];
        const wchar_t conv = format[i];
        if (conv == L's') {
            const auto* text = std::get_if<std::wstring>(&arg);
            if (!text) return std::nullopt;
            Pad(out, *text, width, left, false);
            continue;
        }
        const auto* number = std::get_if<std::int64_t>(&arg);
        if (!number) return std::nullopt;
        switch (conv) {
            case L'd':
            case L'i': {
                const std::int64_t v = *number;
                const std::uint64_t magnitude =
                    v < 0 ? ~static_cast<std::uint64_t>(v) + 1 : static_cast<std::uint64_t>(v);
                Pad(out, (v < 0 ? L"-" : L"") + Digits(magnitude, 10, false), width, left, zero);
                break;
            }
            case L'u':
            case L'x':
            case L'X': {
                std::uint64_t v = static_cast<std::uint64_t>(*number);
                if (*number < 0 && *number >= INT32_MIN) v &= 0xFFFFFFFFu;
                Pad(out, Digits(v, conv == L'u' ? 10 : 16, conv == L'X'), width, left, zero);
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

}  // namespace

std::wstring SafeFormatArgs(std::wstring_view format, std::span<const FormatArg> args) {
    std::optional<std::wstring> text = Format(format, args);
    return text ? std::move(*text) : std::wstring(format);
}

std::wstring FileNamePart(std::wstring_view path) {
    const std::size_t cut = path.find_last_of(L"\\/:");
    return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

std::wstring WithTrailingBackslash(std::wstring_view folder) {
    std::wstring out(folder);
    if (!out.empty() && out.back() != L'\\') out += L'\\';
    return out;
}

std::wstring VersionText(std::uint32_t versionMs, std::uint32_t versionLs, int parts) {
    const int a = static_cast<int>(versionMs >> 16), b = static_cast<int>(versionMs & 0xFFFF);
    const int c = static_cast<int>(versionLs >> 16), d = static_cast<int>(versionLs & 0xFFFF);
    switch (parts) {
        case 1:
            return SafeFormat(L"%d", a);
        case 2:
            return SafeFormat(L"%d.%d", a, b);
        case 3:
            return SafeFormat(L"%d.%d.%d", a, b, c);
        case 4:
            return SafeFormat(L"%d.%d.%d.%d", a, b, c, d);
        default:
            return {};
    }
}

std::wstring TrimText(std::wstring_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] <= L' ') ++begin;
    while (end > begin && text[end - 1] <= L' ') --end;
    return std::wstring(text.substr(begin, end - begin));
}

}  // namespace promo
