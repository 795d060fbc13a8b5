// Helpers of the Wine tests of the show decision: scratch folders, the test
// exe's folder and a debug-line capture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/DebugOutput.h"

namespace promo::test {

inline std::wstring ExeFolder() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// A fresh empty folder under the temporary folder, removed with its files
// (one level of sub-folders) at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& tag) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"promo-" + tag + L"-" + std::to_wstring(::GetCurrentProcessId()) +
                L"-" + std::to_wstring(::GetTickCount()) + L"\\";
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = folder + name;
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full + L"\\");
                } else {
                    ::DeleteFileW(full.c_str());
                }
            } while (::FindNextFileW(find, &data));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(folder.c_str());
    }
    std::wstring path_;
};

// Collects DebugOut lines while it lives.
class DebugLines {
public:
    DebugLines() : previous_(SetDebugSink(&Collect)) { Current() = &lines; }
    ~DebugLines() {
        SetDebugSink(previous_);
        Current() = nullptr;
    }
    std::vector<std::wstring> lines;

private:
    static std::vector<std::wstring>*& Current() {
        static std::vector<std::wstring>* current = nullptr;
        return current;
    }
    static void Collect(const std::wstring& line) {
        if (Current()) Current()->push_back(line);
    }
    DebugSink previous_;
};

}  // namespace promo::test
