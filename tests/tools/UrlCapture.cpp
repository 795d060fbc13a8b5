// Stand-in browser for the browser-launch tests: appends its own command line
// as one UTF-8 line to "<its own path>.txt" and ends. A GUI program, so that
// starting it opens no console.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) return 1;
    const std::wstring logPath = std::wstring(self) + L".txt";

    const std::wstring line = std::wstring(::GetCommandLineW()) + L"\n";
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr,
                                            0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr,
                          nullptr);

    // Several launches may race: retry while another one holds the file.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok =
                ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            ::CloseHandle(file);
            return ok && written == utf8.size() ? 0 : 1;
        }
        ::Sleep(20);
    }
    return 1;
}
