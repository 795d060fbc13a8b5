// The request target of an HTTP request line and the header block of the
// form POST, built from an address and its parts. A raw blank would end the
// target early: servers refuse such a line (400) or read the rest as the
// protocol version, and the request is then lost without a word, as any
// answer counts as sent.
#pragma once

#include <cstddef>
#include <string>

namespace promo {

// `path` followed by `extra` (the part from "?" or "#" on) with the path's
// trailing blanks dropped, then the target's own trailing blanks, and every
// blank left inside escaped as "%20". Other characters, including "%" and
// non-ASCII ones, are left as they are: the request library escapes those.
std::wstring HttpRequestTarget(const std::wstring& path, const std::wstring& extra);

// The Host field's value for a request to `address`: its authority as
// written, without user information, so that a port it names stays
// ("127.0.0.1:8080") and an address without one gives the host alone (RFC
// 9110, 7.2: the field is identical to the target's authority). An address
// whose authority cannot be told apart gives `crackedHost`, the host the
// platform's URL parser found.
std::wstring HttpHostField(const std::wstring& address, const std::wstring& crackedHost);

// The form POST's header block: nine lines, each ended by CRLF, then an
// empty line. Host as above, the fixed agent, accept and cache lines, and
// the body's length in bytes.
std::wstring HttpPostHeaders(const std::wstring& address, const std::wstring& crackedHost,
                             std::size_t contentLength);

}  // namespace promo
