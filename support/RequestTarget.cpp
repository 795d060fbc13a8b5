#include "support/RequestTarget.h"

namespace promo {
namespace {

void DropTrailingBlanks(std::wstring& text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
}

bool IsSchemeCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'+' ||
           c == L'-' || c == L'.';
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

std::wstring HttpHostField(const std::wstring& address, const std::wstring& crackedHost) {
    size_t start = 0;
    while (start < address.size() && address[start] <= L' ') ++start;
    const size_t separator = address.find(L"://", start);
    if (separator == std::wstring::npos || separator == start) return crackedHost;
    for (size_t i = start; i < separator; ++i) {
        if (!IsSchemeCharacter(address[i])) return crackedHost;
    }
    const size_t begin = separator + 3;
    // The authority ends at the path, the query or the fragment; a
    // backslash ends it too, as no host or port holds one.
    const size_t end = address.find_first_of(L"/?#\\", begin);
    std::wstring authority =
        address.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
    const size_t at = authority.rfind(L'@');
    if (at != std::wstring::npos) authority.erase(0, at + 1);
    DropTrailingBlanks(authority);
    return authority.empty() ? crackedHost : authority;
}

std::wstring HttpPostHeaders(const std::wstring& address, const std::wstring& crackedHost,
                             std::size_t contentLength) {
    std::wstring headers;
    headers += L"Host: " + HttpHostField(address, crackedHost) + L"\r\n";
    headers +=
        L"User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.10) Gecko/2009042316 "
        L"Firefox/3.0.10\r\n";
    headers += L"Accept: */*\r\n";
    headers += L"Accept-Language: en-us\r\n";
    headers += L"Content-Type: application/x-www-form-urlencoded\r\n";
    headers += L"Content-Length: " + std::to_wstring(contentLength) + L"\r\n";
    headers += L"Cache-Control: no-cache\r\n";
    headers += L"Pragma: no-cache\r\n";
    headers += L"Connection: keep-alive\r\n";
    headers += L"\r\n";
    return headers;
}

}  // namespace promo
