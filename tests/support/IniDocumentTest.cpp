// The INI document: parsing (golden files), formatting, the last-match rule
// and its index, and the typed reads and writes of the common interface.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/TestData.h"
#include "support/DateTime.h"
#include "support/ExtIniFiles.h"
#include "support/IniDocument.h"
#include "support/IniText.h"
#include "support/IniValues.h"
#include "support/PSafeIniFile.h"
#include "support/TextCodec.h"

namespace promo {
namespace {

using Lines = std::vector<std::wstring>;

IniDocument Parse(const std::wstring& text) {
    IniDocument doc;
    ParseIniText(SplitLines(text), doc);
    return doc;
}

IniDocument ParseDataFile(const std::string& name) {
    std::vector<std::uint8_t> bytes = test::ReadDataFile("ini/" + name);
    EXPECT_FALSE(bytes.empty()) << name;
    IniDocument doc;
    ParseIniText(DecodeTextLines(bytes), doc);
    return doc;
}

std::string Golden(const std::string& name) {
    std::vector<std::uint8_t> bytes = test::ReadDataFile("ini/" + name);
    return std::string(bytes.begin(), bytes.end());
}

// ---- Parsing and formatting ----

TEST(IniParse, AllFourEncodingsGiveTheGoldenDocument) {
    for (const char* file :
         {"sample-utf8.ini", "sample-utf16le.ini", "sample-utf16be.ini", "sample-ansi.ini"}) {
        IniDocument doc = ParseDataFile(file);
        EXPECT_EQ(EncodeUtf8(FormatIniText(doc)), Golden("sample.expected")) << file;
    }
}

TEST(IniParse, NulEndsTheText) {
    EXPECT_EQ(EncodeUtf8(FormatIniText(ParseDataFile("nul-ends.ini"))), Golden("nul-ends.expected"));
}

TEST(IniParse, LineRules) {
    IniDocument doc = Parse(
        L"k=before header\n"
        L"[s]\n"
        L"  a  =  1  \n"  // blanks around name, "=" and value disappear
        L"b=\"q v\" \n"   // quotes stay
        L"c=\n"           // empty value
        L"; comment\n"
        L"  ; indented comment\n"
        L"#hash is data\n"
        L"d=x;y\n"  // ";" later in a line is data
        L"\tnameless  \n"
        L"  = lead\n"  // empty name
        L"e=f=g\n"     // split at the first "="
        L"[  spaced  ]\n"
        L"[]\n"
        L"[x\n");  // no closing bracket: a nameless line
    ASSERT_EQ(doc.SectionCount(), 3u);
    EXPECT_EQ(doc.Section(0).Name(), L"s");
    EXPECT_EQ(doc.Section(0).Lines(), (Lines{L"a=1", L"b=\"q v\"", L"c=", L"#hash is data", L"d=x;y",
                                             L"nameless", L"=lead", L"e=f=g"}));
    EXPECT_EQ(doc.Section(1).Name(), L"spaced");
    EXPECT_TRUE(doc.Section(1).Lines().empty());
    EXPECT_EQ(doc.Section(2).Name(), L"");
    EXPECT_EQ(doc.Section(2).Lines(), Lines{L"[x"});
    EXPECT_EQ(doc.ReadString(L"s", L"e", L"?"), L"f=g");
    EXPECT_EQ(doc.ReadString(L"s", L"", L"?"), L"lead");
    EXPECT_EQ(doc.ReadString(L"s", L"nameless", L"?"), L"?");  // nameless lines have no key
}

TEST(IniParse, ParsingReplacesTheDocument) {
    IniDocument doc = Parse(L"[old]\nk=1\n");
    ParseIniText(SplitLines(L"[new]\n"), doc);
    EXPECT_EQ(doc.ReadSections(), Lines{L"new"});
}

TEST(IniParse, InPlaceParseAgreesWithTheLineList) {
    for (const wchar_t* text : {L"", L"[s]", L"[s]\r\nk=1\r\n", L"[s]\nk=1\n\n", L"[s]\rk=1\rj=2",
                                L"[s]\r\n\r\nk=1\n\r", L"\n\n[s]\nk = 1 \r\r\n[t]\nk=2", L"[s]\nk=1\r"}) {
        IniDocument inPlace;
        ParseIniWholeText(std::wstring_view(text), inPlace);
        EXPECT_EQ(FormatIniText(inPlace), FormatIniText(Parse(text))) << "text: " << EncodeUtf8(text);
    }
    IniDocument cut;  // the text ends at a NUL, as for the line list
    ParseIniWholeText(std::wstring_view(L"[s]\nk=1\0\nj=2", 14), cut);
    EXPECT_EQ(cut.ReadSectionValues(L"s"), Lines{L"k=1"});
}

TEST(IniFormat, OneKeyIsThreeLines) {
    IniDocument doc;
    doc.WriteString(L"s", L"k", L"v");
    EXPECT_EQ(FormatIniText(doc), L"[s]\r\nk=v\r\n\r\n");
    EXPECT_EQ(FormatIniLines(doc), (Lines{L"[s]", L"k=v", L""}));
    EXPECT_EQ(FormatIniText(IniDocument()), L"");
}

TEST(IniFormat, ParseOfFormatGivesTheSameDocument) {
    for (const char* file : {"sample-utf8.ini", "nul-ends.ini", "lang-utf16le.ini"}) {
        IniDocument doc = ParseDataFile(file);
        std::string saved = EncodeUtf16LEWithBom(FormatIniText(doc));
        IniDocument again;
        ParseIniText(DecodeTextLines(std::vector<std::uint8_t>(saved.begin(), saved.end())), again);
        EXPECT_TRUE(again == doc) << file;
    }
}

// ---- Names and the last-match rule ----

TEST(IniLookup, NamesIgnoreCaseAcrossScripts) {
    IniDocument doc = ParseDataFile("lang-utf16le.ini");
    EXPECT_EQ(doc.ReadString(L"DE", L"btnbuy", L"?"), L"Jetzt kaufen");
    EXPECT_EQ(doc.ReadString(L"RU", L"КНОПКА", L"?"), L"Купить");
    EXPECT_EQ(doc.ReadString(L"EL", L"ΚΛΕΙΔΊ", L"?"), L"Αγορά");
    EXPECT_TRUE(SameNameNoCase(L"straße ÀÉ ÿ ĳ ž", L"STRAßE àé Ÿ Ĳ Ž"));
    EXPECT_FALSE(SameNameNoCase(L"a", L"b"));
}

TEST(IniLookup, DuplicateSectionsAndKeysUseTheLastMatch) {
    IniDocument doc = Parse(L"[s]\nk=1\nk=2\nother=x\n[S]\nk=3\n[t]\n");
    EXPECT_EQ(doc.ReadString(L"s", L"k", L"?"), L"3");
    EXPECT_EQ(doc.ReadString(L"s", L"other", L"?"), L"?");  // only the second [s] is searched

    doc.WriteString(L"s", L"K", L"4");  // replaced in place, in the second section
    EXPECT_EQ(doc.Section(1).Lines(), Lines{L"K=4"});
    doc.DeleteKey(L"s", L"k");
    EXPECT_TRUE(doc.Section(1).Lines().empty());
    EXPECT_EQ(doc.Section(0).Lines(), (Lines{L"k=1", L"k=2", L"other=x"}));
    EXPECT_EQ(doc.ReadString(L"s", L"k", L"?"), L"?");

    doc.EraseSection(L"s");  // the second one goes; now the first answers
    EXPECT_EQ(doc.ReadString(L"s", L"k", L"?"), L"2");
    doc.WriteString(L"s", L"k", L"5");  // replaces the second of the two lines
    EXPECT_EQ(doc.Section(0).Lines(), (Lines{L"k=1", L"k=5", L"other=x"}));
    EXPECT_EQ(doc.ReadSectionValues(L"S"), (Lines{L"k=1", L"k=5", L"other=x"}));
    doc.DeleteKey(L"s", L"k");  // the index is rebuilt: the earlier line shows again
    EXPECT_EQ(doc.ReadString(L"s", L"k", L"?"), L"1");
}

TEST(IniLookup, IndexFollowsAppendsAndRemovals) {
    IniDocument doc;
    doc.AppendSection(L"a").AppendLine(L"x=1");
    EXPECT_EQ(doc.ReadString(L"A", L"X", L"?"), L"1");  // builds the indexes
    doc.AppendSection(L"A").AppendLine(L"x=2");
    EXPECT_EQ(doc.ReadString(L"a", L"x", L"?"), L"2");
    doc.Section(1).AppendLine(L"X=3");
    EXPECT_EQ(doc.ReadString(L"a", L"x", L"?"), L"3");
    doc.Section(1).ReplaceLine(1, L"y=4");  // the name changed: old key gone
    EXPECT_EQ(doc.ReadString(L"a", L"x", L"?"), L"2");
    EXPECT_EQ(doc.ReadString(L"a", L"y", L"?"), L"4");
    doc.RemoveSection(1);
    EXPECT_EQ(doc.ReadString(L"a", L"x", L"?"), L"1");
    doc.Clear();
    EXPECT_EQ(doc.ReadString(L"a", L"x", L"?"), L"?");
}

TEST(IniLookup, ManyNamesWithDuplicatesAgreeWithAPlainScan) {
    // Enough names to make the index grow several times, half of them twice,
    // added both with the index built (WriteString) and without (AppendLine).
    IniDocument doc;
    IniSection& raw = doc.AppendSection(L"raw");
    for (int i = 0; i < 300; ++i) {
        std::wstring key = (i % 2 ? L"Key" : L"KEY") + std::to_wstring(i % 150);
        doc.WriteString(L"written", key, std::to_wstring(i));
        raw.AppendLine(L"key" + std::to_wstring(i % 150) + L"=" + std::to_wstring(i));
        if (i % 50 == 0) doc.AppendSection(L"RAW");  // later sections of the same name, empty
    }
    for (int k = 0; k < 150; ++k) {
        std::wstring key = L"kEy" + std::to_wstring(k);
        // WriteString replaced the first value in place; the raw section kept both lines.
        EXPECT_EQ(doc.ReadString(L"Written", key, L"?"), std::to_wstring(k + 150)) << k;
        EXPECT_EQ(doc.Section(0).Lines()[static_cast<size_t>(k + 150)].substr(0, 3), L"key");
        EXPECT_EQ(raw.FindKey(key), static_cast<size_t>(k + 150)) << k;
    }
    EXPECT_EQ(doc.ReadString(L"raw", L"key1", L"?"), L"?");  // the last [RAW] is empty
    EXPECT_EQ(doc.ReadSection(L"written").size(), 150u);
}

TEST(IniLookup, CaseSensitiveSwitchAppliesToLaterSections) {
    IniDocument doc = Parse(L"[s]\nk=1\n");
    doc.SetCaseSensitive(true);
    EXPECT_EQ(doc.ReadString(L"S", L"k", L"?"), L"?");
    EXPECT_EQ(doc.ReadString(L"s", L"K", L"?"), L"?");
    doc.AppendSection(L"t").AppendLine(L"a=1");
    EXPECT_EQ(doc.ReadString(L"t", L"A", L"?"), L"?");
    doc.SetCaseSensitive(false);
    EXPECT_EQ(doc.ReadString(L"T", L"A", L"?"), L"1");
}

TEST(IniLookup, SectionListVersionCountsListChangesOnly) {
    IniDocument doc;
    auto v0 = doc.SectionListVersion();
    doc.Clear();  // already empty
    EXPECT_EQ(doc.SectionListVersion(), v0);
    doc.WriteString(L"s", L"k", L"1");
    auto v1 = doc.SectionListVersion();
    EXPECT_NE(v1, v0);
    doc.WriteString(L"s", L"k", L"2");  // a line change, not a list change
    EXPECT_EQ(doc.SectionListVersion(), v1);
    EXPECT_FALSE(doc.EraseSection(L"missing"));
    EXPECT_EQ(doc.SectionListVersion(), v1);
    EXPECT_TRUE(doc.EraseSection(L"s"));
    EXPECT_NE(doc.SectionListVersion(), v1);
}

// ---- Conversions ----

TEST(IniConvert, Integers) {
    const std::pair<const wchar_t*, std::optional<std::int32_t>> cases[] = {
        {L"0", 0},
        {L"42", 42},
        {L"-17", -17},
        {L"+7", 7},
        {L"0x1F", 31},
        {L"0X1f", 31},
        {L"$1F", 31},
        {L"-$10", -16},
        {L"$FFFFFFFF", -1},
        {L"0xFF00000F", static_cast<std::int32_t>(0xFF00000Fu)},
        {L"2147483647", 2147483647},
        {L"-2147483648", INT32_MIN},
        {L"2147483648", std::nullopt},
        {L"$100000000", std::nullopt},
        {L"", std::nullopt},
        {L"0x", std::nullopt},
        {L"$", std::nullopt},
        {L"-", std::nullopt},
        {L"yes", std::nullopt},
        {L"12a", std::nullopt},
        {L"1.0", std::nullopt},
        {L"0x-1", std::nullopt},
        {L"$G", std::nullopt},
        {L"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseIniInteger(text), value) << text;
}

TEST(IniConvert, Floats) {
    EXPECT_EQ(ParseIniFloat(L"1.5", L"."), 1.5);
    EXPECT_EQ(ParseIniFloat(L"-2,25", L","), -2.25);
    EXPECT_EQ(ParseIniFloat(L"1e3", L"."), 1000.0);
    EXPECT_EQ(ParseIniFloat(L" 3 ", L"."), 3.0);
    EXPECT_EQ(ParseIniFloat(L".5", L"."), 0.5);
    for (const wchar_t* bad : {L"", L"abc", L"1.5", L"1e", L"--1", L"1e999", L"1e-999", L"1,5,", L"NAN"})
        EXPECT_EQ(ParseIniFloat(bad, L","), std::nullopt) << bad;

    const std::pair<double, const wchar_t*> formats[] = {
        {0.0, L"0"},
        {42.0, L"42"},
        {-2.5, L"-2.5"},
        {0.1, L"0.1"},
        {1.0 / 3, L"0.333333333333333"},
        {1e20, L"1E20"},
        {1.5e-7, L"1.5E-7"},
        {123456789012345.0, L"123456789012345"},
        {1e15, L"1E15"},
        {0.0001, L"0.0001"},
    };
    for (const auto& [value, text] : formats) EXPECT_EQ(FormatIniFloat(value, L"."), text) << value;
    EXPECT_EQ(FormatIniFloat(-2.5, L","), L"-2,5");
}

// ---- The common interface on TMemIniFile ----

class MemIniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini.WriteString(L"n", L"hex", L"0x1F");
        ini.WriteString(L"n", L"dollar", L"$1F");
        ini.WriteString(L"n", L"one", L"1");
        ini.WriteString(L"n", L"zero", L"0");
        ini.WriteString(L"n", L"hexzero", L"0x0");
        ini.WriteString(L"n", L"word", L"yes");
        ini.WriteString(L"n", L"empty", L"");
        ini.WriteString(L"n", L"float", L"2.5");
    }
    void TearDown() override { SetDecimalSeparatorForTesting(std::nullopt); }
    TMemIniFile ini;
};

TEST_F(MemIniFileTest, TypedReads) {
    EXPECT_EQ(ini.ReadInteger(L"n", L"hex", -1), 31);
    EXPECT_EQ(ini.ReadInteger(L"n", L"dollar", -1), 31);
    EXPECT_EQ(ini.ReadInteger(L"n", L"word", -1), -1);
    EXPECT_EQ(ini.ReadInteger(L"n", L"missing", 7), 7);
    EXPECT_TRUE(ini.ReadBool(L"n", L"one", false));
    EXPECT_FALSE(ini.ReadBool(L"n", L"zero", true));
    EXPECT_TRUE(ini.ReadBool(L"n", L"hex", false));
    EXPECT_FALSE(ini.ReadBool(L"n", L"hexzero", true));
    EXPECT_TRUE(ini.ReadBool(L"n", L"word", true));
    EXPECT_FALSE(ini.ReadBool(L"n", L"word", false));
    EXPECT_EQ(ini.ReadString(L"n", L"empty", L"default"), L"");  // empty, not the default
    EXPECT_EQ(ini.ReadFloat(L"n", L"empty", 9.5), 9.5);
    EXPECT_EQ(ini.ReadFloat(L"n", L"float", 0), 2.5);
    SetDecimalSeparatorForTesting(L",");
    EXPECT_EQ(ini.ReadFloat(L"n", L"float", -1), -1);  // "." is not this user's separator
    ini.WriteFloat(L"n", L"f2", 0.75);
    EXPECT_EQ(ini.ReadString(L"n", L"f2", L""), L"0,75");
    EXPECT_EQ(ini.ReadFloat(L"n", L"f2", 0), 0.75);
}

TEST_F(MemIniFileTest, TypedWrites) {
    ini.WriteInteger(L"w", L"i", -12);
    ini.WriteBool(L"w", L"t", true);
    ini.WriteBool(L"w", L"f", false);
    ini.WriteFloat(L"w", L"whole", 3.0);
    EXPECT_EQ(ini.Document().ReadSectionValues(L"w"), (Lines{L"i=-12", L"t=1", L"f=0", L"whole=3"}));
    ini.WriteString(L"w", L"pad", L"  v  ");  // written untrimmed
    EXPECT_EQ(ini.ReadString(L"w", L"pad", L""), L"  v  ");
}

// An entry that would not read back as written is refused and changes
// nothing; every entry accepted reads back from the saved text unchanged.
TEST(IniWrite, EntriesThatWouldNotReadBackAreRefused) {
    const struct {
        std::wstring section, key, value;
        bool accepted;
    } cases[] = {
        {L"Main", L"InstDate1", L"44000.5", true},
        {L"KVBenefit", L"BenefitsR_2020", L"", true},
        {L"s", L"k", L"a=b;c[d]", true},
        {L"[s", L"k;", L"v", true},
        {L"s", L"k", L"line\r\n[Other]", false},
        {L"s", L"k", std::wstring(L"a\0b", 3), false},
        {L"s", L"k\r", L"v", false},
        {L"s\n", L"k", L"v", false},
        {std::wstring(L"s\0", 2), L"k", L"v", false},
        {L"s", L";k", L"v", false},
        {L"s", L"a=b", L"v", false},
        {L"s", L" k", L"v", false},
        {L"s ", L"k", L"v", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key.size() << ":" << c.value.size());
        TMemIniFile ini;
        ini.WriteString(L"s", L"keep", L"1");
        const IniDocument before = ini.Document();
        EXPECT_EQ(IsIniEntryWritable(c.section, c.key, c.value), c.accepted);
        EXPECT_EQ(ini.WriteString(c.section, c.key, c.value), c.accepted);
        if (!c.accepted) {
            EXPECT_TRUE(ini.Document() == before);
            continue;
        }
        const IniDocument saved = Parse(FormatIniText(ini.Document()));
        EXPECT_EQ(saved.ReadString(c.section, c.key, L"\x1F<default>"), c.value);
        EXPECT_EQ(saved.ReadString(L"s", L"keep", L""), L"1");
    }
}

TEST_F(MemIniFileTest, SectionsAndValues) {
    TMemIniFile mem;
    mem.WriteString(L"a", L"x", L"1");
    mem.WriteString(L"b\\c", L"y", L"2");
    mem.WriteString(L"B\\d\\e", L"z", L"3");
    mem.WriteString(L"b\\C", L"w", L"4");
    Lines list{L"stale"};
    mem.ReadSections(list);
    EXPECT_EQ(list, (Lines{L"a", L"b\\c", L"B\\d\\e"}));
    mem.ReadSubSections(L"b", list);
    EXPECT_EQ(list, (Lines{L"c", L"d"}));
    mem.ReadSection(L"missing", list);
    EXPECT_TRUE(list.empty());
    mem.ReadSection(L"B\\C", list);
    EXPECT_EQ(list, (Lines{L"y", L"w"}));
    EXPECT_TRUE(mem.ValueExists(L"a", L"X"));
    EXPECT_FALSE(mem.ValueExists(L"a", L"y"));
    EXPECT_TRUE(mem.SectionExists(L"A"));
    mem.EraseSection(L"a");
    EXPECT_FALSE(mem.SectionExists(L"a"));
    mem.DeleteKey(L"missing", L"x");  // nothing happens
    mem.ReadSectionValues(L"b\\c", list);
    EXPECT_EQ(list, (Lines{L"y=2", L"w=4"}));
}

TEST(ExtIniFile, LoadsOnRequestAndKeepsItsContentsWhenTheFileCannotBeOpened) {
    TExtIniFile ext;
    ext.WriteString(L"keep", L"k", L"v");
    ext.LoadFromFile(DecodeUtf8(test::DataPath("ini/does-not-exist.ini")));
    EXPECT_EQ(ext.ReadString(L"keep", L"k", L""), L"v");

    ext.LoadFromFile(DecodeUtf8(test::DataPath("ini/sample-utf16be.ini")));
    EXPECT_EQ(ext.ReadString(L"cuslan", L"NAME", L""), L"IT");
    EXPECT_EQ(ext.ReadString(L"Cuslan", L"Quoted", L"?"), L"?");  // only the last [Cuslan] counts
    EXPECT_FALSE(ext.SectionExists(L"keep"));
    EXPECT_FALSE(ext.SectionExists(L"Empty Section"));  // a header without lines
    IniStringList list{L"stale"};
    ext.ReadSection(L"Empty Section", list);
    EXPECT_TRUE(list.empty());
    ext.ReadSections(list);
    EXPECT_EQ(list, (Lines{L"Cuslan", L"Empty Section", L"Cuslan", L""}));
    ext.ReadSection(L"cuslan", list);
    EXPECT_EQ(list, (Lines{L"Name", L"Name", L"", L""}));
    EXPECT_TRUE(ext.FileName().empty());
}

TEST_F(MemIniFileTest, DatesTimesAndBinary) {
    const double when = EncodeDateValue(2020, 9, 22) + EncodeTimeValue(13, 5, 7, 89);
    ini.WriteDateTime(L"d", L"dt", when);
    EXPECT_EQ(ini.ReadString(L"d", L"dt", L""), L"09/22/2020 13:05:07:089");
    EXPECT_NEAR(ini.ReadDateTime(L"d", L"dt", 0), when, 1e-8);
    ini.WriteDate(L"d", L"date", when);
    EXPECT_EQ(ini.ReadDate(L"d", L"date", 0), EncodeDateValue(2020, 9, 22));
    ini.WriteTime(L"d", L"time", when);
    EXPECT_NEAR(ini.ReadTime(L"d", L"time", 0), EncodeTimeValue(13, 5, 7, 89), 1e-8);
    ini.WriteString(L"d", L"bad", L"02/30/2020");
    EXPECT_EQ(ini.ReadDate(L"d", L"bad", -1), -1);
    EXPECT_EQ(ini.ReadDateTime(L"d", L"word", -1), -1);

    const std::vector<std::uint8_t> bytes{0x00, 0x7F, 0xAB, 0xFF};
    ini.WriteBinaryStream(L"b", L"blob", bytes);
    EXPECT_EQ(ini.ReadString(L"b", L"blob", L""), L"007FABFF");
    std::vector<std::uint8_t> back;
    EXPECT_EQ(ini.ReadBinaryStream(L"b", L"blob", back), 4u);
    EXPECT_EQ(back, bytes);
    ini.WriteString(L"b", L"odd", L"ABC");
    EXPECT_EQ(ini.ReadBinaryStream(L"b", L"odd", back), 0u);
}

}  // namespace
}  // namespace promo
