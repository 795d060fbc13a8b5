// What the window's two buttons do besides hiding and closing it: the
// campaign statistics request (with the shown marker written first) and the
// purchase page with the campaign, the product's version and install ages.
#pragma once

#include <string>

namespace promo {

// Writes the shown marker, then posts "lan=..&name=..&show=1&click=0|1" to the
// statistics server. click is "0" when the close button dismissed the window.
void SendCampaignStat(const std::wstring& languageCode, bool closedWithCloseButton);

// Days since the product's install / first install, as the address carries
// them: "-1" when unknown or in the future, else whole days + 1.
std::wstring DaysSinceInstallText();
std::wstring DaysSinceFirstInstallText();

// The purchase page of this run: language, the product executable's file
// version, the two day counts.
std::wstring PurchaseAddress(const std::wstring& languageCode);
// The same with the day counts given (the check tool computes them from
// dates it read without storing anything).
std::wstring PurchaseAddressWith(const std::wstring& languageCode, const std::wstring& instd,
                                 const std::wstring& finstd);
// The product's executable whose file version the address carries.
std::wstring ProductExecutablePath();

}  // namespace promo
