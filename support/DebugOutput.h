// The program's diagnostics: plain debug-output lines without time stamp,
// level or line end. On Windows they go to OutputDebugStringW; tests install
// a sink of their own to read them back in order.
#pragma once

#include <string>

namespace promo {

using DebugSink = void (*)(const std::wstring& line);

// Writes one debug line through the current sink.
void DebugOut(const std::wstring& line);

// Replaces the sink; returns the previous one. nullptr restores the default
// (OutputDebugStringW on Windows, nothing natively).
DebugSink SetDebugSink(DebugSink sink);

}  // namespace promo
