#include "promo/PurchaseLink.h"

#include <cmath>
#include <cstdint>

namespace promo {

std::wstring LowerLanguageCode(std::wstring code) {
    for (wchar_t& c : code) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return code;
}

std::wstring BuildPurchaseAddress(const std::wstring& languageCodeLower, const std::wstring& fileVersion,
                                  const std::wstring& instd, const std::wstring& finstd,
                                  const std::wstring& purchaseHost, const std::wstring& purchaseHostRu) {
    std::wstring address;
    if (languageCodeLower == L"ru") {
        address = L"https://" + purchaseHostRu + L"/purchase/kv/";
    } else {
        address = L"https://" + purchaseHost + L"/" + languageCodeLower + L"/kv/";
    }
    address += languageCodeLower == L"en" ? kPurchasePageEn : kPurchasePage;
    address += L".php?to=";
    address += kPurchaseCampaign;
    address += L"&ver=" + fileVersion;
    address += L"&instd=" + instd;
    address += L"&finstd=" + finstd;
    return address;
}

std::wstring DaysSinceText(DateTimeValue storedValue, DateTimeValue now) {
    // A value that is not a number would otherwise pass both tests below and
    // read as "installed today".
    if (storedValue == 0 || !std::isfinite(storedValue) || !std::isfinite(now)) return L"-1";
    if (now < storedValue) return L"-1";
    // A count beyond 32 bits (a damaged value far in the past) would wrap
    // into a plausible number of days.
    if (std::trunc(now - storedValue) > static_cast<double>(INT32_MAX)) return L"-1";
    return std::to_wstring(static_cast<std::int64_t>(DaysBetween(now, storedValue)) + 1);
}

std::wstring BuildStatsBody(const std::wstring& languageCodeLower, bool closedWithCloseButton) {
    return L"lan=" + languageCodeLower + L"&name=" + kStatsCampaignName + L"&show=1&click=" +
           (closedWithCloseButton ? L"0" : L"1");
}

std::wstring StatsAddress(const std::wstring& statsHost) {
    return L"http://" + statsHost + kStatsPath;
}

}  // namespace promo
