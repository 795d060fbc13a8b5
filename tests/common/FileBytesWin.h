// Whole-file reads and writes for the Windows tests of the INI files and the
// guarded save.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/Handles.h"
#include "support/PSafeIniFile.h"

namespace promo::test {

// The file's bytes; ifMissing when it cannot be read.
inline std::string ReadBytes(const std::wstring& path, const char* ifMissing = "") {
    FileBytes f = ReadWholeFile(path);
    if (f.error != 0) return ifMissing;
    return std::string(f.bytes.begin(), f.bytes.end());
}

// Creates or replaces the file with these bytes.
inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFileHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(h);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

}  // namespace promo::test
