// PromoCheck.exe: why the promotion window would or would not show on this
// machine, now. It puts a read-only environment under the program's own
// decision, quiet-time, text and address code and prints what each gate read
// and said. It writes nothing: no folder, no Config.ini key or attribute, no
// registry value, no marker, no lang.dat; it posts nothing and opens nothing.
//
// Exit code: 0 the window would show, 1 it is held back, 2 the check failed.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "check/CheckReport.h"
#include "launch/ChkFullScrn.h"
#include "launch/DllSafety.h"
#include "launch/FocusConstraint.h"
#include "launch/ProcessList.h"
#include "launch/QuietTime.h"
#include "launch/ShowDecision.h"
#include "launch/ShownMarker.h"
#include "launch/Uptime.h"
#include "product/AppConfig.h"
#include "product/SystemHelpers.h"
#include "promo/CampaignActions.h"
#include "promo/LocalizedTexts.h"
#include "promo/PurchaseLink.h"
#include "support/BuildSettings.h"
#include "support/Handles.h"
#include "support/OsVersion.h"
#include "support/TextCodec.h"
#include "ui/Application.h"

namespace promo::check {
namespace {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring Number(double value, int decimals) {
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%.*f", decimals, value);
    return buffer;
}

std::wstring DateTimeText(DateTimeValue value) {
    const CalendarDate date = DecodeDateValue(value);
    const double fraction = value - std::floor(value);
    const long seconds = std::lround(fraction * 86400.0) % 86400;
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%04d-%02d-%02d %02ld:%02ld:%02ld", date.year, date.month, date.day,
                  seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buffer;
}

// A key of the product's file as the report names it: its text, or that it
// is missing, with the file and section.
std::wstring ConfigKey(const TConfig& config, const std::wstring& section, const std::wstring& key) {
    const std::wstring where = L" (" + config.ConfigPath() + L" [" + section + L"] " + key + L")";
    if (!config.ValueExists(section, key)) return key + L" missing" + where;
    return key + L"=" + config.ReadString(section, key, L"") + where;
}

std::wstring ExeFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path.substr(0, path.find_last_of(L"\\/") + 1);
        }
        path.resize(path.size() * 2);
    }
}

// The program's quiet-time environment over a configuration opened for
// reading, with no write-back; it keeps what it read for the report and
// reads the whole foreground window without the program's trace lines.
class CheckQuietEnvironment : public SystemQuietTimeEnvironment {
public:
    explicit CheckQuietEnvironment(TConfig& config) : SystemQuietTimeEnvironment(config, false) {}

    bool IsFullScreenAppActive() override {
        foreground = ReadForegroundWindow(true);
        return IsFullScreenApp(foreground);
    }
    bool IsFocusAssistEnabled() override {
        focusAssist = config_.ReadFocusAssist();
        return SystemQuietTimeEnvironment::IsFocusAssistEnabled();
    }
    bool FocusHookAllowsPopup() override {
        focusDllPath = ExeFolder() + L"Focus.dll";
        const DWORD attributes = ::GetFileAttributesW(focusDllPath.c_str());
        focusDllFound = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        // Held until the hook has been asked: let go before, its last
        // reference would run the library's detach code, and a library that
        // then faults or hangs must not run any more code.
        UniqueModule library;
        if (focusDllFound) {
            library.reset(LoadApplicationLibrary(L"Focus.dll"));
            exportFound = library && ::GetProcAddress(library.get(), "PopConditionMet") != nullptr;
        }
        hookAnswer = AskFocusHook();
        // It stays loaded; freeing would also take the loader lock, which a
        // hung thread may hold.
        if (FocusHookMisbehaved()) library.release();
        return HookAllowsPopup(*hookAnswer);
    }

    ForegroundWindowFacts foreground;
    FocusAssistReading focusAssist;
    std::wstring focusDllPath;
    bool focusDllFound = false;
    bool exportFound = false;
    std::optional<HookAnswer> hookAnswer;
};

// The program's show environment, every quiet-time test made; it keeps what
// it read for the report.
class CheckShowEnvironment : public SystemShowEnvironment {
public:
    CheckShowEnvironment(const TConfig& config, CheckQuietEnvironment& quiet)
        : SystemShowEnvironment(config, quiet, true) {}

    DateTimeValue Now() override { return now = SystemShowEnvironment::Now(); }
    double InstallTime() override { return installTime = SystemShowEnvironment::InstallTime(); }
    bool ShownMarkerPresent() override {
        markerPath = ShownMarkerPath();
        const DWORD attributes =
            markerPath.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(markerPath.c_str());
        markerFileFound = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        return markerPresent = SystemShowEnvironment::ShownMarkerPresent();
    }
    std::uint16_t SystemDefaultLangId() override {
        return langId = SystemShowEnvironment::SystemDefaultLangId();
    }

    DateTimeValue now = 0;
    double installTime = 0;
    std::wstring markerPath;
    bool markerFileFound = false;
    bool markerPresent = false;
    std::uint16_t langId = 0;
};

Status StatusOf(const std::optional<bool>& blocks) {
    return blocks.value_or(false) ? Status::blocks : Status::pass;
}

Entry UptimeEntry(const BuildSettings& settings) {
    // The program's own counts (64-bit where the system has one).
    const std::uint64_t tick = SystemUptimeMs();
    const std::optional<std::uint64_t> session = SessionAgeMs();
    const UptimeWaitLeft left = UptimeWaitLeftMs(settings.minUptimeMs, tick, session);
    const std::uint64_t wait = (left.ms + 999) / 1000;
    std::wstring read = std::to_wstring(tick / 1000) + L" s since the system started (GetTickCount64); ";
    read += session ? L"session logged on " + std::to_wstring(*session / 1000) +
                          L" s ago (WTSQuerySessionInformationW)"
                    : std::wstring(
                          L"session logon time unknown (WTSQuerySessionInformationW): the uptime alone "
                          L"counts");
    read += L"; the build waits for " + std::to_wstring(settings.minUptimeMs / 1000) + L" s of each: ";
    const wchar_t* on = L"nothing";
    switch (left.on) {
        case UptimeWaitOn::nothing:
            read += L"would not wait";
            break;
        case UptimeWaitOn::system:
            on = L"system";
            read += L"would wait " + std::to_wstring(wait) + L" s for the system's uptime, then go on";
            break;
        case UptimeWaitOn::session:
            on = L"session";
            read += L"would wait " + std::to_wstring(wait) + L" s for the session's age, then go on";
            break;
    }
    Entry entry{"uptime", read, Status::pass};
    entry.fields = {{"wait_seconds", std::to_wstring(wait), true},
                    {"waits_on", on},
                    {"uptime_ms", std::to_wstring(tick), true}};
    if (session) entry.fields.push_back({"session_age_ms", std::to_wstring(*session), true});
    entry.fields.push_back({"minimum_ms", std::to_wstring(settings.minUptimeMs), true});
    return entry;
}

// A quiet-time test blocks when the evaluation says it would hold the window.
Status HoldsStatus(const QuietTimeEvaluation& q, QuietTest test) {
    return q.Holds(test) ? Status::blocks : Status::pass;
}

Entry QuietTimeEntry(const TConfig& config, const CheckShowEnvironment& show,
                     const CheckQuietEnvironment& env) {
    const QuietTimeEvaluation& q = show.quietEvaluation;
    const bool focusMode = q.focusMode.value_or(true);
    Entry entry{"quiet-time",
                !focusMode  ? L"focus mode off: the tests below do not count"
                : q.Quiet() ? L"focus mode on: pop-ups are held back"
                            : L"focus mode on: nothing holds pop-ups back",
                q.Quiet() ? Status::blocks : Status::pass};

    entry.tests.push_back({"focus-mode",
                           ConfigKey(config, L"Focus", L"FocusMode") + (focusMode ? L": on" : L": off"),
                           Status::pass});

    const ForegroundWindowFacts& f = env.foreground;
    std::wstring window;
    if (f.kind == ForegroundWindowFacts::Kind::invalid) {
        window = L"no foreground window";
    } else {
        window =
            std::wstring(f.kind == ForegroundWindowFacts::Kind::desktop ? L"the desktop window" : L"window") +
            L" (" + std::to_wstring(f.rect.left) + L"," + std::to_wstring(f.rect.top) + L")-(" +
            std::to_wstring(f.rect.right) + L"," + std::to_wstring(f.rect.bottom) + L"), screen " +
            std::to_wstring(f.screenWidth) + L"x" + std::to_wstring(f.screenHeight) + L", class " +
            Quoted(f.className.value_or(L"")) + L", process " + Quoted(f.processName.value_or(L""));
    }
    window += L" (GetForegroundWindow)";
    window +=
        q.fullScreen.value_or(false) ? L": a full-screen application" : L": not a full-screen application";
    entry.tests.push_back({"full-screen", window, HoldsStatus(q, QuietTest::fullScreen)});

    const OsVersion& version = ReportedOsVersion();
    std::wstring assist = ConfigKey(config, L"Focus", L"FocusAssist") + L", Windows " +
                          std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L"." +
                          std::to_wstring(version.build);
    if (env.focusAssist.systemTooOld)
        assist += env.focusAssist.stored
                      ? L": before build 17134, held off (the program would write FocusAssist=0)"
                      : L": before build 17134, held off";
    assist += std::wstring(L"; ") + env.focusDllPath + (env.focusDllFound ? L" found" : L" not found");
    if (env.focusDllFound)
        assist += env.exportFound ? L", PopConditionMet found" : L", PopConditionMet missing";
    if (env.hookAnswer) {
        switch (*env.hookAnswer) {
            case HookAnswer::allows:
            case HookAnswer::absent:
                assist += L": a pop-up may show";
                break;
            case HookAnswer::holdsBack:
                assist += L": no pop-up now";
                break;
            case HookAnswer::faulted:
                assist += L": PopConditionMet faulted (counts as a pop-up may show)";
                break;
            case HookAnswer::noAnswer:
                assist += L": did not answer within " + std::to_wstring(kFocusHookAnswerBoundMs / 1000) +
                          L" s (counts as no pop-up now)";
                break;
        }
    }
    if (!q.focusAssistEnabled.value_or(false)) assist += L" (not asked by the program: Focus Assist is off)";
    entry.tests.push_back({"focus-assist", assist, HoldsStatus(q, QuietTest::focusAssist)});

    std::wstring apps;
    for (const auto& [application, running] : q.apps)
        apps += (apps.empty() ? L"" : L", ") + Quoted(application) + (running ? L" runs" : L" not running");
    if (apps.empty()) apps = L"none listed";
    apps += L" (" + config.ConfigPath() + L" [FocusApps]; process list)";
    entry.tests.push_back({"focus-apps", apps, HoldsStatus(q, QuietTest::focusApps)});
    return entry;
}

std::wstring StoredDateText(const StoredDate& date, const std::wstring& text) {
    switch (date.state) {
        case StoredDate::State::absent:
            return L"absent";
        case StoredDate::State::unusable:
            return Quoted(text) + L" (not a date: counts as 0, left as it is)";
        case StoredDate::State::value:
            break;
    }
    return Number(date.value, date.value == std::floor(date.value) ? 0 : 6);
}

std::wstring RegistryDateText(const StoredDate& date, unsigned long type) {
    switch (date.state) {
        case StoredDate::State::absent:
            return L"absent";
        case StoredDate::State::unusable:
            return L"of type " + std::to_wstring(type) + L" (not a day number: counts as 0, left as it is)";
        case StoredDate::State::value:
            break;
    }
    return std::to_wstring(static_cast<unsigned long>(date.value));
}

Report BuildReport() {
    const BuildSettings& settings = GetBuildSettings();
    TConfig config;
    config.OpenConfigForReading(TConfig::ProductConfigPath());

    Report report;
    report.gates.push_back(UptimeEntry(settings));

    CheckQuietEnvironment quietEnv(config);
    CheckShowEnvironment showEnv(config, quietEnv);
    const ShowEvaluation evaluation = EvaluateShow(settings.campaignEnd, showEnv, true);

    const std::optional<DateTimeValue> end = ParseIsoDate(settings.campaignEnd);
    report.gates.push_back({"campaign-end",
                            L"now " + DateTimeText(showEnv.now) + L" (local clock); end " +
                                std::wstring(settings.campaignEnd) +
                                (end ? L" 00:00 (build setting)" : L" (build setting, not a date)"),
                            StatusOf(evaluation.Blocks(ShowGate::campaignEnd))});

    std::wstring age = ConfigKey(config, L"Main", L"instTime1");
    if (showEnv.installTime == 0)
        age += L": no install time";
    else
        age += L": installed " + Number(showEnv.now - showEnv.installTime, 1) + L" days ago, more than " +
               Number(kMinInstallAgeDays, 0) + L" needed";
    report.gates.push_back({"install-age", age, StatusOf(evaluation.Blocks(ShowGate::installAge))});

    report.gates.push_back(
        {"shown-marker",
         (showEnv.markerPath.empty() ? L"(no common application data folder)" : showEnv.markerPath) +
             (showEnv.markerFileFound ? L": file present, " : L": file missing, ") + L"[" +
             kShownMarkerSection + L"] " + kShownMarkerKey +
             (showEnv.markerPresent ? L" present" : L" absent"),
         StatusOf(evaluation.Blocks(ShowGate::shownMarker))});

    wchar_t langId[16];
    std::swprintf(langId, 16, L"0x%04X", showEnv.langId);
    report.gates.push_back({"japanese-system", std::wstring(langId) + L" (GetSystemDefaultLangID)",
                            StatusOf(evaluation.Blocks(ShowGate::japaneseSystem))});
    report.gates.push_back(QuietTimeEntry(config, showEnv, quietEnv));

    // The language: lang.dat's code, then the text table's fallback.
    const std::wstring languageFile = LanguageFilePath();
    const LanguageCodeReading language = PeekLanguageCode(languageFile);
    const std::wstring code = LoadTexts(language.code).languageCode;
    std::wstring languageRead = code + L" (";
    switch (language.source) {
        case LanguageCodeReading::Source::file:
            languageRead += languageFile + L" [Cuslan] Name";
            break;
        case LanguageCodeReading::Source::missingFile:
            languageRead += L"fallback: " + languageFile + L" missing";
            break;
        case LanguageCodeReading::Source::unreadableFile:
            languageRead +=
                L"fallback: " + languageFile + L" unreadable, error " + std::to_wstring(language.error);
            break;
        case LanguageCodeReading::Source::noName:
            languageRead += L"fallback: no [Cuslan] Name in " + languageFile;
            break;
    }
    if (code != language.code) languageRead += L"; fallback: no texts for " + Quoted(language.code);
    languageRead += L")";
    Entry languageEntry{"language", languageRead, Status::info};
    languageEntry.fields = {{"code", code}, {"lang_dat", language.code}};
    report.details.push_back(languageEntry);

    // The purchase address, with the day counts from dates read, not stored.
    const DateTimeValue now = NowLocal();
    const TConfig::FirstInstallReading first = config.ReadFirstInstallDate();
    const std::wstring address = PurchaseAddressWith(code, DaysSinceText(config.InstallTime(), now),
                                                     DaysSinceText(first.plan.result, now));
    const std::wstring exe = ProductExecutablePath();
    const std::wstring version = FileVersionText(exe, 4);
    std::wstring purchase =
        address + L" (" + exe + (version.empty() ? L": no file version" : L": file version " + version) +
        L"; instd from " + ConfigKey(config, L"Main", L"InstTime1") + L"; finstd from InstDate1 " +
        StoredDateText(first.file, first.fileText) + L" and HKLM\\" + kInstDateKey + L" " + kInstDateValue +
        L" " + RegistryDateText(first.registry, first.registryType);
    if (first.plan.storeFileDate) purchase += L"; the program would store InstDate1 and InstDate2";
    if (first.plan.storeRegistryDays)
        purchase += L"; the program would store InstDate " + std::to_wstring(*first.plan.storeRegistryDays);
    purchase += L")";
    Entry purchaseEntry{"purchase-address", purchase, Status::info};
    purchaseEntry.fields = {{"address", address}};
    report.details.push_back(purchaseEntry);

    const std::wstring lower = LowerLanguageCode(code);
    const std::wstring statsAddress = StatsAddress(settings.statsHost);
    Entry stats{"statistics",
                L"POST " + Quoted(statsAddress) + L" close: " + BuildStatsBody(lower, true) + L"; buy: " +
                    BuildStatsBody(lower, false),
                Status::info};
    stats.fields = {{"address", statsAddress},
                    {"close_body", BuildStatsBody(lower, true)},
                    {"buy_body", BuildStatsBody(lower, false)}};
    report.details.push_back(stats);

    Entry build{"build",
                L"campaign " + std::wstring(kCampaignName) + L"; campaign end " +
                    std::wstring(settings.campaignEnd) + L"; minimum uptime " +
                    std::to_wstring(settings.minUptimeMs) + L" ms; statistics host " + settings.statsHost +
                    L"; purchase hosts " + settings.purchaseHost + L", " + settings.purchaseHostRu,
                Status::info};
    build.fields = {{"campaign", kCampaignName},
                    {"campaign_end", settings.campaignEnd},
                    {"minimum_uptime_ms", std::to_wstring(settings.minUptimeMs), true},
                    {"statistics_host", settings.statsHost},
                    {"purchase_host", settings.purchaseHost},
                    {"purchase_host_ru", settings.purchaseHostRu}};
    report.details.push_back(build);
    return report;
}

// Text to a console as UTF-16, to a file or pipe as UTF-8.
void Write(DWORD which, const std::wstring& text) {
    const HANDLE out = ::GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(out, &mode)) {
        ::WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = EncodeUtf8(text);
    ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WriteBytes(const std::string& bytes) {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE)
        ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace
}  // namespace promo::check

int wmain(int argc, wchar_t** argv) {
    using namespace promo::check;
    promo::RestrictDllSearch();  // as the program: never a library planted in the current folder
    const Options options = ParseArguments(std::vector<std::wstring>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        Write(STD_ERROR_HANDLE, L"PromoCheck: " + options.error + L"\n" + kUsage);
        return 2;
    }
    if (options.delaySeconds > 0) ::Sleep(options.delaySeconds * 1000);
    const Report report = BuildReport();
    if (options.json) {
        WriteBytes(FormatJson(report));
    } else {
        Write(STD_OUTPUT_HANDLE, FormatText(report));
    }
    // After a Focus.dll that faulted or hung, none of its code runs again,
    // its detach code either (the output is written: WriteFile does not buffer).
    if (promo::FocusHookMisbehaved()) promo::TerminateRun(static_cast<unsigned>(ExitCode(report)));
    return ExitCode(report);
}
