// The session's age over the session manager's functions, handed in so that
// tests can answer for it (the program passes wtsapi32's, bound at run time).
#pragma once

#include <windows.h>
// after windows.h
#include <wtsapi32.h>

#include <cstdint>
#include <optional>

namespace promo {

struct SessionInfoFunctions {
    decltype(::WTSQuerySessionInformationW)* query = nullptr;
    decltype(::WTSFreeMemory)* free = nullptr;
};

// Asks for the WTSINFOW of this process's session and takes its age from
// LogonTime and CurrentTime. Empty when a function is missing, the query
// fails, its answer is too short, or the logon time is zero.
std::optional<std::uint64_t> SessionAgeMs(const SessionInfoFunctions& functions);

}  // namespace promo
