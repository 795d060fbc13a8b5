// The skinned label: fits a text into its width with automatic sizing, word
// wrapping (breaking long words between characters), an ellipsis also on the
// last of several lines, and FoundTextEllipsis telling whether it was cut (for
// showing the whole text as a hint). Hover, pressed and disabled text colours,
// a sliced background picture and inner text margins.
#pragma once

#include <functional>
#include <string>

#include "controls/RdScrollBar.h"
#include "ui/Control.h"

namespace promo {

enum class TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// Receives the hint text and the can-show flag by reference.
using THintEvent = std::function<void(TControl* sender, std::wstring& hint, bool& canShow)>;

// Drag and dock: published and stored so that a window description may name
// them; nothing in this program drags or docks a label, so none is raised.
enum class TDragKind { dkDrag, dkDock };
enum class TDragMode { dmManual, dmAutomatic };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
inline constexpr TCursor crDrag = -12;
using TDragDropEvent = std::function<void(TControl* sender, TComponent* source, int x, int y)>;
using TDragOverEvent =
    std::function<void(TControl* sender, TComponent* source, int x, int y, TDragState state, bool& accept)>;
// Also the end-of-dock event.
using TEndDragEvent = std::function<void(TControl* sender, TComponent* target, int x, int y)>;
// Also the start-of-dock event: the handler may supply the object dragged.
using TStartDragEvent = std::function<void(TControl* sender, TComponent*& dragObject)>;

// The sample whose height is one line of text: a grave accent and "ghj_".
inline constexpr wchar_t kLineSample[] = L"\x0060ghj_";

unsigned EllipsisFlag(TEllipsisPosition p);
unsigned AlignmentFlag(TAlignment a);

class TRdCustomLabel : public TControl {
public:
    TRdCustomLabel();

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    void SetAutoSize(bool v) override;
    bool AutoShowHint() const { return autoShowHint_; }
    void SetAutoShowHint(bool v);
    TPicture& Background() { return background_; }
    TDesignRect& BackgroundOption() { return backgroundOption_; }
    TEllipsisPosition EllipsisPosition() const { return ellipsis_; }
    void SetEllipsisPosition(TEllipsisPosition v);
    // Takes the focus when the caption's accelerator is typed (Alt+key);
    // cleared when that control is destroyed.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* v);
    TColor FontHoverColor() const { return fontHoverColor_; }
    void SetFontHoverColor(TColor v) { fontHoverColor_ = v; }
    TColor FontDownColor() const { return fontDownColor_; }
    void SetFontDownColor(TColor v) { fontDownColor_ = v; }
    TColor FontDisabledColor() const { return fontDisabledColor_; }
    void SetFontDisabledColor(TColor v);
    bool FontAntialiased() const { return fontAntialiased_; }
    void SetFontAntialiased(bool v);
    int GlowSize() const { return glowSize_; }
    void SetGlowSize(int v);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    TDesignRect& TextBorder() { return textBorder_; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool WrapChar() const { return wrapChar_; }
    void SetWrapChar(bool v);

    bool FoundTextEllipsis() const { return foundEllipsis_; }
    bool FoundTextWordBreak() const { return foundWordBreak_; }

    TCursor DragCursor = crDrag;
    TDragKind DragKind = TDragKind::dkDrag;
    TDragMode DragMode = TDragMode::dmManual;
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDock;
    TEndDragEvent OnEndDrag;
    TStartDragEvent OnStartDock;
    TStartDragEvent OnStartDrag;

    TNotifyEvent OnPaintImage;
    TNotifyEvent OnPaintEnd;
    THintEvent OnShowHint;

    // Resizes the control to its text.
    virtual void AutoFitBounds();
    // Measures (DT_CALCRECT in flags) or draws the text into rect.
    virtual void DrawLabelText(TCanvas& canvas, TRect& rect, unsigned flags);
    // The text to draw: the caption.
    virtual std::wstring LabelText() { return Caption(); }

    bool DoShowHint(std::wstring& hint) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DialogChar(wchar_t c) override;

protected:
    void Notification(TComponent* component, TOperation op) override;
    void Paint(TCanvas& canvas) override;
    void Loaded() override;
    void Resize() override;
    void FontChanged() override;
    void TextChanged() override;
    unsigned BaseFlags() const;
    bool Measuring() const { return measuring_; }

private:
    void ApplyAntialias();
    void BackgroundChanged();
    void RepaintForColour(TColor c);
    void MeasureFlags();

    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool autoShowHint_ = false;
    TPicture background_;
    TDesignRect backgroundOption_;
    TEllipsisPosition ellipsis_ = TEllipsisPosition::epNone;
    TWinControl* focusControl_ = nullptr;
    TColor fontHoverColor_ = clNoOverride;
    TColor fontDownColor_ = clNoOverride;
    TColor fontDisabledColor_ = clGrayText;
    bool fontAntialiased_ = false;
    int glowSize_ = 0;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool showAccelChar_ = true;
    TDesignRect textBorder_;
    bool transparent_ = true;
    bool wordWrap_ = false;
    bool wrapChar_ = true;

    bool foundEllipsis_ = false;
    bool foundWordBreak_ = false;
    bool measuring_ = false;
    bool hovering_ = false;
    bool pressed_ = false;
    bool antialiasGuard_ = false;
};

class TRdLabel : public TRdCustomLabel {
public:
    TAccessibleRole AccessibleRole() const override { return TAccessibleRole::StaticText; }
};

// Sets a flag for a scope (cleared on every path).
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace promo
