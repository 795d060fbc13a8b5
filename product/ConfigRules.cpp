#include "product/ConfigRules.h"

#include <cmath>

namespace promo {
namespace {

double UsableValue(const StoredDate& date) { return date.state == StoredDate::State::value ? date.value : 0.0; }

}  // namespace

FirstInstallPlan PlanFirstInstallDate(const StoredDate& file, const StoredDate& registry, DateTimeValue today) {
    FirstInstallPlan plan;
    plan.fileDate = UsableValue(file);
    // NaN is no date either: it would make every comparison below false.
    if (plan.fileDate == 0 || std::isnan(plan.fileDate)) plan.fileDate = today;
    plan.storeFileDate = file.state == StoredDate::State::absent;

    plan.registryDate = UsableValue(registry);
    if (plan.registryDate == 0) {
        plan.registryDate = plan.fileDate;
        // Only a day number that fits the value is stored; a date before
        // 1899-12-31 or beyond it (a damaged file) is not.
        const double wholeDays = std::trunc(plan.fileDate);
        if (registry.state == StoredDate::State::absent && wholeDays >= 1 && wholeDays <= 4294967295.0)
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
