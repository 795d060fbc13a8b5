// The window's texts in the product's language.
//
// The language code comes from "lang.dat" beside the program ([Cuslan] Name,
// "EN" when the file, the key or the value is missing). The texts come from
// the INI-format table "Resource_1" (RCDATA) in the program's own module: one
// section per language, ten keys each. A code the table has no section for
// falls back to "EN"; a key missing from the chosen section falls back to its
// built-in default while the other keys still come from the section.
//
// Reading the table (ReadTexts, LoadTextsFromBytes) needs no Win32; finding
// the language file and the resource does.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace promo {

class TCustomIniFile;

inline constexpr wchar_t kFallbackLanguageCode[] = L"EN";
inline constexpr wchar_t kTextsResourceName[] = L"Resource_1";
inline constexpr wchar_t kLanguageFileName[] = L"lang.dat";

// The ten texts, in the order the window applies them.
enum class TextId : std::size_t {
    btnclose,      // hint of btnClose
    lblTitle,      // caption of lblTitle
    lblDes,        // the headline
    lblFun1Title,  // first tile heading
    lblFun1Des,
    lblFun2Title,
    lblFun2Des,
    lblFun3Title,  // the price
    lblFun3Des,
    btnBuy,  // caption of btnBuy
};
inline constexpr std::size_t kTextCount = 10;

struct TTextKey {
    const wchar_t* key;
    const wchar_t* defaultText;
};

// Key names and built-in defaults, indexed by TextId.
inline constexpr std::array<TTextKey, kTextCount> kTextKeys = {{
    {L"btnclose", L"Close"},
    {L"lblTitle", L"Pellorin 7"},
    {L"lblDes", L"New Pellorin 8 Is Available Now"},
    {L"lblFun1Title", L"4,500,000+"},
    {L"lblFun1Des", L"Driver Database"},
    {L"lblFun2Title", L"Offline"},
    {L"lblFun2Des", L"Driver Update"},
    {L"lblFun3Title", L"$0"},
    {L"lblFun3Des", L"Upgrade to PRO"},
    {L"btnBuy", L"Upgrade Now - $0"},
}};

struct TLocalizedTexts {
    // The code the texts were read for: the requested one (its letter case
    // kept), or "EN" when the table has no section for it. The window keeps
    // this as its LanguageCode.
    std::wstring languageCode;
    std::array<std::wstring, kTextCount> texts;

    const std::wstring& Get(TextId id) const { return texts[static_cast<std::size_t>(id)]; }
};

// Reads the ten texts for a language from a loaded table. The section is
// looked up without regard to case ("de" and "DE" both find the German one);
// without a non-empty section for the code, "EN" is used instead.
TLocalizedTexts ReadTexts(const TCustomIniFile& table, const std::wstring& languageCode);

// ReadTexts over a table given as bytes (the resource's data: UTF-8 with a
// byte-order mark, or any encoding the INI files accept). Bytes that hold no
// table give the English defaults.
TLocalizedTexts LoadTextsFromBytes(std::span<const std::uint8_t> bytes, const std::wstring& languageCode);

// The language code as read from lang.dat: empty (or blank) becomes "EN".
std::wstring LanguageCodeOrFallback(std::wstring code);

#ifdef _WIN32

// The language code from "lang.dat" in the given folder (a missing trailing
// "\" is added). The file is opened through TSafeIniFile bound to it, which
// creates an empty one when it does not exist; nothing is written otherwise.
// "EN" for a missing or unreadable file, section, key or value, and for an
// empty folder (no file is read or created then).
std::wstring ReadLanguageCode(const std::wstring& exeFolder);

// ReadLanguageCode for the folder of a module's file (the running program's
// when null); "EN", with no file touched, when that path cannot be read.
std::wstring ReadLanguageCode(HMODULE module = nullptr);

// "lang.dat" beside the running program's file (empty text when the program
// cannot name its own file).
std::wstring LanguageFilePath();

// The language code as ReadLanguageCode finds it, read without binding the
// file: a missing "lang.dat" is not created and nothing is ever written.
struct LanguageCodeReading {
    enum class Source { file, missingFile, unreadableFile, noName };
    std::wstring code;  // as ReadLanguageCode returns it ("EN" on every fallback)
    Source source = Source::missingFile;
    std::uint32_t error = 0;  // the system's code for an unreadable file
};
LanguageCodeReading PeekLanguageCode(const std::wstring& languageFile);

// The data of the text table resource of a module (the program's own when
// null); empty when the module has no such resource.
std::span<const std::uint8_t> TextsResourceBytes(HMODULE module = nullptr);

// The texts for a language from the program's own table resource, read through
// a TSafeIniFile bound to no file.
TLocalizedTexts LoadTexts(const std::wstring& languageCode);

#endif  // _WIN32

}  // namespace promo
