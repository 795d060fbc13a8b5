// The program's command line: splitting into parameters and the switch test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace promo {

// Splits a command line by the runtime's usual rules: blanks (and control
// characters) separate, double quotes group and are removed, so "" is an
// empty parameter. The first element is the program name.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// True when one of the parameters (program name excluded) equals the switch
// text as a whole, ignoring the case of A to Z. The switch is trimmed first
// (empty: false); the walk stops with false at the first empty parameter.
bool HasSwitch(const std::vector<std::wstring>& parameters, std::wstring_view switchText);

}  // namespace promo
