// The first-install date and Focus Assist rules: what the date comes to and
// what may be stored, from every kind of stored value.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "product/ConfigRules.h"

namespace promo {
namespace {

constexpr double kToday = 46365.0;

struct InstallDateCase {
    const char* name;
    StoredDate file;
    StoredDate registry;
    double result;
    bool storeFile;
    std::optional<std::uint32_t> storeRegistry;
};

TEST(FirstInstallDate, OnlyAbsentPlacesAreWrittenAndOnlyWithAKnownDate) {
    const InstallDateCase cases[] = {
        {"fresh system: today in both", StoredDate::Absent(), StoredDate::Absent(), kToday, true, 46365u},
        {"registry earlier", StoredDate::Value(44000.5), StoredDate::Value(43000), 43000, false,
         std::nullopt},
        {"file earlier", StoredDate::Value(44000.5), StoredDate::Value(45000), 44000.5, false, std::nullopt},
        {"registry absent gets the whole days", StoredDate::Value(44000.75), StoredDate::Absent(), 44000.75,
         false, 44000u},
        {"registry 0 stays 0", StoredDate::Value(44000.75), StoredDate::Value(0), 44000.75, false,
         std::nullopt},
        {"file absent, registry set", StoredDate::Absent(), StoredDate::Value(43000), 43000, true,
         std::nullopt},
        // "InstDate1=44000,5" where the separator is ".": kept, counted as 0,
        // and today is not handed to the registry as if it were the date.
        {"unconvertible file, registry absent", StoredDate::Unusable(), StoredDate::Absent(), kToday, false,
         std::nullopt},
        {"unconvertible file, registry set", StoredDate::Unusable(), StoredDate::Value(43000), 43000, false,
         std::nullopt},
        {"file 0 is present", StoredDate::Value(0), StoredDate::Absent(), kToday, false, std::nullopt},
        // "InstDate" stored as REG_SZ: kept, counted as 0, the file's date used.
        {"registry of another type", StoredDate::Value(44000.5), StoredDate::Unusable(), 44000.5, false,
         std::nullopt},
        {"both unusable", StoredDate::Unusable(), StoredDate::Unusable(), kToday, false, std::nullopt},
        {"file date before 1899-12-31", StoredDate::Value(-5), StoredDate::Absent(), -5, false, std::nullopt},
        {"file date beyond 32 bits of days", StoredDate::Value(5e9), StoredDate::Absent(), 5e9, false,
         std::nullopt},
        {"file NaN", StoredDate::Value(std::nan("")), StoredDate::Absent(), kToday, false, std::nullopt},
    };
    for (const InstallDateCase& c : cases) {
        SCOPED_TRACE(c.name);
        const FirstInstallPlan plan = PlanFirstInstallDate(c.file, c.registry, kToday);
        EXPECT_EQ(plan.result, c.result);
        EXPECT_EQ(plan.storeFileDate, c.storeFile);
        EXPECT_EQ(plan.storeRegistryDays, c.storeRegistry);
        if (plan.storeFileDate) {
            EXPECT_EQ(plan.fileDate, kToday);
        }
    }
}

TEST(FocusAssist, HeldOffAndWrittenBackOnlyBeforeBuild17134WhenOn) {
    struct Case {
        bool stored;
        unsigned major, minor, build;
        bool enabled, writesBack;
    };
    const Case cases[] = {
        {true, 10, 0, 17134, true, false},   {true, 10, 0, 17133, false, true},
        {false, 10, 0, 17133, false, false}, {false, 10, 0, 17134, false, false},
        {true, 6, 3, 9600, false, true},     {true, 6, 1, 7601, false, true},
        {true, 10, 1, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " " << c.major << "." << c.minor << "." << c.build);
        const FocusAssistReading reading = ReadFocusAssistSwitch(c.stored, c.major, c.minor, c.build);
        EXPECT_EQ(reading.Enabled(), c.enabled);
        EXPECT_EQ(reading.WritesBackOff(), c.writesBack);
    }
}

}  // namespace
}  // namespace promo
