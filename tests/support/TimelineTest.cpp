// The start-up timeline: silent without a sink, each phase once with one.
#include "support/Timeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace promo {
namespace {

std::vector<std::wstring>& Seen() {
    static std::vector<std::wstring> seen;
    return seen;
}
void Record(const wchar_t* phase) noexcept { Seen().push_back(phase); }

TEST(Timeline, MarksReachOnlyAnInstalledSinkAndEachPhaseOnce) {
    Seen().clear();
    TimelineMark(L"before-sink");  // the shipping program: no sink, nothing recorded
    SetTimelineSink(&Record);
    for (const wchar_t* phase : {L"units", L"first-paint", L"units", L"first-paint", L"layout"})
        TimelineMark(phase);
    SetTimelineSink(nullptr);
    TimelineMark(L"after-sink");
    EXPECT_EQ(Seen(), (std::vector<std::wstring>{L"units", L"first-paint", L"layout"}));
}

}  // namespace
}  // namespace promo
