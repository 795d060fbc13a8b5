#include "controls/RdLabel.h"

#include <cstdlib>

namespace promo {

unsigned EllipsisFlag(TEllipsisPosition p) {
    switch (p) {
        case TEllipsisPosition::epPathEllipsis:
            return DT_PATH_ELLIPSIS;
        case TEllipsisPosition::epEndEllipsis:
            return DT_END_ELLIPSIS;
        case TEllipsisPosition::epWordEllipsis:
            return DT_WORD_ELLIPSIS;
        default:
            return 0;
    }
}

unsigned AlignmentFlag(TAlignment a) {
    switch (a) {
        case TAlignment::taRightJustify:
            return DT_RIGHT;
        case TAlignment::taCenter:
            return DT_CENTER;
        default:
            return DT_LEFT;
    }
}

TRdCustomLabel::TRdCustomLabel() {
    SetBounds(0, 0, 65, 17);
    SetAutoSizeField(true);
    textBorder_.OnChange = [this] {
        AutoFitBounds();
        Invalidate();
    };
    background_.OnChange = [this] { BackgroundChanged(); };
    backgroundOption_.OnChange = [this] { BackgroundChanged(); };
}

void TRdCustomLabel::BackgroundChanged() {
    if (backgroundOption_.FillDefaults())
        backgroundOption_.SetThirds(background_.Width(), background_.Height());
    if (!Loading()) Invalidate();
}

unsigned TRdCustomLabel::BaseFlags() const {
    unsigned f = DT_EXPANDTABS | AlignmentFlag(alignment_);
    if (wordWrap_) f |= DT_WORDBREAK;
    if (wrapChar_) f |= DT_EDITCONTROL;
    return f;
}

void TRdCustomLabel::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Invalidate();
}

void TRdCustomLabel::SetAutoSize(bool v) {
    if (v == AutoSize()) return;
    SetAutoSizeField(v);
    ellipsis_ = TEllipsisPosition::epNone;
    if (v) AutoFitBounds();
}

void TRdCustomLabel::SetAutoShowHint(bool v) {
    autoShowHint_ = v;
    SetShowHint(true);
}

void TRdCustomLabel::SetEllipsisPosition(TEllipsisPosition v) {
    if (v == ellipsis_) return;
    ellipsis_ = v;
    SetAutoSizeField(false);
    Invalidate();
}

void TRdCustomLabel::SetFocusControl(TWinControl* v) {
    if (v == focusControl_) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = v;
    if (v) v->FreeNotification(this);
}

void TRdCustomLabel::Notification(TComponent* component, TOperation op) {
    TControl::Notification(component, op);
    if (op == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

bool TRdCustomLabel::DialogChar(wchar_t c) {
    if (!focusControl_ || !Enabled() || !showAccelChar_ || !IsAccel(c, Caption())) return false;
    if (!focusControl_->CanFocus()) return false;
    focusControl_->SetFocus();
    return true;
}

void TRdCustomLabel::SetFontDisabledColor(TColor v) {
    if (v == fontDisabledColor_) return;
    fontDisabledColor_ = v;
    Invalidate();
}

void TRdCustomLabel::SetFontAntialiased(bool v) {
    if (v == fontAntialiased_) return;
    fontAntialiased_ = v;
    ApplyAntialias();
    Invalidate();
}

void TRdCustomLabel::ApplyAntialias() {
    TFlagScope guard(antialiasGuard_);
    Font().SetQuality(fontAntialiased_ ? ANTIALIASED_QUALITY : DEFAULT_QUALITY);
}

void TRdCustomLabel::SetGlowSize(int v) {
    if (v == glowSize_) return;
    glowSize_ = v;
    Invalidate();
}

void TRdCustomLabel::SetLayout(TTextLayout v) {
    if (v == layout_) return;
    layout_ = v;
    Invalidate();
}

void TRdCustomLabel::SetShowAccelChar(bool v) {
    if (v == showAccelChar_) return;
    showAccelChar_ = v;
    Invalidate();
}

void TRdCustomLabel::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    SetOpaque(!v);
    Invalidate();
}

void TRdCustomLabel::SetWordWrap(bool v) {
    if (v == wordWrap_) return;
    wordWrap_ = v;
    AutoFitBounds();
    Invalidate();
}

void TRdCustomLabel::SetWrapChar(bool v) {
    if (v == wrapChar_) return;
    wrapChar_ = v;
    AutoFitBounds();
    Invalidate();
}

void TRdCustomLabel::FontChanged() {
    TControl::FontChanged();
    if (fontAntialiased_ && !antialiasGuard_) ApplyAntialias();
    AutoFitBounds();
}

void TRdCustomLabel::TextChanged() {
    Invalidate();
    AutoFitBounds();
}

void TRdCustomLabel::Loaded() {
    TControl::Loaded();
    AutoFitBounds();
}

void TRdCustomLabel::MeasureFlags() {
    MeasuringDc dc;
    if (!dc) return;
    TFlagScope scope(measuring_);
    PaintTo(dc.get());
}

void TRdCustomLabel::Resize() {
    if (Loading() || measuring_) return;
    if (AutoSize() || wordWrap_ || ellipsis_ != TEllipsisPosition::epNone) MeasureFlags();
}

void TRdCustomLabel::Paint(TCanvas& canvas) {
    TRect r = ClientRect();
    if (!measuring_) {
        if (!transparent_) {
            canvas.Brush.Color = Color();
            canvas.Brush.Style = TBrushStyle::bsSolid;
            canvas.FillRect(r);
        }
        DrawSlicedPicture(canvas, background_, r, backgroundOption_);
        if (OnPaintImage) OnPaintImage(this);
    }
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.SetTransparentText();
    unsigned flags = BaseFlags();
    const TDesignRect& b = textBorder_;
    if (layout_ != TTextLayout::tlTop) {
        TRect m{r.Left, r.Top, r.Right - (b.Right() + b.Left()), r.Bottom - (b.Bottom() + b.Top())};
        DrawLabelText(canvas, m, flags | DT_CALCRECT | DT_NOCLIP);
        if (layout_ == TTextLayout::tlBottom) {
            r.Top = r.Bottom - m.Height();
            r.Offset(0, -b.Bottom());
        } else {
            r.Top += b.Top();
            r.Bottom -= b.Bottom();
            r.Offset(0, (r.Height() - m.Height()) / 2);
            r.Bottom = r.Top + m.Height();
        }
    } else {
        r.Top += b.Top();
        r.Bottom -= b.Bottom();
    }
    r.Right -= b.Right();
    r.Left += b.Left();
    if (wrapChar_ && ellipsis_ == TEllipsisPosition::epNone) flags |= DT_NOCLIP;
    foundEllipsis_ = false;
    foundWordBreak_ = false;
    DrawLabelText(canvas, r, flags);
    if (!measuring_ && OnPaintEnd) OnPaintEnd(this);
}

void TRdCustomLabel::DrawLabelText(TCanvas& canvas, TRect& rect, unsigned flags) {
    std::wstring text = LabelText();
    const bool calc = (flags & DT_CALCRECT) != 0;
    if (calc && (text.empty() || (showAccelChar_ && text == L"&"))) text += L' ';
    if (text.empty()) return;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    flags = DrawTextBiDiModeFlags(flags);
    canvas.Font().Assign(Font());
    const unsigned ellipsisFlag = EllipsisFlag(ellipsis_);
    if (ellipsis_ != TEllipsisPosition::epNone && !AutoSize()) {
        if (!calc) foundEllipsis_ = true;
        flags &= ~static_cast<unsigned>(DT_EXPANDTABS);
        flags |= ellipsisFlag;
        if (wordWrap_ && (ellipsis_ == TEllipsisPosition::epEndEllipsis ||
                          ellipsis_ == TEllipsisPosition::epWordEllipsis)) {
            // The height the drawn text takes, learnt where nothing shows.
            TRect probe = rect;
            probe.Offset(0, 1000);
            int h = canvas.DrawText(text, probe, flags & ~static_cast<unsigned>(DT_NOCLIP | DT_CALCRECT));
            if (rect.Height() < h) {
                int line = canvas.TextHeight(kLineSample);
                if (line == 0) line = std::abs(Font().Height()) + 3;
                const int n = std::max(1, rect.Height() / line);
                h = n * line;
                rect.Bottom = rect.Top + h;  // whole lines only
            }
            if (calc) {
                canvas.DrawText(text, rect, flags);
                rect.Bottom = rect.Top + h;
                return;
            }
        }
    }
    TColor colour = Font().Color();
    if (!Enabled())
        colour = fontDisabledColor_;
    else if (pressed_ && fontDownColor_ != clNoOverride)
        colour = fontDownColor_;
    else if (hovering_ && fontHoverColor_ != clNoOverride)
        colour = fontHoverColor_;
    canvas.SetTextColor(colour);
    canvas.DrawText(text, rect, flags);
    const unsigned measure = (flags | DT_CALCRECT | DT_NOCLIP) & ~ellipsisFlag;
    if (foundEllipsis_) {
        TRect m = rect;
        canvas.DrawText(text, m, measure);
        foundEllipsis_ = m.Width() > rect.Width() || m.Height() > rect.Height();
    }
    if (wordWrap_) {
        // Wrapped when the text needs more lines wrapped than unwrapped. (The
        // unwrapped height against the rectangle's would almost never be
        // larger: the rectangle was made to hold the wrapped lines.)
        TRect oneLine = rect;
        canvas.DrawText(text, oneLine, measure & ~static_cast<unsigned>(DT_WORDBREAK));
        TRect wrapped = rect;
        canvas.DrawText(text, wrapped, measure);
        foundWordBreak_ = oneLine.Height() < wrapped.Height();
    }
}

void TRdCustomLabel::AutoFitBounds() {
    if (Loading() || measuring_) return;
    if (!AutoSize() && !wordWrap_ && ellipsis_ == TEllipsisPosition::epNone) return;
    const TDesignRect& b = textBorder_;
    TRect r = TRect::FromSize(0, 0, Width() - (b.Right() + b.Left()), Height() - (b.Bottom() + b.Top()));
    MeasuringDc dc;
    if (!dc) return;
    TFlagScope scope(measuring_);
    if (!AutoSize()) {
        PaintTo(dc.get());
        return;
    }
    {
        TCanvas canvas;
        canvas.Font().Assign(Font());
        canvas.SetHandle(dc.get());
        unsigned flags = DT_CALCRECT | DT_EXPANDTABS | AlignmentFlag(alignment_);
        if (wordWrap_) flags |= DT_WORDBREAK;
        if (wrapChar_) flags |= DT_EDITCONTROL;
        DrawLabelText(canvas, r, flags);
    }
    const int w = b.Left() + r.Right + b.Right();
    const int h = b.Top() + r.Bottom + b.Bottom();
    const TSizeLimits& lim = Constraints().Limits();
    // Keeps the far edge where it is: x (or y) moves by the size change as
    // the constraints will allow it.
    auto keepFarEdge = [](int pos, int cur, int want, int mn, int mx) {
        if (cur > 0 && cur == mx && cur == mn) return pos;
        if (mn != 0 && want < mn) return pos + cur - mn;
        if (mx != 0 && want > mx) return pos + cur - mx;
        return pos + cur - want;
    };
    int x = Left();
    if (EffectiveAlignment(alignment_) == TAlignment::taRightJustify)
        x = keepFarEdge(x, Width(), w, lim.MinWidth, lim.MaxWidth);
    int y = Top();
    if (layout_ == TTextLayout::tlCenter) {
        int hh = r.Height();
        if (lim.MinHeight != 0 && hh < lim.MinHeight) hh = lim.MinHeight;
        if (lim.MaxHeight != 0 && hh > lim.MaxHeight) hh = lim.MaxHeight;
        y += (Height() - hh - b.Top() - b.Bottom()) / 2;
    } else if (layout_ == TTextLayout::tlBottom) {
        y = keepFarEdge(y, Height(), h, lim.MinHeight, lim.MaxHeight);
    }
    SetBounds(x, y, w, h);
    if (ellipsis_ != TEllipsisPosition::epNone || wordWrap_) PaintTo(dc.get());
}

bool TRdCustomLabel::DoShowHint(std::wstring& hint) {
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

void TRdCustomLabel::RepaintForColour(TColor c) {
    if (c != clNoOverride && c != Font().Color()) Invalidate();
}

void TRdCustomLabel::MouseEnter() {
    hovering_ = true;
    RepaintForColour(fontHoverColor_);
    TControl::MouseEnter();
}

void TRdCustomLabel::MouseLeave() {
    hovering_ = false;
    RepaintForColour(fontHoverColor_);
    TControl::MouseLeave();
}

void TRdCustomLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && !pressed_) {
        pressed_ = true;
        RepaintForColour(fontDownColor_);
    }
    TControl::MouseDown(button, shift, x, y);
}

void TRdCustomLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (pressed_) {
        pressed_ = false;
        RepaintForColour(fontDownColor_);
    }
    TControl::MouseUp(button, shift, x, y);
}

}  // namespace promo
