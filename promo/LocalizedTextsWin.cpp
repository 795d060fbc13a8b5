// The Win32 half of the localized texts: the language file beside the
// program and the text table resource.
#include <windows.h>

#include <exception>

#include "product/SystemHelpers.h"
#include "promo/LocalizedTexts.h"
#include "support/PSafeIniFile.h"

namespace promo {

namespace {

std::wstring LanguageFileIn(const std::wstring& exeFolder) {
    std::wstring path = exeFolder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    return path + kLanguageFileName;
}

// The one reading of the language setting, whoever loaded the file.
std::wstring LanguageCodeIn(const TCustomIniFile& file) {
    return LanguageCodeOrFallback(file.ReadString(L"Cuslan", L"Name", kFallbackLanguageCode));
}

}  // namespace

std::wstring ReadLanguageCode(const std::wstring& exeFolder) {
    // No folder would make "lang.dat" relative to the current folder: a
    // file that is not the product's, and one this would create there.
    if (exeFolder.empty()) return kFallbackLanguageCode;
    try {
        // Bound to the file: a missing one is created empty. Nothing changes,
        // so nothing is written when the object goes.
        const TSafeIniFile file(LanguageFileIn(exeFolder));
        return LanguageCodeIn(file);
    } catch (const std::exception&) {
        // The folder could not be prepared: the program speaks English.
        return kFallbackLanguageCode;
    }
}

std::wstring ReadLanguageCode(HMODULE module) { return ReadLanguageCode(ModuleFolder(module)); }

std::wstring LanguageFilePath() {
    const std::wstring folder = ModuleFolder(nullptr);
    return folder.empty() ? std::wstring() : LanguageFileIn(folder);
}

LanguageCodeReading PeekLanguageCode(const std::wstring& languageFile) {
    LanguageCodeReading reading;
    reading.code = kFallbackLanguageCode;
    if (languageFile.empty() || !IniFileExists(languageFile)) return reading;
    TSafeIniFile file;  // bound to no file: never written
    file.LoadFromFile(languageFile);
    if (file.LastError() != 0 || file.LoadFailed()) {
        reading.source = LanguageCodeReading::Source::unreadableFile;
        reading.error = file.LastError();
        return reading;
    }
    reading.code = LanguageCodeIn(file);
    reading.source = file.ValueExists(L"Cuslan", L"Name") && !file.ReadString(L"Cuslan", L"Name", L"").empty()
                         ? LanguageCodeReading::Source::file
                         : LanguageCodeReading::Source::noName;
    return reading;
}

std::span<const std::uint8_t> TextsResourceBytes(HMODULE module) {
    if (module == nullptr) module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, kTextsResourceName, RT_RCDATA);
    if (info == nullptr) return {};
    HGLOBAL loaded = ::LoadResource(module, info);  // module-owned: nothing to free
    if (loaded == nullptr) return {};
    const void* data = ::LockResource(loaded);
    const DWORD size = ::SizeofResource(module, info);
    if (data == nullptr || size == 0) return {};
    return {static_cast<const std::uint8_t*>(data), size};
}

TLocalizedTexts LoadTexts(const std::wstring& languageCode) {
    TSafeIniFile table;  // bound to no file: never written
    table.LoadFromStream(TextsResourceBytes());
    return ReadTexts(table, languageCode);
}

}  // namespace promo
