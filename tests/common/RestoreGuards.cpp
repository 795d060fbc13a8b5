#include "common/RestoreGuards.h"

#include <utility>

namespace promo::test {
namespace {

using Key = ScopedRegistryKeyRestore::Key;
using Value = ScopedRegistryKeyRestore::Value;

bool ReadKey(HKEY key, Key& out) {
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxName,
                           &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0; i < values; ++i) {
        std::wstring name(maxName + 1, L'\0');
        DWORD nameLength = maxName + 1;
        Value value;
        value.data.resize(maxData);
        DWORD dataSize = maxData;
        if (::RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &value.type, value.data.data(),
                            &dataSize) != ERROR_SUCCESS)
            return false;
        name.resize(nameLength);
        value.name = std::move(name);
        value.data.resize(dataSize);
        out.values.push_back(std::move(value));
    }
    for (DWORD i = 0; i < subKeys; ++i) {
        std::wstring name(maxSubKey + 1, L'\0');
        DWORD nameLength = maxSubKey + 1;
        if (::RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return false;
        name.resize(nameLength);
        HKEY child = nullptr;
        if (::RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS) return false;
        Key saved;
        saved.name = name;
        const bool read = ReadKey(child, saved);
        ::RegCloseKey(child);
        if (!read) return false;
        out.children.push_back(std::move(saved));
    }
    return true;
}

// Brings a key back to its saved state in place, so that it keeps its own
// security: values and sub-keys added since are removed, the rest rewritten.
void RestoreKey(HKEY parent, const std::wstring& path, const Key& saved) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return;
    Key now;
    ReadKey(key, now);
    for (const Value& value : now.values) {
        bool kept = false;
        for (const Value& old : saved.values) kept = kept || old.name == value.name;
        if (!kept) ::RegDeleteValueW(key, value.name.empty() ? nullptr : value.name.c_str());
    }
    for (const Value& value : saved.values)
        ::RegSetValueExW(key, value.name.empty() ? nullptr : value.name.c_str(), 0, value.type,
                         value.data.data(), static_cast<DWORD>(value.data.size()));
    for (const Key& child : now.children) {
        bool kept = false;
        for (const Key& old : saved.children) kept = kept || old.name == child.name;
        if (!kept) {
            ::RegDeleteTreeW(key, child.name.c_str());
            ::RegDeleteKeyW(key, child.name.c_str());
        }
    }
    for (const Key& child : saved.children) RestoreKey(key, child.name, child);
    ::RegCloseKey(key);
}

bool ReadAll(const std::wstring& path, std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0)
        bytes.append(buffer, read);
    ::CloseHandle(file);
    return ok;
}

bool SameBytes(const std::wstring& path, const std::string& expected) {
    std::string bytes;
    return ReadAll(path, bytes) && bytes == expected;
}

std::wstring ParentFolder(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < 3) return {};  // nothing above "C:\"
    return path.substr(0, slash);
}

}  // namespace

ScopedRegistryKeyRestore::ScopedRegistryKeyRestore(HKEY root, std::wstring path)
    : root_(root), path_(std::move(path)) {
    for (std::wstring parent = path_; parent.find(L'\\') != std::wstring::npos;) {
        parent.resize(parent.find_last_of(L'\\'));
        HKEY probe = nullptr;
        if (::RegOpenKeyExW(root_, parent.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
            ::RegCloseKey(probe);
            break;
        }
        missingParents_.push_back(parent);
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root_, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    saved_ = std::make_unique<Key>();
    if (!ReadKey(key, *saved_)) {
        // A key that cannot be copied must not be removed at the end.
        ::RegCloseKey(key);
        root_ = nullptr;
        return;
    }
    ::RegCloseKey(key);
}

ScopedRegistryKeyRestore::~ScopedRegistryKeyRestore() {
    if (!root_) return;
    if (saved_) {
        RestoreKey(root_, path_, *saved_);
    } else {
        ::RegDeleteTreeW(root_, path_.c_str());
        ::RegDeleteKeyW(root_, path_.c_str());
    }
    // Parents the test made; one that gained other keys meanwhile stays.
    for (const std::wstring& parent : missingParents_) ::RegDeleteKeyW(root_, parent.c_str());
}

ScopedFileRestore::ScopedFileRestore(std::wstring path) : path_(std::move(path)) {
    for (std::wstring folder = ParentFolder(path_);
         !folder.empty() && ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
         folder = ParentFolder(folder))
        missingFolders_.push_back(folder);
    attributes_ = ::GetFileAttributesW(path_.c_str());
    existed_ = attributes_ != INVALID_FILE_ATTRIBUTES;
    if (!existed_) return;
    ok_ = ReadAll(path_, bytes_);
}

ScopedFileRestore::~ScopedFileRestore() {
    if (!ok_) return;  // nothing trustworthy to put back
    if (existed_) {
        if (::GetFileAttributesW(path_.c_str()) == attributes_ && SameBytes(path_, bytes_))
            return;  // untouched: keep its times too
        ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr);
            ::CloseHandle(file);
        }
        ::SetFileAttributesW(path_.c_str(), attributes_);
    } else {
        ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path_.c_str());
    }
    for (const std::wstring& folder : missingFolders_) ::RemoveDirectoryW(folder.c_str());
}

}  // namespace promo::test
