// The image button's mouse, hint and click handling: the hit-test mask, the
// hover and pressed states, the icon's own presses and cursor, and the check
// box's toggle.
#include "controls/RdImageButton.h"

namespace promo {

bool TRdImageButton::HitTest(int x, int y) {
    if (!ClientRect().Contains(x, y)) return false;
    if (imageRange_.Empty()) return true;
    std::uint32_t px = 0;
    bool alpha = imageRange_.HasAlpha();
    if (!imageOption_.Empty()) {
        if (mask_.width != Width() || mask_.height != Height()) RebuildMask();
        if (x >= mask_.width || y >= mask_.height) return false;
        px = mask_.pixels[static_cast<size_t>(y) * mask_.width + x];
    } else {
        if (x >= imageRange_.Width() || y >= imageRange_.Height()) return false;
        px = imageRange_.Pixel(x, y);
    }
    if (alpha && (px >> 24) == 0) return false;
    return (px & 0x00FFFFFFu) != 0;
}

bool TRdImageButton::DoShowHint(std::wstring& hint) {
    if (autoShowHint_) {
        if (!foundEllipsis_)
            hint.clear();
        else if (Hint().empty())
            hint = Caption();
    }
    bool canShow = TControl::DoShowHint(hint);
    if (OnShowHint) OnShowHint(this, hint, canShow);
    return canShow;
}

void TRdImageButton::MouseEnter() {
    enterIconState_ = iconState_;
    if (Enabled()) {
        const bool was = hovering_;
        if (state_ != TRdButtonState::Selected) hovering_ = true;
        if (TControl::OnMouseEnter) TControl::OnMouseEnter(this);
        if (!was && hovering_) {
            if (IconFullClick && iconState_ == TRdIconState::Normal) SetIconState(TRdIconState::Hover);
            // Coming back while held shows the pressed face again.
            const bool pressedFace = state_ == TRdButtonState::Down && imageDown_.Width() > 0;
            if (overCopy_ || fontHoverColor_ != clNoOverride || pressedFace) Invalidate();
        }
    } else if (TControl::OnMouseEnter) {
        TControl::OnMouseEnter(this);
    }
}

void TRdImageButton::MouseLeave() {
    RestoreCursor(savedCursor_);
    if (iconState_ != TRdIconState::Down && iconState_ != TRdIconState::Disabled &&
        iconState_ != TRdIconState::Selected) {
        SetIconState(TRdIconState::Normal);
        RestoreCursor(savedIconCursor_);
    }
    SetHovering(false);
    if (OnMouseExit) OnMouseExit(this);
    enterIconState_ = iconState_;
    TControl::MouseLeave();
}

void TRdImageButton::ToggleCheckBox() {
    checkState_ =
        checkState_ == TCheckBoxState::cbChecked ? TCheckBoxState::cbUnchecked : TCheckBoxState::cbChecked;
    if (CheckBoxOnClick) CheckBoxOnClick(this);
    Invalidate();
}

void TRdImageButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    lastMouse_ = {x, y};
    clickSwallowed_ = false;
    if (button != TMouseButton::mbLeft) {
        TControl::MouseDown(button, shift, x, y);
        return;
    }
    if (OnCheckBox(x, y)) {
        ToggleCheckBox();
        clickSwallowed_ = !checkFullClick_;
        TControl::MouseDown(button, shift, x, y);
        return;
    }
    const bool onIcon = OnIcon(x, y);
    if (showCheckBox_ && checkFullClick_ && !onIcon) ToggleCheckBox();
    bool changeState = true;
    if (iconState_ != TRdIconState::Disabled && iconState_ != TRdIconState::Selected &&
        (IconFullClick || onIcon)) {
        SetIconState(TRdIconState::Down);
        if (!IconFullClick) changeState = false;
    }
    TControl::MouseDown(button, shift, x, y);
    if (changeState && state_ == TRdButtonState::Normal) SetButtonState(TRdButtonState::Down);
}

void TRdImageButton::SwitchCursor(std::optional<TCursor>& saved, TCursor cursor) {
    if (!saved) saved = Cursor();
    SetCursor(cursor);
}

void TRdImageButton::RestoreCursor(std::optional<TCursor>& saved) {
    if (!saved) return;
    SetCursor(*saved);
    saved.reset();
}

void TRdImageButton::MouseMove(TShiftState shift, int x, int y) {
    lastMouse_ = {x, y};
    if (CheckBoxCursor != crDefault) {
        if (OnCheckBox(x, y))
            SwitchCursor(savedCursor_, CheckBoxCursor);
        else
            RestoreCursor(savedCursor_);
    }
    if (iconState_ != TRdIconState::Down && iconState_ != TRdIconState::Disabled &&
        enterIconState_ != TRdIconState::Selected) {
        const bool onIcon = OnIcon(x, y);
        if (onIcon) {
            // Hover at the last enter: only the cursor follows the icon.
            if (enterIconState_ != TRdIconState::Hover && iconVisible_) SetIconState(TRdIconState::Hover);
            if (IconCursor != crDefault) SwitchCursor(savedIconCursor_, IconCursor);
        } else {
            if (enterIconState_ != TRdIconState::Hover && iconVisible_ && !IconFullClick)
                SetIconState(TRdIconState::Normal);
            RestoreCursor(savedIconCursor_);
        }
    }
    TControl::MouseMove(shift, x, y);
}

void TRdImageButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    lastMouse_ = {x, y};
    TControl::MouseUp(button, shift, x, y);
    if (!ClientRect().Contains(x, y)) SetHovering(false);
    if (state_ == TRdButtonState::Down) {
        SetButtonState(TRdButtonState::Normal);
        if (IconFullClick && iconState_ == TRdIconState::Down)
            SetIconState(hovering_ ? TRdIconState::Hover : TRdIconState::Normal);
    }
    // A press on the icon alone leaves the button Normal, so the rule above
    // misses it; released outside (no click) it would stay drawn pressed.
    if (iconState_ == TRdIconState::Down)
        SetIconState(hovering_ && OnIcon(x, y) ? TRdIconState::Hover : TRdIconState::Normal);
    clickSwallowed_ = false;
}

void TRdImageButton::Click() {
    if (clickSwallowed_) return;
    if (state_ == TRdButtonState::Down) {
        SetButtonState(TRdButtonState::Normal);
        if (IconFullClick && iconState_ == TRdIconState::Down)
            SetIconState(hovering_ ? TRdIconState::Hover : TRdIconState::Normal);
    }
    if (iconVisible_ && !IconFullClick && iconState_ == TRdIconState::Down) {
        if (OnIcon(lastMouse_.X, lastMouse_.Y)) {
            SetIconState(TRdIconState::Hover);
            if (IconOnClick) IconOnClick(this);
            return;
        }
        SetIconState(TRdIconState::Normal);
    }
    TControl::Click();
}

void TRdImageButton::DblClick() {
    if (!checkFullClick_ && OnCheckBox(lastMouse_.X, lastMouse_.Y)) return;
    TControl::DblClick();
}

}  // namespace promo
