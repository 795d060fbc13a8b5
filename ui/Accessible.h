// A form's answer to accessibility clients (Microsoft Active Accessibility):
// an IAccessible for the form's client area whose children are the form's
// windowless controls (TForm::AccessibleChildren, in reading order) as simple
// elements with role, name, state, location and default action. Clients in
// other processes reach it through WM_GETOBJECT; the system bridges it to UI
// Automation.
//
// oleacc, ole32 and oleaut32 are bound when a client first asks
// (support/SystemFunctions.h), so a run that no client reads never loads
// them. When they cannot be had, Answer returns 0 and the system's default
// answer stands. Once the server is gone (with its form), every call on an
// object a client still holds returns CO_E_OBJNOTCONNECTED; an unknown child
// id gives E_INVALIDARG.
#pragma once

#include <windows.h>
// oleacc.h needs windows.h first
#include <oleacc.h>

#include "support/Handles.h"
#include "ui/Control.h"

namespace promo {

class TForm;
class TFormAccessible;

// System role number of a control role (ROLE_SYSTEM_*; 0 for None).
long SystemRoleOf(TAccessibleRole role);

struct ComReleaseTraits {
    using Handle = IUnknown*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { h->Release(); }
};
// One counted reference to a COM object.
using UniqueComRef = UniqueResource<ComReleaseTraits>;

class TAccessibleServer {
public:
    explicit TAccessibleServer(TForm& form);
    ~TAccessibleServer();
    TAccessibleServer(const TAccessibleServer&) = delete;
    TAccessibleServer& operator=(const TAccessibleServer&) = delete;

    // WM_GETOBJECT for OBJID_CLIENT: the marshalled object, or 0 when it
    // cannot be made (the window then answers as the system would).
    LRESULT Answer(WPARAM wp);
    // The object itself, with a reference for the caller; nullptr when the
    // libraries it needs cannot be had.
    IAccessible* Object();

private:
    bool Create();

    TForm& form_;
    TFormAccessible* object_ = nullptr;  // owned through objectRef_
    UniqueComRef objectRef_;
    bool failed_ = false;
};

}  // namespace promo
