// clang-format off
#include <windows.h>  // before <tlhelp32.h>, which needs it
#include <tlhelp32.h>
// clang-format on

#include <gtest/gtest.h>

#include <cwctype>

#include <shlobj.h>

#include "ScratchRegistry.h"
#include "common/RestoreGuards.h"
#include "product/SystemHelpers.h"

namespace promo {
namespace {

using test::ScratchKey;

std::wstring OwnPath() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

std::wstring OwnFolder() {
    const std::wstring path = OwnPath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void ExpectOneTrailingSeparator(const std::wstring& folder) {
    ASSERT_GE(folder.size(), 4u) << "folder: " << testing::PrintToString(folder);
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_NE(folder[folder.size() - 2], L'\\');
    EXPECT_TRUE(IsFolder(folder));
}

TEST(Folders, EndWithExactlyOneSeparator) {
    ExpectOneTrailingSeparator(AppDataFolder());
    ExpectOneTrailingSeparator(CommonAppDataFolder());
    ExpectOneTrailingSeparator(SystemFolder());
    EXPECT_NE(AppDataFolder(), CommonAppDataFolder());
    EXPECT_NE(::GetFileAttributesW((SystemFolder() + L"kernel32.dll").c_str()), INVALID_FILE_ATTRIBUTES);
}

std::wstring ShellAnswer(int csidl) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return {};
    std::wstring path = buffer;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path;
}

// The folders are the shell's own answers.
TEST(Folders, AreTheShellsAnswers) {
    ASSERT_FALSE(ShellAnswer(CSIDL_APPDATA).empty());
    EXPECT_EQ(Lower(AppDataFolder()), Lower(ShellAnswer(CSIDL_APPDATA)));
    EXPECT_EQ(Lower(CommonAppDataFolder()), Lower(ShellAnswer(CSIDL_COMMON_APPDATA)));
}

DWORD FindProcess(const wchar_t* exeName) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD pid = 0;
    for (BOOL ok = ::Process32FirstW(snapshot, &entry); ok && !pid; ok = ::Process32NextW(snapshot, &entry))
        if (Lower(entry.szExeFile) == exeName) pid = entry.th32ProcessID;
    ::CloseHandle(snapshot);
    return pid;
}

TEST(Processes, NameTheirExecutable) {
    const DWORD self = ::GetCurrentProcessId();
    EXPECT_EQ(Lower(ProcessImagePath(self)), Lower(OwnPath()));
    EXPECT_EQ(Lower(ProcessFileName(self)), L"product_win_tests.exe");
    EXPECT_EQ(ProcessImagePath(0), L"");
    EXPECT_EQ(ProcessFileName(0), L"");
    EXPECT_EQ(ProcessFileName(0xFFFFFFF0u), L"");  // no such process
}

TEST(Processes, OlderWaysGiveTheSameFileName) {
    const DWORD self = ::GetCurrentProcessId();
    const std::wstring device = ProcessImagePathByDeviceName(self);
    EXPECT_EQ(Lower(device.substr(0, 8)), L"\\device\\") << testing::PrintToString(device);
    EXPECT_EQ(Lower(FileNamePart(device)), L"product_win_tests.exe");
    EXPECT_EQ(Lower(ProcessImagePathByMainModule(self)), Lower(OwnPath()));
    EXPECT_EQ(ProcessImagePathByDeviceName(0), L"");
    EXPECT_EQ(ProcessImagePathByMainModule(0), L"");
}

TEST(Processes, WineOnlyNameA64BitSystemProcess) {
    // The prefix's system processes are 64-bit: reading their main module
    // from this 32-bit program fails, the way chosen here does not. Wine lets
    // any process open services.exe; Windows refuses an ordinary one, and the
    // name is then empty.
    const DWORD services = FindProcess(L"services.exe");
    if (!services) GTEST_SKIP() << "no services.exe in the process list";
    EXPECT_EQ(Lower(ProcessFileName(services)), L"services.exe");
}

TEST(FileVersionText, ReadsTheFixedFileVersion) {
    const std::wstring app = OwnFolder() + L"product_versioned_app.exe";
    EXPECT_EQ(FileVersionText(app, 4), L"7.0.0.1");
    EXPECT_EQ(FileVersionText(app, 3), L"7.0.0");
    EXPECT_EQ(FileVersionText(app, 2), L"7.0");
    EXPECT_EQ(FileVersionText(app, 1), L"7");
    EXPECT_EQ(FileVersionText(L"  " + app + L" ", 4), L"7.0.0.1");
    EXPECT_EQ(FileVersionText(app, 5), L"");
    EXPECT_EQ(FileVersionText(app, 0), L"");
}

TEST(FileVersionText, IsEmptyWithoutAVersionResource) {
    EXPECT_EQ(FileVersionText(OwnFolder() + L"no_such_file.exe", 4), L"");
    EXPECT_EQ(FileVersionText(OwnFolder() + L"CTestTestfile.cmake", 4), L"");
}

TEST(FileVersionText, EmptyPathMeansThisProgram) {
    EXPECT_EQ(FileVersionText(L"", 4), L"1.2.3.4");
    EXPECT_EQ(FileVersionText(L" \t", 2), L"1.2");
}

TEST(RegistryNumbers, ReadOnlyFourByteNumbers) {
    ScratchKey scratch;
    scratch.SetDword(L"Zero", 0);
    scratch.SetDword(L"Number", 43000);
    scratch.SetString(L"Text", L"a");  // 4 bytes with its terminator
    scratch.SetString(L"LongText", L"43000");
    scratch.SetQword(L"Quad", 5);
    const BYTE bigEndian[] = {0x01, 0x02, 0x03, 0x04};
    scratch.SetRaw(L"BigEndian", REG_DWORD_BIG_ENDIAN, bigEndian, sizeof bigEndian);
    scratch.SetRaw(L"Binary", REG_BINARY, bigEndian, sizeof bigEndian);

    const std::wstring path = scratch.Path();
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"Zero", 77), 0u);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"Number", 77), 43000u);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"BigEndian", 77), 0x04030201u);  // no byte swap
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"Missing", 77), 77u);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"Text", 77), 77u);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"LongText", 77), 77u);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"Quad", 77), 77u);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"Binary", 77), 77u);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path + L"\\Missing", L"Number", 77), 77u);
}

TEST(RegistryNumbers, WriteCreatesTheKeyAndStoresADword) {
    ScratchKey scratch;
    const std::wstring path = scratch.Path() + L"\\New\\Deeper";
    ASSERT_TRUE(WriteRegDWord(HKEY_CURRENT_USER, path, L"InstDate", 0xFFFFFFFEu));
    DWORD type = 0, value = 0, size = sizeof value;
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(::RegQueryValueExW(key, L"InstDate", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value, 0xFFFFFFFEu);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, path, L"InstDate", 0), 0xFFFFFFFEu);

    // A text value of that name is replaced by the number.
    scratch.SetString(L"Replaced", L"x");
    ASSERT_TRUE(WriteRegDWord(HKEY_CURRENT_USER, scratch.Path(), L"Replaced", 3));
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, scratch.Path(), L"Replaced", 0), 3u);
}

TEST(RegistryNumbers, RefusedAccessGivesTheDefaultAndFalse) {
    ScratchKey scratch;
    const std::wstring readOnly = scratch.CreateSubKey(L"ReadOnly");
    const std::wstring locked = scratch.CreateSubKey(L"Locked");
    const DWORD one = 1;
    test::SetRegistryValue(HKEY_CURRENT_USER, readOnly, L"Value", REG_DWORD, &one, sizeof one);
    test::SetRegistryValue(HKEY_CURRENT_USER, locked, L"Value", REG_DWORD, &one, sizeof one);
    scratch.Restrict(L"ReadOnly", L"D:P(A;;0x30019;;;WD)");  // KEY_READ and delete
    scratch.Restrict(L"Locked", L"D:P(A;;0x10001;;;WD)");    // query values only: KEY_READ refused

    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, readOnly, L"Value", 0), 1u);
    EXPECT_FALSE(WriteRegDWord(HKEY_CURRENT_USER, readOnly, L"Value", 2));
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, readOnly, L"Value", 0), 1u);
    EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, locked, L"Value", 77), 77u);
}

TEST(ForceFolder, CreatesEveryMissingParent) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring base = std::wstring(temp) + L"promo_force_" +
                              std::to_wstring(::GetCurrentProcessId()) + L"_" +
                              std::to_wstring(::GetTickCount());
    const std::wstring deep = base + L"\\a\\b\\c";
    EXPECT_TRUE(ForceFolder(deep));
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_TRUE(ForceFolder(deep + L"\\"));  // exists already; trailing separator
    EXPECT_TRUE(ForceFolder(base + L"/a/d"));

    // A file stands where a folder is needed.
    const std::wstring file = base + L"\\file";
    const HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    EXPECT_FALSE(ForceFolder(file + L"\\sub"));
    EXPECT_FALSE(ForceFolder(file));
    EXPECT_FALSE(ForceFolder(L""));

    ::DeleteFileW(file.c_str());
    for (const wchar_t* sub : {L"\\a\\b\\c", L"\\a\\b", L"\\a\\d", L"\\a", L""})
        ::RemoveDirectoryW((base + sub).c_str());
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(10);
    }
}

// Wine-only: Wine lets any window take the foreground. Windows grants it only
// to a process that is in front itself or was allowed to be (the foreground
// lock; "SetForegroundWindow function", Microsoft Learn), which a test run
// from a build tool need not be.
TEST(BringWindowToFront, WineOnlyMakesTheWindowForegroundWithoutKeepingItTopMost) {
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    HWND target = ::CreateWindowExW(0, L"STATIC", L"target", WS_POPUP, 100, 100, 200, 100, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_TRUE(other && target);
    ::SetForegroundWindow(other);
    Pump();
    ASSERT_EQ(::GetForegroundWindow(), other);
    ASSERT_FALSE(::IsWindowVisible(target));

    EXPECT_TRUE(BringWindowToFront(target));
    Pump();
    EXPECT_EQ(::GetForegroundWindow(), target);
    EXPECT_TRUE(::IsWindowVisible(target));
    EXPECT_EQ(::GetWindowLongW(target, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    ::DestroyWindow(target);
    ::DestroyWindow(other);
}

}  // namespace
}  // namespace promo
