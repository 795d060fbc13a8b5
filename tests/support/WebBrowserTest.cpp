// OpenUrlInBrowser with every handler pointed at stand-in browsers: copies of
// a capture program that write their command line to "<exe>.txt". The tests
// register the handlers, set the reported Windows version and put back every
// registry value, key and file they changed.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>
#include <shlobj.h>

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/DebugOutput.h"
#include "support/OsVersion.h"
#include "support/WebRoutines.h"

namespace promo {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kAddress[] =
    L"https://www.shop.test/de/kv/kv8preorder.php?to=kv8prepoppre7&ver=7.0.0.1&instd=12&finstd=400";
constexpr wchar_t kUserChoice[] =
    L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kTestProgId[] = L"PromoTest.BrowserUrl";

std::wstring WinePath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

std::string Narrow(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                          nullptr);
    return out;
}

// A recorded command line split as a started program splits it.
std::vector<std::wstring> Arguments(const std::string& utf8Line) {
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8Line.data(), static_cast<int>(utf8Line.size()), nullptr, 0);
    std::wstring line(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8Line.data(), static_cast<int>(utf8Line.size()), line.data(), n);
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> arguments;
    if (!argv) return arguments;
    for (int i = 0; i < count; ++i) arguments.emplace_back(argv[i]);
    ::LocalFree(argv);
    return arguments;
}

// Internet Explorer was started with the address as its one argument.
void ExpectExplorerStartedWith(const std::string& line, const std::wstring& address) {
    const std::vector<std::wstring> arguments = Arguments(line);
    ASSERT_EQ(arguments.size(), 2u) << line;
    EXPECT_NE(arguments[0].find(L"iexplore.exe"), std::wstring::npos) << line;
    EXPECT_EQ(arguments[1], address) << line;
}

// A stand-in that has just written its line may still be running for a moment.
void DeleteFileWhenFree(const std::wstring& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (::DeleteFileW(path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) return;
        std::this_thread::sleep_for(50ms);
    }
}

// Sets (or, with no value, removes) one text value for the scope. Keys that
// did not exist are created and removed again; an old value is put back.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, std::wstring path, std::wstring name, std::optional<std::wstring> value)
        : root_(root), path_(std::move(path)), name_(std::move(name)) {
        for (size_t at = 0; at != std::wstring::npos;) {
            at = path_.find(L'\\', at + 1);
            const std::wstring prefix = path_.substr(0, at);
            HKEY probe = nullptr;
            if (::RegOpenKeyExW(root_, prefix.c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS) {
                if (!value) return;  // nothing to remove
                createdRoot_ = prefix;
                break;
            }
            ::RegCloseKey(probe);
        }
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                              nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        if (::RegQueryValueExW(key, NameOrNull(), nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
            oldData_.resize(size);
            hadOld_ = ::RegQueryValueExW(key, NameOrNull(), nullptr, &oldType_, oldData_.data(), &size) ==
                      ERROR_SUCCESS;
        }
        if (value) {
            ok_ =
                ::RegSetValueExW(key, NameOrNull(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                                 static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        } else {
            const LONG status = ::RegDeleteValueW(key, NameOrNull());
            ok_ = status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
        }
        ::RegCloseKey(key);
    }
    ~ScopedRegistryValue() {
        if (!createdRoot_.empty()) {
            ::RegDeleteTreeW(root_, createdRoot_.c_str());
            return;
        }
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root_, path_.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
        if (hadOld_)
            ::RegSetValueExW(key, NameOrNull(), 0, oldType_, oldData_.data(),
                             static_cast<DWORD>(oldData_.size()));
        else
            ::RegDeleteValueW(key, NameOrNull());
        ::RegCloseKey(key);
    }
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    bool ok() const { return ok_; }

private:
    const wchar_t* NameOrNull() const { return name_.empty() ? nullptr : name_.c_str(); }

    HKEY root_;
    std::wstring path_, name_, createdRoot_;
    bool ok_ = true;
    bool hadOld_ = false;
    DWORD oldType_ = 0;
    std::vector<BYTE> oldData_;
};

// A copy of the capture program and the lines it records.
class StandInBrowser {
public:
    explicit StandInBrowser(std::wstring exePath) : exe_(std::move(exePath)) {
        ::DeleteFileW(Log().c_str());
        copied_ = ::CopyFileW(WinePath(PROMO_URL_CAPTURE_EXE).c_str(), exe_.c_str(), FALSE) != FALSE;
    }
    ~StandInBrowser() {
        DeleteFileWhenFree(exe_);
        DeleteFileWhenFree(Log());
    }
    StandInBrowser(const StandInBrowser&) = delete;
    StandInBrowser& operator=(const StandInBrowser&) = delete;

    bool copied() const { return copied_; }
    const std::wstring& exe() const { return exe_; }
    std::wstring Command() const { return L"\"" + exe_ + L"\" \"%1\""; }

    // The complete lines recorded so far. The stand-in holds the file
    // exclusively while it writes: wait for it rather than read nothing.
    std::vector<std::string> Lines() const {
        std::string bytes;
        for (int attempt = 0; attempt < 100; ++attempt) {
            HANDLE file = ::CreateFileW(Log().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                if (::GetLastError() != ERROR_SHARING_VIOLATION) break;
                std::this_thread::sleep_for(20ms);
                continue;
            }
            char buffer[4096];
            DWORD read = 0;
            while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
                bytes.append(buffer, read);
            ::CloseHandle(file);
            break;
        }
        std::vector<std::string> lines;
        for (size_t at = 0, end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(bytes.substr(at, end - at));
        return lines;
    }
    // Waits (bounded) until at least `count` starts were recorded.
    std::vector<std::string> WaitForLines(size_t count = 1) const {
        std::vector<std::string> lines = Lines();
        for (auto end = std::chrono::steady_clock::now() + 20s;
             lines.size() < count && std::chrono::steady_clock::now() < end; lines = Lines())
            std::this_thread::sleep_for(50ms);
        return lines;
    }

private:
    std::wstring Log() const { return exe_ + L".txt"; }

    std::wstring exe_;
    bool copied_ = false;
};

std::wstring ProgramFilesFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder))) return {};
    return folder;
}

// Puts a stand-in at "<Program Files>\Internet Explorer\iexplore.exe" for the
// scope (moving a present one aside), or, with install = false, only moves a
// present one aside.
class ScopedInternetExplorer {
public:
    explicit ScopedInternetExplorer(bool install) {
        const std::wstring programFiles = ProgramFilesFolder();
        if (programFiles.empty()) {
            problem_ = "no Program Files folder";
            return;
        }
        folder_ = programFiles + L"\\Internet Explorer";
        exe_ = folder_ + L"\\iexplore.exe";
        backup_ = exe_ + L".promo-test-backup";
        // A run that died half-way left the original aside: put it back first.
        if (::GetFileAttributesW(backup_.c_str()) != INVALID_FILE_ATTRIBUTES)
            ::MoveFileExW(backup_.c_str(), exe_.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (::GetFileAttributesW(folder_.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (!::CreateDirectoryW(folder_.c_str(), nullptr)) {
                problem_ = "Program Files is not writable";
                return;
            }
            createdFolder_ = true;
        }
        if (::GetFileAttributesW(exe_.c_str()) != INVALID_FILE_ATTRIBUTES) {
            if (!::MoveFileExW(exe_.c_str(), backup_.c_str(), 0)) {
                problem_ = "iexplore.exe cannot be moved aside";
                return;
            }
            movedAside_ = true;
        }
        if (install) {
            browser_.emplace(exe_);
            if (!browser_->copied()) problem_ = "the Internet Explorer folder is not writable";
        }
    }
    ~ScopedInternetExplorer() {
        browser_.reset();
        if (movedAside_) ::MoveFileExW(backup_.c_str(), exe_.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (createdFolder_) ::RemoveDirectoryW(folder_.c_str());
    }

    const std::string& problem() const { return problem_; }
    const StandInBrowser& browser() const { return *browser_; }

private:
    std::wstring folder_, exe_, backup_;
    bool createdFolder_ = false;
    bool movedAside_ = false;
    std::string problem_;
    std::optional<StandInBrowser> browser_;
};

// Run once through the desktop shell (the elevated test process reaches it
// under Wine) and once as an unelevated process, through ShellExecuteW.
class OpenUrlInBrowserTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        savedVersion_ = ReportedOsVersion();
        SetBrowserStartForTesting(Start());
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"promo-browser-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        browser_.emplace(folder_ + L"\\browser.exe");
        edge_.emplace(folder_ + L"\\edge.exe");
        ASSERT_TRUE(browser_->copied() && edge_->copied())
            << "capture program missing: " PROMO_URL_CAPTURE_EXE;
        for (const wchar_t* scheme : {L"http", L"https"})
            Set(HKEY_CLASSES_ROOT, std::wstring(scheme) + L"\\shell\\open\\command", L"",
                browser_->Command());
        // No Edge unless a test registers it; no software that displaces the default browser.
        Remove(HKEY_CLASSES_ROOT, L"microsoft-edge\\shell\\open\\command", L"");
        for (const wchar_t* name : {L"360TotalSecurity", L"MPC AdCleaner", L"MPC"})
            ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kUninstall) + name))
                << "prefix has " << name;
    }
    void TearDown() override {
        while (!registry_.empty()) registry_.pop_front();  // in reverse order of setting
        browser_.reset();
        edge_.reset();
        ::RemoveDirectoryW(folder_.c_str());
        SetReportedOsVersionForTesting(savedVersion_);
        SetBrowserStartForTesting(BrowserStartForTesting::asTheSystemSays);
    }

    virtual BrowserStartForTesting Start() const {
        return GetParam() ? BrowserStartForTesting::asTheSystemSays : BrowserStartForTesting::notElevated;
    }

    static bool KeyExists(HKEY root, const std::wstring& path) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }
    void Set(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value) {
        registry_.push_front(std::make_unique<ScopedRegistryValue>(root, path, name, value));
        ASSERT_TRUE(registry_.front()->ok()) << Narrow(path);
    }
    void Remove(HKEY root, const std::wstring& path, const std::wstring& name) {
        registry_.push_front(std::make_unique<ScopedRegistryValue>(root, path, name, std::nullopt));
        ASSERT_TRUE(registry_.front()->ok()) << Narrow(path);
    }

    void CompleteUserChoice() {
        Set(HKEY_CURRENT_USER, kUserChoice, L"ProgId", kTestProgId);
        Set(HKEY_CURRENT_USER, kUserChoice, L"Hash", L"dGVzdA==");
        Set(HKEY_CLASSES_ROOT, std::wstring(kTestProgId) + L"\\shell\\open\\command", L"",
            browser_->Command());
    }
    void NoUserChoice() {
        Remove(HKEY_CURRENT_USER, kUserChoice, L"ProgId");
        Remove(HKEY_CURRENT_USER, kUserChoice, L"Hash");
    }
    void RegisterEdge() {
        Set(HKEY_CLASSES_ROOT, L"microsoft-edge", L"", L"URL:microsoft-edge");
        Set(HKEY_CLASSES_ROOT, L"microsoft-edge", L"URL Protocol", L"");
        Set(HKEY_CLASSES_ROOT, L"microsoft-edge\\shell\\open\\command", L"", edge_->Command());
    }
    void InstallDisplacingSoftware(const wchar_t* name) {
        Set(HKEY_LOCAL_MACHINE, std::wstring(kUninstall) + name, L"DisplayName", name);
    }

    // After the first start was seen, the others get time to show up if they were started.
    static void SettleLaunches() { std::this_thread::sleep_for(1000ms); }

    std::string Quoted(const std::wstring& exe, const std::wstring& argument) const {
        return Narrow(L"\"" + exe + L"\" \"" + argument + L"\"");
    }

    std::wstring folder_;
    OsVersion savedVersion_;
    std::optional<StandInBrowser> browser_, edge_;
    std::deque<std::unique_ptr<ScopedRegistryValue>> registry_;
};

TEST_P(OpenUrlInBrowserTest, BlankAddressStartsNothing) {
    SetReportedOsVersionForTesting({6, 1, 7601});
    EXPECT_FALSE(OpenUrlInBrowser(L""));
    EXPECT_FALSE(OpenUrlInBrowser(L"  \t "));
    SettleLaunches();
    EXPECT_TRUE(browser_->Lines().empty());
}

TEST_P(OpenUrlInBrowserTest, Windows7AndWindows10TakeTheDefaultBrowserWithoutTheAssociationCheck) {
    NoUserChoice();
    RegisterEdge();
    for (const OsVersion version : {OsVersion{6, 1, 7601}, OsVersion{10, 0, 18362}, OsVersion{5, 1, 2600}}) {
        SCOPED_TRACE(testing::Message() << version.major << "." << version.minor << "." << version.build);
        StandInBrowser browser(folder_ + L"\\browser" + std::to_wstring(version.major) + L".exe");
        for (const wchar_t* scheme : {L"http", L"https"})
            Set(HKEY_CLASSES_ROOT, std::wstring(scheme) + L"\\shell\\open\\command", L"", browser.Command());
        SetReportedOsVersionForTesting(version);
        EXPECT_TRUE(OpenUrlInBrowser(kAddress));
        EXPECT_EQ(browser.WaitForLines(), std::vector<std::string>{Quoted(browser.exe(), kAddress)});
    }
    SettleLaunches();
    EXPECT_TRUE(edge_->Lines().empty());
}

TEST_P(OpenUrlInBrowserTest, Windows8TakesTheDefaultBrowserWhenTheUserChoiceIsComplete) {
    CompleteUserChoice();
    for (const OsVersion version : {OsVersion{6, 2, 9200}, OsVersion{6, 3, 9600}}) {
        SetReportedOsVersionForTesting(version);
        EXPECT_TRUE(OpenUrlInBrowser(kAddress));
    }
    browser_->WaitForLines(2);
    SettleLaunches();
    const std::string expected = Quoted(browser_->exe(), kAddress);
    EXPECT_EQ(browser_->Lines(), (std::vector<std::string>{expected, expected}));
}

// Each way the user choice can be incomplete sends the address to Internet
// Explorer on 6.2/6.3, where no Edge attempt is made.
TEST_P(OpenUrlInBrowserTest, Windows8WithoutACompleteUserChoiceFallsBackToInternetExplorer) {
    ScopedInternetExplorer explorer(true);
    if (!explorer.problem().empty())
        GTEST_SKIP() << "cannot place a stand-in Internet Explorer: " << explorer.problem();
    RegisterEdge();
    struct Case {
        const char* name;
        const wchar_t* progId;
        const wchar_t* hash;
        bool openCommand;
    };
    for (const Case& c :
         {Case{"absent", nullptr, nullptr, false}, Case{"no hash", kTestProgId, nullptr, true},
          Case{"no ProgId", nullptr, L"dGVzdA==", true}, Case{"no command", kTestProgId, L"x", false}}) {
        SCOPED_TRACE(c.name);
        const size_t before = explorer.browser().Lines().size();
        {
            ScopedRegistryValue progId(HKEY_CURRENT_USER, kUserChoice, L"ProgId",
                                       c.progId ? std::optional<std::wstring>(c.progId) : std::nullopt);
            ScopedRegistryValue hash(HKEY_CURRENT_USER, kUserChoice, L"Hash",
                                     c.hash ? std::optional<std::wstring>(c.hash) : std::nullopt);
            ScopedRegistryValue command(HKEY_CLASSES_ROOT,
                                        std::wstring(kTestProgId) + L"\\shell\\open\\command", L"",
                                        c.openCommand ? std::optional(browser_->Command()) : std::nullopt);
            SetReportedOsVersionForTesting({6, 2, 9200});
            EXPECT_TRUE(OpenUrlInBrowser(kAddress));
        }
        const std::vector<std::string> lines = explorer.browser().WaitForLines(before + 1);
        ASSERT_EQ(lines.size(), before + 1);
        ExpectExplorerStartedWith(lines.back(), kAddress);
    }
    SettleLaunches();
    EXPECT_TRUE(browser_->Lines().empty());
    EXPECT_TRUE(edge_->Lines().empty());
}

// Internet Explorer reads its address from a command line: only web
// addresses go there, each as one argument whatever it holds.
TEST_P(OpenUrlInBrowserTest, InternetExplorerGetsOnlyWebAddressesAsOneArgument) {
    ScopedInternetExplorer explorer(true);
    if (!explorer.problem().empty())
        GTEST_SKIP() << "cannot place a stand-in Internet Explorer: " << explorer.problem();
    NoUserChoice();
    SetReportedOsVersionForTesting({6, 2, 9200});  // no default browser, no Edge: only Explorer is left
    const struct {
        const wchar_t* address;
        const wchar_t* argument;  // null: Explorer must not be started
    } cases[] = {
        {L"https://www.shop.test/a b?x=\"q\" -k\\", L"https://www.shop.test/a b?x=%22q%22 -k\\"},
        {L"HTTP://www.shop.test/de/kv/", L"HTTP://www.shop.test/de/kv/"},
        {L"file:///C:/windows/win.ini", nullptr},
        {L"C:\\windows\\notepad.exe", nullptr},
        {L"https://", nullptr},
    };
    size_t started = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.address));
        EXPECT_EQ(OpenUrlInBrowser(c.address), c.argument != nullptr);
        if (!c.argument) continue;
        const std::vector<std::string> lines = explorer.browser().WaitForLines(++started);
        ASSERT_EQ(lines.size(), started);
        ExpectExplorerStartedWith(lines.back(), c.argument);
    }
    SettleLaunches();
    EXPECT_EQ(explorer.browser().Lines().size(), started);
}

TEST_P(OpenUrlInBrowserTest, Windows10WithDisplacingSoftwareGoesThroughEdge) {
    RegisterEdge();
    InstallDisplacingSoftware(L"MPC");
    SetReportedOsVersionForTesting({10, 0, 18362});
    EXPECT_TRUE(OpenUrlInBrowser(kAddress));
    EXPECT_EQ(edge_->WaitForLines(),
              std::vector<std::string>{Quoted(edge_->exe(), std::wstring(L"microsoft-edge:") + kAddress)});
    SettleLaunches();
    EXPECT_TRUE(browser_->Lines().empty());
}

TEST_P(OpenUrlInBrowserTest, DisplacingSoftwareMattersOnlyFromBuild10586) {
    RegisterEdge();
    InstallDisplacingSoftware(L"360TotalSecurity");
    SetReportedOsVersionForTesting({10, 0, 10240});
    EXPECT_TRUE(OpenUrlInBrowser(kAddress));
    EXPECT_EQ(browser_->WaitForLines(), std::vector<std::string>{Quoted(browser_->exe(), kAddress)});
    SettleLaunches();
    EXPECT_TRUE(edge_->Lines().empty());
}

TEST_P(OpenUrlInBrowserTest, Windows10WithoutEdgeHandlerEndsAtInternetExplorer) {
    ScopedInternetExplorer explorer(true);
    if (!explorer.problem().empty())
        GTEST_SKIP() << "cannot place a stand-in Internet Explorer: " << explorer.problem();
    InstallDisplacingSoftware(L"MPC AdCleaner");
    SetReportedOsVersionForTesting({10, 0, 18362});
    EXPECT_TRUE(OpenUrlInBrowser(kAddress));
    const std::vector<std::string> lines = explorer.browser().WaitForLines();
    ASSERT_EQ(lines.size(), 1u);
    ExpectExplorerStartedWith(lines[0], kAddress);
    SettleLaunches();
    EXPECT_TRUE(browser_->Lines().empty());
}

TEST_P(OpenUrlInBrowserTest, RefusedDefaultBrowserFallsBackToInternetExplorer) {
    ScopedInternetExplorer explorer(true);
    if (!explorer.problem().empty())
        GTEST_SKIP() << "cannot place a stand-in Internet Explorer: " << explorer.problem();
    const std::wstring missing = L"\"" + folder_ + L"\\no-such-browser.exe\" \"%1\"";
    for (const wchar_t* scheme : {L"http", L"https"})
        Set(HKEY_CLASSES_ROOT, std::wstring(scheme) + L"\\shell\\open\\command", L"", missing);
    SetReportedOsVersionForTesting({6, 1, 7601});
    EXPECT_TRUE(OpenUrlInBrowser(kAddress));
    const std::vector<std::string> lines = explorer.browser().WaitForLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("iexplore.exe"), std::string::npos) << lines[0];
}

TEST_P(OpenUrlInBrowserTest, NothingAcceptsTheAddressGivesFalse) {
    ScopedInternetExplorer noExplorer(false);
    if (!noExplorer.problem().empty())
        GTEST_SKIP() << "cannot move Internet Explorer aside: " << noExplorer.problem();
    NoUserChoice();
    SetReportedOsVersionForTesting({6, 2, 9200});
    EXPECT_FALSE(OpenUrlInBrowser(kAddress));
    SetReportedOsVersionForTesting({10, 0, 18362});
    InstallDisplacingSoftware(L"MPC");
    EXPECT_FALSE(OpenUrlInBrowser(kAddress));  // no Edge handler either
    SettleLaunches();
    EXPECT_TRUE(browser_->Lines().empty());
}

INSTANTIATE_TEST_SUITE_P(Launch, OpenUrlInBrowserTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ThroughDesktopShell" : "NotElevated";
                         });

std::vector<std::wstring> debugLines;
void RecordDebugLine(const std::wstring& line) { debugLines.push_back(line); }

// Elevated without a desktop shell to start it through: no attempt of the
// chain may start a browser from this process, whatever the system offers.
class ElevatedWithoutDesktopShellTest : public OpenUrlInBrowserTest {
protected:
    BrowserStartForTesting Start() const override {
        return BrowserStartForTesting::elevatedWithoutDesktopShell;
    }
};

TEST_F(ElevatedWithoutDesktopShellTest, StartsNoBrowserAndSaysSo) {
    const ScopedInternetExplorer explorer(true);
    RegisterEdge();
    debugLines.clear();
    const DebugSink previous = SetDebugSink(&RecordDebugLine);
    for (const OsVersion version : {OsVersion{6, 1, 7601}, OsVersion{10, 0, 18362}}) {
        SetReportedOsVersionForTesting(version);
        EXPECT_FALSE(OpenUrlInBrowser(kAddress));
    }
    SetDebugSink(previous);
    SettleLaunches();
    EXPECT_TRUE(browser_->Lines().empty());
    EXPECT_TRUE(edge_->Lines().empty());
    if (explorer.problem().empty()) EXPECT_TRUE(explorer.browser().Lines().empty());
    // One line per hand-off, however many attempts it refused.
    EXPECT_EQ(debugLines, std::vector<std::wstring>(
                              2, L"OpenUrl no desktop shell: no browser started from the elevated program"));
}

}  // namespace
}  // namespace promo
