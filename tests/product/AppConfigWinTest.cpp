#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ScratchRegistry.h"
#include "common/RestoreGuards.h"
#include "common/TestData.h"
#include "product/AppConfig.h"
#include "product/SystemHelpers.h"
#include "support/OsVersion.h"
#include "support/TextCodec.h"

namespace promo {
namespace {

std::string ReadBytes(const std::wstring& path) {
    const HANDLE h =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
    ::CloseHandle(h);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
}

std::string ProductConfigText() {
    const std::vector<std::uint8_t> bytes = test::ReadDataFile("product/Config.ini");
    return std::string(bytes.begin(), bytes.end());
}

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += static_cast<char>(c);
    return out;
}

std::string WholeDays(double date) { return std::to_string(static_cast<long long>(date)); }

// A Config.ini in a folder of its own, the product's registry date removed,
// the reported version restored afterwards.
class TConfigTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"promo_config_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                  std::to_wstring(++counter_) + L"\\";
        path_ = folder_ + L"Config.ini";
        savedVersion_ = ReportedOsVersion();
        DeleteRegistryDate();
    }
    void TearDown() override {
        SetReportedOsVersionForTesting(savedVersion_);
        DeleteRegistryDate();
        ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path_.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }
    static void DeleteRegistryDate() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstDateKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            ::RegDeleteValueW(key, kInstDateValue);
            ::RegCloseKey(key);
        }
    }
    static void SetRegistryDate(DWORD day) {
        test::SetRegistryValue(HKEY_LOCAL_MACHINE, kInstDateKey, kInstDateValue, REG_DWORD, &day, sizeof day);
    }
    static DWORD RegistryDate() { return ReadRegDWord(HKEY_LOCAL_MACHINE, kInstDateKey, kInstDateValue, 0); }

    void WriteConfig(const std::string& text) {
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        WriteBytes(path_, text);
    }
    std::string ConfigText() const { return ReadBytes(path_); }

    // The product's own registry date, put back after each test.
    test::ScopedRegistryKeyRestore productKey_{HKEY_LOCAL_MACHINE, kInstDateKey};
    std::wstring folder_;
    std::wstring path_;
    OsVersion savedVersion_;
    static inline int counter_ = 0;
};

// The product's file after a run that had to store something: the profile
// service rewrites the whole file, keeping every section, key, value and
// comment in order, but dropping blank lines and the blanks around "=".
const char kProductConfigAfterWrite[] =
    "; Pellorin settings. Written by Pellorin; edit with care.\r\n"
    "[Main]\r\n"
    "Language=EN\r\n"
    "InstDate1=44000.5\r\n"
    "InstDate2=6/18/2020\r\n"
    "instTime1=43950.25\r\n"
    "Version=7.6.0.1\r\n"
    "[Scan]\r\n"
    "; how the scanner runs\r\n"
    "ScanGame=0\r\n"
    "AutoScan=1\r\n"
    "ScanTime=09:30\r\n"
    "[Focus]\r\n"
    "FocusMode=1\r\n"
    "AutoDetect=1\r\n"
    "FocusAssist=0\r\n"
    "[FocusApps]\r\n"
    "app1=C:\\Games\\game.exe\r\n"
    "app2=obs64.exe\r\n"
    "; the skin of the main window\r\n"
    "[Skin]\r\n"
    "Name=dark\r\n";

// What the program does with the configuration in one run.
void ProgramRun(const std::wstring& path) {
    ConfigUnitInitialize(path);
    TConfig* config = ConfigInstance();
    ASSERT_NE(config, nullptr);
    config->FirstInstallDate();
    config->InstallTime();
    config->FocusModeEnabled();
    config->IsFocusAssistEnabled();
    IniStringList apps;
    config->ReadSectionValues(L"FocusApps", apps);
    ConfigUnitFinalize();
}

TEST_F(TConfigTest, RunWithNothingToStoreLeavesTheProductsFileByteForByte) {
    WriteConfig(ProductConfigText());
    SetRegistryDate(43000);
    SetReportedOsVersionForTesting({10, 0, 17134});
    ProgramRun(path_);
    EXPECT_EQ(ConfigText(), ProductConfigText());
    EXPECT_EQ(RegistryDate(), 43000u);
}

TEST_F(TConfigTest, RunThatStoresAKeyKeepsEveryOtherEntryInPlace) {
    WriteConfig(ProductConfigText());
    SetReportedOsVersionForTesting({10, 0, 16299});
    ProgramRun(path_);
    EXPECT_EQ(ConfigText(), kProductConfigAfterWrite);
    EXPECT_EQ(RegistryDate(), 44000u);
}

TEST_F(TConfigTest, FirstInstallDateOnAFreshSystemRecordsTodayInBothPlaces) {
    TConfig config;
    config.OpenConfigAt(path_);
    const double today = TodayLocal();
    EXPECT_EQ(config.FirstInstallDate(), today);

    const std::wstring shortDate = ShortDateText(today);
    EXPECT_FALSE(shortDate.empty());
    EXPECT_EQ(ConfigText(),
              "[Main]\r\nInstDate1=" + WholeDays(today) + "\r\nInstDate2=" + Narrow(shortDate) + "\r\n");
    EXPECT_EQ(RegistryDate(), static_cast<DWORD>(today));

    // Computed afresh, nothing more to store.
    const std::string before = ConfigText();
    EXPECT_EQ(config.FirstInstallDate(), today);
    EXPECT_EQ(ConfigText(), before);
}

TEST_F(TConfigTest, FirstInstallDateTakesTheEarlierPlaceAndWritesNothing) {
    WriteConfig(ProductConfigText());  // InstDate1=44000.5
    SetRegistryDate(43000);
    {
        TConfig config;
        config.OpenConfigAt(path_);
        EXPECT_EQ(config.FirstInstallDate(), 43000.0);
    }
    EXPECT_EQ(ConfigText(), ProductConfigText());
    EXPECT_EQ(RegistryDate(), 43000u);

    SetRegistryDate(45000);
    TConfig config;
    config.OpenConfigAt(path_);
    EXPECT_EQ(config.FirstInstallDate(), 44000.5);
    EXPECT_EQ(RegistryDate(), 45000u);
    EXPECT_EQ(ConfigText(), ProductConfigText());
}

TEST_F(TConfigTest, FirstInstallDateGivesTheRegistryTheWholeDaysOfTheFile) {
    WriteConfig("[Main]\r\nInstDate1=44000.75\r\n");
    for (bool storedZero : {false, true}) {
        if (storedZero) SetRegistryDate(0);
        TConfig config;
        config.OpenConfigAt(path_);
        EXPECT_EQ(config.FirstInstallDate(), 44000.75);
        // Only an absent value is written; a stored 0 is the product's.
        EXPECT_EQ(RegistryDate(), storedZero ? 0u : 44000u);
        DeleteRegistryDate();
    }
    EXPECT_EQ(ConfigText(), "[Main]\r\nInstDate1=44000.75\r\n");
}

// The registry's InstDate as stored: its type and bytes.
std::pair<DWORD, std::string> RegistryDateAsStored() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstDateKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {REG_NONE, {}};
    DWORD type = REG_NONE;
    char data[64] = {};
    DWORD bytes = sizeof data;
    const LONG result =
        ::RegQueryValueExW(key, kInstDateValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS) return {REG_NONE, {}};
    return {type, std::string(data, bytes)};
}

TEST_F(TConfigTest, DatesThatArePresentButUnusableSurviveTheRun) {
    // A fractional InstDate1 written with "," where "." is the separator, and
    // InstDate stored as text: both count as 0 and both stay as they are.
    SetDecimalSeparatorForTesting(L".");
    const std::string text = "[Main]\r\nInstDate1=44000,5\r\ninstTime1=43950.25\r\n";
    WriteConfig(text);
    test::SetRegistryString(HKEY_LOCAL_MACHINE, kInstDateKey, kInstDateValue, L"43000");
    const auto stored = RegistryDateAsStored();
    ASSERT_EQ(stored.first, static_cast<DWORD>(REG_SZ));
    SetReportedOsVersionForTesting({10, 0, 17134});
    {
        TConfig config;
        config.OpenConfigAt(path_);
        const TConfig::FirstInstallReading reading = config.ReadFirstInstallDate();
        EXPECT_EQ(reading.file.state, StoredDate::State::unusable);
        EXPECT_EQ(reading.fileText, L"44000,5");
        EXPECT_EQ(reading.registry.state, StoredDate::State::unusable);
        EXPECT_EQ(reading.registryType, static_cast<unsigned long>(REG_SZ));
        EXPECT_EQ(config.FirstInstallDate(), TodayLocal());
    }
    ProgramRun(path_);
    SetDecimalSeparatorForTesting(std::nullopt);
    EXPECT_EQ(ConfigText(), text);
    EXPECT_EQ(RegistryDateAsStored(), stored);

    // Other types and sizes are kept the same way.
    const std::uint64_t qword = 43000;
    test::SetRegistryValue(HKEY_LOCAL_MACHINE, kInstDateKey, kInstDateValue, REG_QWORD, &qword, sizeof qword);
    const auto storedQword = RegistryDateAsStored();
    WriteConfig("[Main]\r\nInstDate1=44000.5\r\n");
    TConfig config;
    config.OpenConfigAt(path_);
    EXPECT_EQ(config.FirstInstallDate(), 44000.5);
    EXPECT_EQ(RegistryDateAsStored(), storedQword);
}

TEST_F(TConfigTest, OpenedForReadingItReadsAlikeAndChangesNothing) {
    WriteConfig(ProductConfigText());
    ASSERT_TRUE(::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    SetReportedOsVersionForTesting({10, 0, 16299});  // the program would write FocusAssist=0
    TConfig reader;
    reader.OpenConfigForReading(path_);
    EXPECT_TRUE(reader.HasFile());
    EXPECT_EQ(reader.InstallTime(), 43950.25);
    EXPECT_TRUE(reader.ValueExists(L"main", L"INSTDATE1"));
    EXPECT_FALSE(reader.ValueExists(L"Main", L"InstDate3"));
    IniStringList apps;
    reader.ReadSectionValues(L"FocusApps", apps);
    EXPECT_EQ(apps, (IniStringList{L"app1=C:\\Games\\game.exe", L"app2=obs64.exe"}));
    const FocusAssistReading assist = reader.ReadFocusAssist();
    EXPECT_FALSE(assist.Enabled());
    EXPECT_TRUE(assist.WritesBackOff());  // what the program would write; the reading does not
    const TConfig::FirstInstallReading first = reader.ReadFirstInstallDate();
    EXPECT_EQ(first.file.state, StoredDate::State::value);
    EXPECT_EQ(first.plan.result, 44000.5);
    EXPECT_EQ(first.plan.storeRegistryDays, std::optional<std::uint32_t>(44000u));
    reader.SetFocusAssist(true);  // a write through the reader does nothing
    reader.CloseConfig();
    EXPECT_EQ(ConfigText(), ProductConfigText());
    EXPECT_NE(::GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(RegistryDate(), 0u);  // the plan was only read

    // A file in a folder that does not exist: defaults, and no folder made.
    const std::wstring missing = folder_ + L"not-there\\Config.ini";
    TConfig nowhere;
    nowhere.OpenConfigForReading(missing);
    EXPECT_TRUE(nowhere.FocusModeEnabled());
    EXPECT_EQ(nowhere.ReadFirstInstallDate().file.state, StoredDate::State::absent);
    nowhere.CloseConfig();
    EXPECT_EQ(::GetFileAttributesW((folder_ + L"not-there").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TConfigTest, ScanGameIsWrittenBackOnlyWhenItExists) {
    const std::string withoutScanGame = "[Scan]\r\nAutoScan=1\r\n\r\n[Focus]\r\nFocusMode=0\r\n";
    WriteConfig(withoutScanGame);
    ConfigUnitInitialize(path_);
    EXPECT_TRUE(ConfigInstance()->ScanGameAtStart);
    ConfigUnitFinalize();
    EXPECT_EQ(ConfigText(), withoutScanGame);

    WriteConfig("[Scan]\r\nScanGame=0\r\n\r\n[Focus]\r\nFocusMode=0\r\n");
    ConfigUnitInitialize(path_);
    EXPECT_FALSE(ConfigInstance()->ScanGameAtStart);
    ConfigUnitFinalize();
    EXPECT_EQ(ConfigText(), "[Scan]\r\nScanGame=0\r\n\r\n[Focus]\r\nFocusMode=0\r\n");  // already normal

    WriteConfig("[Scan]\r\nScanGame=yes\r\n\r\n[Focus]\r\nFocusMode=0\r\n");
    ConfigUnitInitialize(path_);
    EXPECT_TRUE(ConfigInstance()->ScanGameAtStart);
    ConfigUnitFinalize();
    EXPECT_EQ(ConfigText(), "[Scan]\r\nScanGame=1\r\n[Focus]\r\nFocusMode=0\r\n");
}

// The product may change "ScanGame" while the window is up: the end of the
// run normalises what the file holds then and never puts back the start value.
TEST_F(TConfigTest, ScanGameChangedDuringTheRunIsKept) {
    const struct {
        const char* atStart;
        const wchar_t* changedTo;  // null: the product removes the key
        const char* atEnd;
    } cases[] = {
        {"[Scan]\r\nScanGame=1\r\n", L"0", "[Scan]\r\nScanGame=0\r\n"},
        {"[Scan]\r\nScanGame=0\r\n", L"on", "[Scan]\r\nScanGame=1\r\n"},
        {"[Scan]\r\nScanGame=0\r\nAutoScan=1\r\n", nullptr, "[Scan]\r\nAutoScan=1\r\n"},
        {"[Scan]\r\nAutoScan=1\r\n", L"0", "[Scan]\r\nAutoScan=1\r\nScanGame=0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.atStart);
        WriteConfig(c.atStart);
        ConfigUnitInitialize(path_);
        ::WritePrivateProfileStringW(L"Scan", L"ScanGame", c.changedTo, path_.c_str());
        ConfigUnitFinalize();
        EXPECT_EQ(ConfigText(), c.atEnd);
    }
}

TEST_F(TConfigTest, FocusAssistIsSwitchedOffBeforeBuild17134) {
    struct Case {
        OsVersion version;
        bool enabled;
    };
    for (const Case& c :
         {Case{{10, 0, 16299}, false}, Case{{10, 0, 17133}, false}, Case{{6, 3, 9600}, false},
          Case{{6, 1, 7601}, false}, Case{{10, 0, 17134}, true}, Case{{10, 0, 19045}, true}}) {
        SCOPED_TRACE(testing::Message()
                     << c.version.major << "." << c.version.minor << "." << c.version.build);
        WriteConfig("[Focus]\r\nFocusMode=1\r\n");
        SetReportedOsVersionForTesting(c.version);
        TConfig config;
        config.OpenConfigAt(path_);
        EXPECT_EQ(config.IsFocusAssistEnabled(), c.enabled);
        config.CloseConfig();
        EXPECT_EQ(ConfigText(),
                  c.enabled ? "[Focus]\r\nFocusMode=1\r\n" : "[Focus]\r\nFocusMode=1\r\nFocusAssist=0\r\n");
    }
}

TEST_F(TConfigTest, FocusAssistSwitchedOffIsNotWrittenAgain) {
    WriteConfig("[Focus]\r\nFocusAssist=0\r\n\r\n[Skin]\r\nName=dark\r\n");
    SetReportedOsVersionForTesting({10, 0, 16299});
    TConfig config;
    config.OpenConfigAt(path_);
    EXPECT_FALSE(config.IsFocusAssistEnabled());
    config.CloseConfig();
    EXPECT_EQ(ConfigText(), "[Focus]\r\nFocusAssist=0\r\n\r\n[Skin]\r\nName=dark\r\n");
}

TEST_F(TConfigTest, ReadOnlyFileIsMadeWritableWhenOpened) {
    WriteConfig("[Focus]\r\nFocusMode=1\r\n");
    ASSERT_TRUE(::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    TConfig config;
    config.OpenConfigAt(path_);
    EXPECT_EQ(::GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    config.SetFocusAssist(false);
    config.CloseConfig();
    EXPECT_EQ(ConfigText(), "[Focus]\r\nFocusMode=1\r\nFocusAssist=0\r\n");
}

TEST_F(TConfigTest, ReadsKeysInAnyLetterCase) {
    WriteConfig(ProductConfigText());
    TConfig config;
    config.OpenConfigAt(path_);
    EXPECT_EQ(config.InstallTime(), 43950.25);  // stored as "instTime1"
    EXPECT_EQ(config.ReadFloat(L"MAIN", L"INSTTIME1", 0), 43950.25);
    EXPECT_TRUE(config.FocusModeEnabled());
    EXPECT_FALSE(config.ScanGameEnabled());
    IniStringList apps;
    config.ReadSectionValues(L"focusapps", apps);
    EXPECT_EQ(apps, (IniStringList{L"app1=C:\\Games\\game.exe", L"app2=obs64.exe"}));
}

TEST_F(TConfigTest, MissingKeysReadAsTheirDefaults) {
    WriteConfig("[Focus]\r\nFocusMode=0\r\n");
    TConfig config;
    config.OpenConfigAt(path_);
    EXPECT_FALSE(config.FocusModeEnabled());
    EXPECT_EQ(config.InstallTime(), 0.0);
    EXPECT_TRUE(config.ScanGameEnabled());
    IniStringList apps{L"stale"};
    config.ReadSectionValues(L"FocusApps", apps);
    EXPECT_TRUE(apps.empty());

    TConfig unopened;  // no file object: defaults, no writes, no errors
    EXPECT_FALSE(unopened.HasFile());
    EXPECT_TRUE(unopened.FocusModeEnabled());
    EXPECT_EQ(unopened.FirstInstallDate(), TodayLocal());
}

TEST_F(TConfigTest, TheProductsFileLivesInTheUsersApplicationData) {
    // Opening may create the folders and lift a read-only mark of the real file.
    const test::ScopedFileRestore productFile(AppDataFolder() + L"Norvi\\Pellorin\\Config.ini");
    ASSERT_TRUE(productFile.ok());
    TConfig config;
    config.OpenConfig();
    EXPECT_EQ(config.ConfigPath(), AppDataFolder() + L"Norvi\\Pellorin\\Config.ini");
    EXPECT_TRUE(config.HasFile());
}

TEST_F(TConfigTest, SharedInstanceLivesWhileItHasHolders) {
    EXPECT_EQ(ConfigInstance(), nullptr);
    TConfig& first = AcquireConfig(path_);
    TConfig& second = AcquireConfig(L"ignored: the instance exists");
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(ConfigInstance(), &first);
    EXPECT_EQ(first.ConfigPath(), path_);
    EXPECT_EQ(ConfigReferenceCount(), 2);
    ReleaseConfig();
    EXPECT_EQ(ConfigInstance(), &first);
    ReleaseConfig();
    EXPECT_EQ(ConfigInstance(), nullptr);
    EXPECT_EQ(ConfigReferenceCount(), 0);
    ReleaseConfig();  // nothing left: no effect
    EXPECT_EQ(ConfigReferenceCount(), 0);
}

TEST_F(TConfigTest, ConcurrentHoldersShareOneInstance) {
    constexpr int kThreads = 6;
    for (int round = 0; round < 20; ++round) {
        std::atomic<int> waiting{kThreads};
        std::vector<TConfig*> seen(kThreads, nullptr);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                --waiting;
                while (waiting.load() > 0) std::this_thread::yield();  // start together
                seen[t] = &AcquireConfig(path_);
            });
        }
        for (std::thread& thread : threads) thread.join();
        EXPECT_EQ(ConfigReferenceCount(), kThreads);
        for (TConfig* config : seen) EXPECT_EQ(config, ConfigInstance());
        for (int t = 0; t < kThreads; ++t) ReleaseConfig();
        ASSERT_EQ(ConfigInstance(), nullptr);
    }
}

}  // namespace
}  // namespace promo
