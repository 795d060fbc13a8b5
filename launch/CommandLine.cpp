#include "launch/CommandLine.h"

namespace promo {
namespace {

bool IsBlank(wchar_t c) { return c <= L' '; }

wchar_t UpperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - (L'a' - L'A')) : c; }

bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
    std::vector<std::wstring> result;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && IsBlank(line[i]) && line[i] != L'\0') ++i;
        if (i >= line.size() || line[i] == L'\0') break;
        std::wstring param;
        bool quoted = false;
        while (i < line.size() && line[i] != L'\0' && (quoted || !IsBlank(line[i]))) {
            if (line[i] == L'"')
                quoted = !quoted;
            else
                param += line[i];
            ++i;
        }
        result.push_back(std::move(param));
    }
    return result;
}

bool HasSwitch(const std::vector<std::wstring>& parameters, std::wstring_view switchText) {
    size_t first = 0, last = switchText.size();
    while (first < last && IsBlank(switchText[first])) ++first;
    while (last > first && IsBlank(switchText[last - 1])) --last;
    if (first == last) return false;
    for (size_t i = 1; i < parameters.size(); ++i) {
        if (parameters[i].empty()) return false;
        // The match is against the untrimmed switch text.
        if (EqualIgnoringAsciiCase(parameters[i], switchText)) return true;
    }
    return false;
}

}  // namespace promo
