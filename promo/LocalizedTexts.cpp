#include "promo/LocalizedTexts.h"

#include "support/IniText.h"
#include "support/PSafeIniFile.h"
#include "support/TextCodec.h"

namespace promo {
namespace {

// An in-memory table filled from bytes; never written anywhere.
class TTextTable : public TMemIniFile {
public:
    explicit TTextTable(std::span<const std::uint8_t> bytes) {
        ParseIniWholeText(DecodeText(bytes).text, MutableDocument());
    }
};

}  // namespace

TLocalizedTexts ReadTexts(const TCustomIniFile& table, const std::wstring& languageCode) {
    TLocalizedTexts result;
    result.languageCode = table.SectionExists(languageCode) ? languageCode : kFallbackLanguageCode;
    for (std::size_t i = 0; i < kTextCount; ++i)
        result.texts[i] = table.ReadString(result.languageCode, kTextKeys[i].key, kTextKeys[i].defaultText);
    return result;
}

TLocalizedTexts LoadTextsFromBytes(std::span<const std::uint8_t> bytes, const std::wstring& languageCode) {
    const TTextTable table(bytes);
    return ReadTexts(table, languageCode);
}

std::wstring LanguageCodeOrFallback(std::wstring code) {
    if (TrimIniText(code).empty()) return kFallbackLanguageCode;
    return code;
}

}  // namespace promo
