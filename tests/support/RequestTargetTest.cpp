// The request target: no raw blank may reach the request line.
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

}  // namespace
}  // namespace promo
