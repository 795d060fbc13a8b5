#include "promo/CampaignActions.h"

#include "launch/ShownMarker.h"
#include "product/AppConfig.h"
#include "product/RegistryClass.h"
#include "product/SystemHelpers.h"
#include "promo/PurchaseLink.h"
#include "support/BuildSettings.h"
#include "support/WebRoutines.h"

namespace promo {

void SendCampaignStat(const std::wstring& languageCode, bool closedWithCloseButton) {
    WriteShownMarker();  // before, and whatever becomes of, the request
    const std::wstring body = BuildStatsBody(LowerLanguageCode(languageCode), closedWithCloseButton);
    HttpPostData(StatsAddress(GetBuildSettings().statsHost), body);
}

std::wstring DaysSinceInstallText() {
    TConfig* config = ConfigInstance();
    return config ? DaysSinceText(config->InstallTime(), NowLocal()) : L"-1";
}

std::wstring DaysSinceFirstInstallText() {
    TConfig* config = ConfigInstance();
    return config ? DaysSinceText(config->FirstInstallDate(), NowLocal()) : L"-1";
}

std::wstring PurchaseAddress(const std::wstring& languageCode) {
    const std::wstring lang = LowerLanguageCode(languageCode);
    std::wstring exe = ProductProgramFolder();
    if (exe.empty() || exe.back() != L'\\') exe += L'\\';
    exe += L"Pellorin.exe";
    const std::wstring version = FileVersionText(exe, 4);
    const std::wstring instd = DaysSinceInstallText();
    const std::wstring finstd = DaysSinceFirstInstallText();
    const BuildSettings& settings = GetBuildSettings();
    return BuildPurchaseAddress(lang, version, instd, finstd, settings.purchaseHost, settings.purchaseHostRu);
}

}  // namespace promo
