// A registry key for one test, under <root>\Software\PromoTests\<random>,
// removed with everything below it when the test ends.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace promo::test {

class ScratchKey {
public:
    explicit ScratchKey(HKEY root = HKEY_CURRENT_USER);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY Root() const { return root_; }
    // Path under the root, without leading "\" ("Software\PromoTests\x1f2e").
    const std::wstring& Path() const { return path_; }
    HKEY Key() const { return key_; }

    void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD bytes) const;
    void SetString(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) const;
    void SetDword(const std::wstring& name, DWORD value) const;
    void SetQword(const std::wstring& name, std::uint64_t value) const;
    // Replaces the access list of a sub-key, e.g. with "D:P(A;;0x10001;;;WD)"
    // (everyone may query values and delete the key, nothing else).
    void Restrict(const std::wstring& relative, const wchar_t* sddl) const;
    // Creates a sub-key (with all its parents) and returns its full path.
    std::wstring CreateSubKey(const std::wstring& relative) const;

private:
    HKEY root_;
    std::wstring path_;
    HKEY key_ = nullptr;
};

// Writes a value into root\path (creating the key), for keys outside the
// scratch key such as the product's own.
void SetRegistryValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                      const void* data, DWORD bytes);
void SetRegistryString(HKEY root, const std::wstring& path, const std::wstring& name,
                       const std::wstring& text, DWORD type = REG_SZ);
// Removes root\path and everything below it (no error when missing).
void DeleteRegistryTree(HKEY root, const std::wstring& path);

}  // namespace promo::test
