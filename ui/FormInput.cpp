// The form's mouse and keyboard: the control under the pointer (hit tests,
// enter and leave, the cursor), presses and clicks with the mouse captured
// by the pressed control, dialog characters, Tab, Enter, Space and Esc, and
// the context popup on a right click or the menu key. Each message has a
// typed handler; ui/FormWindow.cpp hands them over.
#include <windowsx.h>

#include "ui/Form.h"

namespace promo {

void TForm::WmMouseMove(HWND wnd, int x, int y, UINT keys) {
    if (!tooltip_) CreateTooltip();
    RelayToTooltip(WM_MOUSEMOVE, keys, x, y);
    if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, wnd, 0};
        tracking_ = ::TrackMouseEvent(&tme) != FALSE;
    }
    UpdateHover(x, y, ClientRect().Contains(x, y));
    TControl* target = captured_ ? captured_ : (hover_ && hover_->Enabled() ? hover_ : nullptr);
    if (target)
        target->MouseMove(static_cast<TShiftState>(GET_KEYSTATE_WPARAM(keys)), x - target->Left(),
                          y - target->Top());
}

void TForm::WmMouseLeave() {
    tracking_ = false;
    if (!captured_) {
        UpdateHover(0, 0, false);
        ::SetTimer(wnd_.get(), kIdleCompositionTimer, kIdleCompositionMs, nullptr);
    }
}

void TForm::WmLButtonDown(HWND, BOOL doubleClick, int x, int y, UINT keys) {
    RelayToTooltip(doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, keys, x, y);
    ButtonPressed(TMouseButton::mbLeft, doubleClick, x, y, keys);
}

void TForm::WmRButtonDown(HWND, BOOL doubleClick, int x, int y, UINT keys) {
    RelayToTooltip(doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN, keys, x, y);
    ButtonPressed(TMouseButton::mbRight, doubleClick, x, y, keys);
}

void TForm::WmMButtonDown(HWND, BOOL doubleClick, int x, int y, UINT keys) {
    RelayToTooltip(doubleClick ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN, keys, x, y);
    ButtonPressed(TMouseButton::mbMiddle, doubleClick, x, y, keys);
}

void TForm::WmLButtonUp(HWND, int x, int y, UINT keys) {
    RelayToTooltip(WM_LBUTTONUP, keys, x, y);
    ButtonReleased(TMouseButton::mbLeft, x, y, keys);
}

void TForm::WmRButtonUp(HWND wnd, int x, int y, UINT keys) {
    RelayToTooltip(WM_RBUTTONUP, keys, x, y);
    ButtonReleased(TMouseButton::mbRight, x, y, keys);
    // What the default handling would do: ask for the context menu.
    POINT p{x, y};
    ::ClientToScreen(wnd, &p);
    ::SendMessageW(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(p.x, p.y));
}

void TForm::WmMButtonUp(HWND, int x, int y, UINT keys) {
    RelayToTooltip(WM_MBUTTONUP, keys, x, y);
    ButtonReleased(TMouseButton::mbMiddle, x, y, keys);
}

void TForm::WmCaptureChanged() {
    if (captured_) captured_->mouseCaptured_ = false;
    captured_ = nullptr;
}

bool TForm::WmSetCursor(HWND cursorWindow, UINT hitTest) {
    if (cursorWindow != wnd_.get() || hitTest != HTCLIENT) return false;
    TControl* c = captured_ ? captured_ : ControlUnderCursor();
    ::SetCursor(CursorHandle(c ? c->Cursor() : Cursor()));
    return true;
}

bool TForm::WmContextMenu(HWND target, POINT screen, bool keyboard) {
    if (target != wnd_.get()) return false;
    ContextPopup(screen, keyboard);
    return true;
}

bool TForm::WmKeyDown(UINT key, UINT keyFlags) { return KeyDown(key, keyFlags) || WmSysKeyDown(key); }

bool TForm::WmSysKeyDown(UINT key) {
    if (key != VK_F10 || ::GetKeyState(VK_SHIFT) >= 0) return false;
    ContextPopup(POINT{-1, -1}, true);
    return true;
}

bool TForm::WmKeyUp(UINT key) {
    if (key != VK_APPS) return false;
    ContextPopup(POINT{-1, -1}, true);
    return true;
}

TControl* TForm::ControlAt(int x, int y, bool enabledOnly) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = it->get();
        if (!c->Visible() || (enabledOnly && !c->Enabled())) continue;
        if (c->BoundsRect().Contains(x, y) && c->HitTest(x - c->Left(), y - c->Top())) return c;
    }
    return nullptr;
}

void TForm::UpdateHover(int x, int y, bool inside) {
    TControl* now = inside ? ControlAt(x, y, false) : nullptr;
    if (now == hover_) return;
    TControl* old = hover_;
    hover_ = now;
    if (old) old->MouseLeave();
    if (now) now->MouseEnter();
    UpdateTooltipTool();
}

void TForm::ButtonPressed(TMouseButton button, bool doubleClick, int x, int y, UINT keys) {
    TControl* target = ControlAt(x, y, true);
    if (!target) return;
    if (!captured_) {
        ::SetCapture(wnd_.get());
        captured_ = target;
        target->mouseCaptured_ = true;
    }
    target->MouseDown(button, static_cast<TShiftState>(GET_KEYSTATE_WPARAM(keys)), x - target->Left(),
                      y - target->Top());
    if (button == TMouseButton::mbLeft && doubleClick && FindControlPtr(target)) target->DblClick();
}

void TForm::ButtonReleased(TMouseButton button, int x, int y, UINT keys) {
    TControl* target = captured_;
    if (!target) return;
    const int cx = x - target->Left(), cy = y - target->Top();
    // Every button held releases the capture only when the last one is up.
    const bool anyHeld = (keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
    if (!anyHeld) ::ReleaseCapture();
    if (button == TMouseButton::mbLeft && target->ClientRect().Contains(cx, cy) && target->HitTest(cx, cy))
        target->Click();
    if (FindControlPtr(target))
        target->MouseUp(button, static_cast<TShiftState>(GET_KEYSTATE_WPARAM(keys)), cx, cy);
}

bool TForm::FindControlPtr(const TControl* c) const {
    for (const auto& p : controls_)
        if (p.get() == c) return true;
    return false;
}

TControl* TForm::ControlUnderCursor() const {
    POINT p;
    if (!wnd_ || !::GetCursorPos(&p) || !::ScreenToClient(wnd_.get(), &p)) return nullptr;
    return ControlAt(p.x, p.y, true);
}

void TForm::CursorChanged(TControl* c) {
    if (!wnd_ || !c) return;
    TControl* under = captured_ ? captured_ : hover_;
    if (under == c) ::SetCursor(CursorHandle(c->Cursor()));
}

bool TForm::DialogChar(wchar_t c) {
    for (size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i]->DialogChar(c)) return true;
    return false;
}

void TForm::ContextPopup(POINT screen, bool keyboard) {
    if (!wnd_) return;
    TControl* target = nullptr;
    POINT client = screen;
    if (keyboard) {
        target = hover_ && hover_->Visible() && hover_->Enabled() ? hover_ : nullptr;
    } else {
        ::ScreenToClient(wnd_.get(), &client);
        target = ControlAt(client.x, client.y, true);
    }
    if (!target) target = this;
    // The control first, then its parents, as an unhandled message would go.
    for (TControl* c = target; c;) {
        const bool isForm = c == static_cast<TControl*>(this);
        TPoint local{-1, -1};
        if (!keyboard)
            local = isForm ? TPoint{client.x, client.y} : TPoint{client.x - c->Left(), client.y - c->Top()};
        bool handled = false;
        c->DoContextPopup(local, handled);
        if (handled || (!isForm && !FindControlPtr(c))) return;
        if (TPopupMenu* menu = c->PopupMenu(); menu && menu->AutoPopup) {
            POINT at = screen;
            if (keyboard) {
                at = isForm ? POINT{0, 0} : POINT{c->Left(), c->Top()};
                ::ClientToScreen(wnd_.get(), &at);
            }
            menu->SetPopupComponent(c);
            menu->Popup(at.x, at.y, wnd_.get());
            return;
        }
        c = c->Parent();
    }
}

bool TForm::KeyDown(UINT key, UINT keyFlags) {
    // A key held down since before the window came to the front arrives as
    // repeats: it was typed for another program.
    const bool repeat = (keyFlags & KF_REPEAT) != 0;
    switch (key) {
        case VK_TAB:
            if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0 || TabList().empty())
                return false;
            ShowFocusCues();
            SelectNext(::GetKeyState(VK_SHIFT) >= 0);
            return true;
        case VK_RETURN:
        case VK_SPACE:
            if (repeat || !focused_ || !focused_->CanTakeFocus()) return false;
            focused_->KeyboardPress();
            return true;
        case VK_ESCAPE:
            if (repeat || !cancel_ || !cancel_->Visible() || !cancel_->Enabled()) return false;
            cancel_->Click();
            return true;
        default:
            return false;
    }
}

}  // namespace promo
