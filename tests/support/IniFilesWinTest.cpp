// TSafeIniFile and TIniFile against real files: the guarded save, folders,
// attributes, locked files, and the profile-string service.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/TestData.h"
#include "common/FileBytesWin.h"
#include "support/Handles.h"
#include "support/PSafeIniFile.h"
#include "support/TextCodec.h"

namespace promo {
namespace {

using Lines = std::vector<std::wstring>;

using test::ReadBytes;
using test::WriteBytes;

std::string DataFile(const std::string& name) {
    std::vector<std::uint8_t> b = test::ReadDataFile("ini/" + name);
    return std::string(b.begin(), b.end());
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

// The names in a folder, to see that a save left no file of its own behind.
std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return names;
}

class IniFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
        dir_ = std::wstring(temp) + L"ini-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(::GetTickCount());
        ASSERT_TRUE(::CreateDirectoryW(dir_.c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(dir_); }
    std::wstring Path(const std::wstring& name) const { return dir_ + L"\\" + name; }

    std::wstring dir_;
};

// ---- TSafeIniFile ----

TEST_F(IniFilesTest, SaveIsUtf16LeWithMarkWhateverWasRead) {
    std::string expected = DataFile("sample.expected");
    expected.replace(expected.find("Name=IT"), 7, "Name=EN");
    const std::wstring expectedText = DecodeUtf8(expected);
    for (const char* file :
         {"sample-utf8.ini", "sample-utf16le.ini", "sample-utf16be.ini", "sample-ansi.ini"}) {
        const std::wstring path = Path(L"saved.ini");
        WriteBytes(path, DataFile(file));
        {
            TSafeIniFile ini(path);
            EXPECT_FALSE(ini.LoadFailed()) << file;
            EXPECT_EQ(ini.ReadString(L"CUSLAN", L"name", L""), L"IT") << file;
            ini.WriteString(L"Cuslan", L"Name", L"EN");
            EXPECT_TRUE(ini.Modified());
        }
        const std::string bytes = ReadBytes(path);
        ASSERT_GE(bytes.size(), 2u) << file;
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << file;
        EXPECT_EQ(bytes, EncodeUtf16LEWithBom(expectedText)) << file;
    }
}

TEST_F(IniFilesTest, ReadOnlyHiddenFileIsWrittenAndKeepsItsAttributes) {
    const std::wstring path = Path(L"ro.ini");
    WriteBytes(path, "[s]\r\nk=1\r\n");
    const DWORD attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
    {
        TSafeIniFile ini(path);
        ini.WriteString(L"s", L"k", L"2");
    }
    EXPECT_EQ(::GetFileAttributesW(path.c_str()) & attributes, attributes);
    EXPECT_EQ(ReadBytes(path), EncodeUtf16LEWithBom(L"[s]\r\nk=2\r\n\r\n"));
}

TEST_F(IniFilesTest, AttributesAreRestoredWhenTheWriteFails) {
    const std::wstring path = Path(L"fail.ini");
    const std::string original = "[s]\r\nk=1\r\n";
    WriteBytes(path, original);
    TSafeIniFile ini(path);
    ASSERT_FALSE(ini.LoadFailed());
    ini.WriteString(L"s", L"k", L"2");
    const DWORD attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
    {
        // Another reader that does not share writing: our write cannot open the file.
        UniqueFileHandle reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(reader);
        ini.UpdateFile();
        EXPECT_EQ(ini.LastError(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(::GetFileAttributesW(path.c_str()) & attributes, attributes);
    }
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::wstring>{L"fail.ini"}) << "the new text is removed";
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(IniFilesTest, MissingFoldersAndFileAreCreatedEmpty) {
    const std::wstring folder = Path(L"a\\b\\c");
    const std::wstring path = folder + L"\\new.ini";
    {
        TSafeIniFile ini(path);
        EXPECT_FALSE(ini.LoadFailed());
        EXPECT_EQ(ini.LastError(), 0u);
        EXPECT_TRUE(IniDirectoryExists(folder));
        EXPECT_TRUE(IniFileExists(path));
    }
    EXPECT_EQ(ReadBytes(path), "");  // no write, no save
    { TSafeIniFile ini(Path(L"d\\marked.ini"), TextEncoding::Utf16LE); }
    EXPECT_EQ(ReadBytes(Path(L"d\\marked.ini")), "\xFF\xFE");
    {
        TSafeIniFile ini(path);
        ini.WriteBool(L"KVBenefit", L"BenefitsR_2020", true);
    }
    EXPECT_EQ(ReadBytes(path), EncodeUtf16LEWithBom(L"[KVBenefit]\r\nBenefitsR_2020=1\r\n\r\n"));
}

TEST_F(IniFilesTest, EnsureDirectoryGivesUpQuietlyWhenAFileIsInTheWay) {
    WriteBytes(Path(L"plain"), "x");
    EXPECT_NO_THROW(TSafeIniFile::EnsureDirectory(Path(L"plain\\sub")));
    EXPECT_FALSE(IniDirectoryExists(Path(L"plain\\sub")));
    TSafeIniFile::EnsureDirectory(Path(L"x\\y\\z\\"));
    EXPECT_TRUE(IniDirectoryExists(Path(L"x\\y\\z")));
}

TEST_F(IniFilesTest, FolderErrorsReachTheCallerOfEnsureDirectoryOnly) {
    // "\\" names no folder at all: the creation raises, EnsureDirectory adds the folder.
    try {
        TSafeIniFile::EnsureDirectory(L"\\\\");
        ADD_FAILURE() << "no error raised";
    } catch (const EIniFolderError& e) {
        EXPECT_NE(e.Message().find(L" \"\\\\\""), std::wstring::npos) << e.what();
        EXPECT_TRUE(e.IsInputOutput());
    }
    // TIniFile ends its rounds silently on the same file-system error.
    EXPECT_NO_THROW(TIniFile::PrepareIniPath(L"\\\\\\x.ini"));
}

TEST_F(IniFilesTest, LockedFileLoadsEmptyAndIsNeverOverwritten) {
    const std::wstring path = Path(L"locked.ini");
    const std::string original = "[Cuslan]\r\nName=DE\r\n";
    WriteBytes(path, original);
    UniqueFileHandle writer(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    {
        TSafeIniFile ini(path);
        EXPECT_TRUE(ini.LoadFailed());
        EXPECT_EQ(ini.LastError(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(ini.ReadString(L"Cuslan", L"Name", L"none"), L"none");
        ini.WriteString(L"Cuslan", L"Name", L"EN");
        ini.EraseSection(L"Other");
        EXPECT_TRUE(ini.Modified());
        writer.reset();
        ini.UpdateFile();  // nor by an explicit save once the lock is gone
    }
    EXPECT_EQ(ReadBytes(path), original);
}

// The new text is written beside the old file and then takes its place: the
// file keeps its attributes, and no other file is left in the folder.
TEST_F(IniFilesTest, SaveReplacesTheWholeFileAndKeepsItsAttributes) {
    const DWORD cases[] = {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE,
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM};
    const std::wstring path = Path(L"EventPromote.ini");
    for (const DWORD attributes : cases) {
        SCOPED_TRACE(attributes);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(path, "[Other]\r\nkeep=yes\r\n");
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
        {
            TSafeIniFile ini(path);
            EXPECT_TRUE(ini.WriteString(L"KVBenefit", L"BenefitsR_2020", L"1598961600"));
            ini.UpdateFile();
            EXPECT_EQ(ini.LastError(), 0u);
            EXPECT_FALSE(ini.HasUnsavedChanges());
        }
        EXPECT_EQ(::GetFileAttributesW(path.c_str()) & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE),
                  attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
        EXPECT_EQ(ReadBytes(path),
                  EncodeUtf16LEWithBom(
                      L"[Other]\r\nkeep=yes\r\n\r\n[KVBenefit]\r\nBenefitsR_2020=1598961600\r\n\r\n"));
        EXPECT_EQ(FolderEntries(dir_), std::vector<std::wstring>{L"EventPromote.ini"});
    }
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// What UpdateFile saved is not written again by the destructor, so a change
// made by someone else in between survives.
TEST_F(IniFilesTest, ChangesSavedByUpdateFileAreNotWrittenAgain) {
    const std::wstring path = Path(L"once.ini");
    {
        TSafeIniFile ini(path);
        ini.WriteString(L"s", L"k", L"1");
        ini.UpdateFile();
        EXPECT_TRUE(ini.Modified());
        WriteBytes(path, "[s]\r\nk=product\r\n");
    }
    EXPECT_EQ(ReadBytes(path), "[s]\r\nk=product\r\n");
}

// Text after a NUL, or a UTF-32 file, cannot be read back; a save would lose
// it. What could be read is there, but nothing is ever saved over the file.
TEST_F(IniFilesTest, FileWithLostTextIsReadButNeverSavedOver) {
    const struct {
        const char* name;
        std::string bytes;
        bool loadFails;
    } cases[] = {
        {"nul then text", std::string("[KVBenefit]\r\nk=1\r\n\0[Other]\r\nkeep=yes\r\n", 39), true},
        {"utf32", std::string("\xFF\xFE\0\0[\0\0\0", 8), true},
        {"trailing nuls", std::string("[KVBenefit]\r\nk=1\r\n\0\0\0\0", 22), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = Path(L"damaged.ini");
        WriteBytes(path, c.bytes);
        {
            TSafeIniFile ini(path);
            EXPECT_EQ(ini.LoadFailed(), c.loadFails);
            EXPECT_EQ(ini.LastError(), c.loadFails ? static_cast<std::uint32_t>(ERROR_INVALID_DATA) : 0u);
            if (c.bytes[0] == '[') EXPECT_EQ(ini.ReadString(L"KVBenefit", L"k", L""), L"1");
            ini.WriteString(L"KVBenefit", L"BenefitsR_2020", L"1");
            ini.UpdateFile();
        }
        if (c.loadFails)
            EXPECT_EQ(ReadBytes(path), c.bytes);
        else
            EXPECT_EQ(ReadBytes(path),
                      EncodeUtf16LEWithBom(L"[KVBenefit]\r\nk=1\r\nBenefitsR_2020=1\r\n\r\n"));
    }
}

// Only a file that is not there loads as empty. A name whose attributes
// cannot be read says nothing about the file: no file is made, none saved.
TEST_F(IniFilesTest, AttributesThatCannotBeReadAreAFailedLoad) {
    const std::wstring path = Path(L"bad*name.ini");
    {
        TSafeIniFile ini(path);
        EXPECT_TRUE(ini.LoadFailed());
        EXPECT_NE(ini.LastError(), 0u);
        ini.WriteString(L"s", L"k", L"v");
    }
    EXPECT_TRUE(FolderEntries(dir_).empty());

    TSafeIniFile missingFolder(Path(L"new\\x.ini"));  // path not found: an empty, writable document
    EXPECT_FALSE(missingFolder.LoadFailed());
}

// An entry that would not read back is refused where the caller can see it,
// and the product's file is not touched on its account (the in-memory
// classes share the rule: IniDocumentTest).
TEST_F(IniFilesTest, WritersRefuseEntriesThatWouldNotReadBack) {
    const std::string original = "[Scan]\r\nScanGame=1\r\n";
    const std::wstring profilePath = Path(L"Config.ini");
    WriteBytes(profilePath, original);
    {
        TIniFile ini(profilePath);
        EXPECT_FALSE(ini.WriteString(L"Scan", L"ScanGame", L"0\r\nFocusMode=0"));
        EXPECT_FALSE(ini.WriteString(L"Scan", L" ScanGame", L"0"));
        EXPECT_FALSE(ini.WriteString(L"Scan\n[Focus]", L"FocusMode", L"0"));
        EXPECT_TRUE(ini.WriteBool(L"Scan", L"ScanGame", false));
    }
    EXPECT_EQ(ReadBytes(profilePath), "[Scan]\r\nScanGame=0\r\n");
}

TEST_F(IniFilesTest, BareNamesUseTheCurrentFolder) {
    wchar_t previous[MAX_PATH];
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir_.c_str()));
    {
        TSafeIniFile safe(L"bare-safe.ini");
        safe.WriteString(L"s", L"k", L"v");
        TIniFile profile(L"bare-profile.ini");
        EXPECT_EQ(profile.FileName(), L".\\bare-profile.ini");
        profile.WriteString(L"s", L"k", L"v");
    }
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(ReadBytes(Path(L"bare-safe.ini")), EncodeUtf16LEWithBom(L"[s]\r\nk=v\r\n\r\n"));
    EXPECT_TRUE(IniFileExists(Path(L"bare-profile.ini")));
}

TEST_F(IniFilesTest, ModifiedFollowsWritesDeletesAndSectionChanges) {
    const std::wstring path = Path(L"mod.ini");
    WriteBytes(path, "[a]\r\nk=1\r\n[b]\r\n");
    TSafeIniFile ini(path);
    EXPECT_FALSE(ini.Modified());
    ini.DeleteKey(L"a", L"missing");
    EXPECT_FALSE(ini.Modified());
    ini.EraseSection(L"b");  // the list of sections changed
    EXPECT_TRUE(ini.Modified());

    TSafeIniFile other(path);
    EXPECT_FALSE(other.Modified());
    other.DeleteKey(L"a", L"k");  // a line was removed
    EXPECT_TRUE(other.Modified());

    TSafeIniFile unbound;
    unbound.WriteString(L"s", L"k", L"v");
    EXPECT_TRUE(unbound.Modified());
    unbound.UpdateFile();  // bound to nothing: writes nothing, reports nothing
    EXPECT_EQ(unbound.LastError(), 0u);
}

TEST_F(IniFilesTest, LoadFromFileAndStreamReplaceTheDocumentOnly) {
    const std::wstring bound = Path(L"bound.ini");
    WriteBytes(Path(L"other.ini"), "[o]\r\nk=other\r\n");
    {
        TSafeIniFile ini(bound);
        ini.LoadFromFile(Path(L"other.ini"));
        EXPECT_EQ(ini.BoundFileName(), bound);
        EXPECT_EQ(ini.ReadString(L"o", L"k", L""), L"other");
        ini.LoadFromFile(Path(L"missing.ini"));  // empties the document
        EXPECT_EQ(ini.ReadString(L"o", L"k", L"gone"), L"gone");
        EXPECT_EQ(ini.LastError(), 0u);

        const std::string resource = "\xFF\xFE" + EncodeUtf16LE(L"[de]\r\nTitle=Hallo  \r\n");
        ini.LoadFromStream(std::span<const std::uint8_t>(
            reinterpret_cast<const std::uint8_t*>(resource.data()), resource.size()));
        EXPECT_EQ(ini.ReadString(L"DE", L"title", L""), L"Hallo");
    }
    // The section list changed while bound: the last document was saved.
    EXPECT_EQ(ReadBytes(bound), EncodeUtf16LEWithBom(L"[de]\r\nTitle=Hallo\r\n\r\n"));
}

// ---- TIniFile ----

TEST_F(IniFilesTest, ProfileWriteChangesOnlyItsKey) {
    const std::wstring path = Path(L"Config.ini");
    WriteBytes(path, "[General]\r\nLang=DE\r\n; keep me\r\nFocus=1\r\n[Other]\r\nx=y\r\n");
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString(L"general", L"LANG", L""), L"DE");
        ini.WriteString(L"General", L"Lang", L"FR");
        ini.WriteInteger(L"Other", L"n", 5);
    }
    EXPECT_EQ(ReadBytes(path), "[General]\r\nLang=FR\r\n; keep me\r\nFocus=1\r\n[Other]\r\nx=y\r\nn=5\r\n");
}

TEST_F(IniFilesTest, ProfileSectionsKeysAndDefaults) {
    TIniFile ini(Path(L"sub\\profile.ini"));  // the folder is made at creation
    EXPECT_TRUE(IniDirectoryExists(Path(L"sub")));
    EXPECT_EQ(ini.ReadString(L"s", L"k", L"def"), L"def");
    EXPECT_EQ(ini.ReadInteger(L"s", L"k", 7), 7);
    Lines list{L"stale"};
    ini.ReadSection(L"s", list);
    EXPECT_TRUE(list.empty());

    ini.WriteString(L"s", L"a", L"1");
    ini.WriteString(L"s", L"b", L"0x10");
    ini.WriteString(L"t", L"c", L"3");
    EXPECT_EQ(ini.ReadInteger(L"s", L"b", 0), 16);
    ini.ReadSections(list);
    EXPECT_EQ(list, (Lines{L"s", L"t"}));
    ini.ReadSection(L"S", list);
    EXPECT_EQ(list, (Lines{L"a", L"b"}));
    ini.ReadSectionValues(L"s", list);
    EXPECT_EQ(list, (Lines{L"a=1", L"b=0x10"}));
    EXPECT_TRUE(ini.ValueExists(L"s", L"B"));
    EXPECT_TRUE(ini.SectionExists(L"t"));
    ini.DeleteKey(L"s", L"a");
    EXPECT_EQ(ini.ReadString(L"s", L"a", L"gone"), L"gone");
    ini.EraseSection(L"t");
    EXPECT_FALSE(ini.SectionExists(L"t"));
    ini.UpdateFile();
}

TEST_F(IniFilesTest, ProfileReadsLongValuesWhole) {
    TIniFile ini(Path(L"long.ini"));
    for (size_t length : {2046u, 2047u, 2048u, 5000u, 20000u}) {
        std::wstring value;
        for (size_t i = 0; i < length; ++i) value.push_back(static_cast<wchar_t>(L'a' + i % 26));
        ini.WriteString(L"s", L"k", value);
        EXPECT_EQ(ini.ReadString(L"s", L"k", L""), value) << length;
    }
    Lines names;
    for (int i = 0; i < 400; ++i) ini.WriteString(L"many", L"key_number_" + std::to_wstring(i), L"1");
    ini.ReadSection(L"many", names);  // beyond the first 1024-character buffer
    ASSERT_EQ(names.size(), 400u);
    EXPECT_EQ(names.back(), L"key_number_399");
}

TEST_F(IniFilesTest, ProfileFileLosesReadOnlyAttributesAtCreation) {
    const std::wstring path = Path(L"ro-profile.ini");
    WriteBytes(path, "[s]\r\nk=1\r\n");
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    TIniFile ini(path);
    // Normal attributes (the file system may still report the archive bit).
    EXPECT_EQ(::GetFileAttributesW(path.c_str()) & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE),
              static_cast<DWORD>(0));
    ini.WriteString(L"s", L"k", L"2");
    EXPECT_EQ(ini.ReadString(L"s", L"k", L""), L"2");
}

}  // namespace
}  // namespace promo
