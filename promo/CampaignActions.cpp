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
    const std::wstring instd = DaysSinceInstallText();
    const std::wstring finstd = DaysSinceFirstInstallText();
    return PurchaseAddressWith(languageCode, instd, finstd);
}

std::wstring ProductExecutablePath() {
    std::wstring exe = ProductProgramFolder();
    if (exe.empty() || exe.back() != L'\\') exe += L'\\';
    return exe + L"Pellorin.exe";
}

std::wstring PurchaseAddressWith(const std::wstring& languageCode, const std::wstring& instd,
                                 const std::wstring& finstd) {
    const std::wstring version = FileVersionText(ProductExecutablePath(), 4);
    const BuildSettings& settings = GetBuildSettings();
    return BuildPurchaseAddress(LowerLanguageCode(languageCode), version, instd, finstd,
                                settings.purchaseHost, settings.purchaseHostRu);
}

}  // namespace promo
