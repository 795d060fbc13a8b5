#include "promo/FormSaleMain.h"

#include "launch/CheckDPIScaled.h"
#include "launch/ShowDecision.h"
#include "launch/Uptime.h"
#include "product/SystemHelpers.h"
#include "promo/LocalizedTexts.h"
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
    LanguageCode = ReadLanguageCode();
    if (!ShowDecision()) EndProgramNow();
}

void TFormSale::ShowAsMainForm() { Application().Terminate(); }

}  // namespace promo
