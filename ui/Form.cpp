#include "ui/Form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "support/SystemLibraries.h"
#include "support/Timeline.h"
#include "ui/Accessible.h"
#include "ui/FormLayout.h"
#include "ui/FormReader.h"

namespace promo {
namespace {

constexpr wchar_t kFormClass[] = L"PellorinPromoForm";
constexpr UINT_PTR kToolId = 1;
// An accessibility client's default action, posted so that its call returns
// before the click runs (wParam: the child id).
constexpr UINT kAccessibleClick = WM_APP + 1;

TMouseButton ButtonOf(UINT msg) {
    switch (msg) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            return TMouseButton::mbRight;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            return TMouseButton::mbMiddle;
        default:
            return TMouseButton::mbLeft;
    }
}

}  // namespace

TForm::TForm(std::wstring className) : className_(std::move(className)) {
    SetColor(clBtnFace);
    SetParentFont(false);
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    if (wnd_) ::SetWindowLongPtrW(wnd_.get(), GWLP_USERDATA, 0);
    // Clients still holding the accessible object get "not connected" from now on.
    accessible_.reset();
    focused_ = cancel_ = nullptr;
    // Child windows go with their controls while the form's window still exists.
    hover_ = captured_ = nullptr;
    controls_.clear();
    components_.clear();
    ReleaseBackBuffer();
    tooltip_.reset();
    wnd_.reset();
    hover_ = captured_ = nullptr;
}

bool TForm::Initialize(const TClassTable& classes, std::string_view description, std::wstring& error) {
    return InitializeWith(classes, description, ResourcePictures(nullptr), error);
}

bool TForm::InitializeWith(const TClassTable& classes, std::string_view description,
                           const TPictureSource& pictures, std::wstring& error) {
    if (!ReadForm(*this, classes, description, pictures, error)) return false;
    TimelineMark(L"description");
    // No native window yet: the system fixes a window's DPI awareness when
    // the window is created, and the creation handler may still change the
    // process's ("You must call this API before ... creating any UI",
    // SetProcessDpiAwareness, learn.microsoft.com). Show creates it.
    if (OnCreate) OnCreate(this);
    TimelineMark(L"form-create");
    return true;
}

bool TForm::InitializeFromResource(const TClassTable& classes, const wchar_t* resourceName,
                                   std::wstring& error) {
    std::string text;
    if (!LoadDescriptionResource(nullptr, resourceName, text)) {
        error = std::wstring(L"the window description resource ") + resourceName + L" is missing";
        return false;
    }
    return Initialize(classes, text, error);
}

void TForm::RegisterHandler(const std::wstring& name, TNotifyEvent handler) {
    notifyHandlers_.emplace_back(name, std::move(handler));
}
void TForm::RegisterHandler(const std::wstring& name, TMouseEvent handler) {
    mouseHandlers_.emplace_back(name, std::move(handler));
}
void TForm::RegisterHandler(const std::wstring& name, TMouseMoveEvent handler) {
    mouseMoveHandlers_.emplace_back(name, std::move(handler));
}
void TForm::RegisterHandler(const std::wstring& name, TContextPopupEvent handler) {
    contextPopupHandlers_.emplace_back(name, std::move(handler));
}
const TContextPopupEvent* TForm::FindContextPopupHandler(const std::wstring& name) const {
    for (const auto& [n, h] : contextPopupHandlers_)
        if (n == name) return &h;
    return nullptr;
}
const TMouseMoveEvent* TForm::FindMouseMoveHandler(const std::wstring& name) const {
    for (const auto& [n, h] : mouseMoveHandlers_)
        if (n == name) return &h;
    return nullptr;
}
const TNotifyEvent* TForm::FindNotifyHandler(const std::wstring& name) const {
    for (const auto& [n, h] : notifyHandlers_)
        if (n == name) return &h;
    return nullptr;
}
const TMouseEvent* TForm::FindMouseHandler(const std::wstring& name) const {
    for (const auto& [n, h] : mouseHandlers_)
        if (n == name) return &h;
    return nullptr;
}

void TForm::AddControl(std::unique_ptr<TControl> control) {
    TControl* c = control.get();
    controls_.push_back(std::move(control));
    c->SetParent(this);
    c->Invalidate();
    if (auto* win = dynamic_cast<TWinControl*>(c); win && wnd_) win->CreateHandle(wnd_.get());
}

void TForm::AddComponent(std::unique_ptr<TComponent> component) {
    components_.push_back(std::move(component));
}

TComponent* TForm::FindComponent(const std::wstring& name) const {
    if (TControl* c = FindControl(name)) return c;
    for (const auto& c : components_) {
        if (c->Name == name) return c.get();
        if (auto* menu = dynamic_cast<TPopupMenu*>(c.get()))
            if (TMenuItem* item = menu->FindItem(name)) return item;
    }
    return nullptr;
}

TControl* TForm::FindControl(const std::wstring& name) const {
    for (const auto& c : controls_)
        if (c->Name == name) return c.get();
    return nullptr;
}

void TForm::FontChanged() {
    for (const auto& c : controls_) c->ParentFontChanged();
    InvalidateArea(ClientRect());
}
void TForm::ColorChanged() {
    for (const auto& c : controls_) c->ParentColorChanged();
    InvalidateArea(ClientRect());
}
void TForm::BiDiModeChanged() {
    for (const auto& c : controls_) c->ParentBiDiModeChanged();
    InvalidateArea(ClientRect());
}

void TForm::SetBounds(int left, int top, int width, int height) {
    const int oldW = Width(), oldH = Height();
    TControl::SetBounds(left, top, width, height);
    const int dw = Width() - oldW, dh = Height() - oldH;
    if ((dw != 0 || dh != 0) && !Loading()) {
        // Anchored controls keep their distance to the anchored edges.
        for (const auto& c : controls_) {
            if (c->Align() != TAlign::alNone) continue;
            const TRect r = AnchoredBounds(c->BoundsRect(), c->Anchors(), dw, dh);
            c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        }
        AlignControls();
    }
    if (!wnd_) return;
    RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(wnd_.get(), GWL_STYLE));
    ::AdjustWindowRectEx(&r, style, FALSE, 0);
    ::SetWindowPos(wnd_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (oldW != Width() || oldH != Height()) ::InvalidateRect(wnd_.get(), nullptr, FALSE);
}

void TForm::AlignControls() {
    if (aligning_ || Loading()) return;
    aligning_ = true;
    TRect rest = ClientRect();
    for (TAlign kind : kAlignOrder) {
        for (const auto& c : controls_) {
            if (c->Align() != kind || !c->Visible()) continue;
            const TRect r = AlignedBounds(kind, rest, c->Width(), c->Height());
            c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
            // The space left goes by the size the control took (its
            // constraints may have given it another).
            rest = SpaceLeft(kind, rest, c->Width(), c->Height());
        }
    }
    aligning_ = false;
}

void TForm::CreateHandle() {
    if (wnd_) return;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(instance, kFormClass, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &TForm::WindowProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kFormClass;
        ::RegisterClassExW(&wc);
    }
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    if (borderStyle_ != TFormBorderStyle::bsNone) style |= WS_CAPTION | WS_SYSMENU;
    RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
    ::AdjustWindowRectEx(&r, style, FALSE, 0);
    // Owned by the application window: no task-bar button of its own.
    HWND owner = Application().Handle();
    ::CreateWindowExW(0, kFormClass, Caption().c_str(), style, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, owner, nullptr, instance, this);
    // wnd_ was set in WM_NCCREATE. The tooltip waits for the first mouse
    // move: nothing but the window itself stands before the first paint.
    if (!wnd_) return;
    BOOL cuesAlways = FALSE;
    ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cuesAlways, 0);
    if (cuesAlways) {
        uiState_ = 0;
    } else {
        // The system keeps the window's UI state too: make it agree with ours,
        // so that the first keyboard use is a change it passes on.
        ::SendMessageW(wnd_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    }
    for (const auto& c : controls_)
        if (auto* win = dynamic_cast<TWinControl*>(c.get())) win->CreateHandle(wnd_.get());
}

void TForm::Show() {
    CreateHandle();
    if (!shown_) {
        shown_ = true;
        if (OnShow) OnShow(this);
    }
    if (!wnd_) return;
    if (!::IsWindowVisible(wnd_.get())) ::ShowWindow(wnd_.get(), SW_SHOW);
    // The system announces a window that appears; a dialog is announced as
    // one, so that a screen reader reads it out (once per appearance: the
    // show handler may have made it visible already).
    if (!announced_ && AccessibleRole() == TAccessibleRole::Dialog) {
        announced_ = true;
        ::NotifyWinEvent(EVENT_SYSTEM_DIALOGSTART, wnd_.get(), OBJID_WINDOW, CHILDID_SELF);
    }
}

void TForm::Hide() {
    if (!wnd_) return;
    ::ShowWindow(wnd_.get(), SW_HIDE);
    if (announced_) ::NotifyWinEvent(EVENT_SYSTEM_DIALOGEND, wnd_.get(), OBJID_WINDOW, CHILDID_SELF);
    announced_ = false;
}

std::vector<TControl*> TForm::TabList() const {
    std::vector<TControl*> list;
    for (const auto& c : controls_)
        if (c->CanTakeFocus()) list.push_back(c.get());
    std::stable_sort(list.begin(), list.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    return list;
}

void TForm::FocusControl(TControl* c) {
    if (c == focused_) return;
    TControl* old = focused_;
    focused_ = c;
    if (old) old->Invalidate();
    if (c) c->Invalidate();
    if (c && wnd_)
        if (const long id = AccessibleChildId(c))
            ::NotifyWinEvent(EVENT_OBJECT_FOCUS, wnd_.get(), OBJID_CLIENT, id);
}

void TForm::SelectNext(bool forward) {
    const std::vector<TControl*> list = TabList();
    if (list.empty()) return;
    const auto it = std::find(list.begin(), list.end(), focused_);
    if (it == list.end()) {
        FocusControl(forward ? list.front() : list.back());
        return;
    }
    const size_t n = list.size(), i = static_cast<size_t>(it - list.begin());
    FocusControl(list[(i + (forward ? 1 : n - 1)) % n]);
}

void TForm::UpdateUiState(WORD action, WORD flags) {
    const WORD mask = flags & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
    const WORD old = uiState_;
    if (action == UIS_SET) uiState_ |= mask;
    if (action == UIS_CLEAR) uiState_ &= static_cast<WORD>(~mask);
    if (old != uiState_ && focused_) focused_->Invalidate();
}

void TForm::ShowFocusCues() {
    if (FocusCuesShown() || !wnd_) return;
    ::SendMessageW(wnd_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    // Should the system not pass the change on, the cue still follows the keyboard.
    UpdateUiState(UIS_CLEAR, UISF_HIDEFOCUS);
}

bool TForm::KeyDown(WPARAM key, LPARAM flags) {
    // A key held down since before the window came to the front arrives as
    // repeats: it was typed for another program.
    const bool repeat = (HIWORD(flags) & KF_REPEAT) != 0;
    switch (key) {
        case VK_TAB:
            if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0 || TabList().empty())
                return false;
            ShowFocusCues();
            SelectNext(::GetKeyState(VK_SHIFT) >= 0);
            return true;
        case VK_RETURN:
        case VK_SPACE:
            if (repeat || !focused_ || !focused_->CanTakeFocus()) return false;
            focused_->KeyboardPress();
            return true;
        case VK_ESCAPE:
            if (repeat || !cancel_ || !cancel_->Visible() || !cancel_->Enabled()) return false;
            cancel_->Click();
            return true;
        default:
            return false;
    }
}

std::vector<TControl*> TForm::AccessibleChildren() const {
    std::vector<TControl*> list;
    for (const auto& c : controls_)
        if (c->Visible() && c->AccessibleRole() != TAccessibleRole::None) list.push_back(c.get());
    return list;
}

long TForm::AccessibleChildId(const TControl* c) const {
    if (!c) return 0;
    const std::vector<TControl*> list = AccessibleChildren();
    const auto it = std::find(list.begin(), list.end(), c);
    return it == list.end() ? 0 : static_cast<long>(it - list.begin()) + 1;
}

TControl* TForm::ShownAccessibleChild(long childId) const {
    if (!wnd_ || !::IsWindowVisible(wnd_.get())) return nullptr;
    const std::vector<TControl*> list = AccessibleChildren();
    if (childId < 1 || static_cast<size_t>(childId) > list.size()) return nullptr;
    return list[static_cast<size_t>(childId) - 1];
}

bool TForm::PostAccessibleClick(long childId) {
    return ShownAccessibleChild(childId) &&
           ::PostMessageW(wnd_.get(), kAccessibleClick, static_cast<WPARAM>(childId), 0) != FALSE;
}

void TForm::RunAccessibleClick(long childId) {
    // Checked again: the window may have been dismissed while the message
    // waited, and a second click must not dismiss it twice.
    TControl* c = ShownAccessibleChild(childId);
    if (c && c->Visible() && c->Enabled()) c->Click();
}

void TForm::Close() {
    Hide();
    if (OnClose) OnClose(this);
    if (Application().MainForm() == static_cast<TMainForm*>(this)) Application().Terminate();
}

void TForm::InvalidateArea(const TRect& r) {
    if (!wnd_) return;
    const TRect area = r.Intersection(ClientRect());
    if (area.Empty()) return;
    dirty_ = dirty_.Union(area);
    RECT rc{area.Left, area.Top, area.Right, area.Bottom};
    ::InvalidateRect(wnd_.get(), &rc, FALSE);
}

void TForm::RenderTo(HDC dc) { RenderArea(dc, ClientRect()); }

void TForm::RenderArea(HDC dc, const TRect& area) {
    if (area.Empty()) return;
    const auto shown = [](const TControl& c) { return c.Visible() && c.Width() > 0 && c.Height() > 0; };
    // Painting starts at the topmost control that covers the whole area with
    // opaque pixels: the background and the controls under it would only be
    // painted over.
    size_t first = 0;
    bool covered = false;
    for (size_t i = controls_.size(); i-- > 0;) {
        const TControl& c = *controls_[i];
        if (shown(c) && c.PaintsOpaque() && c.BoundsRect().Contains(area)) {
            first = i;
            covered = true;
            break;
        }
    }
    if (!covered) {
        HBRUSH brush = ::CreateSolidBrush(ColorToRgb(Color()));
        RECT rc{area.Left, area.Top, area.Right, area.Bottom};
        ::FillRect(dc, &rc, brush);
        ::DeleteObject(brush);
    }
    for (size_t i = first; i < controls_.size(); ++i) {
        const auto& c = controls_[i];
        if (!shown(*c)) continue;
        // Only the part inside area is drawn again: outside it the control's
        // earlier image is still there, and blending over it twice would
        // darken its translucent pixels.
        TRect part = c->BoundsRect().Intersection(area);
        if (part.Empty()) continue;
        part.Offset(-c->Left(), -c->Top());
        const int saved = ::SaveDC(dc);
        POINT old;
        ::SetViewportOrgEx(dc, c->Left(), c->Top(), &old);
        ::IntersectClipRect(dc, part.Left, part.Top, part.Right, part.Bottom);
        ::SetBkMode(dc, TRANSPARENT);
        c->PaintTo(dc);
        ::RestoreDC(dc, saved);
    }
}

bool TForm::RenderToImage(DecodedImage& out) {
    out = DecodedImage{};
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return false;
    void* bits = nullptr;
    UniqueGdiObject bmp = CreateTopDownDib(w, h, &bits);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!bmp || !dc) return false;
    {
        ScopedSelectObject sel(dc.get(), bmp.get());
        RenderTo(dc.get());
        ::GdiFlush();
    }
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<size_t>(w) * h);
    std::memcpy(out.pixels.data(), bits, out.pixels.size() * 4);
    for (auto& p : out.pixels) p |= 0xFF000000u;  // GDI leaves alpha undefined
    return true;
}

void TForm::OnPaintMessage() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(wnd_.get(), &ps);
    if (!dc) return;
    const int w = std::max(Width(), 1), h = std::max(Height(), 1);
    if (!backDc_ || w != backWidth_ || h != backHeight_) {
        // A new size, or nothing kept: compose everything afresh.
        ReleaseBackBuffer();
        backDc_.reset(::CreateCompatibleDC(dc));
        backBitmap_.reset(::CreateCompatibleBitmap(dc, w, h));
        if (backDc_ && backBitmap_) {
            backOldBitmap_ = ::SelectObject(backDc_.get(), backBitmap_.get());
            backWidth_ = w;
            backHeight_ = h;
            dirty_ = ClientRect();
        } else {
            ReleaseBackBuffer();
        }
    }
    if (backDc_) {
        RenderArea(backDc_.get(), dirty_.Intersection(ClientRect()));
        dirty_ = {};
        const RECT& r = ps.rcPaint;
        ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, backDc_.get(), r.left, r.top,
                 SRCCOPY);
        // Paints come in bursts (hovering, pressing, uncovering); once one
        // is over and the pointer is elsewhere, the window is idle, and a
        // buffer of its size would only hold memory.
        ::SetTimer(wnd_.get(), kIdleCompositionTimer, kIdleCompositionMs, nullptr);
    } else {
        // Out of memory for the buffer: paint straight onto the window.
        RenderArea(dc, ClientRect());
    }
    ::EndPaint(wnd_.get(), &ps);
    TimelineMark(L"first-paint");
}

void TForm::ReleaseIdleComposition() {
    if (!wnd_) return;
    ::KillTimer(wnd_.get(), kIdleCompositionTimer);
    if (tracking_ || hover_ || captured_) return;  // the pointer is on the window: more may come
    ReleaseBackBuffer();
}

void TForm::ReleaseBackBuffer() {
    if (backDc_ && backOldBitmap_) ::SelectObject(backDc_.get(), backOldBitmap_);
    backOldBitmap_ = nullptr;
    backDc_.reset();
    backBitmap_.reset();
    backWidth_ = backHeight_ = 0;
}

TControl* TForm::ControlAt(int x, int y, bool enabledOnly) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = it->get();
        if (!c->Visible() || (enabledOnly && !c->Enabled())) continue;
        if (c->BoundsRect().Contains(x, y) && c->HitTest(x - c->Left(), y - c->Top())) return c;
    }
    return nullptr;
}

void TForm::UpdateHover(int x, int y, bool inside) {
    TControl* now = inside ? ControlAt(x, y, false) : nullptr;
    if (now == hover_) return;
    TControl* old = hover_;
    hover_ = now;
    if (old) old->MouseLeave();
    if (now) now->MouseEnter();
    UpdateTooltipTool();
}

void TForm::MouseButton(UINT msg, WPARAM wp, int x, int y) {
    const TMouseButton button = ButtonOf(msg);
    const TShiftState shift = static_cast<TShiftState>(GET_KEYSTATE_WPARAM(wp));
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: {
            TControl* target = ControlAt(x, y, true);
            if (!target) return;
            if (!captured_) {
                ::SetCapture(wnd_.get());
                captured_ = target;
                target->mouseCaptured_ = true;
            }
            target->MouseDown(button, shift, x - target->Left(), y - target->Top());
            if (msg == WM_LBUTTONDBLCLK && FindControlPtr(target)) target->DblClick();
            return;
        }
        default: {
            TControl* target = captured_;
            if (!target) return;
            const int cx = x - target->Left(), cy = y - target->Top();
            // Every button held releases the capture only when the last one is up.
            const bool anyHeld = (wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
            if (!anyHeld) ::ReleaseCapture();
            if (button == TMouseButton::mbLeft && target->ClientRect().Contains(cx, cy) &&
                target->HitTest(cx, cy))
                target->Click();
            if (FindControlPtr(target)) target->MouseUp(button, shift, cx, cy);
            return;
        }
    }
}

bool TForm::FindControlPtr(const TControl* c) const {
    for (const auto& p : controls_)
        if (p.get() == c) return true;
    return false;
}

TControl* TForm::ControlUnderCursor() const {
    POINT p;
    if (!wnd_ || !::GetCursorPos(&p) || !::ScreenToClient(wnd_.get(), &p)) return nullptr;
    return ControlAt(p.x, p.y, true);
}

void TForm::CursorChanged(TControl* c) {
    if (!wnd_ || !c) return;
    TControl* under = captured_ ? captured_ : hover_;
    if (under == c) ::SetCursor(CursorHandle(c->Cursor()));
}

bool TForm::DialogChar(wchar_t c) {
    for (size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i]->DialogChar(c)) return true;
    return false;
}

void TForm::ContextPopup(POINT screen, bool keyboard) {
    if (!wnd_) return;
    TControl* target = nullptr;
    POINT client = screen;
    if (keyboard) {
        target = hover_ && hover_->Visible() && hover_->Enabled() ? hover_ : nullptr;
    } else {
        ::ScreenToClient(wnd_.get(), &client);
        target = ControlAt(client.x, client.y, true);
    }
    if (!target) target = this;
    // The control first, then its parents, as an unhandled message would go.
    for (TControl* c = target; c;) {
        const bool isForm = c == static_cast<TControl*>(this);
        TPoint local{-1, -1};
        if (!keyboard)
            local = isForm ? TPoint{client.x, client.y} : TPoint{client.x - c->Left(), client.y - c->Top()};
        bool handled = false;
        c->DoContextPopup(local, handled);
        if (handled || (!isForm && !FindControlPtr(c))) return;
        if (TPopupMenu* menu = c->PopupMenu(); menu && menu->AutoPopup) {
            POINT at = screen;
            if (keyboard) {
                at = isForm ? POINT{0, 0} : POINT{c->Left(), c->Top()};
                ::ClientToScreen(wnd_.get(), &at);
            }
            menu->SetPopupComponent(c);
            menu->Popup(at.x, at.y, wnd_.get());
            return;
        }
        c = c->Parent();
    }
}

void TForm::CreateTooltip() {
    // The common controls are loaded only now, when a hint may first be shown.
    static const auto init = SystemFunction<decltype(::InitCommonControlsEx)>(
        L"comctl32.dll", "InitCommonControlsEx", TLibraryLookup::SideBySide);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    if (!init || !init(&icc)) return;
    tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, wnd_.get(), nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
    if (!tooltip_) return;
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.hwnd = wnd_.get();
    ti.uId = kToolId;
    ti.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, 400);
}

void TForm::UpdateTooltipTool() {
    if (!tooltip_) return;
    ::SendMessageW(tooltip_.get(), TTM_POP, 0, 0);
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.hwnd = wnd_.get();
    ti.uId = kToolId;
    if (hover_) {
        const TRect r = hover_->BoundsRect();
        ti.rect = RECT{r.Left, r.Top, r.Right, r.Bottom};
    }
    ::SendMessageW(tooltip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    // The hint as it applies now (an empty text shows no tip).
    hintText_ = HintFor(hover_);
    ti.lpszText = const_cast<wchar_t*>(hintText_.c_str());
    ::SendMessageW(tooltip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void TForm::RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp) {
    if (!tooltip_) return;
    MSG m{wnd_.get(), msg, wp, lp, 0, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}};
    ::SendMessageW(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

std::wstring TForm::HintFor(TControl* c) {
    if (!c || !c->EffectiveShowHint()) return {};
    std::wstring hint = c->Hint();
    if (!c->DoShowHint(hint)) return {};
    return hint;
}

LRESULT CALLBACK TForm::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->wnd_.reset(wnd);
    }
    auto* self = reinterpret_cast<TForm*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    try {
        return self->HandleMessage(msg, wp, lp);
    } catch (...) {
        return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

LRESULT TForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    HWND wnd = wnd_.get();
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaintMessage();
            return 0;
        case WM_MOUSEMOVE: {
            if (!tooltip_) CreateTooltip();
            RelayToTooltip(msg, wp, lp);
            if (!tracking_) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, wnd, 0};
                tracking_ = ::TrackMouseEvent(&tme) != FALSE;
            }
            const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
            UpdateHover(x, y, ClientRect().Contains(x, y));
            TControl* target = captured_ ? captured_ : (hover_ && hover_->Enabled() ? hover_ : nullptr);
            if (target)
                target->MouseMove(static_cast<TShiftState>(GET_KEYSTATE_WPARAM(wp)), x - target->Left(),
                                  y - target->Top());
            return 0;
        }
        case WM_MOUSELEAVE:
            tracking_ = false;
            if (!captured_) {
                UpdateHover(0, 0, false);
                ::SetTimer(wnd, kIdleCompositionTimer, kIdleCompositionMs, nullptr);
            }
            return 0;
        case WM_TIMER:
            if (wp != kIdleCompositionTimer) break;
            ReleaseIdleComposition();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            RelayToTooltip(msg, wp, lp);
            MouseButton(msg, wp, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            if (msg == WM_RBUTTONUP) {
                // What the default handling would do: ask for the context menu.
                POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                ::ClientToScreen(wnd, &p);
                ::SendMessageW(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(p.x, p.y));
            }
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wp) == wnd && LOWORD(lp) == HTCLIENT) {
                TControl* c = captured_ ? captured_ : ControlUnderCursor();
                ::SetCursor(CursorHandle(c ? c->Cursor() : Cursor()));
                return TRUE;
            }
            break;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wp) != wnd) break;
            ContextPopup(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, lp == -1);
            return 0;
        case WM_KEYDOWN:
            if (KeyDown(wp, lp)) return 0;
            [[fallthrough]];
        case WM_SYSKEYDOWN:
            if (wp == VK_F10 && ::GetKeyState(VK_SHIFT) < 0) {
                ContextPopup(POINT{-1, -1}, true);
                return 0;
            }
            break;
        case WM_KEYUP:
            if (wp == VK_APPS) {
                ContextPopup(POINT{-1, -1}, true);
                return 0;
            }
            break;
        case WM_SYSCHAR:
        case WM_CHAR:
            if (DialogChar(static_cast<wchar_t>(wp))) return 0;
            break;
        case WM_CAPTURECHANGED:
            if (captured_) captured_->mouseCaptured_ = false;
            captured_ = nullptr;
            return 0;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (tooltip_ && hdr->hwndFrom == tooltip_.get() && hdr->code == TTN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
                hintText_ = HintFor(hover_);
                info->lpszText = const_cast<wchar_t*>(hintText_.c_str());
                info->hinst = nullptr;
                return 0;
            }
            break;
        }
        case WM_SETFOCUS:
            windowFocus_ = true;
            if (focused_) {
                focused_->Invalidate();
                if (const long id = AccessibleChildId(focused_))
                    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, wnd, OBJID_CLIENT, id);
            }
            break;
        case WM_KILLFOCUS:
            windowFocus_ = false;
            if (focused_) focused_->Invalidate();
            break;
        case WM_UPDATEUISTATE:
            UpdateUiState(LOWORD(wp), HIWORD(wp));
            break;
        case WM_GETOBJECT:
            if (static_cast<LONG>(lp) == OBJID_CLIENT) {
                if (!accessible_) accessible_ = std::make_unique<TAccessibleServer>(*this);
                if (const LRESULT r = accessible_->Answer(wp)) return r;
            }
            break;
        case kAccessibleClick:
            RunAccessibleClick(static_cast<long>(wp));
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
            wnd_.release();
            break;
        default:
            break;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace promo
