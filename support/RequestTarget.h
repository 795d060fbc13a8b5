// The request target of an HTTP request line, built from an address's parts.
// A raw blank would end the target early: servers refuse such a line (400)
// or read the rest as the protocol version, and the request is then lost
// without a word, as any answer counts as sent.
#pragma once

#include <string>

namespace promo {

// `path` followed by `extra` (the part from "?" or "#" on) with the path's
// trailing blanks dropped, then the target's own trailing blanks, and every
// blank left inside escaped as "%20". Other characters, including "%" and
// non-ASCII ones, are left as they are: the request library escapes those.
std::wstring HttpRequestTarget(const std::wstring& path, const std::wstring& extra);

}  // namespace promo
