// The last step of the guarded save: a finished temporary file beside the
// target takes the target's place, so that a reader (or a crash) sees either
// the whole old text or the whole new one, and no failure loses both.
//
// The file operations go through a table, so that tests can make each of
// ReplaceFileW's partial failures happen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace promo {

struct FileReplaceOps {
    decltype(::CreateFileW)* createFile = ::CreateFileW;
    decltype(::ReplaceFileW)* replaceFile = ::ReplaceFileW;
    decltype(::MoveFileExW)* moveFileEx = ::MoveFileExW;
    decltype(::DeleteFileW)* deleteFile = ::DeleteFileW;
    decltype(::GetFileAttributesW)* getFileAttributes = ::GetFileAttributesW;
    decltype(::Sleep)* sleep = ::Sleep;
};

// How long a sharing violation on the target (a scanner or an indexer that
// has it open for a moment) is waited out, in steps of kReplaceRetryStepMs.
inline constexpr DWORD kReplaceRetryMs = 1000;
inline constexpr DWORD kReplaceRetryStepMs = 50;

struct ReplaceOutcome {
    std::uint32_t error = 0;  // 0, or the system code of the failure
    // The temporary file still holds text that is nowhere else (the target
    // and its backup are gone): it must not be deleted.
    bool keepTemporary = false;
};

// Puts `temporary` in the place of `target`. An existing target keeps its
// attributes and security (ReplaceFileW, with a backup beside it that is
// removed again); a missing one is created by renaming. When the replace
// stops half-way, the new text is moved into place, or failing that the old
// one put back.
ReplaceOutcome ReplaceWithTemporary(const std::wstring& target, const std::wstring& temporary,
                                    const FileReplaceOps& ops = {});

}  // namespace promo
