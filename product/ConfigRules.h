// The rules by which the program reads, and may store, two of the product's
// settings: the first-install date and the Focus Assist switch. They are
// portable and work on what was read, so the program (which then writes what
// a rule asks for) and the check tool (which writes nothing) take the same
// answer from the same facts.
#pragma once

#include <cstdint>
#include <optional>

#include "support/DateTime.h"

namespace promo {

// One stored date as it was found: not there at all, there but of the wrong
// type or not convertible, or a number.
struct StoredDate {
    enum class State { absent, unusable, value };
    State state = State::absent;
    double value = 0;  // meaningful for State::value only

    static StoredDate Absent() { return {}; }
    static StoredDate Unusable() { return {State::unusable, 0}; }
    static StoredDate Value(double v) { return {State::value, v}; }
};

// What the first-install date comes to, and what may be stored for it.
struct FirstInstallPlan {
    DateTimeValue fileDate = 0;      // [Main] InstDate1 as the computation uses it
    DateTimeValue registryDate = 0;  // the registry's InstDate as the computation uses it
    DateTimeValue result = 0;        // the earlier of the two (the file's on a tie)
    // InstDate1 is absent: store fileDate (today) as InstDate1 and InstDate2.
    bool storeFileDate = false;
    // InstDate is absent: store these whole days (only a day count that fits
    // the 32-bit value, and not 0, is ever stored).
    std::optional<std::uint32_t> storeRegistryDays;
};

// The first-install date from the file's InstDate1 and the registry's
// InstDate. A place that holds nothing usable (absent, wrong type, text that
// does not convert, or 0) counts as 0: the file's then becomes today and the
// registry's the file's date. Only a place that is absent is ever written; a
// present value, however damaged, is the product's and stays as it stands.
// The registry is given only a known date: the file's own, or today when the
// file held none at all; never today standing in for a file date that is
// there but cannot be read.
FirstInstallPlan PlanFirstInstallDate(const StoredDate& file, const StoredDate& registry,
                                      DateTimeValue today);

// The Focus Assist switch: [Focus] FocusAssist as read (true when missing),
// held off on systems before Windows 10 build 17134 (version 10.0.17134).
struct FocusAssistReading {
    bool stored = true;         // the file's value, or true when missing
    bool systemTooOld = false;  // major*10+minor below 100, or 100 with a build below 17134
    bool Enabled() const { return stored && !systemTooOld; }
    // The program switches the stored value off on such a system.
    bool WritesBackOff() const { return stored && systemTooOld; }
};
FocusAssistReading ReadFocusAssistSwitch(bool stored, unsigned major, unsigned minor, unsigned build);

}  // namespace promo
