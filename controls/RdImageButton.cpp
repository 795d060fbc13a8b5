#include "controls/RdImageButton.h"

#include <cstdlib>
#include <cstring>

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
    PaintTo(dc.get());
}

void TRdImageButton::RefreshButtonLayout() {
    if (Loading() || measuring_) return;
    MeasuringDc dc;
    if (!dc) return;
    TFlagScope scope(measuring_);
    if (!autoSizeByText_) {
        PaintTo(dc.get());
        return;
    }
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(Font());
    canvas.SetHandle(dc.get());
    const TRect r = ClientRect();
    unsigned flags = 0;
    TRect adjusted;
    TRect t = MeasureCaption(canvas, r, true, flags, &adjusted);
    canvas.SetHandle(nullptr);
    const int w = t.Right + (r.Right - adjusted.Right);
    int minWidth = 0;
    if (showCheckBox_) {
        if (const TPicture* check = CheckPicture()) {
            t.Bottom = std::max(check->Height() + checkOffsetY_, t.Bottom);
            minWidth = check->Width() + checkOffset_;
        }
    }
    const TPicture& icon = IconOf(expand_, TRdIconState::Normal);
    if (iconVisible_ && !icon.Empty()) {
        t.Bottom = std::max(icon.Height() + iconOffsetY_, t.Bottom);
        minWidth = std::max(minWidth, icon.Width() + iconOffset_);
    }
    const TAlign a = Align();
    int newW = std::max(w, minWidth);
    if (a == TAlign::alTop || a == TAlign::alBottom || a == TAlign::alClient || a == TAlign::alCustom)
        newW = Width();
    int newH = textTopOffset_ + t.Bottom;
    if (a == TAlign::alLeft || a == TAlign::alRight || a == TAlign::alClient || a == TAlign::alCustom)
        newH = Height();
    SetBounds(Left(), Top(), newW, newH);
    PaintTo(dc.get());
}

// --- measuring and painting ---------------------------------------------------------------

unsigned TRdImageButton::CaptionFlags() const {
    unsigned f = 0;
    if (!showAccelChar_) f |= DT_NOPREFIX;
    if (wordWrap_)
        f |= DT_WORDBREAK | DT_EDITCONTROL | DT_NOCLIP;
    else
        f |= DT_SINGLELINE | DT_NOCLIP;
    return f;
}

TRect TRdImageButton::IconRect() const {
    if (!iconVisible_) return {};
    const TPicture& icon = const_cast<TRdImageButton*>(this)->IconOf(expand_, TRdIconState::Normal);
    const int w = icon.Width(), h = icon.Height();
    if (w <= 0 || h <= 0) return {};
    int top = 0, left = 0;
    switch (iconAlignY_) {
        case TVerticalAlignment::taAlignTop:
            top = iconOffsetY_;
            break;
        case TVerticalAlignment::taAlignBottom:
            top = Height() - h - iconOffsetY_;
            break;
        default:
            top = (Height() - h) / 2 + iconOffsetY_;
    }
    switch (iconAlign_) {
        case TAlignment::taLeftJustify:
            left = iconOffset_;
            break;
        case TAlignment::taRightJustify:
            left = Width() - w - iconOffset_;
            break;
        default:
            left = (Width() - w) / 2 + iconOffset_;
    }
    return TRect::FromSize(left, top, w, h);
}

bool TRdImageButton::OnIcon(int x, int y) const {
    const TRect r = IconRect();
    return r.Width() > 0 && r.Contains(x, y);
}

TRect TRdImageButton::MeasureCaption(TCanvas& canvas, TRect r, bool withMargins, unsigned& flags,
                                     TRect* adjusted) {
    flags = CaptionFlags();
    const TRect initial = r;
    if (captionAlignment_ == TAlignment::taLeftJustify) r.Left += textOffset_;
    if (captionAlignment_ == TAlignment::taRightJustify) r.Right -= textOffset_;
    if (withMargins) {
        r.Left = std::max(initial.Left + textLeftMargin_, r.Left);
        r.Right = std::min(initial.Right - textRightMargin_, r.Right);
        r.Top += textTopMargin_;
    }
    const TRect icon = IconRect();
    if (icon.Width() > 0) {
        if (iconAlign_ == TAlignment::taLeftJustify)
            r.Left = std::max(icon.Right + (captionAlignment_ == TAlignment::taLeftJustify ? textOffset_ : 0),
                              r.Left);
        else if (iconAlign_ == TAlignment::taRightJustify)
            r.Right = std::min(
                icon.Left - (captionAlignment_ == TAlignment::taRightJustify ? textOffset_ : 0), r.Right);
    }
    if (adjusted) *adjusted = r;
    TRect t = r;
    canvas.DrawText(Caption(), t, flags | DT_CALCRECT);
    return t;
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

    if (!measuring_) {
        if (face) DrawSlicedPicture(canvas.Handle(), *face, client, imageOption_);
        if (!imageRange_.Empty() && !imageOption_.Empty() &&
            (mask_.width != Width() || mask_.height != Height()))
            RebuildMask();
        if (OnPaintImage) OnPaintImage(this);
    }

    // The caption lives in the rectangle its measurement narrowed (by
    // TextOffset and away from the icon), as AutoSizeByText sizes for it.
    unsigned flags = 0;
    TRect r;
    TRect t = MeasureCaption(canvas, client, false, flags, &r);
    const int tw = t.Width(), th = t.Height();
    switch (captionAlignment_) {
        case TAlignment::taLeftJustify:
            t = TRect::FromSize(r.Left, r.Top + (r.Height() - th) / 2, r.Width(), th);
            break;
        case TAlignment::taRightJustify:
            t = TRect::FromSize(std::max(r.Right - tw, r.Left), r.Top + (r.Height() - th) / 2, 0, th);
            t.Right = r.Right;
            break;
        default:
            t = TRect::FromSize(r.Left + (r.Width() - tw) / 2, r.Top + (r.Height() - th) / 2, tw, th);
    }

    const int minLeft = std::max(client.Left + textLeftMargin_, r.Left);
    const int maxRight = std::min(client.Right - textRightMargin_, r.Right);
    const int minTop = std::max(client.Top + textTopMargin_, r.Top);
    // Cut to [minLeft, maxRight]: the height is measured again in that width.
    auto remeasure = [&] {
        TRect m{t.Left, r.Top, t.Right, r.Bottom};
        canvas.DrawText(Caption(), m, flags | DT_CALCRECT);
        const int h = m.Height();
        t.Top = r.Top + (r.Height() - h) / 2;
        t.Bottom = t.Top + h;
    };
    if (t.Left < minLeft) {
        t.Offset(minLeft - t.Left, 0);
        if (t.Right > maxRight) {
            t.Right = maxRight;
            remeasure();
        }
    } else if (t.Right > maxRight) {
        t.Offset(maxRight - t.Right, 0);
        if (t.Left < minLeft) {
            t.Left = minLeft;
            remeasure();
        }
    }
    if (t.Top < minTop) t.Offset(0, minTop - t.Top);

    flags &= ~static_cast<unsigned>(DT_NOCLIP);
    foundEllipsis_ = false;
    bool cutByHeight = false;
    if (wordWrap_ && ellipsisByHeight_) {
        TRect probe = t;
        probe.Offset(0, 1000);
        const int h = canvas.DrawText(Caption(), probe, flags | DT_END_ELLIPSIS);
        if (t.Top + textTopOffset_ + h > Height()) {
            cutByHeight = true;
            int line = canvas.TextHeight(kLineSample);
            if (line == 0) line = std::abs(Font().Height()) + 3;
            auto lines = [&](int top, int bottom) {
                return std::max(1, (std::min(Height(), bottom) - std::max(top, 0)) / line);
            };
            auto centre = [&](int n) {
                t.Top = r.Top + (r.Height() - n * line) / 2;
                t.Bottom = t.Top + n * line;
            };
            centre(lines(t.Top + textTopOffset_, t.Top + textTopOffset_ + h));
            TRect moved = t;
            moved.Offset(0, textTopOffset_);
            if (moved.Bottom > Height() || moved.Top < 0) centre(lines(moved.Top, moved.Bottom));
            if (t.Top < minTop) t.Offset(0, minTop - t.Top);
        }
    }
    t.Offset(0, textTopOffset_);
    canvas.SetTransparentText();
    flags |= AlignmentFlag(textWarpAlign_);

    TRect w = t;
    canvas.DrawText(Caption(), w, flags | DT_END_ELLIPSIS | DT_CALCRECT);
    if (textWarpAlign_ == TAlignment::taRightJustify)
        w.Offset(t.Right - w.Right, 0);
    else if (textWarpAlign_ == TAlignment::taCenter)
        w.Offset(t.Left + (t.Width() - w.Width()) / 2 - w.Left, 0);

    canvas.SetTextColor(colour);
    TRect drawn = t;
    canvas.DrawText(Caption(), drawn, flags | DT_END_ELLIPSIS);

    TRect u = t;
    canvas.DrawText(Caption(), u, ((flags & ~static_cast<unsigned>(DT_WORDBREAK)) | DT_CALCRECT | DT_NOCLIP));
    foundEllipsis_ = cutByHeight || (!wordWrap_ && u.Width() > t.Width());
    foundWordBreak_ = u.Height() < t.Height();

    if (!measuring_) {
        DrawIcon(canvas);
        DrawCheckBox(canvas, w);
        if (OnPaintEnd) OnPaintEnd(this);
    } else if (showCheckBox_) {
        DrawCheckBox(canvas, w);  // keeps the check box's place for the mouse
    }
}

void TRdImageButton::DrawIcon(TCanvas& canvas) {
    const TRect rect = IconRect();
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

const TPicture* TRdImageButton::CheckPicture() {
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

void TRdImageButton::DrawCheckBox(TCanvas& canvas, const TRect& w) {
    checkRect_ = {};
    if (!showCheckBox_) return;
    const TPicture* p = CheckPicture();
    if (!p) return;
    const int pw = p->Width(), ph = p->Height();
    int x = 0, y = 0;
    switch (checkAlignX_) {
        case TAlignment::taLeftJustify:
            x = checkOffset_;
            break;
        case TAlignment::taRightJustify:
            x = Width() - pw - checkOffset_;
            break;
        default:
            x = (Width() - pw) / 2 + checkOffset_;
    }
    switch (checkAlignY_) {
        case TVerticalAlignment::taAlignTop:
            y = w.Top + checkOffsetY_;
            break;
        case TVerticalAlignment::taAlignBottom:
            y = w.Bottom - ph - checkOffsetY_;
            break;
        default:
            y = (Height() - ph) / 2 + checkOffsetY_;
    }
    checkRect_ = TRect::FromSize(x, y, pw, ph);
    if (!measuring_) canvas.Draw(x, y, *p);
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

// --- mouse and hint ----------------------------------------------------------------------------

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
            const bool pressedFace = state_ == TRdButtonState::Down && HasWidth(imageDown_);
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

constexpr int kFocusInset = 3;

// The system's focus rectangle inside the face, clear of its rounded edge;
// never while the button measures itself off-screen.
void TRdImageButton::PaintFocusCue(TCanvas& canvas) {
    if (measuring_ || Width() <= 2 * kFocusInset || Height() <= 2 * kFocusInset) return;
    RECT r{kFocusInset, kFocusInset, Width() - kFocusInset, Height() - kFocusInset};
    ::DrawFocusRect(canvas.Handle(), &r);
}

}  // namespace promo
