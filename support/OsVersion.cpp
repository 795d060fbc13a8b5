#include "support/OsVersion.h"

#include <windows.h>

namespace promo {
namespace {

OsVersion ReadVersion() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return {};
#pragma GCC diagnostic pop
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

OsVersion& Storage() {
    static OsVersion version = ReadVersion();
    return version;
}

}  // namespace

const OsVersion& ReportedOsVersion() { return Storage(); }

void SetReportedOsVersionForTesting(const OsVersion& version) { Storage() = version; }

}  // namespace promo
