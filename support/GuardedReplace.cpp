#include "support/GuardedReplace.h"

#include <functional>

#include "support/Handles.h"

namespace promo {
namespace {

constexpr DWORD kMoveIntoPlace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

std::uint32_t LastErrorOrOne() {
    const DWORD code = ::GetLastError();
    return code != 0 ? code : 1;
}

// Both mean someone has the target open for a moment without sharing what the
// replace needs; the names are as they were.
bool IsPassingHold(std::uint32_t error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

std::uint32_t RetryWhileHeld(const FileReplaceOps& ops, const std::function<std::uint32_t()>& step) {
    std::uint32_t error = step();
    for (DWORD waited = 0; IsPassingHold(error) && waited < kReplaceRetryMs; waited += kReplaceRetryStepMs) {
        ops.sleep(kReplaceRetryStepMs);
        error = step();
    }
    return error;
}

bool Exists(const FileReplaceOps& ops, const std::wstring& path) {
    return ops.getFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Opens the target with what ReplaceFileW itself needs of it, read and delete
// access ("ReplaceFileW function", Remarks, Microsoft Learn), sharing
// everything: a scanner that holds the file sharing read and delete lets the
// replace through, and so it lets the probe through.
std::uint32_t ProbeTarget(const FileReplaceOps& ops, const std::wstring& target) {
    const HANDLE raw = ops.createFile(target.c_str(), GENERIC_READ | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return LastErrorOrOne();
    UniqueFileHandle probe(raw);
    return 0;
}

}  // namespace

ReplaceOutcome ReplaceWithTemporary(const std::wstring& target, const std::wstring& temporary,
                                    const FileReplaceOps& ops) {
    if (!Exists(ops, target)) {
        if (ops.moveFileEx(temporary.c_str(), target.c_str(), kMoveIntoPlace)) return {};
        return {LastErrorOrOne(), false};  // no old text, and the new one is still in memory
    }
    // Someone holding the file without sharing its removal makes the replace
    // fail; found out first, the platform's replace is not tried (some leave
    // a file of their own behind when it fails).
    if (const std::uint32_t error = RetryWhileHeld(ops, [&] { return ProbeTarget(ops, target); }))
        return {error, false};

    // With a backup name the old file's whereabouts are known when the
    // replace stops half-way: without one, it may survive under a name of the
    // system's choosing.
    const std::wstring backup = temporary + L".old";
    ops.deleteFile(backup.c_str());
    std::uint32_t error = RetryWhileHeld(ops, [&]() -> std::uint32_t {
        if (ops.replaceFile(target.c_str(), temporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                            nullptr, nullptr))
            return 0;
        return LastErrorOrOne();
    });
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The new text did not take the target's name. On 1176 the old file
        // may already be gone, on 1177 it lives under the backup name: first
        // try once more to put the new text in place, else the old one back.
        if (ops.moveFileEx(temporary.c_str(), target.c_str(), kMoveIntoPlace)) {
            error = 0;
        } else {
            error = LastErrorOrOne();
            if (!Exists(ops, target) && Exists(ops, backup))
                ops.moveFileEx(backup.c_str(), target.c_str(), kMoveIntoPlace);
        }
    }
    // Kept only as long as the old text is nowhere else.
    if (Exists(ops, target)) ops.deleteFile(backup.c_str());
    if (error == 0) return {};
    return {error, !Exists(ops, target)};
}

}  // namespace promo
