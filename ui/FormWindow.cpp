// The form's native window: its class, its creation at the first show (in
// the DPI awareness in force then), showing and hiding it, and the window
// procedure, which hands each message to its typed handler.
#include <windowsx.h>

#include "ui/Form.h"

namespace promo {
namespace {

constexpr wchar_t kFormClass[] = L"PellorinPromoForm";
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

}  // namespace

void TForm::CreateHandle() {
    if (wnd_) return;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(instance, kFormClass, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &TForm::WindowProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kFormClass;
        ::RegisterClassExW(&wc);
    }
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    if (borderStyle_ != TFormBorderStyle::bsNone) style |= WS_CAPTION | WS_SYSMENU;
    RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
    ::AdjustWindowRectEx(&r, style, FALSE, 0);
    // Owned by the application window: no task-bar button of its own.
    HWND owner = Application().Handle();
    ::CreateWindowExW(0, kFormClass, Caption().c_str(), style, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, owner, nullptr, instance, this);
    // wnd_ was set in WM_NCCREATE. The tooltip waits for the first mouse
    // move: nothing but the window itself stands before the first paint.
    if (!wnd_) return;
    BOOL cuesAlways = FALSE;
    ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cuesAlways, 0);
    if (cuesAlways) {
        uiState_ = 0;
    } else {
        // The system keeps the window's UI state too: make it agree with ours,
        // so that the first keyboard use is a change it passes on.
        ::SendMessageW(wnd_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    }
    for (const auto& c : controls_)
        if (auto* win = dynamic_cast<TWinControl*>(c.get())) win->CreateHandle(wnd_.get());
}

void TForm::Show() {
    CreateHandle();
    if (!shown_) {
        shown_ = true;
        if (OnShow) OnShow(this);
    }
    if (!wnd_) return;
    if (!::IsWindowVisible(wnd_.get())) ::ShowWindow(wnd_.get(), SW_SHOW);
    // The system announces a window that appears; a dialog is announced as
    // one, so that a screen reader reads it out (once per appearance: the
    // show handler may have made it visible already).
    if (!announced_ && AccessibleRole() == TAccessibleRole::Dialog) {
        announced_ = true;
        ::NotifyWinEvent(EVENT_SYSTEM_DIALOGSTART, wnd_.get(), OBJID_WINDOW, CHILDID_SELF);
        AlertIfInBackground();
    }
}

void TForm::Hide() {
    if (!wnd_) return;
    ::ShowWindow(wnd_.get(), SW_HIDE);
    if (announced_) ::NotifyWinEvent(EVENT_SYSTEM_DIALOGEND, wnd_.get(), OBJID_WINDOW, CHILDID_SELF);
    announced_ = false;
}

LRESULT CALLBACK TForm::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->wnd_.reset(wnd);
    }
    auto* self = reinterpret_cast<TForm*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    try {
        return self->HandleMessage(msg, wp, lp);
    } catch (...) {
        return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

LRESULT TForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND wnd = wnd_.get();
    switch (msg) {
        // Answered here.
        HANDLE_MSG(wnd, WM_ERASEBKGND, WmEraseBkgnd);
        HANDLE_MSG(wnd, WM_PAINT, WmPaint);
        HANDLE_MSG(wnd, WM_MOUSEMOVE, WmMouseMove);
        HANDLE_MSG(wnd, WM_LBUTTONDOWN, WmLButtonDown);
        HANDLE_MSG(wnd, WM_LBUTTONDBLCLK, WmLButtonDown);
        HANDLE_MSG(wnd, WM_RBUTTONDOWN, WmRButtonDown);
        HANDLE_MSG(wnd, WM_RBUTTONDBLCLK, WmRButtonDown);
        HANDLE_MSG(wnd, WM_MBUTTONDOWN, WmMButtonDown);
        HANDLE_MSG(wnd, WM_MBUTTONDBLCLK, WmMButtonDown);
        HANDLE_MSG(wnd, WM_LBUTTONUP, WmLButtonUp);
        HANDLE_MSG(wnd, WM_RBUTTONUP, WmRButtonUp);
        HANDLE_MSG(wnd, WM_MBUTTONUP, WmMButtonUp);
        HANDLE_MSG(wnd, WM_CLOSE, WmClose);
        // Answered here; windowsx.h has no decoder for these.
        case WM_MOUSELEAVE:
            WmMouseLeave();
            return 0;
        case WM_CAPTURECHANGED:
            WmCaptureChanged();
            return 0;
        case kAccessibleClick:
            RunAccessibleClick(static_cast<long>(wParam));
            return 0;
        // Taken by the handler, or else passed on to the default handling
        // as they came (windowsx.h's FORWARD_ macros would rebuild some
        // without all their bits: the timer procedure, WM_SYSCHAR's key flags).
        case WM_TIMER:
            if (WmTimer(static_cast<UINT_PTR>(wParam))) return 0;
            break;
        case WM_SETCURSOR:
            if (WmSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
            break;
        case WM_CONTEXTMENU:
            if (WmContextMenu(reinterpret_cast<HWND>(wParam),
                              POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, lParam == -1))
                return 0;
            break;
        case WM_KEYDOWN:
            if (WmKeyDown(static_cast<UINT>(wParam), HIWORD(lParam))) return 0;
            break;
        case WM_SYSKEYDOWN:
            if (WmSysKeyDown(static_cast<UINT>(wParam))) return 0;
            break;
        case WM_KEYUP:
            if (WmKeyUp(static_cast<UINT>(wParam))) return 0;
            break;
        case WM_SYSCHAR:
        case WM_CHAR:
            if (DialogChar(static_cast<wchar_t>(wParam))) return 0;
            break;
        case WM_NOTIFY:
            if (WmNotify(reinterpret_cast<NMHDR*>(lParam))) return 0;
            break;
        case WM_GETOBJECT:
            if (const LRESULT r = WmGetObject(wParam, static_cast<LONG>(lParam))) return r;
            break;
        // The display's scale and work area: wParam's high word is the new
        // DPI, lParam the suggested window rectangle (learn.microsoft.com,
        // WM_DPICHANGED).
        case WM_DPICHANGED: {
            const RECT& r = *reinterpret_cast<const RECT*>(lParam);
            DpiChanged(HIWORD(wParam), TRect{r.left, r.top, r.right, r.bottom});
            return 0;
        }
        case WM_DISPLAYCHANGE:
            WorkAreaChanged();
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETWORKAREA) WorkAreaChanged();
            break;
        // Seen on their way to the default handling.
        case WM_SETFOCUS:
            WmSetFocus();
            break;
        case WM_KILLFOCUS:
            WmKillFocus();
            break;
        case WM_UPDATEUISTATE:
            UpdateUiState(LOWORD(wParam), HIWORD(wParam));
            break;
        case WM_NCDESTROY:
            WmNcDestroy(wnd);
            break;
        default:
            break;
    }
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

void TForm::WmClose(HWND) { Close(); }

void TForm::WmNcDestroy(HWND wnd) {
    ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    wnd_.release();
}

}  // namespace promo
