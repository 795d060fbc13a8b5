#include "ui/Application.h"

namespace promo {
namespace {

constexpr wchar_t kWindowClass[] = L"PellorinPromoApplication";

}  // namespace

TApplication& Application() {
    static TApplication app;
    return app;
}

TApplication::~TApplication() {
    mainForm_.reset();
    if (handle_) ::DestroyWindow(handle_);
}

LRESULT CALLBACK TApplication::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
        case WM_CLOSE:
            // Closing the task-bar button closes the main form like its own close.
            if (TMainForm* form = Application().MainForm()) {
                ::PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

void TApplication::Initialize() {
    if (handle_) return;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TApplication::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    ::RegisterClassExW(&wc);
    // A zero-sized window: visible only as the task-bar button.
    handle_ = ::CreateWindowExW(0, kWindowClass, L"PellorinPromo", WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
}

void TApplication::SetMainForm(std::unique_ptr<TMainForm> form) { mainForm_ = std::move(form); }

void TApplication::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void TApplication::Run() {
    if (!mainForm_) return;
    if (ShowMainForm) {
        if (!MainFormOnTaskBar && ShowTaskBarWindow && handle_) ::ShowWindow(handle_, SW_SHOWNOACTIVATE);
        mainForm_->ShowAsMainForm();
    }
    MSG msg;
    while (!terminated_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    terminated_ = true;
}

void TApplication::Terminate() {
    terminated_ = true;
    ::PostQuitMessage(0);
}

void EndProgramNow() {
    TApplication& app = Application();
    app.ShowMainForm = false;
    if (TMainForm* form = app.MainForm()) {
        if (HWND wnd = form->Handle()) ::SendMessageW(wnd, WM_CLOSE, 0, 0);
    }
    TerminateRun(0);
}

// https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-exitprocess
// (ExitProcess calls each library's entry point with DLL_PROCESS_DETACH;
// TerminateProcess does not).
void TerminateRun(unsigned exitCode) {
    ::TerminateProcess(::GetCurrentProcess(), exitCode);
    ::ExitProcess(exitCode);  // not reached unless termination was refused
}

}  // namespace promo
