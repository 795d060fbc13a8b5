#include "ScratchRegistry.h"

// clang-format off
#include <windows.h>  // before <sddl.h>, which needs it
#include <sddl.h>
// clang-format on

#include <gtest/gtest.h>

namespace promo::test {
namespace {

std::wstring UniqueName() {
    static unsigned counter = 0;
    wchar_t name[64];
    swprintf(name, 64, L"%08lx%04lx%u", static_cast<unsigned long>(::GetTickCount()),
             static_cast<unsigned long>(::GetCurrentProcessId() & 0xFFFF), ++counter);
    return name;
}

}  // namespace

ScratchKey::ScratchKey(HKEY root) : root_(root), path_(L"Software\\PromoTests\\" + UniqueName()) {
    const LSTATUS rc = ::RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    EXPECT_EQ(rc, ERROR_SUCCESS) << "cannot create the scratch key";
}

ScratchKey::~ScratchKey() {
    if (key_) ::RegCloseKey(key_);
    DeleteRegistryTree(root_, path_);
    ::RegDeleteKeyW(root_, L"Software\\PromoTests");  // only succeeds when empty
}

void ScratchKey::SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD bytes) const {
    ASSERT_EQ(::RegSetValueExW(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
}

void ScratchKey::SetString(const std::wstring& name, const std::wstring& text, DWORD type) const {
    SetRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScratchKey::SetDword(const std::wstring& name, DWORD value) const {
    SetRaw(name, REG_DWORD, &value, sizeof value);
}

void ScratchKey::SetQword(const std::wstring& name, std::uint64_t value) const {
    SetRaw(name, REG_QWORD, &value, sizeof value);
}

void ScratchKey::Restrict(const std::wstring& relative, const wchar_t* sddl) const {
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(key_, relative.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    const LSTATUS rc = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    ::LocalFree(descriptor);
    ::RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS);
}

std::wstring ScratchKey::CreateSubKey(const std::wstring& relative) const {
    HKEY sub = nullptr;
    EXPECT_EQ(::RegCreateKeyExW(key_, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    if (sub) ::RegCloseKey(sub);
    return path_ + L"\\" + relative;
}

void SetRegistryValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                      const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const LSTATUS rc = ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    ::RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS);
}

void SetRegistryString(HKEY root, const std::wstring& path, const std::wstring& name,
                       const std::wstring& text, DWORD type) {
    SetRegistryValue(root, path, name, type, text.c_str(),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteRegistryTree(HKEY root, const std::wstring& path) {
    const LSTATUS rc = ::RegDeleteTreeW(root, path.c_str());
    if (rc == ERROR_SUCCESS) ::RegDeleteKeyW(root, path.c_str());
}

}  // namespace promo::test
