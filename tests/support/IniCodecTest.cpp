// Decoding by byte-order mark, line splitting and the save encoding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TextCodec.h"

namespace promo {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

struct DecodeCase {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::wstring text;
};

TEST(TextCodec, DecodesByByteOrderMark) {
    const DecodeCase cases[] = {
        {"utf16le",
         std::string("\xFF\xFE"
                     "A\0\xE9\0\xAC\x20",
                     8),
         TextEncoding::Utf16LE, L"A\u00E9\u20AC"},
        {"utf16be",
         std::string("\xFE\xFF"
                     "\0A\0\xE9\x20\xAC",
                     8),
         TextEncoding::Utf16BE, L"A\u00E9\u20AC"},
        {"utf8",
         "\xEF\xBB\xBF"
         "A\xC3\xA9\xE2\x82\xAC",
         TextEncoding::Utf8, L"A\u00E9\u20AC"},
        {"ansi 1252", "A\xE9\x80", TextEncoding::Ansi, L"A\u00E9\u20AC"},
        {"utf8 without mark is ansi", "\xC3\xA9", TextEncoding::Ansi, L"\u00C3\u00A9"},
        {"mark only", "\xFF\xFE", TextEncoding::Utf16LE, L""},
        {"empty", "", TextEncoding::Ansi, L""},
        {"one byte of a mark", "\xFF", TextEncoding::Ansi, L"\u00FF"},
        {"odd utf16 byte dropped",
         std::string("\xFF\xFE"
                     "A\0B",
                     5),
         TextEncoding::Utf16LE, L"A"},
        {"utf16 surrogate pair",
         std::string("\xFF\xFE"
                     "\x3D\xD8\x00\xDE",
                     6),
         TextEncoding::Utf16LE, L"\U0001F600"},
        {"utf8 four bytes", "\xEF\xBB\xBF\xF0\x9F\x98\x80", TextEncoding::Utf8, L"\U0001F600"},
        {"nul ends ansi", std::string("ab\0cd", 5), TextEncoding::Ansi, L"ab"},
        {"nul ends utf16",
         std::string("\xFF\xFE"
                     "a\0\0\0b\0",
                     8),
         TextEncoding::Utf16LE, L"a"},
        {"nul ends utf8",
         std::string("\xEF\xBB\xBF"
                     "x\0y",
                     6),
         TextEncoding::Utf8, L"x"},
    };
    for (const DecodeCase& c : cases) {
        DecodedText d = DecodeText(Bytes(c.bytes));
        EXPECT_EQ(d.encoding, c.encoding) << c.name;
        EXPECT_EQ(d.text, c.text) << c.name;
    }
}

// Whatever follows a NUL is lost to the reader; a save over such a file would
// lose it for good, so the loss is reported. NULs alone at the end (what a
// crash in the middle of a write leaves) lose nothing.
TEST(TextCodec, ReportsTextLostAtANulOrAUtf32Mark) {
    const struct {
        const char* name;
        std::string bytes;
        bool dropped;
        std::wstring text;
    } cases[] = {
        {"ansi text after nul", std::string("ab\0cd", 5), true, L"ab"},
        {"ansi trailing nuls", std::string("ab\0\0\0", 5), false, L"ab"},
        {"utf16 text after nul",
         std::string("\xFF\xFE"
                     "a\0\0\0b\0",
                     8),
         true, L"a"},
        {"utf16 trailing nuls",
         std::string("\xFF\xFE"
                     "a\0\0\0\0\0",
                     8),
         false, L"a"},
        {"utf8 text after nul",
         std::string("\xEF\xBB\xBF"
                     "x\0y",
                     6),
         true, L"x"},
        {"utf32le", std::string("\xFF\xFE\0\0[\0\0\0", 8), true, L""},
        {"utf32le mark only", std::string("\xFF\xFE\0\0", 4), true, L""},
        {"utf32be", std::string("\0\0\xFE\xFF\0\0\0[", 8), true, L""},
    };
    for (const auto& c : cases) {
        const DecodedText d = DecodeText(Bytes(c.bytes));
        EXPECT_EQ(d.textDropped, c.dropped) << c.name;
        EXPECT_EQ(d.text, c.text) << c.name;
    }
}

TEST(TextCodec, InvalidUtf8BecomesReplacementCharacters) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"\xFF", L"\uFFFD"},
        {"a\x80"
         "b",
         L"a\uFFFDb"},
        {"\xC3", L"\uFFFD"},                                // cut short at the end
        {"\xE2\x82", L"\uFFFD"},                            // one replacement for a valid prefix
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                      // overlong
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xE2\x82x", L"\uFFFDx"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(DecodeUtf8(bytes), text) << bytes.size();
}

TEST(TextCodec, SplitsLinesAtEveryKindOfBreak) {
    using Lines = std::vector<std::wstring>;
    EXPECT_EQ(SplitLines(L"a\r\nb\rc\nd"), (Lines{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(SplitLines(L"a\n\nb\r\n"), (Lines{L"a", L"", L"b"}));
    EXPECT_EQ(SplitLines(L"\r\r\n\n"), (Lines{L"", L"", L""}));
    EXPECT_EQ(SplitLines(L"\n\r"), (Lines{L"", L""}));  // LF then a lone CR
    EXPECT_EQ(SplitLines(L""), Lines{});
    EXPECT_EQ(SplitLines(std::wstring(L"a\nb\0c\nd", 7)), (Lines{L"a", L"b"}));
}

TEST(TextCodec, SaveEncodingIsUtf16LeWithMarkAndRoundTrips) {
    const std::wstring text = L"[S]\r\nk=\u00E9\u20AC\U0001F600\r\n";
    std::string bytes = EncodeUtf16LEWithBom(text);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE[\0", 4));
    EXPECT_EQ(bytes.size(), 2 + 2 * 13u);  // the emoji takes two code units
    DecodedText back = DecodeText(Bytes(bytes));
    EXPECT_EQ(back.encoding, TextEncoding::Utf16LE);
    EXPECT_EQ(back.text, text);
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
}

TEST(TextCodec, LoneSurrogatesSurviveTheSave) {
    const std::string original(
        "\xFF\xFE"
        "\x00\xD8"
        "a\0"
        "\x00\xDC",
        8);
    DecodedText d = DecodeText(Bytes(original));
    EXPECT_EQ(EncodeUtf16LEWithBom(d.text), original);
}

TEST(TextCodec, AnsiCodePage) {
#ifndef _WIN32
    EXPECT_EQ(DecodeAnsi("\x80\x8A\x9F\x81\xFF"), L"\u20AC\u0160\u0178\u0081\u00FF");
    EXPECT_EQ(EncodeAnsi(L"\u20AC\u0160\u00E9A"),
              "\x80\x8A\xE9"
              "A");
    EXPECT_EQ(EncodeAnsi(L"\u0416\U0001F600"), "??");  // outside the page
#else
    // The real code page: whatever it is, it holds ASCII.
    EXPECT_EQ(DecodeAnsi(EncodeAnsi(L"Name=DE")), L"Name=DE");
#endif
}

TEST(TextCodec, DecimalSeparatorSeamCanBeOverridden) {
    SetDecimalSeparatorForTesting(L",");
    EXPECT_EQ(UserDecimalSeparator(), L",");
    SetDecimalSeparatorForTesting(std::nullopt);
#ifndef _WIN32
    EXPECT_EQ(UserDecimalSeparator(), L".");
#endif
}

}  // namespace
}  // namespace promo
