// The language file beside the program and the text table resource, under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "promo/LocalizedTexts.h"

namespace promo {
namespace {

// A fresh folder under the temporary folder, removed with its files at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"promo_lang_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(counter_++) + L"\\";
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((path_ + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") ::DeleteFileW((path_ + name).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(path_.c_str());
    }
    const std::wstring& Path() const { return path_; }
    std::wstring LangFile() const { return path_ + L"lang.dat"; }

    void Write(const std::string& bytes) const {
        HANDLE file = ::CreateFileW(LangFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        ASSERT_EQ(written, bytes.size());
    }

    // Size of lang.dat, or -1 when it does not exist.
    long long LangFileSize() const {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!::GetFileAttributesExW(LangFile().c_str(), GetFileExInfoStandard, &data)) return -1;
        return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

private:
    static inline int counter_ = 0;
    std::wstring path_;
};

TEST(ReadLanguageCode, TakesCuslanNameAsWritten) {
    ScratchFolder folder;
    folder.Write("[Cuslan]\r\nName=DE\r\n");
    EXPECT_EQ(ReadLanguageCode(folder.Path()), L"DE");
    folder.Write("[cuslan]\r\nname = de \r\n");
    EXPECT_EQ(ReadLanguageCode(folder.Path()), L"de");
    // UTF-16 files (as the product's INI classes write them) read the same.
    static const char kUtf16[] = "\xFF\xFE[\0C\0u\0s\0l\0a\0n\0]\0\r\0\n\0N\0a\0m\0e\0=\0s\0v\0";
    folder.Write(std::string(kUtf16, sizeof kUtf16 - 1));
    EXPECT_EQ(ReadLanguageCode(folder.Path()), L"sv");
    // The folder without its trailing delimiter works too.
    std::wstring bare = folder.Path();
    bare.pop_back();
    EXPECT_EQ(ReadLanguageCode(bare), L"sv");
}

TEST(ReadLanguageCode, MissingFileGivesEnglishAndLeavesAnEmptyFile) {
    ScratchFolder folder;
    ASSERT_EQ(folder.LangFileSize(), -1);
    EXPECT_EQ(ReadLanguageCode(folder.Path()), L"EN");
    EXPECT_EQ(folder.LangFileSize(), 0);
    // The next run finds the empty file and still speaks English.
    EXPECT_EQ(ReadLanguageCode(folder.Path()), L"EN");
    EXPECT_EQ(folder.LangFileSize(), 0);
}

TEST(ReadLanguageCode, EmptyOrMissingNameGivesEnglishAndTheFileStaysAsItWas) {
    ScratchFolder folder;
    for (const std::string& content :
         {std::string("[Cuslan]\r\nName=\r\n"), std::string("[Cuslan]\r\nName=   \r\n"),
          std::string("[Other]\r\nName=DE\r\n"), std::string("Name=DE\r\n")}) {
        folder.Write(content);
        EXPECT_EQ(ReadLanguageCode(folder.Path()), L"EN") << content;
        EXPECT_EQ(folder.LangFileSize(), static_cast<long long>(content.size())) << content;
    }
}

TEST(ReadLanguageCode, RandomBytesGiveEnglish) {
    ScratchFolder folder;
    std::string noise;
    std::uint32_t state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(state >> 24));
    }
    noise.replace(0, 2, "\xFF\xFE");  // claims to be UTF-16
    folder.Write(noise);
    EXPECT_EQ(ReadLanguageCode(folder.Path()), L"EN");
    noise.replace(0, 2, "\x01\x02");  // plain ANSI text
    folder.Write(noise);
    EXPECT_EQ(ReadLanguageCode(folder.Path()), L"EN");
}

TEST(ReadLanguageCode, FolderThatCannotExistGivesEnglish) {
    EXPECT_EQ(ReadLanguageCode(L"Q:\\no\\such\\drive\\"), L"EN");
}

// The current folder holds a lang.dat saying DE; another, empty folder is
// current for the second half. Neither may be read or written.
TEST(ReadLanguageCode, UnknownOwnPathGivesEnglishWithoutTouchingTheCurrentFolder) {
    wchar_t saved[MAX_PATH];
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, saved), 0u);
    ScratchFolder withFile, empty;
    withFile.Write("[Cuslan]\r\nName=DE\r\n");
    // A module handle that names no module: its file name cannot be read.
    const HMODULE unknown = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7A5A0000));
    wchar_t name[MAX_PATH];
    ASSERT_EQ(::GetModuleFileNameW(unknown, name, MAX_PATH), 0u);

    ASSERT_TRUE(::SetCurrentDirectoryW(withFile.Path().c_str()));
    EXPECT_EQ(ReadLanguageCode(unknown), L"EN");
    EXPECT_EQ(ReadLanguageCode(std::wstring()), L"EN");
    ASSERT_TRUE(::SetCurrentDirectoryW(empty.Path().c_str()));
    EXPECT_EQ(ReadLanguageCode(unknown), L"EN");
    EXPECT_EQ(empty.LangFileSize(), -1);  // nothing created
    ::SetCurrentDirectoryW(saved);
}

TEST(TextsResource, IsLinkedAsUtf8TableWithAllLanguages) {
    const std::span<const std::uint8_t> bytes = TextsResourceBytes();
    ASSERT_GT(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xEF);
    EXPECT_EQ(bytes[1], 0xBB);
    EXPECT_EQ(bytes[2], 0xBF);
    // A module without the table has none.
    EXPECT_TRUE(TextsResourceBytes(::GetModuleHandleW(L"kernel32.dll")).empty());
}

TEST(TextsResource, LoadTextsReadsTheOwnModulesTable) {
    const TLocalizedTexts russian = LoadTexts(L"RU");
    EXPECT_EQ(russian.languageCode, L"RU");
    EXPECT_EQ(russian.Get(TextId::btnclose), L"\u0417\u0430\u043A\u0440\u044B\u0442\u044C");
    EXPECT_EQ(russian.Get(TextId::lblFun3Title), L"0 \u0440\u0443\u0431.");

    const TLocalizedTexts german = LoadTexts(L"de");
    EXPECT_EQ(german.languageCode, L"de");
    EXPECT_EQ(german.Get(TextId::btnBuy), L"Jetzt upgraden f\u00FCr 0\u20AC");

    const TLocalizedTexts dutch = LoadTexts(L"NL");
    EXPECT_EQ(dutch.Get(TextId::lblFun3Title), L"\u20AC19,99");
    EXPECT_EQ(dutch.Get(TextId::lblFun3Des), L"Exclusieve Aanbieding");

    const TLocalizedTexts japanese = LoadTexts(L"JP");
    EXPECT_EQ(japanese.languageCode, L"EN");
    EXPECT_EQ(japanese.Get(TextId::btnBuy), L"Upgrade Now - $0");
}

}  // namespace
}  // namespace promo
