#include "controls/RdImageButton.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "controls/CanvasTextMeasure.h"
#include "ui/PictureSets.h"

namespace promo {
namespace {

bool HasWidth(const TPicture& p) { return p.Width() > 0; }
bool HasContent(const TPicture& p) { return !p.Empty(); }

// The picture's pixels turned grey: (28 blue + 151 green + 77 red) shr 8.
std::shared_ptr<const TBitmapImage> Greyed(const TPicture& p) {
    DecodedImage img = p.Graphic()->Image();
    for (auto& px : img.pixels) {
        const unsigned b = px & 0xFF, g = (px >> 8) & 0xFF, r = (px >> 16) & 0xFF;
        const unsigned v = (28 * b + 151 * g + 77 * r) >> 8;
        px = (px & 0xFF000000u) | (v << 16) | (v << 8) | v;
    }
    return std::make_shared<const TBitmapImage>(std::move(img));
}

// The button's canvas on a measuring context, in the button's font, for a
// scope (the canvas keeps the font afterwards, as after a paint).
class MeasuringCanvas {
public:
    MeasuringCanvas(TCanvas& canvas, const TFont& font, HDC dc) : canvas_(canvas) {
        canvas_.Font().Assign(font);
        canvas_.SetHandle(dc);
    }
    ~MeasuringCanvas() { canvas_.SetHandle(nullptr); }
    MeasuringCanvas(const MeasuringCanvas&) = delete;
    MeasuringCanvas& operator=(const MeasuringCanvas&) = delete;

private:
    TCanvas& canvas_;
};

}  // namespace

TRdImageButton::TRdImageButton() {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    subCaptionFont_.OnChange = [this] { Invalidate(); };
    subCaptionDataFont_.OnChange = [this] { Invalidate(); };
    for (TPicture* p : {&imageNormal_, &imageOver_, &imageDown_, &imageDisabled_, &imageSelected_})
        p->OnChange = [this, p] { PictureChanged(p, PictureKind::Face); };
    imageRange_.OnChange = [this] {
        mask_ = DecodedImage{};
        Invalidate();
    };
    expandImage_.OnChange = [this] { PictureChanged(&expandImage_, PictureKind::Expand); };
    for (TPicture* set : {upIcons_, dnIcons_})
        for (int i = 0; i < 5; ++i)
            set[i].OnChange = [this, p = &set[i]] { PictureChanged(p, PictureKind::Icon); };
    for (TPicture* p : {&checkNormal_, &checkChecked_, &checkGrayed_, &checkCheckedGrayed_})
        p->OnChange = [this, p] { PictureChanged(p, PictureKind::Check); };
    imageOption_.OnChange = [this] {
        if (imageOption_.FillDefaults()) imageOption_.SetThirds(imageNormal_.Width(), imageNormal_.Height());
        mask_ = DecodedImage{};
        if (!Loading()) Invalidate();
    };
    // The still empty pictures resolve once, as after loading.
    for (TPicture* p : {&imageNormal_, &imageOver_, &imageDown_, &imageDisabled_, &imageSelected_})
        PictureChanged(p, PictureKind::Face);
}

void TRdImageButton::PictureChanged(TPicture* p, PictureKind kind) {
    if (kind == PictureKind::Face) {
        if (p == &imageNormal_) normalCopy_ = imageNormal_.Graphic();
        if (p == &imageOver_) overCopy_ = imageOver_.Graphic();
        if (AutoSize() && imageNormal_.Width() > 0 && imageNormal_.Height() > 0)
            SetBounds(Left(), Top(), imageNormal_.Width(), imageNormal_.Height());
        if (Loading()) return;
        if (p != &imageDisabled_ || state_ == TRdButtonState::Disabled) Invalidate();
        return;
    }
    if (kind == PictureKind::Icon && !iconVisible_) return;
    if (kind == PictureKind::Check && !showCheckBox_) return;
    if (kind == PictureKind::Expand && !expand_) return;
    RefreshButtonLayout();
    Invalidate();
}

bool TRdImageButton::CanAutoSize(int& width, int& height) {
    if (imageNormal_.Width() <= 0 || imageNormal_.Height() <= 0) return false;
    const TAlign a = Align();
    if (a != TAlign::alTop && a != TAlign::alBottom && a != TAlign::alClient && a != TAlign::alCustom)
        width = imageNormal_.Width();
    if (a != TAlign::alLeft && a != TAlign::alRight && a != TAlign::alClient && a != TAlign::alCustom)
        height = imageNormal_.Height();
    return true;
}

// --- setters -------------------------------------------------------------------------

void TRdImageButton::SetButtonState(TRdButtonState v) {
    if (v == state_) return;
    state_ = v;
    Invalidate();
}

void TRdImageButton::SetHovering(bool v) {
    if (v == hovering_) return;
    hovering_ = v;
    // A held button's pressed face needs hovering: leaving while held must
    // show the normal face again, even without an over picture.
    const bool pressedFace = state_ == TRdButtonState::Down && HasWidth(imageDown_);
    if (!Enabled() || overCopy_ || fontHoverColor_ != clNoOverride || pressedFace) Invalidate();
}

void TRdImageButton::SetIconState(TRdIconState v) {
    if (v == iconState_) return;
    const TRdIconState old = iconState_;
    iconState_ = v;
    if (iconVisible_ && HasContent(IconOf(expand_, old)) &&
        HasContent(IconOf(expand_, TRdIconState::Normal)) && HasContent(IconOf(expand_, v)))
        Invalidate();
}

void TRdImageButton::SetLayoutInt(int& field, int v) {
    if (field == v) return;
    field = v;
    RefreshButtonLayout();
    Invalidate();
}
void TRdImageButton::SetLayoutBool(bool& field, bool v) {
    if (field == v) return;
    field = v;
    RefreshButtonLayout();
    Invalidate();
}
void TRdImageButton::SetRepaintBool(bool& field, bool v) {
    if (field == v) return;
    field = v;
    Invalidate();
}
void TRdImageButton::SetCheckInt(int& field, int v) {
    if (field == v) return;
    field = v;
    if (showCheckBox_) Invalidate();
}

void TRdImageButton::SetButtonCaptionAlignment(TAlignment v) {
    if (v == captionAlignment_) return;
    captionAlignment_ = v;
    RefreshButtonLayout();
    Invalidate();
}
void TRdImageButton::SetTextWarpAlign(TAlignment v) {
    if (v == textWarpAlign_) return;
    textWarpAlign_ = v;
    RefreshButtonLayout();
    Invalidate();
}
void TRdImageButton::SetFontDisabledColor(TColor v) {
    if (v == fontDisabledColor_) return;
    fontDisabledColor_ = v;
    Invalidate();
}
void TRdImageButton::SetFontSelectedColor(TColor v) {
    if (v == fontSelectedColor_) return;
    fontSelectedColor_ = v;
    Invalidate();
}
void TRdImageButton::SetFontAntialiased(bool v) {
    if (v == fontAntialiased_) return;
    fontAntialiased_ = v;
    ApplyAntialias();
    Invalidate();
}
void TRdImageButton::ApplyAntialias() {
    TFlagScope guard(antialiasGuard_);
    Font().SetQuality(fontAntialiased_ ? ANTIALIASED_QUALITY : DEFAULT_QUALITY);
}
void TRdImageButton::SetAutoShowHint(bool v) {
    autoShowHint_ = v;
    SetShowHint(true);
}
void TRdImageButton::SetIconAlign(TAlignment v) {
    if (v == iconAlign_) return;
    iconAlign_ = v;
    RefreshButtonLayout();
    if (iconVisible_) Invalidate();
}
void TRdImageButton::SetIconAlignY(TVerticalAlignment v) {
    if (v == iconAlignY_) return;
    iconAlignY_ = v;
    RefreshButtonLayout();
    if (iconVisible_) Invalidate();
}
void TRdImageButton::SetIconOffset(int v) {
    if (v == iconOffset_) return;
    iconOffset_ = v;
    RefreshButtonLayout();
    if (iconVisible_) Invalidate();
}
void TRdImageButton::SetIconOffsetY(int v) {
    if (v == iconOffsetY_) return;
    iconOffsetY_ = v;
    RefreshButtonLayout();
    if (iconVisible_) Invalidate();
}
void TRdImageButton::SetChecked(bool v) {
    SetCheckState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
}
void TRdImageButton::SetCheckState(TCheckBoxState v) {
    if (v == checkState_) return;
    checkState_ = v;
    if (showCheckBox_) Invalidate();
    if (OnCheckedChanged) OnCheckedChanged(this);
}
void TRdImageButton::SetCheckBoxAlignX(TAlignment v) {
    if (v == checkAlignX_) return;
    checkAlignX_ = v;
    if (showCheckBox_) Invalidate();
}
void TRdImageButton::SetCheckBoxAlignY(TVerticalAlignment v) {
    if (v == checkAlignY_) return;
    checkAlignY_ = v;
    if (showCheckBox_) Invalidate();
}
void TRdImageButton::SetCheckBoxFullClick(bool v) {
    if (v == checkFullClick_) return;
    checkFullClick_ = v;
    if (showCheckBox_) Invalidate();
}
void TRdImageButton::SetAutoSizeByText(bool v) {
    if (v == autoSizeByText_) return;
    autoSizeByText_ = v;
    RefreshButtonLayout();
}
void TRdImageButton::SetSubCaption(const std::wstring& v) {
    if (v == subCaption_) return;
    subCaption_ = v;
    Invalidate();
}
void TRdImageButton::SetSubCaptionData(const std::wstring& v) {
    if (v == subCaptionData_) return;
    subCaptionData_ = v;
    Invalidate();
}
void TRdImageButton::SetSubCaptionOffset(int v) {
    if (v == subCaptionOffset_) return;
    subCaptionOffset_ = v;
    Invalidate();
}

// --- notifications --------------------------------------------------------------------

void TRdImageButton::TextChanged() {
    RefreshButtonLayout();
    if (OnCaptionChanged) OnCaptionChanged(this);
    Invalidate();
}

void TRdImageButton::FontChanged() {
    TControl::FontChanged();
    if (fontAntialiased_ && !antialiasGuard_) ApplyAntialias();
    RefreshButtonLayout();
}

void TRdImageButton::EnabledChanged() {
    SetButtonState(Enabled() ? TRdButtonState::Normal : TRdButtonState::Disabled);
    TControl::EnabledChanged();
}

void TRdImageButton::KeepDesign() {
    TControl::KeepDesign();
    const int slices[4] = {imageOption_.Left(), imageOption_.Top(), imageOption_.Right(),
                           imageOption_.Bottom()};
    std::copy(std::begin(slices), std::end(slices), designSlices_);
    designTextMargins_[0] = textLeftMargin_;
    designTextMargins_[1] = textRightMargin_;
    designTextMargins_[2] = textTopMargin_;
}

std::vector<TPicture*> TRdImageButton::PictureProperties() {
    std::vector<TPicture*> list = {&imageNormal_,   &imageOver_,   &imageDown_,         &imageDisabled_,
                                   &imageSelected_, &imageRange_,  &expandImage_,       &checkNormal_,
                                   &checkChecked_,  &checkGrayed_, &checkCheckedGrayed_};
    for (TPicture* set : {upIcons_, dnIcons_})
        for (int i = 0; i < 5; ++i) list.push_back(&set[i]);
    return list;
}

void TRdImageButton::ScaleTo(int dpi, const TPictureSource& pictures) {
    EnsureDesignKept();
    // The margins first: the pictures at the new size are sliced by them.
    for (int i = 0; i < 4; ++i) imageOption_.SetMargin(i, ScaleLength(designSlices_[i], dpi));
    SetTextLeftMargin(ScaleLength(designTextMargins_[0], dpi));
    SetTextRightMargin(ScaleLength(designTextMargins_[1], dpi));
    SetTextTopMargin(ScaleLength(designTextMargins_[2], dpi));
    TControl::ScaleTo(dpi, pictures);
    mask_ = DecodedImage{};  // the hit-test mask is sliced again at the new size
}

void TRdImageButton::Loaded() {
    TControl::Loaded();
    RefreshButtonLayout();
    skinLink_.Name = Name + L"_skinlink_";
    Invalidate();
    for (TPicture* p : {&imageNormal_, &imageOver_, &imageDown_, &imageDisabled_, &imageSelected_})
        PictureChanged(p, PictureKind::Face);
    for (TPicture* set : {upIcons_, dnIcons_})
        for (int i = 0; i < 5; ++i) PictureChanged(&set[i], PictureKind::Icon);
    for (TPicture* p : {&checkNormal_, &checkChecked_, &checkGrayed_, &checkCheckedGrayed_})
        PictureChanged(p, PictureKind::Check);
}

void TRdImageButton::Resize() {
    if (Loading() || measuring_) return;
    MeasuringDc dc;
    if (!dc) return;
    TFlagScope scope(measuring_);
    PlaceCaptionOn(dc.get());
}

void TRdImageButton::RefreshButtonLayout() {
    if (Loading() || measuring_) return;
    MeasuringDc dc;
    if (!dc) return;
    TFlagScope scope(measuring_);
    if (autoSizeByText_) {
        TButtonSize size;
        {
            MeasuringCanvas canvas(Canvas(), Font(), dc.get());
            TCanvasTextMeasure measure(Canvas());
            size = FitButtonToCaption(CaptionSettings(), measure);
        }
        const TAlign a = Align();
        if (a == TAlign::alTop || a == TAlign::alBottom || a == TAlign::alClient || a == TAlign::alCustom)
            size.Width = Width();
        if (a == TAlign::alLeft || a == TAlign::alRight || a == TAlign::alClient || a == TAlign::alCustom)
            size.Height = Height();
        SetBounds(Left(), Top(), size.Width, size.Height);
    }
    PlaceCaptionOn(dc.get());
}

void TRdImageButton::PlaceCaptionOn(HDC dc) {
    MeasuringCanvas canvas(Canvas(), Font(), dc);
    TCanvasTextMeasure measure(Canvas());
    KeepPlacement(PlaceCaption(CaptionSettings(), measure));
}

void TRdImageButton::KeepPlacement(const TCaptionPlacement& placed) {
    foundEllipsis_ = placed.Ellipsis;
    foundWordBreak_ = placed.WordBreak;
    checkRect_ = placed.CheckBox;  // for the mouse
}

// --- measuring and painting ---------------------------------------------------------------

TPicturePlace TRdImageButton::IconPlace() const {
    TPicturePlace place{0, 0, iconAlign_, iconAlignY_, iconOffset_, iconOffsetY_};
    const TPicture& icon = (expand_ ? upIcons_ : dnIcons_)[static_cast<int>(TRdIconState::Normal)];
    if (iconVisible_) {
        place.Width = icon.Width();
        place.Height = icon.Height();
    }
    return place;
}

TButtonCaption TRdImageButton::CaptionSettings() const {
    TButtonCaption c;
    c.Width = Width();
    c.Height = Height();
    c.Text = Caption();
    c.Alignment = captionAlignment_;
    c.TextOffset = textOffset_;
    c.TextTopOffset = textTopOffset_;
    c.TextLeftMargin = textLeftMargin_;
    c.TextRightMargin = textRightMargin_;
    c.TextTopMargin = textTopMargin_;
    c.TextWarpAlign = textWarpAlign_;
    c.WordWrap = wordWrap_;
    c.EllipsisByHeight = ellipsisByHeight_;
    c.ShowAccelChar = showAccelChar_;
    c.Icon = IconPlace();
    c.CheckBox = {0, 0, checkAlignX_, checkAlignY_, checkOffset_, checkOffsetY_};
    if (showCheckBox_) {
        if (const TPicture* check = CheckPicture()) {
            c.CheckBox.Width = check->Width();
            c.CheckBox.Height = check->Height();
        }
    }
    return c;
}

TRect TRdImageButton::IconRect() const { return PlacePicture(IconPlace(), Width(), Height(), 0, Height()); }

bool TRdImageButton::OnIcon(int x, int y) const {
    const TRect r = IconRect();
    return r.Width() > 0 && r.Contains(x, y);
}

void TRdImageButton::Paint(TCanvas& canvas) {
    const TRect client = ClientRect();
    // Face, first match.
    std::shared_ptr<const TBitmapImage> face;
    if (state_ == TRdButtonState::Down && hovering_ && HasWidth(imageDown_))
        face = imageDown_.Graphic();
    else if (hovering_ && overCopy_ && overCopy_->Width() > 0 && Enabled() &&
             state_ != TRdButtonState::Selected)
        face = overCopy_;
    else if (state_ == TRdButtonState::Disabled && HasWidth(imageDisabled_))
        face = imageDisabled_.Graphic();
    else if (state_ == TRdButtonState::Selected && HasWidth(imageSelected_))
        face = imageSelected_.Graphic();
    else if (expand_ && HasWidth(expandImage_))
        face = expandImage_.Graphic();
    else
        face = normalCopy_;

    TColor colour = Font().Color();
    TColor over = clNoOverride;
    if (state_ == TRdButtonState::Normal && hovering_) over = fontHoverColor_;
    if (state_ == TRdButtonState::Down) over = fontDownColor_;
    if (state_ == TRdButtonState::Disabled) over = fontDisabledColor_;
    if (state_ == TRdButtonState::Selected) over = fontSelectedColor_;
    if (over != clNoOverride) colour = over;

    if (face) DrawSlicedPicture(canvas.Handle(), *face, client, imageOption_);
    if (!imageRange_.Empty() && !imageOption_.Empty() && (mask_.width != Width() || mask_.height != Height()))
        RebuildMask();
    if (OnPaintImage) OnPaintImage(this);

    TCanvasTextMeasure measure(canvas);
    const TCaptionPlacement placed = PlaceCaption(CaptionSettings(), measure);
    KeepPlacement(placed);
    canvas.SetTransparentText();
    canvas.SetTextColor(colour);
    TRect drawn = placed.Text;
    canvas.DrawText(Caption(), drawn, DrawTextFlags(placed.Format));

    DrawIcon(canvas, placed.Icon);
    if (!checkRect_.Empty()) canvas.Draw(checkRect_.Left, checkRect_.Top, *CheckPicture());
    if (OnPaintEnd) OnPaintEnd(this);
}

void TRdImageButton::DrawIcon(TCanvas& canvas, const TRect& rect) {
    if (rect.Width() <= 0) return;
    const TPicture& base = IconOf(expand_, TRdIconState::Normal);
    TPicture icon;
    if (!Enabled()) {
        const TPicture& disabled = IconOf(expand_, TRdIconState::Disabled);
        if (!disabled.Empty())
            icon.Assign(disabled);
        else if (!base.Empty())
            icon.SetGraphic(Greyed(base));
    } else {
        const TPicture& current = IconOf(expand_, iconState_);
        icon.Assign(current.Empty() ? base : current);
    }
    canvas.StretchDraw(rect, icon);
}

const TPicture* TRdImageButton::CheckPicture() const {
    const bool disabled = !Enabled();
    const TPicture* p = nullptr;
    switch (checkState_) {
        case TCheckBoxState::cbUnchecked:
            p = disabled && !checkGrayed_.Empty() ? &checkGrayed_ : &checkNormal_;
            break;
        case TCheckBoxState::cbChecked:
            p = disabled && !checkCheckedGrayed_.Empty() ? &checkCheckedGrayed_ : &checkChecked_;
            break;
        case TCheckBoxState::cbGrayed:
            p = !checkGrayed_.Empty() ? &checkGrayed_ : &checkNormal_;
            break;
    }
    return p && !p->Empty() ? p : nullptr;
}

void TRdImageButton::RebuildMask() {
    mask_ = DecodedImage{};
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0 || imageRange_.Empty()) return;
    void* bits = nullptr;
    UniqueGdiObject bmp = CreateTopDownDib(w, h, &bits);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!bmp || !dc) return;
    {
        ScopedSelectObject sel(dc.get(), bmp.get());
        std::memset(bits, 0, static_cast<size_t>(w) * h * 4);  // black
        DrawSlicedPicture(dc.get(), imageRange_, ClientRect(), imageOption_);
        ::GdiFlush();
    }
    mask_.width = w;
    mask_.height = h;
    mask_.hasAlpha = imageRange_.HasAlpha();
    mask_.pixels.assign(static_cast<const std::uint32_t*>(bits),
                        static_cast<const std::uint32_t*>(bits) + w * h);
}

constexpr int kFocusInset = 3;

// The system's focus rectangle inside the face, clear of its rounded edge.
void TRdImageButton::PaintFocusCue(TCanvas& canvas) {
    if (Width() <= 2 * kFocusInset || Height() <= 2 * kFocusInset) return;
    RECT r{kFocusInset, kFocusInset, Width() - kFocusInset, Height() - kFocusInset};
    ::DrawFocusRect(canvas.Handle(), &r);
}

}  // namespace promo
