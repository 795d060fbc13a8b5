#include "support/WorkArea.h"

namespace promo {

bool PrimaryMonitorWorkArea(RECT& area) {
    // The monitor's own record rather than SystemParametersInfo's
    // SPI_GETWORKAREA: Windows answers both in the caller's awareness at each
    // call (learn.microsoft.com, "Mixed-Mode DPI Scaling and DPI-aware
    // APIs"), but Wine 10 keeps SPI_GETWORKAREA's first answer for the whole
    // process, so the DPI setup's question, asked while the process is still
    // unaware, would place a window of the per-monitor aware process by a
    // scaled-down work area (at 200 %: 459,209 on a 1920x1080 screen).
    // GetMonitorInfoW's rcWork is the work area in virtual-screen
    // coordinates (learn.microsoft.com, MONITORINFO); the primary monitor is
    // the one at the origin.
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (primary && ::GetMonitorInfoW(primary, &info)) {
        area = info.rcWork;
        return true;
    }
    return ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) != FALSE;
}

}  // namespace promo
