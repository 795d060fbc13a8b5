// The texts that leave the program when the promotion window is dismissed:
// the purchase address opened by the buy button and the body and address of
// the campaign statistics request. Pure builders over plain values, so the
// window only gathers the inputs (language code, file version, install
// dates, build settings) and hands the results to the web routines.
#pragma once

#include <string>

// The campaign's identifiers (kPurchaseCampaign, kStatsCampaignName, the
// pages, the statistics path) come from its folder, checked and written out
// by the build (scripts/campaign.py).
#include "campaign/CampaignConstants.h"
#include "support/DateTime.h"

namespace promo {

// The language code as the consumers use it: ASCII A-Z lower-cased, every
// other character unchanged ("EN" -> "en").
std::wstring LowerLanguageCode(std::wstring code);

// "https://" + purchaseHost + "/" + lang + "/kv/" (or, for "ru",
// "https://" + purchaseHostRu + "/purchase/kv/"), then the page
// (kPurchasePageEn for "en", else kPurchasePage) and
// ".php?to=<kPurchaseCampaign>&ver=<fileVersion>&instd=<instd>&finstd=<finstd>".
// Plain concatenation: nothing is escaped. The language code is compared
// exactly, so callers pass it lower-cased.
std::wstring BuildPurchaseAddress(const std::wstring& languageCodeLower, const std::wstring& fileVersion,
                                  const std::wstring& instd, const std::wstring& finstd,
                                  const std::wstring& purchaseHost, const std::wstring& purchaseHostRu);

// Days since a stored date-time value as decimal text: "-1" when nothing is
// recorded (0), when the value lies after now, when it is not a number, or
// when the day count does not fit in 32 bits;
// otherwise the whole days between the two plus one (earlier today -> "1").
std::wstring DaysSinceText(DateTimeValue storedValue, DateTimeValue now);

// "lan=<lang>&name=<kStatsCampaignName>&show=1&click=<0|1>": click is "0"
// when the close button dismissed the window, "1" for the buy button.
std::wstring BuildStatsBody(const std::wstring& languageCodeLower, bool closedWithCloseButton);

// "http://" + statsHost + kStatsPath. The path is handed on exactly as the
// campaign stores it (this campaign's ends with one blank).
std::wstring StatsAddress(const std::wstring& statsHost);

}  // namespace promo
