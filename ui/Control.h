// The windowless control base: a control without a native window that paints
// on its form's canvas. Position and size with constraints, alignment and
// anchors, font (or the parent's), colour, enabled and visible state, hint,
// caption, BiDi mode, mouse cursor, popup menu and context popup, dialog
// characters, the loading state with Loaded afterwards, mouse events, and
// repainting on request. Also the picture control base with TImage, the
// rectangle shape TShape and a control with a native child window
// (TWinControl, TEdit) that can take the keyboard focus.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/FormLayout.h"
#include "ui/FormReader.h"
#include "ui/Geometry.h"
#include "ui/Graphics.h"

namespace promo {

class TControl;
class TForm;
class TPopupMenu;
class TWinControl;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
// Modifier keys and mouse buttons held, as the message's wParam (MK_*).
using TShiftState = unsigned;

using TNotifyEvent = std::function<void(TControl* sender)>;
using TMouseEvent =
    std::function<void(TControl* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl* sender, TShiftState shift, int x, int y)>;
// mousePos: client coordinates of the sender, (-1, -1) when the keyboard
// asked for the menu. Setting handled keeps the popup menu from showing.
using TContextPopupEvent = std::function<void(TControl* sender, TPoint mousePos, bool& handled)>;

// Which way text runs and lines align. bdRightToLeft flips the alignment and
// reads right to left; the other two right-to-left modes only change the
// reading order.
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// Cursor identifiers: 0 the default (the arrow), negative numbers the
// standard cursors. Other values have no cursor of their own here and show
// the arrow.
using TCursor = int;
enum : TCursor {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSize = -5,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
};
// The system cursor for an identifier (nullptr for crNone: no cursor).
HCURSOR CursorHandle(TCursor cursor);

// The accelerator of a caption: the character after the first single "&"
// ("&&" is a plain "&"), 0 when there is none.
wchar_t AcceleratorOf(const std::wstring& caption);
// The character is the caption's accelerator (letters compare without case).
bool IsAccel(wchar_t c, const std::wstring& caption);

enum class TOperation { opInsert, opRemove };

// What an accessibility client is told a control is (ui/Accessible.h maps
// these to the system's roles). None keeps a control out of the tree:
// backgrounds and decorative pictures say nothing a text does not.
enum class TAccessibleRole { None, StaticText, PushButton, Client, Dialog };

// What every object of a window description is: a name, the handler names
// bound to it, and notification when another component it refers to is
// destroyed.
class TComponent {
public:
    TComponent() = default;
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::wstring Name;
    // Names of the handlers bound from the description, by event property.
    std::map<std::wstring, std::wstring> HandlerNames;

    // Each of the two is told (Notification with opRemove) when the other is
    // destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

protected:
    virtual void Notification(TComponent*, TOperation) {}

private:
    void Unlink(TComponent* other);
    std::vector<TComponent*> notified_;
};

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

class TControl : public TComponent {
public:
    TControl();
    ~TControl() override;

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

    // BiDi mode, or the parent's while ParentBiDiMode.
    TBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode v);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool v);
    void ParentBiDiModeChanged();
    bool UseRightToLeftAlignment() const { return biDiMode_ == TBiDiMode::bdRightToLeft; }
    bool UseRightToLeftReading() const { return biDiMode_ != TBiDiMode::bdLeftToRight; }
    // DrawTextW flags under the BiDi mode: DT_LEFT and DT_RIGHT swap with
    // right-to-left alignment; DT_RTLREADING with right-to-left reading.
    unsigned DrawTextBiDiModeFlags(unsigned flags) const;
    // An alignment as it applies under the BiDi mode (left and right swap).
    TAlignment EffectiveAlignment(TAlignment a) const;

    // The cursor shown while the mouse is over the control.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor v);

    // The menu shown on a right click or the menu key (the parent's when
    // there is none). Cleared when the menu is destroyed.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    TContextPopupEvent OnContextPopup;
    virtual void DoContextPopup(TPoint mousePos, bool& handled);

    // A dialog character (Alt+key) offered by the form; true when taken.
    virtual bool DialogChar(wchar_t c);

    // Loading state: set while the form is read from its description.
    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    // Clears the loading state and runs Loaded.
    void EndLoading();

    // The display's scale. A control keeps its design values (bounds, size
    // constraints, its own font's height, and what a control class adds in
    // KeepDesign) when loading ends; ScaleTo gives it those values taken
    // through ScaleLength (ui/PictureSets.h) and loads each picture that
    // names its file again at the DPI from the source. An auto-sized
    // control then takes its new picture's (or text's) size.
    virtual void ScaleTo(int dpi, const TPictureSource& pictures);
    // The control's picture properties, for loading them at a DPI.
    virtual std::vector<TPicture*> PictureProperties() { return {}; }

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

    // The form's keyboard focus: Tab moves it through the controls with
    // TabStop, by TabOrder (equal orders keep creation order).
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int v) { tabOrder_ = v; }
    // A tab stop that is visible, enabled and has a size.
    bool CanTakeFocus() const;
    bool HasKeyboardFocus() const;
    // The focus cue belongs on the control now: it has the keyboard focus,
    // its form's window has the system focus, and the form's UI state shows
    // focus cues (only after the keyboard was used in it).
    bool ShowsFocusCue() const;
    // Enter or Space while the control has the focus: a click.
    virtual void KeyboardPress() { Click(); }

    // What an accessibility client is told about the control.
    virtual TAccessibleRole AccessibleRole() const { return TAccessibleRole::None; }
    // The caption; a control without one (a picture button) is named by its hint.
    virtual std::wstring AccessibleName() const;
    // The name of the default action (empty: none).
    virtual std::wstring AccessibleDefaultAction() const { return {}; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;  // the base's enter/leave events
    TNotifyEvent OnMouseLeave;

    // The parent's font changed (ParentFont) or the parent's colour.
    void ParentFontChanged();
    void ParentColorChanged();

    // Whether Paint covers every pixel of the control with opaque colour, so
    // that nothing beneath it needs painting.
    virtual bool PaintsOpaque() const { return false; }

protected:
    virtual void Paint(TCanvas& canvas);
    // Drawn over Paint while ShowsFocusCue: the system's dotted focus rectangle.
    virtual void PaintFocusCue(TCanvas& canvas);
    virtual void Loaded();
    // Takes the design values ScaleTo starts from (once, as loading ends);
    // a class with lengths of its own keeps them too.
    virtual void KeepDesign();
    // KeepDesign for a control that was never loaded from a description.
    void EnsureDesignKept() {
        if (!designKept_) KeepDesign();
    }
    const TRect& DesignBounds() const { return designBounds_; }
    int DesignFontHeight() const { return designFontHeight_; }
    virtual void Resize() {}
    virtual void FontChanged();
    virtual void EnabledChanged();
    virtual void TextChanged();
    virtual void ColorChanged() { Invalidate(); }
    virtual void VisibleChanged() {}
    virtual void BiDiModeChanged() { Invalidate(); }
    void Notification(TComponent* component, TOperation op) override;
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
    TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
    bool parentBiDiMode_ = true;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    bool loading_ = false;
    bool opaque_ = false;
    bool mouseCaptured_ = false;
    bool tabStop_ = false;
    int tabOrder_ = 0;
    TCanvas canvas_;
    bool designKept_ = false;
    TRect designBounds_{};
    TSizeLimits designLimits_{};
    int designFontHeight_ = 0;
};

// A control that draws a picture at its top left; AutoSize takes the
// picture's size whenever the picture changes.
class TCustomImage : public TControl {
public:
    TCustomImage();
    TPicture& Picture() { return picture_; }
    void SetPicture(const TPicture& p) { picture_.Assign(p); }
    std::vector<TPicture*> PictureProperties() override { return {&picture_}; }

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
    // A solid brush fills inside the frame.
    bool PaintsOpaque() const override { return brush_.Style == TBrushStyle::bsSolid; }

protected:
    void Paint(TCanvas& canvas) override;

private:
    TBrush brush_;
    TPen pen_;
};

// A control with a native child window of the form (created with the form's
// window, or when added to a form that has one): it can take the keyboard
// focus. Bounds, visibility and the enabled state follow onto the window.
// Alt+key typed into it is offered to the form's controls first, as a
// dialog does with its mnemonics.
class TWinControl : public TControl {
public:
    ~TWinControl() override;
    HWND Handle() const { return wnd_.get(); }
    // Creates the window as a child of parent (once).
    void CreateHandle(HWND parent);
    // The window exists, is visible and enabled with its form.
    bool CanFocus() const;
    void SetFocus();
    bool Focused() const;
    void SetBounds(int left, int top, int width, int height) override;

protected:
    virtual const wchar_t* WindowClass() const = 0;
    virtual DWORD WindowStyle() const { return WS_CHILD | WS_TABSTOP; }
    virtual DWORD WindowExStyle() const { return 0; }
    virtual void HandleCreated() {}
    void EnabledChanged() override;
    void VisibleChanged() override;
    void FontChanged() override;

private:
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    void ApplyFont();
    UniqueWindow wnd_;
    WNDPROC oldProc_ = nullptr;
};

// A single-line edit box.
class TEdit : public TWinControl {
public:
    TEdit();
    std::wstring Text() const;
    void SetText(const std::wstring& v);

protected:
    const wchar_t* WindowClass() const override { return L"EDIT"; }
    DWORD WindowStyle() const override { return WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL; }
    DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
    void HandleCreated() override;

private:
    std::wstring text_;
};

}  // namespace promo
