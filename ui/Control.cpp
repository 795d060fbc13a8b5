#include "ui/Control.h"

#include "ui/Form.h"

namespace promo {

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

void TControl::EndLoading() {
    loading_ = false;
    Loaded();
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
    canvas_.SetHandle(nullptr);
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

}  // namespace promo
