// The text table as shipped (resources/texts/Resource_1.ini) against the
// translations the product team signed off, and the language and key
// fallbacks of reading it.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "promo/LocalizedTexts.h"
#include "support/IniText.h"
#include "support/TextCodec.h"

namespace promo {
namespace {

struct ExpectedSection {
    const wchar_t* name;
    std::array<const wchar_t*, kTextCount> texts;  // btnclose ... btnBuy
};

// Written out independently of the file, in the order of its sections.
const ExpectedSection kExpected[] = {
    {L"de",
     {L"Schlie\u00DFen", L"Pellorin 7", L"Der neue Pellorin 8 ist jetzt verf\u00FCgbar", L"4.500.000+",
      L"Treiberdatenbank", L"Offline", L"Treiberaktualisierung", L"0\u20AC", L"Upgraden zu PRO",
      L"Jetzt upgraden f\u00FCr 0\u20AC"}},
    {L"DK",
     {L"Luk", L"Pellorin 7", L"Ny Pellorin 8 er nu tilg\u00E6ngelig", L"4,500,000+", L"Drev i databasen",
      L"Offline", L"Drevopdateringer", L"0 kr.", L"Opgrader til PRO", L"Opgrader nu \u2013 0 kr."}},
    {L"ES",
     {L"Cerrar", L"Pellorin 7", L"El nuevo Pellorin 8 ya est\u00E1 disponible", L"4,500,000+",
      L"Base de datos de controladores", L"Offline", L"Actualizaci\u00F3n de controladores", L"0\u20AC",
      L"Actualizar a PRO", L"Actualizar Ahora por 0\u20AC"}},
    {L"FR",
     {L"Fermer", L"Pellorin 7", L"Pellorin 8 est disponible", L"+ de 4 500 000", L"Pilotes",
      L"Mise \u00E0 jour", L"Hors-ligne", L"0\u20AC", L"Pour passer PRO",
      L"0\u20AC - Vite, J\u2019en Profite"}},
    {L"IT",
     {L"Chiudi", L"Pellorin 7", L"Nuovo Pellorin 8 \u00E8 disponibile ora", L"4,500,000+",
      L"Database dei driver", L"Offline", L"Aggiornamento dei driver", L"0\u20AC", L"Aggiorna a PRO",
      L"AGGIORNA ORA - 0\u20AC"}},
    {L"NL",
     {L"Sluiten", L"Pellorin 7", L"Het Nieuwe Pellorin 8 Is Nu Beschikbaar", L"4.500.000+",
      L"Driver Database", L"Offline", L"Drivers Updaten", L"\u20AC19,99", L"Exclusieve Aanbieding",
      L"Nu Upgraden - \u20AC19,99"}},
    {L"PL",
     {L"Zamknij", L"Pellorin 7", L"Nowy Pellorin 8 jest ju\u017C dost\u0119pny", L"4,500,000+",
      L"Baza danych sterownik\u00F3w", L"Offline", L"Aktualizacja sterownik\u00F3w", L"0 z\u0142",
      L"Aktywuj PRO", L"Aktywuj TERAZ za 0 z\u0142"}},
    {L"PT",
     {L"Fechar", L"Pellorin 7", L"O Novo Pellorin 8 Est\u00E1 Dispon\u00EDvel Agora", L"4,500,000+",
      L"Banco de Drivers", L"Offline", L"Atualiza\u00E7\u00E3o de Drivers", L"R$ 0",
      L"Renova\u00E7\u00E3o da Assinatura", L"Renovar Agora - R$0"}},
    {L"RU",
     {L"\u0417\u0430\u043A\u0440\u044B\u0442\u044C", L"Pellorin 7",
      L"\u041D\u043E\u0432\u044B\u0439 Pellorin 8 \u0443\u0436\u0435 "
      L"\u0434\u043E\u0441\u0442\u0443\u043F\u0435\u043D",
      L"4,500,000+",
      L"\u0414\u0440\u0430\u0439\u0432\u0435\u0440\u043E\u0432 \u0432 \u0431\u0430\u0437\u0435 "
      L"\u0434\u0430\u043D\u043D\u044B\u0445",
      L"\u041E\u0444\u0444\u043B\u0430\u0439\u043D\u043E\u0432\u043E\u0435",
      L"\u041E\u0431\u043D\u043E\u0432\u043B\u0435\u043D\u0438\u0435 "
      L"\u0434\u0440\u0430\u0439\u0432\u0435\u0440\u043E\u0432",
      L"0 \u0440\u0443\u0431.",
      L"\u041E\u0431\u043D\u043E\u0432\u043B\u0435\u043D\u0438\u0435 \u0434\u043E PRO",
      L"\u041E\u0431\u043D\u043E\u0432\u0438\u0442\u044C \u0441\u0435\u0439\u0447\u0430\u0441 \u0437\u0430 0 "
      L"\u0440\u0443\u0431."}},
    {L"SV",
     {L"St\u00E4ng", L"Pellorin 7", L"Ny Pellorin 8 \u00C4r Tillg\u00E4nglig Nu", L"4,500,000+",
      L"Drivrutinsdatabas", L"Frist\u00E5ende", L"Drivrutinuppdatering", L"0kr", L"Uppgradera till PRO",
      L"Uppgradera Nu \u2013 0kr"}},
    {L"EN",
     {L"Close", L"Pellorin 7", L"New Pellorin 8 Is Available Now", L"4,500,000+", L"Driver Database",
      L"Offline", L"Driver Update", L"$0", L"Upgrade to PRO", L"Upgrade Now - $0"}},
};

// The keys in their order within every section.
constexpr std::array<const wchar_t*, kTextCount> kExpectedKeys = {
    L"btnclose",     L"lblTitle",   L"lblDes",       L"lblFun1Title", L"lblFun1Des",
    L"lblFun2Title", L"lblFun2Des", L"lblFun3Title", L"lblFun3Des",   L"btnBuy"};

std::vector<std::uint8_t> TableBytes() {
    std::ifstream in(PROMO_TEXTS_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(TextTable, IsUtf8WithMarkAndCrLfLineEnds) {
    const std::vector<std::uint8_t> bytes = TableBytes();
    ASSERT_GT(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xEF);
    EXPECT_EQ(bytes[1], 0xBB);
    EXPECT_EQ(bytes[2], 0xBF);
    EXPECT_EQ(DecodeText(bytes).encoding, TextEncoding::Utf8);
    size_t lineEnds = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
            ++lineEnds;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    EXPECT_GE(lineEnds, 11u * 11u);
    EXPECT_EQ(bytes.back(), '\n');
    // Valid UTF-8 throughout: nothing decodes to the replacement character.
    EXPECT_EQ(DecodeText(bytes).text.find(L'\uFFFD'), std::wstring::npos);
}

TEST(TextTable, HasElevenSectionsInOrderEachWithTheTenKeys) {
    IniDocument document;
    ParseIniText(DecodeTextLines(TableBytes()), document);
    ASSERT_EQ(document.SectionCount(), std::size(kExpected));
    for (size_t s = 0; s < document.SectionCount(); ++s) {
        const IniSection& section = document.Section(s);
        // Exact names: the German header is lower case.
        EXPECT_EQ(section.Name(), kExpected[s].name);
        std::vector<std::wstring> keys;
        for (const std::wstring& line : section.Lines())
            if (IsIniKeyLine(line)) keys.emplace_back(TrimIniText(IniLineName(line)));
        ASSERT_EQ(keys.size(), kTextCount) << "section " << s;
        for (size_t k = 0; k < kTextCount; ++k) EXPECT_EQ(keys[k], kExpectedKeys[k]) << "section " << s;
    }
}

TEST(TextTable, EveryTextMatchesTheTranslations) {
    IniDocument document;
    ParseIniText(DecodeTextLines(TableBytes()), document);
    for (const ExpectedSection& expected : kExpected) {
        for (size_t k = 0; k < kTextCount; ++k) {
            EXPECT_EQ(document.ReadString(expected.name, kExpectedKeys[k], L"<missing>"), expected.texts[k])
                << expected.name << "." << kExpectedKeys[k];
        }
    }
}

TEST(TextTable, KeyTableMatchesTheWindowsDefaults) {
    const std::array<const wchar_t*, kTextCount> defaults = {L"Close",
                                                             L"Pellorin 7",
                                                             L"New Pellorin 8 Is Available Now",
                                                             L"4,500,000+",
                                                             L"Driver Database",
                                                             L"Offline",
                                                             L"Driver Update",
                                                             L"$0",
                                                             L"Upgrade to PRO",
                                                             L"Upgrade Now - $0"};
    for (size_t k = 0; k < kTextCount; ++k) {
        EXPECT_EQ(std::wstring(kTextKeys[k].key), kExpectedKeys[k]);
        EXPECT_EQ(std::wstring(kTextKeys[k].defaultText), defaults[k]);
    }
    EXPECT_EQ(std::wstring(kTextKeys[static_cast<size_t>(TextId::lblFun3Title)].key), L"lblFun3Title");
    EXPECT_EQ(std::wstring(kTextKeys[static_cast<size_t>(TextId::btnBuy)].key), L"btnBuy");
}

TEST(LoadTexts, EachLanguageGetsItsOwnSectionWhateverTheLetterCase) {
    const std::vector<std::uint8_t> bytes = TableBytes();
    for (const ExpectedSection& expected : kExpected) {
        const TLocalizedTexts texts = LoadTextsFromBytes(bytes, expected.name);
        EXPECT_EQ(texts.languageCode, expected.name);
        for (size_t k = 0; k < kTextCount; ++k) EXPECT_EQ(texts.texts[k], expected.texts[k]);
    }
    // "de" and "DE" both find the lower-case German header and keep their case.
    const TLocalizedTexts upper = LoadTextsFromBytes(bytes, L"DE");
    EXPECT_EQ(upper.languageCode, L"DE");
    EXPECT_EQ(upper.Get(TextId::btnclose), L"Schlie\u00DFen");
    const TLocalizedTexts mixed = LoadTextsFromBytes(bytes, L"nL");
    EXPECT_EQ(mixed.languageCode, L"nL");
    EXPECT_EQ(mixed.Get(TextId::lblFun3Title), L"\u20AC19,99");
    EXPECT_EQ(LoadTextsFromBytes(bytes, L"ru").Get(TextId::btnclose),
              L"\u0417\u0430\u043A\u0440\u044B\u0442\u044C");
}

TEST(LoadTexts, UnknownLanguageFallsBackToEnglishAndSaysSo) {
    const std::vector<std::uint8_t> bytes = TableBytes();
    for (const wchar_t* code : {L"JP", L"", L"XX"}) {
        const TLocalizedTexts texts = LoadTextsFromBytes(bytes, code);
        EXPECT_EQ(texts.languageCode, L"EN") << code;
        EXPECT_EQ(texts.Get(TextId::btnBuy), L"Upgrade Now - $0");
        EXPECT_EQ(texts.Get(TextId::lblDes), L"New Pellorin 8 Is Available Now");
    }
}

TEST(LoadTexts, MissingKeyTakesItsDefaultOthersComeFromTheSection) {
    const auto bytes = Bytes(
        "\xEF\xBB\xBF[EN]\r\nbtnclose=Close\r\n[sv]\r\nbtnclose=St\xC3\xA4ng\r\n"
        "LBLFUN3TITLE=  0kr  \r\nbtnBuy=first\r\nbtnBuy=last\r\n");
    const TLocalizedTexts texts = LoadTextsFromBytes(bytes, L"SV");
    EXPECT_EQ(texts.languageCode, L"SV");
    EXPECT_EQ(texts.Get(TextId::btnclose), L"St\u00E4ng");
    EXPECT_EQ(texts.Get(TextId::lblFun3Title), L"0kr");  // key case ignored, value trimmed
    EXPECT_EQ(texts.Get(TextId::btnBuy), L"last");       // of duplicates the last wins
    for (TextId id : {TextId::lblTitle, TextId::lblDes, TextId::lblFun1Title, TextId::lblFun1Des,
                      TextId::lblFun2Title, TextId::lblFun2Des, TextId::lblFun3Des})
        EXPECT_EQ(texts.Get(id), kTextKeys[static_cast<size_t>(id)].defaultText);
}

TEST(LoadTexts, EmptySectionCountsAsMissing) {
    const auto bytes = Bytes("[EN]\r\nbtnclose=Shut\r\n[FR]\r\n[IT]\r\n\r\n");
    const TLocalizedTexts texts = LoadTextsFromBytes(bytes, L"FR");
    EXPECT_EQ(texts.languageCode, L"EN");
    EXPECT_EQ(texts.Get(TextId::btnclose), L"Shut");
}

TEST(LoadTexts, NoTableGivesTheEnglishDefaults) {
    const std::vector<std::uint8_t> garbage = {0xFF, 0x00, 0x13, 0x80, 0xC3, '[', 'd', 'e', 0xFE};
    for (const auto& bytes : {std::vector<std::uint8_t>{}, garbage}) {
        const TLocalizedTexts texts = LoadTextsFromBytes(bytes, L"de");
        EXPECT_EQ(texts.languageCode, L"EN");
        for (size_t k = 0; k < kTextCount; ++k) EXPECT_EQ(texts.texts[k], kTextKeys[k].defaultText);
    }
}

TEST(LanguageCode, EmptyOrBlankBecomesEnglish) {
    EXPECT_EQ(LanguageCodeOrFallback(L""), L"EN");
    EXPECT_EQ(LanguageCodeOrFallback(L"  "), L"EN");
    EXPECT_EQ(LanguageCodeOrFallback(L"de"), L"de");
    EXPECT_EQ(LanguageCodeOrFallback(L"JP"), L"JP");
}

}  // namespace
}  // namespace promo
