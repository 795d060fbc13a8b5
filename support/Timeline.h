// Start-up timeline, for the benchmark build only.
//
// The program marks the end of each start-up phase (the unit initializations,
// the DPI setup, reading the window description, the creation handler, the
// layout, the first paint). A mark does nothing unless a sink is installed,
// and only the benchmark build's entry installs one (TimelineToDebugOutput),
// so the shipping program takes no time stamps and its debug output stays
// exactly as it is.
#pragma once

namespace promo {

using TimelineSink = void (*)(const wchar_t* phase) noexcept;

// Installs the sink (nullptr removes it).
void SetTimelineSink(TimelineSink sink) noexcept;

// The end of a phase; each phase name is reported once, the first time.
void TimelineMark(const wchar_t* phase) noexcept;

#ifdef _WIN32
// The benchmark build's sink: one debug line per phase,
// "timeline <phase> <microseconds since 1970-01-01 UTC>", and at the first
// mark also "timeline process-start <...>", the process's creation time.
void TimelineToDebugOutput(const wchar_t* phase) noexcept;
#endif

}  // namespace promo
