#include "support/Timeline.h"

#include <atomic>
#include <cwchar>

namespace promo {
namespace {

std::atomic<TimelineSink> g_sink{nullptr};

// Phase names already reported (a handful; the marks run on one thread).
constexpr int kMaxPhases = 32;
const wchar_t* g_reported[kMaxPhases];
int g_reportedCount = 0;

bool FirstTime(const wchar_t* phase) {
    for (int i = 0; i < g_reportedCount; ++i)
        if (std::wcscmp(g_reported[i], phase) == 0) return false;
    if (g_reportedCount < kMaxPhases) g_reported[g_reportedCount++] = phase;
    return true;
}

}  // namespace

void SetTimelineSink(TimelineSink sink) noexcept { g_sink = sink; }

void TimelineMark(const wchar_t* phase) noexcept {
    if (TimelineSink sink = g_sink.load()) {
        if (FirstTime(phase)) sink(phase);
    }
}

}  // namespace promo
