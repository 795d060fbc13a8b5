// A small read-only registry reader, and the product's uninstall record.
// Reads raise ERegistryException; every caller catches it and falls back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace promo {

class ERegistryException : public std::runtime_error {
public:
    explicit ERegistryException(const std::wstring& message);
    const std::wstring& Message() const { return message_; }

private:
    std::wstring message_;
};

class RegistryReader {
public:
    RegistryReader() = default;
    ~RegistryReader();
    RegistryReader(const RegistryReader&) = delete;
    RegistryReader& operator=(const RegistryReader&) = delete;

    void SetRootKey(HKEY root);
    // Opens a key with KEY_READ, else 0x20009, else KEY_QUERY_VALUE (keeping
    // only the view bits of the access mask). A path beginning with "\" is
    // absolute (under the root); otherwise it is relative to the open key.
    bool OpenKeyReadOnly(const std::wstring& path);
    void CloseKey();

    // REG_SZ / REG_EXPAND_SZ up to the first NUL (unexpanded); empty when the
    // value is missing or empty. Raises on a failed read or another type.
    std::wstring ReadString(const std::wstring& name);
    // REG_DWORD sign-widened, or REG_QWORD. Raises on every failure.
    std::int64_t ReadNumber(const std::wstring& name);

    HKEY CurrentKey() const { return currentKey_; }
    HKEY RootKey() const { return rootKey_; }
    const std::wstring& CurrentPath() const { return currentPath_; }
    DWORD Access() const { return access_; }
    bool LazyWrite() const { return lazyWrite_; }

private:
    HKEY currentKey_ = nullptr;
    HKEY rootKey_ = HKEY_CURRENT_USER;
    bool lazyWrite_ = true;
    std::wstring currentPath_;
    bool closeRootKey_ = false;
    DWORD access_ = KEY_ALL_ACCESS;
};

// The product's uninstall record (HKLM, 32-bit view).
inline constexpr wchar_t kUninstallRecord[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellorin_is1";

// InstallLocation with one trailing "\" followed by DisplayVersion; what was
// read before an error; empty when the record is missing.
std::wstring ProductProgramFolder();

}  // namespace promo
