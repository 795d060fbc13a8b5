// The Windows version as the platform reports it to the program (with the
// manifest's supported-systems list, the true version). Read once; tests may
// substitute a reported version.
#pragma once

namespace promo {

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
};

const OsVersion& ReportedOsVersion();

// Replaces the reported version for the rest of the process (tests only).
void SetReportedOsVersionForTesting(const OsVersion& version);

}  // namespace promo
