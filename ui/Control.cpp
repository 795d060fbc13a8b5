#include "ui/Control.h"

#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/PictureSets.h"
#include "ui/ScaledPicture.h"

namespace promo {

// --- cursors and accelerators ---------------------------------------------------------

HCURSOR CursorHandle(TCursor cursor) {
    const wchar_t* id = IDC_ARROW;
    switch (cursor) {
        case crNone:
            return nullptr;
        case crCross:
            id = IDC_CROSS;
            break;
        case crIBeam:
            id = IDC_IBEAM;
            break;
        case crSize:
        case crSizeAll:
            id = IDC_SIZEALL;
            break;
        case crSizeNESW:
            id = IDC_SIZENESW;
            break;
        case crSizeNS:
            id = IDC_SIZENS;
            break;
        case crSizeNWSE:
            id = IDC_SIZENWSE;
            break;
        case crSizeWE:
            id = IDC_SIZEWE;
            break;
        case crUpArrow:
            id = IDC_UPARROW;
            break;
        case crHourGlass:
            id = IDC_WAIT;
            break;
        case crNo:
            id = IDC_NO;
            break;
        case crAppStart:
            id = IDC_APPSTARTING;
            break;
        case crHelp:
            id = IDC_HELP;
            break;
        case crHandPoint:
            id = IDC_HAND;
            break;
        default:
            break;
    }
    return ::LoadCursorW(nullptr, id);
}

wchar_t AcceleratorOf(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return caption[i + 1];
        ++i;  // "&&" is one plain "&"
    }
    return 0;
}

namespace {
// One character upper-cased by the system's case table, whatever the locale.
wchar_t Upper(wchar_t c) {
    return static_cast<wchar_t>(
        reinterpret_cast<ULONG_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}
}  // namespace

bool IsAccel(wchar_t c, const std::wstring& caption) {
    const wchar_t accel = AcceleratorOf(caption);
    return accel != 0 && c != 0 && Upper(accel) == Upper(c);
}

// --- TComponent ---------------------------------------------------------------------------

TComponent::~TComponent() {
    // Each one told is unlinked first, so that it may not call back here.
    while (!notified_.empty()) {
        TComponent* other = notified_.back();
        notified_.pop_back();
        other->Unlink(this);
        other->Notification(this, TOperation::opRemove);
    }
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    for (TComponent* c : notified_)
        if (c == other) return;
    notified_.push_back(other);
    other->notified_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    Unlink(other);
    other->Unlink(this);
}

void TComponent::Unlink(TComponent* other) {
    for (auto it = notified_.begin(); it != notified_.end(); ++it)
        if (*it == other) {
            notified_.erase(it);
            return;
        }
}

// --- TControl -----------------------------------------------------------------------------

TControl::TControl() {
    font_.OnChange = [this] {
        if (!settingParentFont_) parentFont_ = false;
        FontChanged();
    };
    constraints_.OnChange = [this] { ApplyConstraints(); };
}

TControl::~TControl() = default;

void TControl::SetParent(TControl* parent) {
    parent_ = parent;
    if (parent_) {
        if (parentFont_) ParentFontChanged();
        if (parentColor_) ParentColorChanged();
        if (parentShowHint_) showHint_ = parent_->EffectiveShowHint();
        if (parentBiDiMode_) ParentBiDiModeChanged();
    }
}

TForm* TControl::HostForm() { return parent_ ? parent_->HostForm() : nullptr; }

void TControl::SetBounds(int left, int top, int width, int height) {
    width = constraints_.Limits().ConstrainWidth(width);
    height = constraints_.Limits().ConstrainHeight(height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
    if (resized) Resize();
    if (align_ != TAlign::alNone) RequestAlign();
}

void TControl::RequestAlign() {
    if (TForm* form = HostForm(); form && form != static_cast<void*>(this)) form->AlignControls();
}

void TControl::ApplyConstraints() { SetBounds(left_, top_, width_, height_); }

void TControl::SetAlign(TAlign v) {
    if (v == align_) return;
    align_ = v;
    AdjustSize();
    RequestAlign();
}

void TControl::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    if (v) AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) { return false; }

void TControl::AdjustSize() {
    if (!autoSize_) return;
    int w = width_, h = height_;
    if (CanAutoSize(w, h)) SetBounds(left_, top_, w, h);
}

void TControl::SetParentFont(bool v) {
    if (v == parentFont_) return;
    parentFont_ = v;
    if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    settingParentFont_ = true;
    font_.Assign(parent_->Font());
    settingParentFont_ = false;
}

void TControl::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    parentColor_ = false;
    ColorChanged();
}

void TControl::SetParentColor(bool v) {
    if (v == parentColor_) return;
    parentColor_ = v;
    if (v) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_ || parent_->Color() == color_) return;
    color_ = parent_->Color();
    ColorChanged();
}

void TControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    EnabledChanged();
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    if (!v) Invalidate();
    visible_ = v;
    if (v) Invalidate();
    VisibleChanged();
}

void TControl::SetShowHint(bool v) {
    parentShowHint_ = false;
    showHint_ = v;
}

void TControl::SetParentShowHint(bool v) {
    parentShowHint_ = v;
    if (v && parent_) showHint_ = parent_->EffectiveShowHint();
}

bool TControl::EffectiveShowHint() const {
    if (parentShowHint_ && parent_) return parent_->EffectiveShowHint();
    return showHint_;
}

void TControl::SetCaption(const std::wstring& v) {
    if (v == caption_) return;
    caption_ = v;
    TextChanged();
}

void TControl::SetBiDiMode(TBiDiMode v) {
    parentBiDiMode_ = false;
    if (v == biDiMode_) return;
    biDiMode_ = v;
    BiDiModeChanged();
}

void TControl::SetParentBiDiMode(bool v) {
    if (v == parentBiDiMode_) return;
    parentBiDiMode_ = v;
    if (v) ParentBiDiModeChanged();
}

void TControl::ParentBiDiModeChanged() {
    if (!parentBiDiMode_ || !parent_ || parent_->BiDiMode() == biDiMode_) return;
    biDiMode_ = parent_->BiDiMode();
    BiDiModeChanged();
}

unsigned TControl::DrawTextBiDiModeFlags(unsigned flags) const {
    if (UseRightToLeftAlignment()) {
        if ((flags & DT_RIGHT) == DT_RIGHT)
            flags &= ~static_cast<unsigned>(DT_RIGHT);
        else if ((flags & DT_CENTER) != DT_CENTER)
            flags |= DT_RIGHT;
    }
    if (UseRightToLeftReading()) flags |= DT_RTLREADING;
    return flags;
}

TAlignment TControl::EffectiveAlignment(TAlignment a) const {
    if (!UseRightToLeftAlignment()) return a;
    switch (a) {
        case TAlignment::taLeftJustify:
            return TAlignment::taRightJustify;
        case TAlignment::taRightJustify:
            return TAlignment::taLeftJustify;
        default:
            return a;
    }
}

void TControl::SetCursor(TCursor v) {
    if (v == cursor_) return;
    cursor_ = v;
    if (TForm* form = HostForm(); form && form != static_cast<void*>(this)) form->CursorChanged(this);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation op) {
    if (op == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
    if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

bool TControl::DialogChar(wchar_t) { return false; }

void TControl::EndLoading() {
    loading_ = false;
    KeepDesign();
    Loaded();
}

void TControl::KeepDesign() {
    designKept_ = true;
    designBounds_ = BoundsRect();
    designLimits_ = constraints_.Limits();
    designFontHeight_ = font_.Height();
}

void TControl::ScaleTo(int dpi, const TPictureSource& pictures) {
    EnsureDesignKept();
    constraints_.SetMinWidth(ScaleLength(designLimits_.MinWidth, dpi));
    constraints_.SetMaxWidth(ScaleLength(designLimits_.MaxWidth, dpi));
    constraints_.SetMinHeight(ScaleLength(designLimits_.MinHeight, dpi));
    constraints_.SetMaxHeight(ScaleLength(designLimits_.MaxHeight, dpi));
    if (!parentFont_) font_.SetHeight(ScaleLength(designFontHeight_, dpi));
    for (TPicture* picture : PictureProperties()) {
        if (picture->SourceFile().empty()) continue;
        if (auto image = PictureForDpi(pictures, picture->SourceFile(), dpi)) picture->SetGraphic(image);
    }
    const TRect& d = designBounds_;
    SetBounds(ScaleLength(d.Left, dpi), ScaleLength(d.Top, dpi), ScaleLength(d.Width(), dpi),
              ScaleLength(d.Height(), dpi));
    AdjustSize();
}

void TControl::Loaded() { AdjustSize(); }

void TControl::Invalidate() {
    if (!visible_) return;
    if (TForm* form = HostForm(); form && form != static_cast<void*>(this))
        form->InvalidateArea(BoundsRect());
}

void TControl::PaintTo(HDC dc) {
    canvas_.Font().Assign(font_);
    canvas_.SetHandle(dc);
    Paint(canvas_);
    if (ShowsFocusCue()) PaintFocusCue(canvas_);
    canvas_.SetHandle(nullptr);
}

void TControl::PaintFocusCue(TCanvas& canvas) {
    RECT r{0, 0, width_, height_};
    ::DrawFocusRect(canvas.Handle(), &r);
}

void TControl::Paint(TCanvas&) {}
void TControl::FontChanged() { Invalidate(); }
void TControl::EnabledChanged() { Invalidate(); }
void TControl::TextChanged() { Invalidate(); }

bool TControl::HitTest(int x, int y) { return ClientRect().Contains(x, y); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
bool TControl::CanTakeFocus() const { return tabStop_ && visible_ && enabled_ && width_ > 0 && height_ > 0; }

bool TControl::HasKeyboardFocus() const {
    const TForm* form = const_cast<TControl*>(this)->HostForm();
    return form && form->FocusedControl() == this;
}

bool TControl::ShowsFocusCue() const {
    const TForm* form = const_cast<TControl*>(this)->HostForm();
    return form && form->FocusedControl() == this && form->HasWindowFocus() && form->FocusCuesShown();
}

std::wstring TControl::AccessibleName() const { return caption_.empty() ? hint_ : caption_; }

void TControl::Click() {
    if (OnClick) OnClick(this);
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}
bool TControl::DoShowHint(std::wstring&) { return true; }

// --- TCustomImage -----------------------------------------------------------------

TCustomImage::TCustomImage() {
    SetBounds(0, 0, 105, 105);
    picture_.OnChange = [this] { PictureChanged(); };
}

void TCustomImage::PictureChanged() {
    if (AutoSize() && !picture_.Empty()) AdjustSize();
    Invalidate();
}

bool TCustomImage::CanAutoSize(int& width, int& height) {
    if (picture_.Empty()) return false;
    width = picture_.Width();
    height = picture_.Height();
    return true;
}

void TCustomImage::Paint(TCanvas& canvas) { canvas.Draw(0, 0, picture_); }

// --- TShape -------------------------------------------------------------------------

TShape::TShape() { SetBounds(0, 0, 65, 65); }

void TShape::SetBrushColor(TColor c) {
    if (c == brush_.Color) return;
    brush_.Color = c;
    Invalidate();
}
void TShape::SetBrushStyle(TBrushStyle s) {
    if (s == brush_.Style) return;
    brush_.Style = s;
    Invalidate();
}
void TShape::SetPenColor(TColor c) {
    if (c == pen_.Color) return;
    pen_.Color = c;
    Invalidate();
}

void TShape::Paint(TCanvas& canvas) {
    canvas.Brush = brush_;
    canvas.Pen = pen_;
    canvas.Rectangle(ClientRect());
}

// --- TWinControl --------------------------------------------------------------------------

TWinControl::~TWinControl() {
    if (!wnd_) return;
    // The window no longer reaches this object while it goes.
    ::SetWindowLongPtrW(wnd_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
    ::SetWindowLongPtrW(wnd_.get(), GWLP_USERDATA, 0);
    wnd_.reset();
}

void TWinControl::CreateHandle(HWND parent) {
    if (wnd_ || !parent) return;
    DWORD style = WindowStyle();
    if (Visible()) style |= WS_VISIBLE;
    if (!Enabled()) style |= WS_DISABLED;
    wnd_.reset(::CreateWindowExW(WindowExStyle(), WindowClass(), L"", style, Left(), Top(), Width(), Height(),
                                 parent, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    if (!wnd_) return;
    ::SetWindowLongPtrW(wnd_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    oldProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        wnd_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::SubclassProc)));
    ApplyFont();
    HandleCreated();
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto* self = reinterpret_cast<TWinControl*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    if (msg == WM_SYSCHAR) {
        // Alt+key: the form's controls come first, as a dialog's mnemonics.
        TForm* form = self->HostForm();
        if (form && form->DialogChar(static_cast<wchar_t>(wp))) return 0;
    }
    return ::CallWindowProcW(self->oldProc_, wnd, msg, wp, lp);
}

bool TWinControl::CanFocus() const {
    if (!wnd_) return false;
    HWND top = ::GetAncestor(wnd_.get(), GA_ROOT);
    return ::IsWindowVisible(wnd_.get()) && ::IsWindowEnabled(wnd_.get()) && top && ::IsWindowEnabled(top);
}

void TWinControl::SetFocus() {
    if (wnd_) ::SetFocus(wnd_.get());
}

bool TWinControl::Focused() const { return wnd_ && ::GetFocus() == wnd_.get(); }

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    if (wnd_)
        ::SetWindowPos(wnd_.get(), nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::EnabledChanged() {
    if (wnd_) ::EnableWindow(wnd_.get(), Enabled());
}

void TWinControl::VisibleChanged() {
    if (wnd_) ::ShowWindow(wnd_.get(), Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::FontChanged() { ApplyFont(); }

void TWinControl::ApplyFont() {
    // The font object owns the GDI font and outlives the window.
    if (wnd_) ::SendMessageW(wnd_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
}

TEdit::TEdit() { SetBounds(0, 0, 121, 21); }

std::wstring TEdit::Text() const {
    if (!Handle()) return text_;
    std::wstring s(static_cast<size_t>(::GetWindowTextLengthW(Handle())) + 1, L'\0');
    s.resize(static_cast<size_t>(::GetWindowTextW(Handle(), s.data(), static_cast<int>(s.size()))));
    return s;
}

void TEdit::SetText(const std::wstring& v) {
    text_ = v;
    if (Handle()) ::SetWindowTextW(Handle(), v.c_str());
}

void TEdit::HandleCreated() { ::SetWindowTextW(Handle(), text_.c_str()); }

}  // namespace promo
