// Holds a file or folder open with no sharing, as another process of the
// product would, until it is ended: file_holder.exe PATH NOTE [SECONDS].
// Writes the file NOTE (one line, "held" or the error code) once the open is
// done, so that a test can wait for it. A GUI program: starting it opens no
// console.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const int argc = __argc;
    wchar_t** const argv = __wargv;
    if (!argv || argc < 3) return 2;
    const std::wstring path = argv[1];
    const std::wstring notePath = argv[2];
    const DWORD seconds = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 600;
    // FILE_FLAG_BACKUP_SEMANTICS lets the same call hold a folder.
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const DWORD error = held == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
    const std::string note = error ? "error " + std::to_string(error) + "\n" : std::string("held\n");
    HANDLE log = ::CreateFileW(notePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(log, note.data(), static_cast<DWORD>(note.size()), &written, nullptr);
        ::CloseHandle(log);
    }
    if (error) return 1;
    ::Sleep(seconds * 1000);
    ::CloseHandle(held);
    return 0;
}
