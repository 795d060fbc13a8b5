#include "ui/Menu.h"

namespace promo {
namespace {

TPopupMenu::TTrackProc g_trackProc = nullptr;

struct MenuDeleter {
    void operator()(HMENU m) const noexcept { ::DestroyMenu(m); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

}  // namespace

void TPopupMenu::SetTrackProcForTesting(TTrackProc proc) { g_trackProc = proc; }

TMenuItem& TPopupMenu::Add(std::unique_ptr<TMenuItem> item) {
    items_.push_back(std::move(item));
    return *items_.back();
}

TMenuItem* TPopupMenu::Items(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

TMenuItem* TPopupMenu::FindItem(const std::wstring& name) const {
    for (const auto& item : items_)
        if (item->Name == name) return item.get();
    return nullptr;
}

void TPopupMenu::SetPopupComponent(TControl* c) {
    if (c == popupComponent_) return;
    if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
    popupComponent_ = c;
    if (c) c->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation op) {
    if (op == TOperation::opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

int TPopupMenu::Popup(int x, int y, HWND owner) {
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return -1;
    for (int i = 0; i < Count(); ++i) {
        const TMenuItem& item = *items_[static_cast<size_t>(i)];
        if (!item.Visible) continue;
        if (item.Caption == L"-") {
            ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (!item.Enabled) flags |= MF_GRAYED;
        if (item.Checked) flags |= MF_CHECKED;
        ::AppendMenuW(menu.get(), flags, static_cast<UINT_PTR>(i) + 1, item.Caption.c_str());
    }
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
    const UINT chosen = g_trackProc
                            ? g_trackProc(menu.get(), flags, x, y, owner)
                            : static_cast<UINT>(::TrackPopupMenuEx(menu.get(), flags, x, y, owner, nullptr));
    const int index = static_cast<int>(chosen) - 1;
    const TMenuItem* item = Items(index);
    if (!item || !item->Enabled || !item->Visible || item->Caption == L"-") return -1;
    // A copy: the handler may free the menu, or the form that owns it.
    const TNotifyEvent handler = item->OnClick;
    if (handler) handler(popupComponent_);
    return index;
}

}  // namespace promo
