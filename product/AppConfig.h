// The product's configuration: its "Config.ini" in the user's application
// data folder ("Norvi\Pellorin\Config.ini"), shared with the product itself.
// Every read and write goes straight to the file through TIniFile, so a read
// sees the file as it is now and a write changes that one key only; nothing
// is cached except ScanGameAtStart.
//
// One instance serves the whole program (ConfigInstance), reference-counted
// and created by ConfigUnitInitialize at start, released by
// ConfigUnitFinalize at the end. No operation raises because of the file or
// the registry: failures read as defaults and writes that fail are dropped.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "product/ConfigRules.h"
#include "support/DateTime.h"
#include "support/PSafeIniFile.h"

namespace promo {

// Where the product keeps its first-install date as a whole day number
// (HKEY_LOCAL_MACHINE, no view flag: the 32-bit view on 64-bit Windows).
inline constexpr wchar_t kInstDateKey[] = L"SOFTWARE\\Norvi\\Pellorin";
inline constexpr wchar_t kInstDateValue[] = L"InstDate";

class TConfig {
public:
    // Nothing open: every read gives its default until OpenConfig.
    TConfig() = default;
    virtual ~TConfig();
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    // Opens the product's file (AppDataFolder() + "Norvi\Pellorin\Config.ini"),
    // creating its folder when missing. Without a file object (the folder
    // cannot be named, the file cannot be prepared) reads give defaults and
    // writes do nothing.
    virtual void OpenConfig();
    // The same over another file (tests).
    void OpenConfigAt(const std::wstring& configPath);
    // Opens a file for reading only, through the same profile-string service:
    // no folder is made, no attribute changes, and every write does nothing.
    // What the check tool uses, so that it reads exactly what the program reads.
    void OpenConfigForReading(const std::wstring& configPath);
    // The product's file: AppDataFolder() + "Norvi\Pellorin\Config.ini"; empty
    // when the system cannot name the folder.
    static std::wstring ProductConfigPath();
    // Releases the file object (which flushes the service's cached copy).
    virtual void CloseConfig();

    const std::wstring& ConfigPath() const { return configPath_; }
    bool HasFile() const { return file_ != nullptr; }

    double ReadFloat(const std::wstring& section, const std::wstring& key, double defaultValue) const;
    void ReadSectionValues(const std::wstring& section, IniStringList& destination) const;
    // The raw text of a key and whether it is there at all (for reports).
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) const;
    bool ValueExists(const std::wstring& section, const std::wstring& key) const;

    // What the first-install date is read from and what it comes to; reads
    // only. FirstInstallDate applies the plan: it stores today as InstDate1
    // (with InstDate2 as the user's short date) when InstDate1 is absent, and
    // the whole days as the registry's InstDate when that value is absent. A
    // present value that does not convert, or a registry value of another
    // type, counts as 0 in the computation and is left as it stands.
    struct FirstInstallReading {
        StoredDate file;                 // [Main] InstDate1
        std::wstring fileText;           // its text as stored
        StoredDate registry;             // HKLM\SOFTWARE\Norvi\Pellorin InstDate
        unsigned long registryType = 0;  // REG_* of the value when present
        FirstInstallPlan plan;
    };
    FirstInstallReading ReadFirstInstallDate() const;
    DateTimeValue FirstInstallDate();
    // [Main] InstTime1, 0 when missing.
    DateTimeValue InstallTime() const;
    // [Scan] ScanGame, true when missing.
    bool ScanGameEnabled() const;
    // Puts [Scan] ScanGame, as the file holds it now, in its normal form
    // ("1"/"0"; a text that is no number becomes "1"), then flushes. A missing
    // entry stays missing and a normal one is not written again. Never writes
    // back an earlier value: the product may change it at any time.
    void SaveScanGame();
    // [Focus] FocusMode, true when missing.
    bool FocusModeEnabled() const;
    // [Focus] FocusAssist (true when missing), but false on systems before
    // Windows 10 build 17134, which is then written back as "0". The reading
    // alone writes nothing.
    FocusAssistReading ReadFocusAssist() const;
    bool IsFocusAssistEnabled();
    void SetFocusAssist(bool value);

    // The "ScanGame" value read when the unit started (what the run began
    // with; the end of the run reads the file afresh).
    bool ScanGameAtStart = true;

private:
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool defaultValue) const;

    std::unique_ptr<TCustomIniFile> file_;
    std::wstring configPath_;
};

// The user's short date format of a date value (for InstDate2); empty when the
// system cannot format it.
std::wstring ShortDateText(DateTimeValue date);

// The shared instance, or nullptr before ConfigUnitInitialize and after
// ConfigUnitFinalize.
TConfig* ConfigInstance();
// The shared instance, or (without one) an unopened configuration whose reads
// give the defaults and whose writes do nothing.
TConfig& SharedConfigOrDefaults();
// Instance creation and release. AcquireConfig creates and opens the shared
// instance when there is none (over `configPath`, or the product's file when
// empty) and counts one more holder; ReleaseConfig counts one fewer and closes
// and frees the instance with its last holder. Both are serialized by the
// unit's lock.
TConfig& AcquireConfig(const std::wstring& configPath = {});
void ReleaseConfig();
// The number of holders of the shared instance (tests).
int ConfigReferenceCount();

// Unit start: creates the shared instance and reads ScanGame into
// ScanGameAtStart. `configPath` empty means the product's own file.
void ConfigUnitInitialize(const std::wstring& configPath = {});
// Unit end: SaveScanGame() on the file as it is then, then releases the
// instance.
void ConfigUnitFinalize();

}  // namespace promo
