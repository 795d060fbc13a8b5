// Keyboard focus among the form's windowless controls (the tab stops in tab
// order, the focus cue's UI state) and the accessible tree's children, whose
// ids accessibility clients are told when the focus moves.
#include <algorithm>

#include "ui/Accessible.h"
#include "ui/Form.h"

namespace promo {

std::vector<TControl*> TForm::TabList() const {
    std::vector<TControl*> list;
    for (const auto& c : controls_)
        if (c->CanTakeFocus()) list.push_back(c.get());
    std::stable_sort(list.begin(), list.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    return list;
}

void TForm::FocusControl(TControl* c) {
    if (c == focused_) return;
    TControl* old = focused_;
    focused_ = c;
    if (old) old->Invalidate();
    if (c) c->Invalidate();
    if (c && wnd_)
        if (const long id = AccessibleChildId(c))
            ::NotifyWinEvent(EVENT_OBJECT_FOCUS, wnd_.get(), OBJID_CLIENT, id);
}

void TForm::SelectNext(bool forward) {
    const std::vector<TControl*> list = TabList();
    if (list.empty()) return;
    const auto it = std::find(list.begin(), list.end(), focused_);
    if (it == list.end()) {
        FocusControl(forward ? list.front() : list.back());
        return;
    }
    const size_t n = list.size(), i = static_cast<size_t>(it - list.begin());
    FocusControl(list[(i + (forward ? 1 : n - 1)) % n]);
}

void TForm::UpdateUiState(WORD action, WORD flags) {
    const WORD mask = flags & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
    const WORD old = uiState_;
    if (action == UIS_SET) uiState_ |= mask;
    if (action == UIS_CLEAR) uiState_ &= static_cast<WORD>(~mask);
    if (old != uiState_ && focused_) focused_->Invalidate();
}

void TForm::ShowFocusCues() {
    if (FocusCuesShown() || !wnd_) return;
    ::SendMessageW(wnd_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    // Should the system not pass the change on, the cue still follows the keyboard.
    UpdateUiState(UIS_CLEAR, UISF_HIDEFOCUS);
}

void TForm::AlertIfInBackground() {
    if (!backgroundAlert_ || !wnd_) return;
    // Shown beside the program the user types into, the window does not take
    // the keyboard, so a screen reader would not hear of it through the focus.
    // Servers raise this event when the user needs to know of a change and set
    // the alert level in the object's state ("Alerts", Microsoft Active
    // Accessibility, Microsoft Learn); the object stays the dialog it is.
    ::NotifyWinEvent(EVENT_SYSTEM_ALERT, wnd_.get(), OBJID_CLIENT, CHILDID_SELF);
}

void TForm::WmSetFocus() {
    windowFocus_ = true;
    // The user came to the window: it is no longer waiting in the background.
    // No second alert: the focus event tells a screen reader as much.
    backgroundAlert_ = false;
    if (focused_) {
        focused_->Invalidate();
        if (const long id = AccessibleChildId(focused_))
            ::NotifyWinEvent(EVENT_OBJECT_FOCUS, wnd_.get(), OBJID_CLIENT, id);
    }
}

void TForm::WmKillFocus() {
    windowFocus_ = false;
    if (focused_) focused_->Invalidate();
}

std::vector<TControl*> TForm::AccessibleChildren() const {
    std::vector<TControl*> list;
    for (const auto& c : controls_)
        if (c->Visible() && c->AccessibleRole() != TAccessibleRole::None) list.push_back(c.get());
    return list;
}

long TForm::AccessibleChildId(const TControl* c) const {
    if (!c) return 0;
    const std::vector<TControl*> list = AccessibleChildren();
    const auto it = std::find(list.begin(), list.end(), c);
    return it == list.end() ? 0 : static_cast<long>(it - list.begin()) + 1;
}

TControl* TForm::ShownAccessibleChild(long childId) const {
    if (!wnd_ || !::IsWindowVisible(wnd_.get())) return nullptr;
    const std::vector<TControl*> list = AccessibleChildren();
    if (childId < 1 || static_cast<size_t>(childId) > list.size()) return nullptr;
    return list[static_cast<size_t>(childId) - 1];
}

bool TForm::PostAccessibleClick(long childId) {
    return ShownAccessibleChild(childId) &&
           ::PostMessageW(wnd_.get(), kAccessibleClick, static_cast<WPARAM>(childId), 0) != FALSE;
}

void TForm::RunAccessibleClick(long childId) {
    // Checked again: the window may have been dismissed while the message
    // waited, and a second click must not dismiss it twice.
    TControl* c = ShownAccessibleChild(childId);
    if (c && c->Visible() && c->Enabled()) c->Click();
}

LRESULT TForm::WmGetObject(WPARAM flags, LONG objectId) {
    if (objectId != OBJID_CLIENT) return 0;
    if (!accessible_) accessible_ = std::make_unique<TAccessibleServer>(*this);
    return accessible_->Answer(flags);
}

}  // namespace promo
