// The guarded save's last step with ReplaceFileW's partial failures made to
// happen at the seam: after each, the folder holds the new text at the
// target's name, or the old one, or the temporary file with the new text; it
// never holds neither.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/FileBytesWin.h"
#include "support/GuardedReplace.h"
#include "support/Handles.h"
#include "support/PSafeIniFile.h"
#include "support/TextCodec.h"

namespace promo {
namespace {

std::string ReadBytes(const std::wstring& path) { return test::ReadBytes(path, "<missing>"); }
using test::WriteBytes;

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the fakes do, set by each case.
enum class Replace { real, oldGoneNewNotMoved /* 1176 */, oldAsideNewNotMoved /* 1177 */ };
struct Fakes {
    Replace replace = Replace::real;
    bool moveOfTemporaryFails = false;
    bool moveOfBackupFails = false;
    int probeSharingViolations = 0;  // the first n probes find the file held
    int replaceCalls = 0;
    int sleeps = 0;
    std::wstring temporary;
};
Fakes fakes;

BOOL WINAPI FakeReplaceFile(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID a,
                            LPVOID b) {
    ++fakes.replaceCalls;
    switch (fakes.replace) {
        case Replace::real:
            return ::ReplaceFileW(replaced, replacement, backup, flags, a, b);
        case Replace::oldGoneNewNotMoved:
            // No backup was taken and the old file was already removed.
            ::DeleteFileW(replaced);
            ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
            return FALSE;
        case Replace::oldAsideNewNotMoved:
            ::MoveFileExW(replaced, backup, 0);
            ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
            return FALSE;
    }
    return FALSE;
}

BOOL WINAPI FakeMoveFileEx(LPCWSTR from, LPCWSTR to, DWORD flags) {
    const bool ofTemporary = fakes.temporary == from;
    if ((ofTemporary && fakes.moveOfTemporaryFails) || (!ofTemporary && fakes.moveOfBackupFails)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return ::MoveFileExW(from, to, flags);
}

HANDLE WINAPI FakeCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE templ) {
    if (fakes.probeSharingViolations > 0) {
        --fakes.probeSharingViolations;
        ::SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }
    return ::CreateFileW(name, access, share, security, disposition, flags, templ);
}

void WINAPI CountSleep(DWORD) { ++fakes.sleeps; }

FileReplaceOps FakeOps() {
    FileReplaceOps ops;
    ops.createFile = &FakeCreateFile;
    ops.replaceFile = &FakeReplaceFile;
    ops.moveFileEx = &FakeMoveFileEx;
    ops.sleep = &CountSleep;
    return ops;
}

class GuardedReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
        dir_ = std::wstring(temp) + L"replace-test-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(dir_.c_str(), nullptr);
        target_ = dir_ + L"\\EventPromote.ini";
        temporary_ = dir_ + L"\\ini1A2B.tmp";
        fakes = Fakes{};
        fakes.temporary = temporary_;
        WriteBytes(target_, "old");
        WriteBytes(temporary_, "new");
    }
    void TearDown() override {
        for (const std::wstring& f : {target_, temporary_, Backup()}) ::DeleteFileW(f.c_str());
        ::RemoveDirectoryW(dir_.c_str());
    }
    std::wstring Backup() const { return temporary_ + L".old"; }
    // The folder's texts, by role: at the target's name, left in the
    // temporary file, left under the backup name.
    std::vector<std::string> Texts() const { return {ReadBytes(target_), ReadBytes(temporary_), ReadBytes(Backup())}; }

    std::wstring dir_, target_, temporary_;
};

TEST_F(GuardedReplaceTest, PartialReplacesEndWithOneTextInPlaceAndNoTextLost) {
    const std::string gone = "<missing>";
    const struct {
        const char* name;
        Replace replace;
        bool moveOfTemporaryFails, moveOfBackupFails;
        bool succeeds, keepTemporary;
        std::vector<std::string> texts;  // target, temporary, backup
    } cases[] = {
        {"replaced", Replace::real, false, false, true, false, {"new", gone, gone}},
        {"1176: the new text is moved into place", Replace::oldGoneNewNotMoved, false, false, true, false,
         {"new", gone, gone}},
        {"1176, and the move fails: the temporary file is all there is", Replace::oldGoneNewNotMoved, true, true,
         false, true, {gone, "new", gone}},
        {"1177: the new text is moved into place", Replace::oldAsideNewNotMoved, false, false, true, false,
         {"new", gone, gone}},
        {"1177, the new text cannot move: the old one goes back", Replace::oldAsideNewNotMoved, true, false,
         false, false, {"old", "new", gone}},
        {"1177, neither can move: both stay", Replace::oldAsideNewNotMoved, true, true, false, true,
         {gone, "new", "old"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fakes.replace = c.replace;
        fakes.moveOfTemporaryFails = c.moveOfTemporaryFails;
        fakes.moveOfBackupFails = c.moveOfBackupFails;
        const ReplaceOutcome outcome = ReplaceWithTemporary(target_, temporary_, FakeOps());
        EXPECT_EQ(outcome.error == 0, c.succeeds) << outcome.error;
        EXPECT_EQ(outcome.keepTemporary, c.keepTemporary);
        EXPECT_EQ(Texts(), c.texts);
        TearDown();
    }
}

TEST_F(GuardedReplaceTest, MissingTargetIsCreatedByRenaming) {
    ::DeleteFileW(target_.c_str());
    EXPECT_EQ(ReplaceWithTemporary(target_, temporary_, FakeOps()).error, 0u);
    EXPECT_EQ(fakes.replaceCalls, 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"new", "<missing>", "<missing>"}));
}

TEST_F(GuardedReplaceTest, PassingHoldIsWaitedOutForABoundedTime) {
    const int steps = static_cast<int>(kReplaceRetryMs / kReplaceRetryStepMs);
    const struct {
        int violations;
        bool succeeds;
        int sleeps;
    } cases[] = {{0, true, 0}, {3, true, 3}, {steps, true, steps}, {steps + 1, false, steps}, {1000, false, steps}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.violations);
        SetUp();
        fakes.probeSharingViolations = c.violations;
        const ReplaceOutcome outcome = ReplaceWithTemporary(target_, temporary_, FakeOps());
        EXPECT_EQ(outcome.error, c.succeeds ? 0u : static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
        EXPECT_FALSE(outcome.keepTemporary);
        EXPECT_EQ(fakes.sleeps, c.sleeps);
        EXPECT_EQ(fakes.replaceCalls, c.succeeds ? 1 : 0);  // a held file is not handed to the replace
        EXPECT_EQ(ReadBytes(target_), c.succeeds ? "new" : "old");
        TearDown();
    }
}

TEST_F(GuardedReplaceTest, ReaderSharingReadAndDeleteDoesNotStopTheReplace) {
    // As a virus scanner holds a file it reads.
    UniqueFileHandle scanner(::CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(scanner);
    const ReplaceOutcome outcome = ReplaceWithTemporary(target_, temporary_);
    scanner.reset();
    EXPECT_EQ(outcome.error, 0u);
    EXPECT_EQ(ReadBytes(target_), "new");
    EXPECT_FALSE(Exists(Backup()));
}

TEST_F(GuardedReplaceTest, WriterThatDoesNotShareDeletionKeepsTheOldText) {
    UniqueFileHandle writer(::CreateFileW(target_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    FileReplaceOps ops;
    ops.sleep = &CountSleep;
    const ReplaceOutcome outcome = ReplaceWithTemporary(target_, temporary_, ops);
    writer.reset();
    EXPECT_EQ(outcome.error, static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(outcome.keepTemporary);
    EXPECT_GT(fakes.sleeps, 0);
    EXPECT_EQ(ReadBytes(target_), "old");
}

}  // namespace
}  // namespace promo
