// The popup menu: a list of items with a caption and an OnClick handler,
// shown at a screen point with the system's popup menu; the chosen item's
// OnClick runs afterwards. A control names its menu in PopupMenu; the form
// shows it on a right click or the menu key (see TForm).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace promo {

// One entry. A caption of "-" is a separator line.
class TMenuItem : public TComponent {
public:
    std::wstring Caption;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    // Runs with the control the menu was shown for as the sender.
    TNotifyEvent OnClick;
};

class TPopupMenu : public TComponent {
public:
    TMenuItem& Add(std::unique_ptr<TMenuItem> item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* FindItem(const std::wstring& name) const;

    // Shown by the form on a right click (False: the form leaves it alone).
    bool AutoPopup = true;

    // The control the menu is shown for (cleared when it is destroyed).
    TControl* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TControl* c);

    // Shows the menu with its top left at the screen point, the owner window
    // receiving its messages, and runs the chosen item's OnClick. The chosen
    // item's index, or -1 when the menu was dismissed.
    int Popup(int x, int y, HWND owner);

    // Replaces TrackPopupMenuEx (tests: pick an item without a human). It
    // receives the built menu, whose command identifiers are the item
    // indexes plus one, and returns the chosen identifier (0: none).
    using TTrackProc = UINT (*)(HMENU menu, UINT flags, int x, int y, HWND owner);
    static void SetTrackProcForTesting(TTrackProc proc);

protected:
    void Notification(TComponent* component, TOperation op) override;

private:
    std::vector<std::unique_ptr<TMenuItem>> items_;
    TControl* popupComponent_ = nullptr;
};

}  // namespace promo
