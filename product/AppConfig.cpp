#include "product/AppConfig.h"

#include <cmath>
#include <mutex>

#include "product/OsVersion.h"
#include "product/SystemHelpers.h"

namespace promo {
namespace {

// Guards the creation and release of the shared instance.
std::mutex& ConfigLock() {
    static std::mutex lock;
    return lock;
}

TConfig* g_instance = nullptr;
std::int32_t g_referenceCount = 0;

bool FolderExists(const std::wstring& folder) {
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TConfig::~TConfig() { CloseConfig(); }

void TConfig::OpenConfig() {
    const std::wstring appData = AppDataFolder();
    if (appData.empty()) {
        // A relative "Norvi\Pellorin" would land wherever the current folder is.
        CloseConfig();
        configPath_.clear();
        return;
    }
    OpenConfigAt(appData + L"Norvi\\Pellorin\\Config.ini");
}

void TConfig::OpenConfigAt(const std::wstring& configPath) {
    CloseConfig();
    configPath_ = configPath;
    const std::wstring folder = configPath.substr(0, configPath.find_last_of(L'\\') + 1);
    if (!folder.empty() && !FolderExists(folder)) ForceFolder(folder);  // a failure shows in TIniFile
    try {
        file_ = std::make_unique<TIniFile>(configPath);
    } catch (...) {
        file_.reset();
    }
}

void TConfig::CloseConfig() {
    try {
        file_.reset();
    } catch (...) {
    }
}

double TConfig::ReadFloat(const std::wstring& section, const std::wstring& key, double defaultValue) const {
    return file_ ? file_->ReadFloat(section, key, defaultValue) : defaultValue;
}

void TConfig::ReadSectionValues(const std::wstring& section, IniStringList& destination) const {
    if (file_) {
        file_->ReadSectionValues(section, destination);
    } else {
        destination.clear();
    }
}

bool TConfig::ReadBool(const std::wstring& section, const std::wstring& key, bool defaultValue) const {
    return file_ ? file_->ReadBool(section, key, defaultValue) : defaultValue;
}

DateTimeValue TConfig::FirstInstallDate() {
    DateTimeValue fileDate = ReadFloat(L"Main", L"InstDate1", 0);
    if (fileDate == 0) {
        fileDate = TodayLocal();
        if (file_) {
            try {
                file_->WriteFloat(L"Main", L"InstDate1", fileDate);
                file_->WriteString(L"Main", L"InstDate2", ShortDateText(fileDate));
            } catch (...) {
            }
        }
    }

    const DWORD stored = ReadRegDWord(HKEY_LOCAL_MACHINE, kInstDateKey, kInstDateValue, 0);
    DateTimeValue registryDate = stored;
    if (stored == 0) {
        registryDate = fileDate;
        // Only a day number that fits the value is stored; a date before
        // 1899-12-31 or beyond it (a damaged file) is not.
        const double wholeDays = std::trunc(fileDate);
        if (wholeDays >= 1 && wholeDays <= 4294967295.0)
            WriteRegDWord(HKEY_LOCAL_MACHINE, kInstDateKey, kInstDateValue, static_cast<DWORD>(wholeDays));
    }
    return registryDate < fileDate ? registryDate : fileDate;
}

DateTimeValue TConfig::InstallTime() const { return ReadFloat(L"Main", L"InstTime1", 0); }

bool TConfig::ScanGameEnabled() const { return ReadBool(L"Scan", L"ScanGame", true); }

void TConfig::SaveScanGame() {
    if (!HasFile() || configPath_.empty()) return;
    try {
        // The file as it is now, not as any copy held since the start: the
        // product may have changed "ScanGame" while the window was up.
        TIniFile current(configPath_);
        if (!current.ValueExists(L"Scan", L"ScanGame")) return;  // a missing entry stays missing
        const bool value = current.ReadBool(L"Scan", L"ScanGame", true);
        // Already in its normal form: a write would make the profile service
        // rewrite the product's whole file for nothing.
        if (current.ReadString(L"Scan", L"ScanGame", L"") == (value ? L"1" : L"0")) return;
        current.WriteBool(L"Scan", L"ScanGame", value);
        current.UpdateFile();
    } catch (...) {
    }
}

bool TConfig::FocusModeEnabled() const { return ReadBool(L"Focus", L"FocusMode", true); }

bool TConfig::IsFocusAssistEnabled() {
    if (!ReadBool(L"Focus", L"FocusAssist", true)) return false;
    const OsVersion& version = ReportedOsVersion();
    const unsigned n = version.major * 10 + version.minor;
    if (n < 100 || (n == 100 && version.build < 17134)) {
        SetFocusAssist(false);
        return false;
    }
    return true;
}

void TConfig::SetFocusAssist(bool value) {
    if (!file_) return;
    try {
        file_->WriteBool(L"Focus", L"FocusAssist", value);
    } catch (...) {
    }
}

std::wstring ShortDateText(DateTimeValue date) {
    const CalendarDate day = DecodeDateValue(date);
    if (day.year < 1601 || day.year > 30827) return {};
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(day.year);
    st.wMonth = static_cast<WORD>(day.month);
    st.wDay = static_cast<WORD>(day.day);
    wchar_t buffer[128] = {};
    const int n = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128);
    return n > 0 ? std::wstring(buffer) : std::wstring();
}

TConfig* ConfigInstance() {
    std::lock_guard<std::mutex> guard(ConfigLock());
    return g_instance;
}

TConfig& AcquireConfig(const std::wstring& configPath) {
    std::lock_guard<std::mutex> guard(ConfigLock());
    if (!g_instance) {
        auto created = std::make_unique<TConfig>();
        if (configPath.empty()) {
            created->OpenConfig();
        } else {
            created->OpenConfigAt(configPath);
        }
        g_instance = created.release();
    }
    ++g_referenceCount;
    return *g_instance;
}

void ReleaseConfig() {
    std::lock_guard<std::mutex> guard(ConfigLock());
    if (!g_instance) return;
    if (--g_referenceCount > 0) return;
    g_instance->CloseConfig();
    delete g_instance;
    g_instance = nullptr;
    g_referenceCount = 0;
}

int ConfigReferenceCount() {
    std::lock_guard<std::mutex> guard(ConfigLock());
    return g_referenceCount;
}

void ConfigUnitInitialize(const std::wstring& configPath) {
    TConfig& config = AcquireConfig(configPath);
    config.ScanGameAtStart = config.ScanGameEnabled();
}

void ConfigUnitFinalize() {
    if (TConfig* config = ConfigInstance()) config->SaveScanGame();
    ReleaseConfig();
}

}  // namespace promo
