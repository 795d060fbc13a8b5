// "Focus.dll": the Focus Assist hook that the promotion program asks before
// it shows its window. One export, PopConditionMet (see FocusPolicy.h for the
// decision and launch/FocusConstraint.h for the calling contract).
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cstdint>
#include <optional>

#include "launch/focus/FocusPolicy.h"

namespace promo::focus {
namespace {

// The notification-facility state that holds the active Focus Assist profile
// (Windows 10 1803 and later). The query entry point of ntdll is not part of
// the documented interface, so it is looked up at run time; where it is
// missing or the state does not exist the profile is unknown.
constexpr std::uint64_t kQuietHoursProfileState = 0x0D83063EA3BF1C75ull;

using NtQueryWnfStateDataFn = LONG(NTAPI*)(const std::uint64_t* stateName, const void* typeId,
                                           const void* explicitScope, ULONG* changeStamp, void* buffer,
                                           ULONG* bufferSize);

class SystemFocusState : public FocusStateSource {
public:
    std::optional<int> ShellState() override {
        QUERY_USER_NOTIFICATION_STATE state{};
        if (FAILED(::SHQueryUserNotificationState(&state))) return std::nullopt;
        return static_cast<int>(state);
    }

    std::optional<std::uint32_t> QuietHoursProfile() override {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        if (!ntdll) return std::nullopt;
        const auto query = reinterpret_cast<NtQueryWnfStateDataFn>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryWnfStateData")));
        if (!query) return std::nullopt;
        std::uint32_t profile = 0;
        ULONG changeStamp = 0;
        ULONG size = sizeof profile;
        const LONG status = query(&kQuietHoursProfileState, nullptr, nullptr, &changeStamp, &profile, &size);
        if (status < 0 || size != sizeof profile) return std::nullopt;
        return profile;
    }
};

}  // namespace
}  // namespace promo::focus

// Exported as "PopConditionMet" through Focus.def. Non-zero: a pop-up may be
// shown now.
extern "C" unsigned char __stdcall PopConditionMet() {
    promo::focus::SystemFocusState state;
    return promo::focus::PopupAllowed(state) ? 1 : 0;
}
