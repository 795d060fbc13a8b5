#include "support/RequestTarget.h"

namespace promo {
namespace {

void DropTrailingBlanks(std::wstring& text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
}

}  // namespace

std::wstring HttpRequestTarget(const std::wstring& path, const std::wstring& extra) {
    // The statistics address ends its path with a blank that the server does
    // not know as part of the name: the file is the name without it.
    std::wstring joined = path;
    DropTrailingBlanks(joined);
    joined += extra;
    DropTrailingBlanks(joined);
    std::wstring target;
    target.reserve(joined.size());
    for (wchar_t c : joined) {
        if (c == L' ')
            target += L"%20";
        else
            target += c;
    }
    return target;
}

}  // namespace promo
