// The form: its description, the handlers the description may name, its
// controls and components, its bounds and the aligned and anchored controls
// (by the arithmetic of ui/FormLayout.h), and the tooltip that shows the
// controls' hints. The native window is ui/FormWindow.cpp, painting
// ui/FormComposition.cpp, the mouse and keyboard ui/FormInput.cpp, focus and
// the accessible tree ui/FormFocus.cpp.
#include "ui/Form.h"

#include <commctrl.h>
#include <windowsx.h>

#include "support/SystemFunctions.h"
#include "support/Timeline.h"
#include "ui/Accessible.h"
#include "ui/FormLayout.h"
#include "ui/FormReader.h"
#include "ui/PictureSets.h"

namespace promo {
namespace {

constexpr UINT_PTR kToolId = 1;

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
    pictures_ = pictures;
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

void TForm::ChangeScale(int dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    dpi_ = dpi;
    // The form's own design values (its client size and font), then the
    // controls'; the window keeps its place.
    EnsureDesignKept();
    const TRect design = DesignBounds();
    if (!ParentFont()) Font().SetHeight(ScaleLength(DesignFontHeight(), dpi));
    SetBounds(Left(), Top(), ScaleLength(design.Width(), dpi), ScaleLength(design.Height(), dpi));
    for (const auto& c : controls_) c->ScaleTo(dpi, pictures_);
    InvalidateArea(ClientRect());
}

void TForm::DpiChanged(int dpi, const TRect& suggested) {
    ChangeScale(dpi);
    SetBounds(suggested.Left, suggested.Top, suggested.Width(), suggested.Height());
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

void TForm::Close() {
    Hide();
    if (OnClose) OnClose(this);
    if (Application().MainForm() == static_cast<TMainForm*>(this)) Application().Terminate();
}

void TForm::CreateTooltip() {
    // The common controls are loaded only now, when a hint may first be shown.
    const auto init = CommonControls().InitCommonControlsEx;
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
    ::SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, ScaleLength(400, dpi_));
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

void TForm::RelayToTooltip(UINT msg, UINT keys, int x, int y) {
    if (!tooltip_) return;
    MSG m{wnd_.get(), msg, keys, MAKELPARAM(x, y), 0, {x, y}};
    ::SendMessageW(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

bool TForm::WmNotify(NMHDR* header) {
    // The tooltip asks for the text of the hint it is about to show.
    if (!tooltip_ || header->hwndFrom != tooltip_.get() || header->code != TTN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    hintText_ = HintFor(hover_);
    info->lpszText = const_cast<wchar_t*>(hintText_.c_str());
    info->hinst = nullptr;
    return true;
}

std::wstring TForm::HintFor(TControl* c) {
    if (!c || !c->EffectiveShowHint()) return {};
    std::wstring hint = c->Hint();
    if (!c->DoShowHint(hint)) return {};
    return hint;
}

}  // namespace promo
