// The request target (no raw blank may reach the request line) and the
// header block with its Host line.
#include <gtest/gtest.h>

#include "support/RequestTarget.h"

namespace promo {
namespace {

TEST(HttpRequestTarget, DropsTrailingBlanksAndEscapesInnerOnes) {
    const struct {
        const wchar_t* path;
        const wchar_t* extra;
        const wchar_t* target;
    } cases[] = {
        {L"/other/kv_reservepmt.php ", L"", L"/other/kv_reservepmt.php"},  // the statistics address
        {L"/other/kv_reservepmt.php   ", L"", L"/other/kv_reservepmt.php"},
        {L"/p.php", L"?a=1&b=2", L"/p.php?a=1&b=2"},
        {L"/p.php ", L"?a=1", L"/p.php?a=1"},  // the path's own trailing blank, before the query
        {L"/a b/c  d.php", L"", L"/a%20b/c%20%20d.php"},
        {L"/p.php", L"?q=x y ", L"/p.php?q=x%20y"},
        {L"/ p.php", L"#top", L"/%20p.php#top"},  // a leading blank is inside the target
        {L"/already%20escaped.php", L"", L"/already%20escaped.php"},
        {L"/Gr\u00fc\u00dfe.php\t", L"", L"/Gr\u00fc\u00dfe.php\t"},  // only blanks are touched
        {L"/", L"", L"/"},
        {L"   ", L"", L""},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HttpRequestTarget(c.path, c.extra), c.target)
            << testing::PrintToString(std::wstring(c.path)) << " + "
            << testing::PrintToString(std::wstring(c.extra));
    }
}

TEST(HttpPostHeaders, HostLineIsTheAuthorityAsWrittenThenTheFixedLines) {
    const struct {
        const wchar_t* address;
        const wchar_t* crackedHost;
        const wchar_t* host;
    } cases[] = {
        // The shipping build's address: the host alone, as ever.
        {L"http://stats.pellorin.example/other/kv_reservepmt.php ", L"stats.pellorin.example",
         L"stats.pellorin.example"},
        // The test builds' loopback host keeps its port.
        {L"http://127.0.0.1:24817/other/kv_reservepmt.php ", L"127.0.0.1", L"127.0.0.1:24817"},
        {L"http://h.example:80/p", L"h.example", L"h.example:80"},  // a default port that is written stays
        {L"HTTP://Stats.Example:8080?a=1", L"Stats.Example", L"Stats.Example:8080"},
        {L"http://h.example:81#top", L"h.example", L"h.example:81"},
        {L"http://h.example:81", L"h.example", L"h.example:81"},
        {L"http://user:pw@h.example:81/p", L"h.example", L"h.example:81"},  // user information never
        {L"http://[::1]:8080/p", L"[::1]", L"[::1]:8080"},
        {L"  http://h.example:81/p", L"h.example", L"h.example:81"},
        {L"http://h.example\\p", L"h.example", L"h.example"},
        // No authority to be read: the parser's host.
        {L"h.example:81/p", L"h.example", L"h.example"},
        {L"a/b://h:1/p", L"h", L"h"},
        {L"http:///p", L"", L""},
    };
    const std::wstring fixed =
        L"User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.10) Gecko/2009042316 "
        L"Firefox/3.0.10\r\n"
        L"Accept: */*\r\n"
        L"Accept-Language: en-us\r\n"
        L"Content-Type: application/x-www-form-urlencoded\r\n"
        L"Content-Length: 32\r\n"
        L"Cache-Control: no-cache\r\n"
        L"Pragma: no-cache\r\n"
        L"Connection: keep-alive\r\n"
        L"\r\n";
    for (const auto& c : cases) {
        EXPECT_EQ(HttpPostHeaders(c.address, c.crackedHost, 32),
                  L"Host: " + std::wstring(c.host) + L"\r\n" + fixed)
            << testing::PrintToString(std::wstring(c.address));
    }
}

}  // namespace
}  // namespace promo
