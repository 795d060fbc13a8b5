// IsAppRunning against the prefix's real process list: this test process by
// bare name in other letter case and by full path, also when no process can
// be opened, a 64-bit system process, and what must not match.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>

#include "launch/ProcessList.h"

namespace promo {
namespace {

std::wstring OwnPath() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

std::wstring SwapCase(std::wstring s) {
    for (auto& c : s) c = std::iswupper(c) ? std::towlower(c) : std::towupper(c);
    return s;
}

// A second process of our own: the test exe waiting in a gtest filter that
// matches nothing would end at once, so the child is a copy of this exe under
// another name, run with --gtest_list_tests and kept suspended.
class SuspendedChild {
public:
    explicit SuspendedChild(const std::wstring& exePath) : path_(exePath) {
        ::CopyFileW(OwnPath().c_str(), path_.c_str(), FALSE);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + path_ + L"\" --gtest_list_tests";
        started_ = ::CreateProcessW(path_.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                    nullptr, nullptr, &si, &pi_);
    }
    ~SuspendedChild() {
        if (started_) {
            ::TerminateProcess(pi_.hProcess, 0);
            ::WaitForSingleObject(pi_.hProcess, 5000);
            ::CloseHandle(pi_.hThread);
            ::CloseHandle(pi_.hProcess);
        }
        ::DeleteFileW(path_.c_str());
    }
    bool Started() const { return started_; }

private:
    std::wstring path_;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

TEST(IsAppRunning, FindsThisProcessByNameInOtherCaseAndByFullPath) {
    const std::wstring path = OwnPath();
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    EXPECT_TRUE(IsAppRunning(name));
    EXPECT_TRUE(IsAppRunning(SwapCase(name)));
    EXPECT_TRUE(IsAppRunning(path));
    EXPECT_TRUE(IsAppRunning(SwapCase(path)));
}

TEST(IsAppRunning, FindsAnotherProcessOnlyWhileItRuns) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring name = L"PromoFocusGame" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    const std::wstring path = std::wstring(temp) + name;
    EXPECT_FALSE(IsAppRunning(name));
    {
        SuspendedChild child(path);
        ASSERT_TRUE(child.Started());
        EXPECT_TRUE(IsAppRunning(SwapCase(name)));
        EXPECT_TRUE(IsAppRunning(path));
        EXPECT_FALSE(IsAppRunning(L"C:\\elsewhere\\" + name));  // a full path names that file only
    }
    EXPECT_FALSE(IsAppRunning(name));
}

HANDLE WINAPI RefuseEveryProcess(DWORD, BOOL, DWORD) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

// As a protected process, another user's or a game behind anti-cheat refuses
// to be opened: the snapshot's file name is all there is of it.
TEST(IsAppRunning, ProcessThatCannotBeOpenedMatchesByItsFileNameOnly) {
    const std::wstring path = OwnPath();
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    SetProcessOpenerForTesting(&RefuseEveryProcess);
    const struct {
        std::wstring application;
        bool running;
    } cases[] = {
        {name, true},
        {SwapCase(name), true},
        {path, false},  // the full path could not be read
        {L"", false},   // nor does an empty entry match the unread path
        {L"no-such-program-anywhere.exe", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAppRunning(c.application), c.running) << testing::PrintToString(c.application);
    SetProcessOpenerForTesting(nullptr);
    EXPECT_TRUE(IsAppRunning(path));
}

TEST(IsAppRunning, SixtyFourBitSystemProcessIsFoundByName) {
    // services.exe runs on Windows and in every Wine prefix, as a 64-bit
    // process; on Windows this process may not open it, and it is found by
    // the snapshot's name all the same.
    EXPECT_TRUE(IsAppRunning(L"SERVICES.EXE"));
}

TEST(IsAppRunning, WineOnlySixtyFourBitSystemProcessIsFoundByFullPath) {
    // Wine lets any process open services.exe and read its image name, whose
    // main module a 32-bit process cannot read. On Windows the service
    // manager refuses an ordinary process, and only its name can match.
    wchar_t system[MAX_PATH];
    const UINT n = ::GetSystemWindowsDirectoryW(system, MAX_PATH);
    ASSERT_GT(n, 0u);
    const std::wstring services = std::wstring(system, n) + L"\\system32\\services.exe";
    EXPECT_TRUE(IsAppRunning(services));
}

TEST(IsAppRunning, PartialNamesWildcardsAndEmptyTextMatchNothing) {
    const std::wstring path = OwnPath();
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    EXPECT_FALSE(IsAppRunning(name.substr(0, name.size() - 4)));  // without ".exe"
    EXPECT_FALSE(IsAppRunning(L"*.exe"));
    EXPECT_FALSE(IsAppRunning(L""));
    EXPECT_FALSE(IsAppRunning(L"no-such-program-anywhere.exe"));
}

}  // namespace
}  // namespace promo
