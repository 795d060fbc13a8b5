#include "product/ConfigRules.h"

#include <cmath>

namespace promo {
namespace {

double UsableValue(const StoredDate& date) {
    return date.state == StoredDate::State::value ? date.value : 0.0;
}

}  // namespace

FirstInstallPlan PlanFirstInstallDate(const StoredDate& file, const StoredDate& registry,
                                      DateTimeValue today) {
    FirstInstallPlan plan;
    plan.fileDate = UsableValue(file);
    // NaN is no date either: it would make every comparison below false.
    if (plan.fileDate == 0 || std::isnan(plan.fileDate)) plan.fileDate = today;
    plan.storeFileDate = file.state == StoredDate::State::absent;

    // The file's date is known when the file held a date, or held nothing at
    // all (today is then recorded as the first install). A value that is
    // there but unusable says a date was recorded that cannot be read: today
    // would be a guess, and the registry is not given a guess for good.
    const bool fileDateKnown =
        file.state == StoredDate::State::absent ||
        (file.state == StoredDate::State::value && file.value != 0 && !std::isnan(file.value));

    plan.registryDate = UsableValue(registry);
    if (plan.registryDate == 0 || std::isnan(plan.registryDate)) {
        plan.registryDate = plan.fileDate;
        // Only a day number that fits the value is stored; a date before
        // 1899-12-31 or beyond it (a damaged file) is not.
        const double wholeDays = std::trunc(plan.fileDate);
        if (registry.state == StoredDate::State::absent && fileDateKnown && wholeDays >= 1 &&
            wholeDays <= 4294967295.0)
            plan.storeRegistryDays = static_cast<std::uint32_t>(wholeDays);
    }
    plan.result = plan.registryDate < plan.fileDate ? plan.registryDate : plan.fileDate;
    return plan;
}

FocusAssistReading ReadFocusAssistSwitch(bool stored, unsigned major, unsigned minor, unsigned build) {
    const unsigned n = major * 10 + minor;
    return FocusAssistReading{stored, n < 100 || (n == 100 && build < 17134)};
}

}  // namespace promo
