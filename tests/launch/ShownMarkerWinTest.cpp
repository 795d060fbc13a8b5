// The shown marker against real files: presence rules, the value written, a
// read-only file, and a "Norvi" folder that cannot be created.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "DecisionWinSupport.h"
#include "launch/ShownMarker.h"
#include "support/PSafeIniFile.h"

namespace promo {
namespace {

void WriteAnsiFile(const std::wstring& path, const std::string& text) {
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

const DateTimeValue kSeptemberFirstNoon = EncodeDateValue(2020, 9, 1) + EncodeTimeValue(12, 0, 0, 0);

TEST(ShownMarkerFile, PresenceNeedsTheKeyInItsSectionWhateverItsValue) {
    test::ScratchFolder folder(L"marker");
    const std::wstring path = folder.Path() + L"EventPromote.ini";

    EXPECT_FALSE(IsShownMarkerPresentIn(path));
    EXPECT_FALSE(Exists(path)) << "the test must not create the file";

    WriteAnsiFile(path, "[KVBenefit]\r\nBenefitsR_2020=\r\n");
    EXPECT_TRUE(IsShownMarkerPresentIn(path)) << "an empty value counts";

    WriteAnsiFile(path, "[kvbenefit]\r\nbenefitsr_2020=1\r\n");
    EXPECT_TRUE(IsShownMarkerPresentIn(path)) << "names compare without case";

    WriteAnsiFile(path, "[Other]\r\nBenefitsR_2020=1600000000\r\n[KVBenefit]\r\nBenefitsR_2019=1\r\n");
    EXPECT_FALSE(IsShownMarkerPresentIn(path)) << "the key under another section does not count";

    WriteAnsiFile(path, "");
    EXPECT_FALSE(IsShownMarkerPresentIn(path));
}

TEST(ShownMarkerFile, WriteCreatesFolderAndKeepsOtherSections) {
    test::ScratchFolder folder(L"marker");
    const std::wstring path = folder.Path() + L"Norvi\\EventPromote.ini";
    {
        test::DebugLines debug;
        EXPECT_TRUE(WriteShownMarkerTo(path, kSeptemberFirstNoon));
        EXPECT_EQ(debug.lines, std::vector<std::wstring>{L"7iniPath:" + path});
    }
    EXPECT_TRUE(IsShownMarkerPresentIn(path));
    {
        TSafeIniFile ini(path);
        EXPECT_EQ(ini.ReadString(L"KVBenefit", L"BenefitsR_2020", L"-"), L"1598961600");
    }

    // A second write replaces the value and leaves the product's own keys.
    WriteAnsiFile(path, "[Other]\r\nkeep=yes\r\n[KVBenefit]\r\nBenefitsR_2020=5\r\nmine=1\r\n");
    EXPECT_TRUE(WriteShownMarkerTo(path, EncodeDateValue(1970, 1, 2)));
    TSafeIniFile ini(path);
    EXPECT_EQ(ini.ReadString(L"KVBenefit", L"BenefitsR_2020", L"-"), L"86400");
    EXPECT_EQ(ini.ReadString(L"KVBenefit", L"mine", L"-"), L"1");
    EXPECT_EQ(ini.ReadString(L"Other", L"keep", L"-"), L"yes");
}

TEST(ShownMarkerFile, ReadOnlyFileGetsTheMarkerAndStaysReadOnly) {
    test::ScratchFolder folder(L"marker");
    const std::wstring path = folder.Path() + L"EventPromote.ini";
    WriteAnsiFile(path, "[Other]\r\nkeep=yes\r\n");
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(WriteShownMarkerTo(path, kSeptemberFirstNoon));
    EXPECT_TRUE(IsShownMarkerPresentIn(path));
    EXPECT_TRUE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    TSafeIniFile ini(path);
    EXPECT_EQ(ini.ReadString(L"Other", L"keep", L"-"), L"yes");
}

TEST(ShownMarkerFile, FolderThatCannotBeCreatedIsNotRaised) {
    test::ScratchFolder folder(L"marker");
    // A file where the "Norvi" folder would go.
    WriteAnsiFile(folder.Path() + L"Norvi", "not a folder");
    const std::wstring path = folder.Path() + L"Norvi\\EventPromote.ini";
    // The INI class gives up on this folder quietly; nothing is written.
    bool saved = true;
    EXPECT_NO_THROW(saved = WriteShownMarkerTo(path, kSeptemberFirstNoon));
    EXPECT_FALSE(saved);
    EXPECT_FALSE(IsShownMarkerPresentIn(path));

    // A folder whose parents cannot even be named (a share of a host that
    // does not exist) makes the INI class raise its folder error; the marker
    // writer reports false instead of letting it reach the button handler.
    bool written = true;
    EXPECT_NO_THROW(written = WriteShownMarkerTo(L"\\\\promo-no-such-host\\share\\Norvi\\EventPromote.ini",
                                                 kSeptemberFirstNoon));
    EXPECT_FALSE(written);
}

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

// The result says whether the marker reached the file; when it did not, the
// file is as it was.
TEST(ShownMarkerFile, ResultSaysWhetherTheMarkerWasSaved) {
    const std::string otherCampaigns = "[Spring]\r\nBenefitsR_2019=1\r\n";
    const struct {
        const char* name;
        std::string content;
        DWORD lockAccess;  // 0: not held; else held by another opener sharing only reading
        bool saved;
    } cases[] = {
        {"plain file", otherCampaigns, 0, true},
        {"text after a nul", otherCampaigns + std::string("\0[Autumn]\r\nx=1\r\n", 17), 0, false},
        {"held by a writer", otherCampaigns, GENERIC_READ | GENERIC_WRITE, false},
        {"held by a reader", otherCampaigns, GENERIC_READ, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScratchFolder folder(L"marker");
        const std::wstring path = folder.Path() + L"EventPromote.ini";
        WriteAnsiFile(path, c.content);
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (c.lockAccess != 0)
            holder = ::CreateFileW(path.c_str(), c.lockAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(WriteShownMarkerTo(path, kSeptemberFirstNoon), c.saved);
        if (holder != INVALID_HANDLE_VALUE) ::CloseHandle(holder);
        if (c.saved) {
            EXPECT_TRUE(IsShownMarkerPresentIn(path));
        } else {
            EXPECT_EQ(ReadAll(path), c.content);
        }
    }
}

TEST(ShownMarkerFile, LivesUnderTheCommonApplicationDataFolder) {
    const std::wstring path = ShownMarkerPath();
    const std::wstring tail = L"\\Norvi\\EventPromote.ini";
    ASSERT_GT(path.size(), tail.size());
    EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
    EXPECT_EQ(path.find(L"\\\\"), std::wstring::npos);
}

}  // namespace
}  // namespace promo
