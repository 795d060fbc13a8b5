// Text files and resources to text and back. A byte sequence is decoded by
// its byte-order mark (UTF-16 LE, UTF-16 BE, UTF-8, otherwise the system's
// ANSI code page), split into lines, and saved as UTF-16 LE with a mark.
//
// Text is std::wstring: UTF-16 code units where wchar_t has 16 bits (Windows),
// code points where it has 32 bits (native builds). Nothing here throws except
// std::bad_alloc; invalid input becomes U+FFFD and never fails.
//
// Two system settings sit behind seams: the ANSI code page (the real one on
// Windows, Windows-1252 natively) and the user's decimal separator (the user
// locale's on Windows, "." natively; tests may override it).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace promo {

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct DecodedText {
    TextEncoding encoding = TextEncoding::Ansi;
    std::wstring text;  // without the mark, cut at the first NUL
    // Text was lost: something other than NULs followed the first NUL, or the
    // bytes carry a UTF-32 mark (FF FE 00 00 or 00 00 FE FF), which this
    // decoder does not read. Trailing NULs alone, as a crash leaves them, lose
    // nothing. Whoever would save the text over its source must not.
    bool textDropped = false;
};

// Chooses the encoding by the mark (FF FE, FE FF, EF BB BF, else ANSI without a
// mark) and decodes the rest. The text ends at the first NUL character; an odd
// trailing byte of UTF-16 text is ignored.
DecodedText DecodeText(std::span<const std::uint8_t> bytes);

// Splits text into lines at CR LF, a lone CR or a lone LF. A last line without
// a break is a line too; an empty text has no lines; a NUL ends the text.
std::vector<std::wstring> SplitLines(std::wstring_view text);

// DecodeText followed by SplitLines: the lines of a file or stream.
std::vector<std::wstring> DecodeTextLines(std::span<const std::uint8_t> bytes);

// Single encodings. Invalid sequences decode to U+FFFD.
std::wstring DecodeUtf8(std::string_view bytes);
std::string EncodeUtf8(std::wstring_view text);
std::wstring DecodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian);
// UTF-16 LE bytes, without a mark. Characters outside UTF-16 become U+FFFD.
std::string EncodeUtf16LE(std::wstring_view text);
// The save format of the INI files: FF FE followed by UTF-16 LE.
std::string EncodeUtf16LEWithBom(std::wstring_view text);

// The system's ANSI code page. Characters it cannot represent become "?".
std::wstring DecodeAnsi(std::string_view bytes);
std::string EncodeAnsi(std::wstring_view text);

// The byte-order mark written for an encoding (empty for ANSI).
std::string ByteOrderMark(TextEncoding encoding);

// The user's decimal separator (may be longer than one character on Windows).
std::wstring UserDecimalSeparator();
// The user's date and time separators ("/" and ":" natively).
std::wstring UserDateSeparator();
std::wstring UserTimeSeparator();
// Test seam: replaces the decimal separator until reset with std::nullopt.
void SetDecimalSeparatorForTesting(std::optional<std::wstring> separator);

}  // namespace promo
