#include "launch/FocusConstraint.h"

#include "launch/DllSafety.h"

namespace promo {

// `library` is freed when this returns, on every path.
bool AskPopConditionMet(UniqueModule library) {
    if (!library) return true;
    const auto popConditionMet = reinterpret_cast<PopConditionMetFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "PopConditionMet")));
    if (!popConditionMet) return true;
    return popConditionMet() != 0;
}

bool FocusHookAllowsPopup() { return AskPopConditionMet(UniqueModule(LoadApplicationLibrary(L"Focus.dll"))); }

}  // namespace promo
