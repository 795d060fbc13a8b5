// The benchmark build's timeline sink, in a file of its own so that no other
// build links it.
#include <windows.h>

#include <cwchar>

#include "support/Timeline.h"

namespace promo {
namespace {

// FILETIME (100 ns since 1601) to microseconds since 1970.
long long UnixMicroseconds(const FILETIME& t) {
    const unsigned long long ticks = (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return static_cast<long long>(ticks / 10) - 11644473600000000LL;
}

void WriteMark(const wchar_t* phase, long long micros) {
    wchar_t line[96];
    std::swprintf(line, 96, L"timeline %ls %lld", phase, micros);
    ::OutputDebugStringW(line);
}

}  // namespace

void TimelineToDebugOutput(const wchar_t* phase) noexcept {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);  // precise under Wine; Vista has no precise variant
    static bool startWritten = false;
    if (!startWritten) {
        startWritten = true;
        FILETIME created, exited, kernel, user;
        if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
            WriteMark(L"process-start", UnixMicroseconds(created));
    }
    WriteMark(phase, UnixMicroseconds(now));
}

}  // namespace promo
