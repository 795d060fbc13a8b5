// Guards for Windows tests that must touch real state: the product's registry
// keys and files. Each takes a copy of what is there when it is made and puts
// exactly that back when it ends (or removes what was not there), so a test
// program can run on a machine with the product installed and leave it as it
// found it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace promo::test {

// A registry key with all its values and sub-keys (default view, as the
// program reads it). On exit a key that existed is brought back to what it
// held, in place; one that did not is removed, with parents the test made.
class ScopedRegistryKeyRestore {
public:
    ScopedRegistryKeyRestore(HKEY root, std::wstring path);
    ~ScopedRegistryKeyRestore();
    ScopedRegistryKeyRestore(const ScopedRegistryKeyRestore&) = delete;
    ScopedRegistryKeyRestore& operator=(const ScopedRegistryKeyRestore&) = delete;

    struct Value {
        std::wstring name;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    struct Key {
        std::wstring name;
        std::vector<Value> values;
        std::vector<Key> children;
    };

private:
    HKEY root_;
    std::wstring path_;
    std::unique_ptr<Key> saved_;                // null: the key did not exist
    std::vector<std::wstring> missingParents_;  // deepest first
};

// A file's bytes and attributes, or its absence, together with the folders
// above it that did not exist. On exit the file is written back (or removed)
// and those folders are removed again when empty.
class ScopedFileRestore {
public:
    explicit ScopedFileRestore(std::wstring path);
    ~ScopedFileRestore();
    ScopedFileRestore(const ScopedFileRestore&) = delete;
    ScopedFileRestore& operator=(const ScopedFileRestore&) = delete;

    // False when an existing file could not be read: the test must not go on.
    bool ok() const { return ok_; }

private:
    std::wstring path_;
    bool existed_ = false;
    bool ok_ = true;
    DWORD attributes_ = 0;
    std::string bytes_;
    std::vector<std::wstring> missingFolders_;  // deepest first
};

}  // namespace promo::test
