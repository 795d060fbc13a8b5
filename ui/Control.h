// The windowless control base: a control without a native window that paints
// on its form's canvas. Position and size with constraints, alignment and
// anchors, font (or the parent's), colour, enabled and visible state, hint,
// caption, the loading state with Loaded afterwards, mouse events, and
// repainting on request. Also the picture control base with TImage, and the
// rectangle shape TShape.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "ui/Geometry.h"
#include "ui/Graphics.h"

namespace promo {

class TControl;
class TForm;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
enum class TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
// Modifier keys and mouse buttons held, as the message's wParam (MK_*).
using TShiftState = unsigned;

using TNotifyEvent = std::function<void(TControl* sender)>;
using TMouseEvent =
    std::function<void(TControl* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl* sender, TShiftState shift, int x, int y)>;

// MinWidth/MaxWidth/MinHeight/MaxHeight (0 = no limit). A change re-applies
// them to the owner's current size at once.
class TSizeConstraints {
public:
    int MinWidth() const { return limits_.MinWidth; }
    int MaxWidth() const { return limits_.MaxWidth; }
    int MinHeight() const { return limits_.MinHeight; }
    int MaxHeight() const { return limits_.MaxHeight; }
    void SetMinWidth(int v) { Set(limits_.MinWidth, v); }
    void SetMaxWidth(int v) { Set(limits_.MaxWidth, v); }
    void SetMinHeight(int v) { Set(limits_.MinHeight, v); }
    void SetMaxHeight(int v) { Set(limits_.MaxHeight, v); }
    const TSizeLimits& Limits() const { return limits_; }

    std::function<void()> OnChange;

private:
    void Set(int& field, int v) {
        if (v < 0) v = 0;
        if (field == v) return;
        field = v;
        if (OnChange) OnChange();
    }
    TSizeLimits limits_;
};

class TControl {
public:
    TControl();
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    std::wstring Name;

    // The form that hosts this control (nullptr for a form or a free control).
    TControl* Parent() const { return parent_; }
    void SetParent(TControl* parent);
    virtual TForm* HostForm();

    // Bounds. SetBounds clamps the size by Constraints; a change repaints the
    // old and the new area and runs Resize.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TRect BoundsRect() const { return TRect::FromSize(left_, top_, width_, height_); }
    TRect ClientRect() const { return TRect::FromSize(0, 0, width_, height_); }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    TSizeConstraints& Constraints() { return constraints_; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign v);
    unsigned Anchors() const { return anchors_; }
    void SetAnchors(unsigned v) { anchors_ = v; }

    // AutoSize: when on, the control asks CanAutoSize for its size.
    bool AutoSize() const { return autoSize_; }
    virtual void SetAutoSize(bool v);

    TFont& Font() { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);

    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& v) { hint_ = v; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);
    // ShowHint as it applies (the parent's while ParentShowHint).
    bool EffectiveShowHint() const;

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& v);

    // Loading state: set while the form is read from its description.
    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    // Clears the loading state and runs Loaded.
    void EndLoading();

    // Asks the host to repaint the control's area.
    void Invalidate();
    // Paints into the given context with (0, 0) at the control's top left.
    void PaintTo(HDC dc);
    TCanvas& Canvas() { return canvas_; }

    // Mouse input from the host (client coordinates of the control).
    virtual bool HitTest(int x, int y);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The hint about to be shown; false (or an empty text) shows none.
    virtual bool DoShowHint(std::wstring& hintText);

    // Opaque controls fill their whole rectangle (no need to paint beneath).
    bool Opaque() const { return opaque_; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;  // the base's enter/leave events
    TNotifyEvent OnMouseLeave;

    // Names of the handlers bound from the description, by event property.
    std::map<std::wstring, std::wstring> HandlerNames;

    // The parent's font changed (ParentFont) or the parent's colour.
    void ParentFontChanged();
    void ParentColorChanged();

protected:
    virtual void Paint(TCanvas& canvas);
    virtual void Loaded();
    virtual void Resize() {}
    virtual void FontChanged();
    virtual void EnabledChanged();
    virtual void TextChanged();
    virtual void ColorChanged() { Invalidate(); }
    // Proposes a size for AutoSize; false leaves the size alone.
    virtual bool CanAutoSize(int& width, int& height);
    void AdjustSize();
    void SetOpaque(bool v) { opaque_ = v; }
    // Stores AutoSize without re-fitting (a setter that turns it off).
    void SetAutoSizeField(bool v) { autoSize_ = v; }

public:
    bool MouseCaptured() const { return mouseCaptured_; }

protected:
private:
    friend class TForm;
    void ApplyConstraints();
    void RequestAlign();

    TControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TSizeConstraints constraints_;
    TAlign align_ = TAlign::alNone;
    unsigned anchors_ = akLeft | akTop;
    bool autoSize_ = false;
    TFont font_;
    bool parentFont_ = true;
    bool settingParentFont_ = false;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    std::wstring hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    std::wstring caption_;
    bool loading_ = false;
    bool opaque_ = false;
    bool mouseCaptured_ = false;
    TCanvas canvas_;
};

// A control that draws a picture at its top left; AutoSize takes the
// picture's size whenever the picture changes.
class TCustomImage : public TControl {
public:
    TCustomImage();
    TPicture& Picture() { return picture_; }
    void SetPicture(const TPicture& p) { picture_.Assign(p); }

protected:
    void Paint(TCanvas& canvas) override;
    bool CanAutoSize(int& width, int& height) override;
    virtual void PictureChanged();

private:
    TPicture picture_;
};

class TImage : public TCustomImage {};

// A rectangle with a 1-pixel frame in the pen colour, filled with the brush.
class TShape : public TControl {
public:
    TShape();
    TColor BrushColor() const { return brush_.Color; }
    void SetBrushColor(TColor c);
    TBrushStyle BrushStyle() const { return brush_.Style; }
    void SetBrushStyle(TBrushStyle s);
    TColor PenColor() const { return pen_.Color; }
    void SetPenColor(TColor c);

protected:
    void Paint(TCanvas& canvas) override;

private:
    TBrush brush_;
    TPen pen_;
};

}  // namespace promo
