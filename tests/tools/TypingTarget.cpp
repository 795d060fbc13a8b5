// Another program the user types into, for the end-to-end tests: a window
// titled "Typing target" with one edit control, which has the keyboard while
// the window is active. typing_target.exe REPORT writes REPORT (UTF-8) each
// time the edit control's text changes or it gets Tab, Enter or Esc:
//   text<TAB><the edit control's text>
//   keys<TAB>tab=N enter=N esc=N
// so that a test sees what reached it. A GUI program: starting it opens no
// console.
#include <windows.h>

#include <string>

namespace {

std::wstring g_report;
HWND g_edit = nullptr;
int g_tabs = 0, g_enters = 0, g_escapes = 0;

std::string Utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr,
                          nullptr);
    return bytes;
}

void Report() {
    const int length = ::GetWindowTextLengthW(g_edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(g_edit, text.data(), length + 1)));
    const std::string report = "text\t" + Utf8(text) + "\nkeys\ttab=" + std::to_string(g_tabs) +
                               " enter=" + std::to_string(g_enters) + " esc=" + std::to_string(g_escapes) +
                               "\n";
    // Written beside the report and then moved over it: a reader never sees half of one.
    const std::wstring temporary = g_report + L".tmp";
    HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    ::CloseHandle(file);
    ::MoveFileExW(temporary.c_str(), g_report.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            g_edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                       8, 8, 580, 24, wnd, reinterpret_cast<HMENU>(1), nullptr, nullptr);
            return g_edit ? 0 : -1;
        case WM_SETFOCUS:
            ::SetFocus(g_edit);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) == 1 && HIWORD(wp) == EN_CHANGE) Report();
            return 0;
        case WM_DESTROY:
            Report();
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (!__wargv || __argc < 2) return 2;
    g_report = __wargv[1];
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"PromoTypingTarget";
    if (!::RegisterClassW(&wc)) return 3;
    HWND wnd = ::CreateWindowExW(0, wc.lpszClassName, L"Typing target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                 40, 620, 100, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 3;
    Report();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_KEYDOWN && msg.hwnd == g_edit) {
            int* count = msg.wParam == VK_TAB      ? &g_tabs
                         : msg.wParam == VK_RETURN ? &g_enters
                         : msg.wParam == VK_ESCAPE ? &g_escapes
                                                   : nullptr;
            if (count) {
                ++*count;
                Report();
            }
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
