#include "support/DebugOutput.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace promo {
namespace {

void DefaultSink(const std::wstring& line) {
#ifdef _WIN32
    ::OutputDebugStringW(line.c_str());
#else
    (void)line;
#endif
}

DebugSink g_sink = &DefaultSink;

}  // namespace

void DebugOut(const std::wstring& line) { g_sink(line); }

DebugSink SetDebugSink(DebugSink sink) {
    DebugSink old = g_sink;
    g_sink = sink ? sink : &DefaultSink;
    return old;
}

}  // namespace promo
