#include "product/AppConfig.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "product/SystemHelpers.h"
#include "support/Handles.h"
#include "support/OsVersion.h"

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

// The product's file seen through the profile-string service without
// preparing it: no folder is made, no attribute is cleared, nothing is
// flushed. Writes do nothing and say so.
class TProfileReader : public TCustomIniFile {
public:
    explicit TProfileReader(const std::wstring& fileName) : TCustomIniFile(fileName) {}

    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) const override {
        for (DWORD size = 2048;; size += size / 2) {
            std::wstring buffer(size, L'\0');
            const DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                       buffer.data(), size, FileName().c_str());
            // A value that did not fit comes back cut to size - 1 characters.
            if (n + 1 < size) return buffer.substr(0, n);
        }
    }
    void ReadSection(const std::wstring& section, IniStringList& destination) const override {
        ReadNames(section.c_str(), destination);
    }
    void ReadSections(IniStringList& destination) const override { ReadNames(nullptr, destination); }
    void ReadSectionValues(const std::wstring& section, IniStringList& destination) const override {
        IniStringList names;
        ReadSection(section, names);
        destination.clear();
        for (const std::wstring& name : names)
            destination.push_back(name + L"=" + ReadString(section, name, {}));
    }
    bool WriteString(const std::wstring&, const std::wstring&, const std::wstring&) override { return false; }
    void EraseSection(const std::wstring&) override {}
    void DeleteKey(const std::wstring&, const std::wstring&) override {}
    void UpdateFile() override {}

private:
    // Key names of a section, or section names when `section` is null.
    void ReadNames(const wchar_t* section, IniStringList& destination) const {
        destination.clear();
        std::wstring buffer;
        DWORD n = 0;
        for (DWORD size = 1024;; size *= 4) {
            buffer.assign(size, L'\0');
            n = section ? ::GetPrivateProfileStringW(section, nullptr, L"", buffer.data(), size,
                                                     FileName().c_str())
                        : ::GetPrivateProfileSectionNamesW(buffer.data(), size, FileName().c_str());
            if (n < size - 2) break;
        }
        for (size_t start = 0; start < n;) {
            const size_t end = std::min<size_t>(buffer.find(L'\0', start), n);
            if (end == start) break;
            destination.push_back(buffer.substr(start, end - start));
            start = end + 1;
        }
    }
};

// The registry's first-install date as found: absent only when the key or
// the value is not found; any other failure, another type or another size
// makes it unusable (and so never overwritten).
StoredDate ReadRegistryInstDate(DWORD& type) {
    type = REG_NONE;
    HKEY opened = nullptr;
    const LONG openResult = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstDateKey, 0, KEY_READ, &opened);
    if (openResult == ERROR_FILE_NOT_FOUND) return StoredDate::Absent();
    if (openResult != ERROR_SUCCESS) return StoredDate::Unusable();
    const UniqueRegKey key(opened);
    BYTE data[8] = {};
    DWORD bytes = sizeof data;
    const LONG queryResult = ::RegQueryValueExW(key.get(), kInstDateValue, nullptr, &type, data, &bytes);
    if (queryResult == ERROR_FILE_NOT_FOUND) return StoredDate::Absent();
    if (queryResult != ERROR_SUCCESS) return StoredDate::Unusable();  // ERROR_MORE_DATA among others
    // REG_DWORD_BIG_ENDIAN is read as stored, without a byte swap.
    if ((type != REG_DWORD && type != REG_DWORD_BIG_ENDIAN) || bytes != sizeof(DWORD))
        return StoredDate::Unusable();
    DWORD value = 0;
    std::memcpy(&value, data, sizeof value);
    return StoredDate::Value(value);
}

}  // namespace

TConfig::~TConfig() { CloseConfig(); }

std::wstring TConfig::ProductConfigPath() {
    const std::wstring appData = AppDataFolder();
    // A relative "Norvi\Pellorin" would land wherever the current folder is.
    return appData.empty() ? std::wstring() : appData + L"Norvi\\Pellorin\\Config.ini";
}

void TConfig::OpenConfig() {
    const std::wstring path = ProductConfigPath();
    if (path.empty()) {
        CloseConfig();
        configPath_.clear();
        return;
    }
    OpenConfigAt(path);
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

void TConfig::OpenConfigForReading(const std::wstring& configPath) {
    CloseConfig();
    configPath_ = configPath;
    if (!configPath.empty()) file_ = std::make_unique<TProfileReader>(configPath);
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

std::wstring TConfig::ReadString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& defaultValue) const {
    return file_ ? file_->ReadString(section, key, defaultValue) : defaultValue;
}

bool TConfig::ValueExists(const std::wstring& section, const std::wstring& key) const {
    return file_ && file_->ValueExists(section, key);
}

bool TConfig::ReadBool(const std::wstring& section, const std::wstring& key, bool defaultValue) const {
    return file_ ? file_->ReadBool(section, key, defaultValue) : defaultValue;
}

TConfig::FirstInstallReading TConfig::ReadFirstInstallDate() const {
    FirstInstallReading reading;
    if (ValueExists(L"Main", L"InstDate1")) {
        reading.fileText = ReadString(L"Main", L"InstDate1", L"");
        // ReadFloat gives the default for text that does not convert; two
        // different defaults tell such text from a stored number.
        const double first = ReadFloat(L"Main", L"InstDate1", 0.0);
        const double second = ReadFloat(L"Main", L"InstDate1", 1.0);
        reading.file = first == second ? StoredDate::Value(first) : StoredDate::Unusable();
    }
    DWORD type = REG_NONE;
    reading.registry = ReadRegistryInstDate(type);
    reading.registryType = type;
    reading.plan = PlanFirstInstallDate(reading.file, reading.registry, TodayLocal());
    return reading;
}

DateTimeValue TConfig::FirstInstallDate() {
    const FirstInstallReading reading = ReadFirstInstallDate();
    const FirstInstallPlan& plan = reading.plan;
    if (plan.storeFileDate && file_) {
        try {
            file_->WriteFloat(L"Main", L"InstDate1", plan.fileDate);
            file_->WriteString(L"Main", L"InstDate2", ShortDateText(plan.fileDate));
        } catch (...) {
        }
    }
    if (plan.storeRegistryDays)
        WriteRegDWord(HKEY_LOCAL_MACHINE, kInstDateKey, kInstDateValue, *plan.storeRegistryDays);
    return plan.result;
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

FocusAssistReading TConfig::ReadFocusAssist() const {
    const OsVersion& version = ReportedOsVersion();
    return ReadFocusAssistSwitch(ReadBool(L"Focus", L"FocusAssist", true), version.major, version.minor,
                                 version.build);
}

bool TConfig::IsFocusAssistEnabled() {
    const FocusAssistReading reading = ReadFocusAssist();
    if (reading.WritesBackOff()) SetFocusAssist(false);
    return reading.Enabled();
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

TConfig& SharedConfigOrDefaults() {
    if (TConfig* config = ConfigInstance()) return *config;
    static TConfig unopened;
    return unopened;
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
