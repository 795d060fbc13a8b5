#include "promo/FormSaleMain.h"

#include "launch/CheckDPIScaled.h"
#include "launch/Uptime.h"
#include "product/SystemHelpers.h"
#include "support/BuildSettings.h"

namespace promo {

TFormSale::TFormSale() { FormCreate(); }

void TFormSale::FormCreate() {
    RequestDpiAwareness();
    WaitForUptime(
        GetBuildSettings().minUptimeMs, [] { return static_cast<std::uint32_t>(::GetTickCount()); },
        [] {
            ::Sleep(1000);
            Application().ProcessMessages();
        });
    // Until the show decision exists the window is never shown.
    EndProgramNow();
}

void TFormSale::ShowAsMainForm() {}

}  // namespace promo
