// The program's build settings: host names of the statistics server and of
// the purchase sites (each may carry a ":port"), the campaign end and the
// uptime to wait for. They are compiled in; the shipping build uses the
// defaults of the build, the test/demo variant its own values. The exe links
// exactly one definition of GetBuildSettings().
#pragma once

namespace promo {

struct BuildSettings {
    const wchar_t* statsHost;       // "stats.pellorin.example" or "127.0.0.1:18931"
    const wchar_t* purchaseHost;    // purchase site for every language but ru
    const wchar_t* purchaseHostRu;  // regional purchase site for ru
    const wchar_t* campaignEnd;     // "yyyy-M-d", local time; shown strictly before it
    unsigned minUptimeMs;           // uptime the program waits for
};

const BuildSettings& GetBuildSettings();

}  // namespace promo
