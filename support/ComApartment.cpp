#include "support/ComApartment.h"

#include "support/SystemFunctions.h"

namespace promo {

HRESULT EnterComApartment() {
    const auto enter = Ole32().CoInitializeEx;
    if (!enter) return CO_E_DLLNOTFOUND;
    return enter(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

ScopedComApartment::~ScopedComApartment() {
    // S_OK and S_FALSE both count an entry.
    if (SUCCEEDED(result_))
        if (const auto leave = Ole32().CoUninitialize) leave();
}

}  // namespace promo
