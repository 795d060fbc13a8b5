#include "product/RegistryClass.h"

#include <vector>

namespace promo {
namespace {

std::string Narrow(const std::wstring& s) {
    // The message is for diagnostics only; ASCII is enough for what() and
    // the full text stays in Message().
    std::string out;
    out.reserve(s.size());
    for (wchar_t c : s) out += (c < 0x80) ? static_cast<char>(c) : '?';
    return out;
}

std::wstring InvalidDataType(const std::wstring& detail) {
    return L"Invalid data type for '" + detail + L"'";
}

}  // namespace

ERegistryException::ERegistryException(const std::wstring& message)
    : std::runtime_error(Narrow(message)), message_(message) {}

RegistryReader::~RegistryReader() {
    CloseKey();
    if (closeRootKey_) ::RegCloseKey(rootKey_);
}

void RegistryReader::SetRootKey(HKEY root) {
    if (root == rootKey_) return;
    if (closeRootKey_) {
        ::RegCloseKey(rootKey_);
        closeRootKey_ = false;
    }
    rootKey_ = root;
    CloseKey();
}

void RegistryReader::CloseKey() {
    if (!currentKey_) return;
    if (!lazyWrite_) ::RegFlushKey(currentKey_);
    ::RegCloseKey(currentKey_);
    currentKey_ = nullptr;
    currentPath_.clear();
}

bool RegistryReader::OpenKeyReadOnly(const std::wstring& path) {
    std::wstring subPath = path;
    const bool relative = subPath.empty() || subPath[0] != L'\\';
    if (!relative) subPath.erase(0, 1);
    const HKEY base = (relative && currentKey_) ? currentKey_ : rootKey_;
    const DWORD viewBits = access_ & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);

    static const DWORD kMasks[] = {KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                                   KEY_QUERY_VALUE};
    for (DWORD mask : kMasks) {
        HKEY opened = nullptr;
        if (::RegOpenKeyExW(base, subPath.c_str(), 0, mask | viewBits, &opened) != ERROR_SUCCESS) continue;
        access_ = mask | viewBits;
        std::wstring newPath = (relative && currentKey_) ? currentPath_ + L"\\" + subPath : subPath;
        CloseKey();
        currentKey_ = opened;
        currentPath_ = std::move(newPath);
        return true;
    }
    return false;
}

std::wstring RegistryReader::ReadString(const std::wstring& name) {
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return {};
    std::vector<BYTE> data(size + sizeof(wchar_t), 0);
    DWORD readSize = size;
    if (::RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, data.data(), &readSize) != ERROR_SUCCESS)
        throw ERegistryException(L"Failed to get data for '" + name + L"'");
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException(InvalidDataType(name));
    // The buffer carries an extra NUL, so a value stored without one still ends.
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data());
    std::wstring result(text, readSize / sizeof(wchar_t));
    const size_t nul = result.find(L'\0');
    if (nul != std::wstring::npos) result.resize(nul);
    return result;
}

std::int64_t RegistryReader::ReadNumber(const std::wstring& name) {
    DWORD type = 0, size = 0;
    LSTATUS rc = ::RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, nullptr, &size);
    std::wstring detail;
    if (rc != ERROR_SUCCESS) {
        detail = L"_query Info failed" + std::to_wstring(rc);
    } else if (type == REG_DWORD) {
        DWORD value = 0, bytes = sizeof value;
        rc = ::RegQueryValueExW(currentKey_, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                &bytes);
        if (rc == ERROR_SUCCESS) return static_cast<std::int32_t>(value);
        detail = L"_GetDWORD failed" + std::to_wstring(rc);
    } else if (type == REG_QWORD) {
        std::uint64_t value = 0;
        DWORD bytes = sizeof value;
        rc = ::RegQueryValueExW(currentKey_, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                &bytes);
        if (rc == ERROR_SUCCESS) return static_cast<std::int64_t>(value);
        detail = L"_GetQDWORD failed" + std::to_wstring(rc);
    } else {
        detail = L"_type failed" + std::to_wstring(type);
    }
    throw ERegistryException(InvalidDataType(name + detail));
}

std::wstring ProductProgramFolder() {
    std::wstring result;
    try {
        RegistryReader reader;
        reader.SetRootKey(HKEY_LOCAL_MACHINE);
        if (reader.OpenKeyReadOnly(kUninstallRecord)) {
            result = reader.ReadString(L"InstallLocation");
            if (result.empty() || result.back() != L'\\') result += L'\\';
            result += reader.ReadString(L"DisplayVersion");
        } else {
            reader.CloseKey();
        }
    } catch (const ERegistryException&) {
        // keep what was assigned before the error
    }
    return result;
}

}  // namespace promo
