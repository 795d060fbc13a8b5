// A stand-in for a game in full screen, for the end-to-end tests: a borderless
// window titled "PromoFullScreenGame" covering the primary screen, brought to
// the front; it ends when closed or after the number of seconds given as its
// argument (default 120).
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK GameProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    if (msg == WM_TIMER) ::DestroyWindow(wnd);
    return ::DefWindowProcW(wnd, msg, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
    const int seconds = (args && *args) ? std::wcstol(args, nullptr, 10) : 120;
    WNDCLASSW wc{};
    wc.lpfnWndProc = GameProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"PromoFullScreenGame";
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ::RegisterClassW(&wc);
    const HWND wnd = ::CreateWindowExW(0, wc.lpszClassName, L"PromoFullScreenGame", WS_POPUP | WS_VISIBLE, 0,
                                       0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                       nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    ::SetForegroundWindow(wnd);
    ::SetTimer(wnd, 1, static_cast<UINT>(seconds > 0 ? seconds : 120) * 1000u, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
