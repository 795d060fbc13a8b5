#include "ui/Accessible.h"

#include <new>
#include <string>
#include <vector>

#include "support/ComApartment.h"
#include "support/SystemFunctions.h"
#include "ui/Form.h"

namespace promo {
namespace {

// The keyboard shortcut of the cancel control.
constexpr wchar_t kEscName[] = L"Esc";

// Runs body; nothing may unwind into the caller's COM frames.
template <typename F>
HRESULT Guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT NewText(const std::wstring& text, BSTR* out) {
    const auto alloc = OleAut32().SysAllocStringLen;
    if (!alloc) return E_OUTOFMEMORY;
    *out = alloc(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChildId(VARIANT* v, long id) {
    v->vt = VT_I4;
    v->lVal = id;
}

void SetEmpty(VARIANT* v) { v->vt = VT_EMPTY; }

}  // namespace

long SystemRoleOf(TAccessibleRole role) {
    switch (role) {
        case TAccessibleRole::StaticText:
            return ROLE_SYSTEM_STATICTEXT;
        case TAccessibleRole::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case TAccessibleRole::Client:
            return ROLE_SYSTEM_CLIENT;
        case TAccessibleRole::Dialog:
            return ROLE_SYSTEM_DIALOG;
        default:
            return 0;
    }
}

// The object clients hold. It refers to its form only while the server
// lives; afterwards every call answers CO_E_OBJNOTCONNECTED.
class TFormAccessible final : public IAccessible {
public:
    TFormAccessible(TForm& form, UniqueComRef standard) : form_(&form), standard_(std::move(standard)) {}
    void Disconnect() {
        form_ = nullptr;
        standard_.reset();
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // IDispatch: clients use the vtable; no type information is offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (const HRESULT hr = Connected(); FAILED(hr)) return hr;
        // The window object above the client area is the system's to give.
        if (!standard_) return S_FALSE;
        return Standard()->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return Guarded([&] {
            if (const HRESULT hr = Connected(); FAILED(hr)) return hr;
            *count = static_cast<long>(form_->AccessibleChildren().size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            // The controls are simple elements of this object, not objects.
            return S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            return NewText(c ? c->AccessibleName() : form_->AccessibleName(), name);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return NoText(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return NoText(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        SetEmpty(role);
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            SetChildId(role, SystemRoleOf(c ? c->AccessibleRole() : form_->AccessibleRole()));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        SetEmpty(state);
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            SetChildId(state, c ? StateOf(*c) : OwnState());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return NoText(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return form_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        if (!shortcut) return E_POINTER;
        *shortcut = nullptr;
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            if (c && c == form_->CancelControl()) return NewText(kEscName, shortcut);
            return S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        SetEmpty(focus);
        return Guarded([&] {
            if (const HRESULT hr = Connected(); FAILED(hr)) return hr;
            if (!form_->HasWindowFocus()) return S_FALSE;
            const long id = form_->AccessibleChildId(form_->FocusedControl());
            SetChildId(focus, id ? id : CHILDID_SELF);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        SetEmpty(selection);
        return form_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!action) return E_POINTER;
        *action = nullptr;
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            const std::wstring text = c ? c->AccessibleDefaultAction() : std::wstring();
            return text.empty() ? S_FALSE : NewText(text, action);
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            if (flags != SELFLAG_TAKEFOCUS) return DISP_E_MEMBERNOTFOUND;
            if (!c) return ::SetFocus(form_->Handle()) ? S_OK : S_FALSE;
            if (!c->CanTakeFocus()) return E_INVALIDARG;
            form_->FocusControl(c);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            const TRect r = c ? c->BoundsRect() : form_->ClientRect();
            POINT origin{r.Left, r.Top};
            ::ClientToScreen(form_->Handle(), &origin);
            *left = origin.x;
            *top = origin.y;
            *width = r.Width();
            *height = r.Height();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        SetEmpty(end);
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(start, c); FAILED(hr)) return hr;
            const long count = static_cast<long>(form_->AccessibleChildren().size());
            const long from = c ? form_->AccessibleChildId(c) : CHILDID_SELF;
            long to = 0;
            switch (direction) {
                case NAVDIR_FIRSTCHILD:
                case NAVDIR_LASTCHILD:
                    if (c) return E_INVALIDARG;  // simple elements have no children
                    to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
                    break;
                case NAVDIR_NEXT:
                case NAVDIR_PREVIOUS:
                    if (!c) return standard_ ? Standard()->accNavigate(direction, start, end) : S_FALSE;
                    to = from + (direction == NAVDIR_NEXT ? 1 : -1);
                    break;
                default:
                    if (!c && standard_) return Standard()->accNavigate(direction, start, end);
                    return S_FALSE;
            }
            if (to < 1 || to > count) return S_FALSE;
            SetChildId(end, to);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit) return E_POINTER;
        SetEmpty(hit);
        return Guarded([&] {
            if (const HRESULT hr = Connected(); FAILED(hr)) return hr;
            POINT p{x, y};
            ::ScreenToClient(form_->Handle(), &p);
            if (!form_->ClientRect().Contains(p.x, p.y)) return S_FALSE;
            // The topmost control in painting order that is in the tree.
            const auto& controls = form_->Controls();
            for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
                const TControl& c = **it;
                if (!c.Visible() || !c.BoundsRect().Contains(p.x, p.y)) continue;
                if (const long id = form_->AccessibleChildId(&c)) {
                    SetChildId(hit, id);
                    return S_OK;
                }
            }
            SetChildId(hit, CHILDID_SELF);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            if (!c || c->AccessibleDefaultAction().empty()) return DISP_E_MEMBERNOTFOUND;
            if (!c->Enabled()) return E_FAIL;
            // A window already dismissed is gone for its clients.
            return form_->PostAccessibleClick(form_->AccessibleChildId(c)) ? S_OK : CO_E_OBJNOTCONNECTED;
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TFormAccessible() = default;

    IAccessible* Standard() const { return static_cast<IAccessible*>(standard_.get()); }

    HRESULT Connected() const {
        return form_ && form_->Handle() && ::IsWindow(form_->Handle()) ? S_OK : CO_E_OBJNOTCONNECTED;
    }

    // The control a child id names (nullptr for the object itself).
    HRESULT Resolve(const VARIANT& child, TControl*& c) const {
        c = nullptr;
        if (const HRESULT hr = Connected(); FAILED(hr)) return hr;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) return S_OK;
        const std::vector<TControl*> list = form_->AccessibleChildren();
        if (child.lVal < 1 || static_cast<size_t>(child.lVal) > list.size()) return E_INVALIDARG;
        c = list[static_cast<size_t>(child.lVal) - 1];
        return S_OK;
    }

    HRESULT NoText(const VARIANT& child, BSTR* out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        return Guarded([&] {
            TControl* c = nullptr;
            if (const HRESULT hr = Resolve(child, c); FAILED(hr)) return hr;
            return S_FALSE;
        });
    }

    long StateOf(TControl& c) const {
        long s = 0;
        if (!c.Visible()) s |= STATE_SYSTEM_INVISIBLE;
        if (!c.Enabled()) s |= STATE_SYSTEM_UNAVAILABLE;
        if (c.AccessibleRole() == TAccessibleRole::StaticText) s |= STATE_SYSTEM_READONLY;
        if (c.TabStop() && c.Enabled()) s |= STATE_SYSTEM_FOCUSABLE;
        if (c.HasKeyboardFocus() && form_->HasWindowFocus()) s |= STATE_SYSTEM_FOCUSED;
        if (form_->HoverControl() == &c) s |= STATE_SYSTEM_HOTTRACKED;
        return s;
    }

    long OwnState() const {
        long s = STATE_SYSTEM_FOCUSABLE;
        if (!::IsWindowVisible(form_->Handle())) s |= STATE_SYSTEM_INVISIBLE;
        if (form_->HasWindowFocus() && !form_->FocusedControl()) s |= STATE_SYSTEM_FOCUSED;
        if (form_->InBackgroundAlert()) s |= STATE_SYSTEM_ALERT_LOW;
        return s;
    }

    LONG refs_ = 1;
    TForm* form_;
    UniqueComRef standard_;
};

TAccessibleServer::TAccessibleServer(TForm& form) : form_(form) {}

TAccessibleServer::~TAccessibleServer() {
    if (object_) object_->Disconnect();
    objectRef_.reset();
    object_ = nullptr;
}

bool TAccessibleServer::Create() {
    if (object_) return true;
    if (failed_ || !form_.Handle()) return false;
    // Marshalling the object to another process needs this thread in a
    // single-threaded apartment (the window's thread). It stays there until
    // the process ends: leaving it while a client holds a proxy hangs the
    // exit under Wine (measured), and the statistics request and the browser
    // start only nest their own entries inside it.
    const auto createStandard = OleAcc().CreateStdAccessibleObject;
    if (!createStandard || EnterComApartment() == CO_E_DLLNOTFOUND) {
        failed_ = true;
        return false;
    }
    void* standard = nullptr;
    if (FAILED(createStandard(form_.Handle(), OBJID_CLIENT, __uuidof(IAccessible), &standard)))
        standard = nullptr;
    UniqueComRef standardRef(static_cast<IUnknown*>(static_cast<IAccessible*>(standard)));
    object_ = new (std::nothrow) TFormAccessible(form_, std::move(standardRef));
    if (!object_) return false;
    objectRef_.reset(static_cast<IAccessible*>(object_));
    return true;
}

LRESULT TAccessibleServer::Answer(WPARAM wp) {
    const auto lresultFromObject = OleAcc().LresultFromObject;
    if (!lresultFromObject || !Create()) return 0;
    const LRESULT r = lresultFromObject(__uuidof(IAccessible), wp, static_cast<IAccessible*>(object_));
    return r < 0 ? 0 : r;  // a failure code: let the system answer
}

IAccessible* TAccessibleServer::Object() {
    if (!Create()) return nullptr;
    object_->AddRef();
    return object_;
}

}  // namespace promo
