#include "support/TextCodec.h"

#include <algorithm>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#endif

namespace promo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp > 0xFFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(cp));
}

// Reads one character of text as a code point. On 16-bit wchar_t a surrogate
// pair becomes one code point; a lone surrogate is returned as it is.
char32_t NextCodePoint(std::wstring_view text, size_t& i) {
    char32_t c = static_cast<char32_t>(text[i++]);
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0xD800 && c <= 0xDBFF && i < text.size()) {
            char32_t low = static_cast<char32_t>(text[i]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++i;
                return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            }
        }
    }
    return c;
}

// Cuts the text at its first NUL; true when anything but NULs followed it.
bool CutAtNul(std::wstring& text) {
    const size_t nul = text.find(L'\0');
    if (nul == std::wstring::npos) return false;
    const bool dropped = text.find_first_not_of(L'\0', nul) != std::wstring::npos;
    text.resize(nul);
    return dropped;
}

#ifndef _WIN32
// Windows-1252, bytes 0x80..0x9F; the rest of the page equals Latin-1. The five
// unassigned bytes map to the C1 control of the same value, as the system does.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<std::wstring>& DecimalOverride() {
    static std::optional<std::wstring> value;
    return value;
}
#else
std::optional<std::wstring>& DecimalOverride() {
    static std::optional<std::wstring> value;
    return value;
}

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[16] = {};
    int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16);
    if (n <= 1) return fallback;
    return std::wstring(buffer, static_cast<size_t>(n - 1));
}
#endif

}  // namespace

std::wstring DecodeUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        if (b < 0x80) {
            out.push_back(static_cast<wchar_t>(b));
            ++i;
            continue;
        }
        int need;
        char32_t cp;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            cp = b & 0x0F;
            if (b == 0xE0) lo = 0xA0;  // no overlong forms
            if (b == 0xED) hi = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            cp = b & 0x07;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
        } else {
            AppendCodePoint(out, kReplacement);
            ++i;
            continue;
        }
        // Maximal valid prefix: one replacement for it, then go on after it.
        size_t j = i + 1;
        int got = 0;
        while (got < need && j < n) {
            unsigned char c = p[j];
            unsigned char min = got == 0 ? lo : 0x80;
            unsigned char max = got == 0 ? hi : 0xBF;
            if (c < min || c > max) break;
            cp = (cp << 6) | (c & 0x3F);
            ++j;
            ++got;
        }
        AppendCodePoint(out, got == need ? cp : kReplacement);
        i = j;
    }
    return out;
}

std::string EncodeUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = NextCodePoint(text, i);
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::wstring DecodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::wstring out;
    size_t units = bytes.size() / 2;
    out.reserve(units);
    auto unit = [&](size_t k) -> char32_t {
        std::uint8_t a = bytes[2 * k], b = bytes[2 * k + 1];
        return bigEndian ? (char32_t{a} << 8 | b) : (char32_t{b} << 8 | a);
    };
    for (size_t k = 0; k < units; ++k) {
        char32_t u = unit(k);
        if constexpr (sizeof(wchar_t) == 2) {
            out.push_back(static_cast<wchar_t>(u));  // code units stay as they are
        } else {
            if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
                char32_t low = unit(k + 1);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    out.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
                    ++k;
                    continue;
                }
            }
            // A lone surrogate is kept so that saving writes the same unit back.
            out.push_back(static_cast<wchar_t>(u));
        }
    }
    return out;
}

std::string EncodeUtf16LE(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    auto put = [&out](char32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>((u >> 8) & 0xFF));
    };
    if constexpr (sizeof(wchar_t) == 2) {
        for (wchar_t c : text) put(static_cast<char32_t>(c));
    } else {
        for (wchar_t c : text) {
            char32_t cp = static_cast<char32_t>(c);
            if (cp <= 0xFFFF) {
                put(cp);
            } else if (cp <= 0x10FFFF) {
                cp -= 0x10000;
                put(0xD800 + (cp >> 10));
                put(0xDC00 + (cp & 0x3FF));
            } else {
                put(kReplacement);
            }
        }
    }
    return out;
}

std::string EncodeUtf16LEWithBom(std::wstring_view text) {
    std::string out = "\xFF\xFE";
    out += EncodeUtf16LE(text);
    return out;
}

std::string ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf16LE:
            return "\xFF\xFE";
        case TextEncoding::Utf16BE:
            return "\xFE\xFF";
        case TextEncoding::Utf8:
            return "\xEF\xBB\xBF";
        case TextEncoding::Ansi:
            break;
    }
    return {};
}

#ifdef _WIN32

std::wstring DecodeAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    // The whole text in one call (files are small; beyond 2 GB the rest is dropped).
    int len = static_cast<int>(std::min<size_t>(bytes.size(), 0x7FFFFFFF));
    int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, out.data(), n);
    return out;
}

std::string EncodeAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    int len = static_cast<int>(text.size());
    int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), len, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring UserDecimalSeparator() {
    if (DecimalOverride()) return *DecimalOverride();
    return LocaleText(LOCALE_SDECIMAL, L".");
}

std::wstring UserDateSeparator() { return LocaleText(LOCALE_SDATE, L"/"); }
std::wstring UserTimeSeparator() { return LocaleText(LOCALE_STIME, L":"); }

#else

std::wstring DecodeAnsi(std::string_view bytes) {
    // Through a small buffer: the result is written once, not zeroed first.
    std::wstring out;
    out.reserve(bytes.size());
    wchar_t chunk[512];
    for (size_t at = 0; at < bytes.size(); at += std::size(chunk)) {
        const size_t n = std::min(std::size(chunk), bytes.size() - at);
        for (size_t k = 0; k < n; ++k) {
            auto b = static_cast<unsigned char>(bytes[at + k]);
            chunk[k] = (b & 0xE0) == 0x80 ? static_cast<wchar_t>(kCp1252High[b - 0x80]) : static_cast<wchar_t>(b);
        }
        out.append(chunk, n);
    }
    return out;
}

std::string EncodeAnsi(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = NextCodePoint(text, i);
        char byte = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            byte = static_cast<char>(cp);
        } else {
            for (int k = 0; k < 32; ++k) {
                if (static_cast<char32_t>(kCp1252High[k]) == cp) {
                    byte = static_cast<char>(0x80 + k);
                    break;
                }
            }
        }
        out.push_back(byte);
    }
    return out;
}

std::wstring UserDecimalSeparator() {
    if (DecimalOverride()) return *DecimalOverride();
    return L".";
}

std::wstring UserDateSeparator() { return L"/"; }
std::wstring UserTimeSeparator() { return L":"; }

#endif

void SetDecimalSeparatorForTesting(std::optional<std::wstring> separator) {
    DecimalOverride() = std::move(separator);
}

DecodedText DecodeText(std::span<const std::uint8_t> bytes) {
    DecodedText result;
    auto starts = [&bytes](std::initializer_list<std::uint8_t> mark) {
        if (bytes.size() < mark.size()) return false;
        size_t k = 0;
        for (std::uint8_t m : mark)
            if (bytes[k++] != m) return false;
        return true;
    };
    bool dropped = starts({0xFF, 0xFE, 0x00, 0x00}) || starts({0x00, 0x00, 0xFE, 0xFF});
    if (starts({0xFF, 0xFE})) {
        result.encoding = TextEncoding::Utf16LE;
        result.text = DecodeUtf16(bytes.subspan(2), false);
    } else if (starts({0xFE, 0xFF})) {
        result.encoding = TextEncoding::Utf16BE;
        result.text = DecodeUtf16(bytes.subspan(2), true);
    } else if (starts({0xEF, 0xBB, 0xBF})) {
        result.encoding = TextEncoding::Utf8;
        std::span<const std::uint8_t> rest = bytes.subspan(3);
        result.text = DecodeUtf8(std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
    } else {
        result.encoding = TextEncoding::Ansi;
        std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        // Cut before decoding: a multi-byte code page must not see what follows.
        size_t nul = raw.find('\0');
        if (nul != std::string_view::npos) {
            dropped = dropped || raw.find_first_not_of('\0', nul) != std::string_view::npos;
            raw = raw.substr(0, nul);
        }
        result.text = DecodeAnsi(raw);
    }
    dropped = CutAtNul(result.text) || dropped;
    result.textDropped = dropped;
    return result;
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
    size_t nul = text.find(L'\0');
    if (nul != std::wstring_view::npos) text = text.substr(0, nul);
    std::vector<std::wstring> lines;
    size_t start = 0;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            lines.emplace_back(text.substr(start, i - start));
            ++i;
            if (c == L'\r' && i < n && text[i] == L'\n') ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n) lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::wstring> DecodeTextLines(std::span<const std::uint8_t> bytes) {
    return SplitLines(DecodeText(bytes).text);
}

}  // namespace promo
