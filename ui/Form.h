// The form host: one native borderless popup window (owned by the
// application window, so it has no task-bar button) that owns its windowless
// controls, paints them in creation order into an off-screen buffer presented
// with one blit, routes the mouse (capture, enter/leave, hit tests, the
// cursor of the control under it), shows the controls' hints in a tooltip,
// offers dialog characters to the controls, and shows popup menus on a right
// click or the menu key. A form is built from its description
// (ui/FormReader.h) with the class table its builder hands in: Initialize
// reads it and runs OnCreate; the window comes with the first Show. Aligned
// and anchored controls are placed by the arithmetic of ui/FormLayout.h.
#pragma once

#include <windows.h>

#include <any>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/FormReader.h"
#include "ui/Menu.h"

namespace promo {

class TAccessibleServer;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

class TForm : public TControl, public TMainForm {
public:
    // className: the class the root object of the description must name.
    explicit TForm(std::wstring className);
    ~TForm() override;

    const std::wstring& FormClassName() const { return className_; }
    TForm* HostForm() override { return this; }

    // Reads the description (controls, properties, pictures, handlers; see
    // ui/FormReader.h) with the classes of the table and runs OnCreate. The
    // window is created only when first needed (Show, or CreateHandle), in
    // the DPI awareness in force then. False with a message when the
    // description does not fit the classes.
    bool Initialize(const TClassTable& classes, std::string_view description, std::wstring& error);
    // The same from an RCDATA resource of the module (pictures from RCDATA too).
    bool InitializeFromResource(const TClassTable& classes, const wchar_t* resourceName, std::wstring& error);
    // The same with pictures from elsewhere (tests: PNG files in a folder).
    bool InitializeWith(const TClassTable& classes, std::string_view description,
                        const TPictureSource& pictures, std::wstring& error);

    // Handlers the description may name, registered before Initialize.
    void RegisterHandler(const std::wstring& name, TNotifyEvent handler);
    void RegisterHandler(const std::wstring& name, TMouseEvent handler);
    void RegisterHandler(const std::wstring& name, TMouseMoveEvent handler);
    void RegisterHandler(const std::wstring& name, TContextPopupEvent handler);
    template <typename F>
    void RegisterHandler(const std::wstring& name, F* self, void (F::*method)(TControl*)) {
        RegisterHandler(name, TNotifyEvent([self, method](TControl* s) { (self->*method)(s); }));
    }
    template <typename F>
    void RegisterHandler(const std::wstring& name, F* self,
                         void (F::*method)(TControl*, TMouseButton, TShiftState, int, int)) {
        RegisterHandler(name, TMouseEvent([self, method](TControl* s, TMouseButton b, TShiftState sh, int x,
                                                         int y) { (self->*method)(s, b, sh, x, y); }));
    }
    template <typename F>
    void RegisterHandler(const std::wstring& name, F* self,
                         void (F::*method)(TControl*, TShiftState, int, int)) {
        RegisterHandler(name, TMouseMoveEvent([self, method](TControl* s, TShiftState sh, int x, int y) {
                            (self->*method)(s, sh, x, y);
                        }));
    }
    template <typename F>
    void RegisterHandler(const std::wstring& name, F* self, void (F::*method)(TControl*, TPoint, bool&)) {
        RegisterHandler(name, TContextPopupEvent([self, method](TControl* s, TPoint p, bool& handled) {
                            (self->*method)(s, p, handled);
                        }));
    }
    const TNotifyEvent* FindNotifyHandler(const std::wstring& name) const;
    const TContextPopupEvent* FindContextPopupHandler(const std::wstring& name) const;
    const TMouseEvent* FindMouseHandler(const std::wstring& name) const;
    const TMouseMoveEvent* FindMouseMoveHandler(const std::wstring& name) const;
    // Handlers of the controls' own event types (hint, drag and dock events),
    // kept by name and found by name and exact type.
    template <typename Ev>
    void RegisterEventHandler(const std::wstring& name, Ev handler) {
        otherHandlers_.emplace_back(name, std::any(std::move(handler)));
    }
    template <typename Ev>
    const Ev* FindEventHandler(const std::wstring& name) const {
        for (const auto& [n, h] : otherHandlers_)
            if (n == name)
                if (const Ev* handler = std::any_cast<Ev>(&h)) return handler;
        return nullptr;
    }

    // Controls, in creation (painting) order.
    void AddControl(std::unique_ptr<TControl> control);
    const std::vector<std::unique_ptr<TControl>>& Controls() const { return controls_; }
    TControl* FindControl(const std::wstring& name) const;
    // Components without a window of their own (popup menus), in creation order.
    void AddComponent(std::unique_ptr<TComponent> component);
    const std::vector<std::unique_ptr<TComponent>>& Components() const { return components_; }
    // A control, a component or a menu item by name.
    TComponent* FindComponent(const std::wstring& name) const;
    template <typename T>
    T* FindChild(const std::wstring& name) const {
        return dynamic_cast<T*>(FindControl(name));
    }

    // The window: Width and Height are the client size. Null until the
    // window is created (CreateHandle, the first Show).
    HWND Handle() const override { return wnd_.get(); }
    void CreateHandle();
    void ShowAsMainForm() override { Show(); }
    void Show();  // runs OnShow the first time
    void Hide();
    // Hides the window, runs OnClose and, for the main form, ends the loop.
    void Close();
    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientWidth(int v) { SetWidth(v); }
    void SetClientHeight(int v) { SetHeight(v); }
    void SetBounds(int left, int top, int width, int height) override;
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle v) { borderStyle_ = v; }
    bool Scaled = true;
    int PixelsPerInch = 96;

    // The DPI the form is drawn at: 96 (its design) until ChangeScale.
    int Dpi() const { return dpi_; }
    // Draws the form at another DPI: its client size and font, and every
    // control (TControl::ScaleTo, pictures from the form's picture source),
    // from their design values. The window keeps its place. Nothing happens
    // at the DPI the form has.
    void ChangeScale(int dpi);
    // The system moved the window onto a monitor of another DPI
    // (WM_DPICHANGED) with the rectangle it suggests: by default the form
    // takes the DPI and the rectangle.
    virtual void DpiChanged(int dpi, const TRect& suggested);
    // The display or the work area changed (WM_DISPLAYCHANGE,
    // WM_SETTINGCHANGE with SPI_SETWORKAREA); by default nothing happens.
    virtual void WorkAreaChanged() {}

    // Paints the whole form (background and visible controls) into dc.
    void RenderTo(HDC dc);
    // Paints only what lies in area (form client coordinates): the
    // background there and the controls that reach into it, clipped to it.
    void RenderArea(HDC dc, const TRect& area);
    // Renders off-screen into an opaque BGRA image of the client size.
    bool RenderToImage(DecodedImage& out);

    // Places the aligned controls (alTop, alBottom, alLeft, alRight, then
    // alClient in the space left), each group in creation order.
    void AlignControls();

    // A control's area needs repainting (form client coordinates).
    void InvalidateArea(const TRect& r);
    // The control under the mouse (the last one that got MouseEnter).
    TControl* HoverControl() const { return hover_; }

    // A control's cursor changed: shown at once when the mouse is over it.
    void CursorChanged(TControl* c);
    // Offers a dialog character to the controls in creation order; true
    // when one took it.
    bool DialogChar(wchar_t c);
    // Right click or menu key: OnContextPopup of the control (keyboard:
    // the control under the mouse), then its PopupMenu; when neither acts,
    // the same with its parent. screen is the point of the click; keyboard
    // shows the menu at the control's top left.
    void ContextPopup(POINT screen, bool keyboard);

    // Keyboard operation. Nothing has the focus until Tab (or Shift+Tab)
    // gives it to the first (last) tab stop; then Enter and Space press the
    // focused control. Esc clicks the cancel control whatever has the focus.
    TControl* FocusedControl() const { return focused_; }
    // Gives c the focus (nullptr: none) and tells accessibility clients.
    void FocusControl(TControl* c);
    // Moves the focus to the next (previous) tab stop, wrapping round.
    void SelectNext(bool forward);
    // The tab stops that can take the focus, in tab order.
    std::vector<TControl*> TabList() const;
    TControl* CancelControl() const { return cancel_; }
    void SetCancelControl(TControl* c) { cancel_ = c; }
    // The window has the system's keyboard focus.
    bool HasWindowFocus() const { return windowFocus_; }
    // The show handler brought the window up without the keyboard (another
    // program holds it): its appearance is then announced to accessibility
    // clients as an alert too, and the object's state carries the low alert
    // level until the window gets the keyboard.
    void AppearWithoutKeyboard() { backgroundAlert_ = !windowFocus_; }
    bool InBackgroundAlert() const { return backgroundAlert_; }
    // The UI state shows focus cues: hidden until the keyboard is used in
    // the window (WM_CHANGEUISTATE), unless the user asked to see them always.
    bool FocusCuesShown() const { return (uiState_ & UISF_HIDEFOCUS) == 0; }

    // The accessible tree: the form is the client object, its children are
    // these controls in reading order (by default the visible controls with a
    // role, in creation order). Child ids count from 1 in this order.
    TAccessibleRole AccessibleRole() const override { return TAccessibleRole::Client; }
    virtual std::vector<TControl*> AccessibleChildren() const;
    // The child id of c (0: not in the tree).
    long AccessibleChildId(const TControl* c) const;
    // The click of an accessibility client's default action, run from the
    // message loop (the client's call returns at once): false when c is not
    // in the tree or the window is no longer shown.
    bool PostAccessibleClick(long childId);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    void FontChanged() override;
    void ColorChanged() override;
    void BiDiModeChanged() override;

private:
    // The window procedure hands each message to its typed handler
    // (ui/FormWindow.cpp). A handler that answers bool says whether it took
    // the message; what it leaves goes on to the default handling.
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void WmClose(HWND wnd);
    void WmNcDestroy(HWND wnd);
    // An accessibility client's default action, posted so that its call
    // returns before the click runs (wParam: the child id).
    static constexpr UINT kAccessibleClick = WM_APP + 1;

    // The kept composition (ui/FormComposition.cpp).
    BOOL WmEraseBkgnd(HWND wnd, HDC dc);
    void WmPaint(HWND wnd);
    bool WmTimer(UINT_PTR id);
    void ReleaseBackBuffer();
    void ReleaseIdleComposition();  // the timer's end of an idle window's buffer

    // The mouse and the keyboard (ui/FormInput.cpp).
    void WmMouseMove(HWND wnd, int x, int y, UINT keys);
    void WmMouseLeave();
    void WmLButtonDown(HWND wnd, BOOL doubleClick, int x, int y, UINT keys);
    void WmRButtonDown(HWND wnd, BOOL doubleClick, int x, int y, UINT keys);
    void WmMButtonDown(HWND wnd, BOOL doubleClick, int x, int y, UINT keys);
    void WmLButtonUp(HWND wnd, int x, int y, UINT keys);
    void WmRButtonUp(HWND wnd, int x, int y, UINT keys);
    void WmMButtonUp(HWND wnd, int x, int y, UINT keys);
    void WmCaptureChanged();
    bool WmSetCursor(HWND cursorWindow, UINT hitTest);
    bool WmContextMenu(HWND target, POINT screen, bool keyboard);
    bool WmKeyDown(UINT key, UINT keyFlags);
    bool WmSysKeyDown(UINT key);
    bool WmKeyUp(UINT key);
    TControl* ControlAt(int x, int y, bool enabledOnly) const;
    void UpdateHover(int x, int y, bool inside);
    void ButtonPressed(TMouseButton button, bool doubleClick, int x, int y, UINT keys);
    void ButtonReleased(TMouseButton button, int x, int y, UINT keys);
    bool FindControlPtr(const TControl* c) const;
    TControl* ControlUnderCursor() const;
    bool KeyDown(UINT key, UINT keyFlags);

    // Focus and the accessible tree (ui/FormFocus.cpp).
    void WmSetFocus();
    void WmKillFocus();
    // Once per appearance, after the dialog's own announcement: the alert
    // of a window that appeared without the keyboard.
    void AlertIfInBackground();
    LRESULT WmGetObject(WPARAM flags, LONG objectId);
    void ShowFocusCues();
    void UpdateUiState(WORD action, WORD flags);
    void RunAccessibleClick(long childId);
    // The accessible child with this id while the window is shown; null otherwise.
    TControl* ShownAccessibleChild(long childId) const;

    // The hints' tooltip (ui/Form.cpp).
    bool WmNotify(NMHDR* header);
    void CreateTooltip();
    void UpdateTooltipTool();
    void RelayToTooltip(UINT msg, UINT keys, int x, int y);

public:
    // The hint text of a control as the tooltip would show it (empty: none).
    static std::wstring HintFor(TControl* c);

private:
    std::wstring className_;
    std::vector<std::unique_ptr<TControl>> controls_;
    std::vector<std::pair<std::wstring, TNotifyEvent>> notifyHandlers_;
    std::vector<std::pair<std::wstring, TMouseEvent>> mouseHandlers_;
    std::vector<std::pair<std::wstring, TMouseMoveEvent>> mouseMoveHandlers_;
    std::vector<std::pair<std::wstring, TContextPopupEvent>> contextPopupHandlers_;
    std::vector<std::pair<std::wstring, std::any>> otherHandlers_;
    std::vector<std::unique_ptr<TComponent>> components_;
    UniqueWindow wnd_;
    UniqueWindow tooltip_;
    // The composed client area, kept between paints: a paint draws again
    // only what was invalidated since the last one (dirty_), then presents
    // the requested part with one blit. It goes once the window has been
    // idle for kIdleCompositionMs with the pointer elsewhere (one timer
    // after a burst of paints, none while idle).
    static constexpr UINT_PTR kIdleCompositionTimer = 0x50524D31;
    static constexpr UINT kIdleCompositionMs = 250;
    UniqueMemoryDc backDc_;
    UniqueGdiObject backBitmap_;
    HGDIOBJ backOldBitmap_ = nullptr;
    int backWidth_ = 0;
    int backHeight_ = 0;
    TRect dirty_{};
    std::wstring hintText_;
    TControl* hover_ = nullptr;
    TControl* captured_ = nullptr;
    TControl* focused_ = nullptr;
    TControl* cancel_ = nullptr;
    bool windowFocus_ = false;
    bool announced_ = false;  // a dialog's appearance was told to accessibility clients
    bool backgroundAlert_ = false;
    WORD uiState_ = UISF_HIDEFOCUS | UISF_HIDEACCEL;
    std::unique_ptr<TAccessibleServer> accessible_;
    bool tracking_ = false;
    bool shown_ = false;
    bool aligning_ = false;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    int dpi_ = 96;
    TPictureSource pictures_;  // where the description's pictures came from, for ChangeScale
};

}  // namespace promo
