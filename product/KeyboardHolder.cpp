#include "product/KeyboardHolder.h"

#include <algorithm>
#include <string_view>

namespace promo {
namespace {

// The desktop and the task bar: in front of them nobody is typing.
constexpr std::wstring_view kIdleClasses[] = {
    L"#32769",  // the desktop window
    L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd",
};

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameClassName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

}  // namespace

bool AnotherProgramHoldsTheKeyboard(const KeyboardHolderFacts& foreground) {
    if (!foreground.exists || foreground.ownProcess || foreground.desktopOrShell) return false;
    return std::none_of(std::begin(kIdleClasses), std::end(kIdleClasses),
                        [&](std::wstring_view idle) { return SameClassName(foreground.className, idle); });
}

}  // namespace promo
