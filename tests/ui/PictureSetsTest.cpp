// Which picture set a DPI draws from, and the names of set pictures.
#include <gtest/gtest.h>

#include <string>

#include "ui/PictureSets.h"

namespace promo {
namespace {

TEST(PictureSets, ChoosesTheSetMadeForTheScaleOrTheNextLarger) {
    struct Case {
        int dpi;
        int percent;
    };
    const Case cases[] = {
        {72, 100},
        {96, 100},
        {97, 125},
        {108, 125},
        {120, 125},
        {121, 150},
        {132, 150},
        {144, 150},
        {168, 200},
        {192, 200},
        {193, 300},
        {240, 300},
        {288, 300},
        {384, 300},  // beyond the largest set:
                     // the largest, drawn larger
        {0, 100},    // no DPI known: the design set
    };
    for (const auto& c : cases) EXPECT_EQ(ChoosePictureSet(c.dpi), c.percent) << "dpi " << c.dpi;
}

TEST(PictureSets, NamesASetPictureByTheDesignNameAndThePercent) {
    struct Case {
        const wchar_t* file;
        int percent;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"close_normal.png", 100, L"close_normal.png"},
        {L"close_normal.png", 125, L"close_normal@125.png"},
        {L"features_nl.png", 300, L"features_nl@300.png"},
        {L"a.b.png", 150, L"a.b@150.png"},      // only the last extension
        {L"sub.d/pic", 200, L"sub.d/pic@200"},  // a dot in a folder is no extension
        {L"noext", 200, L"noext@200"},
        {L".hidden", 125, L".hidden@125"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureSetFile(c.file, c.percent), c.expected) << std::wstring(c.file) << " " << c.percent;
}

}  // namespace
}  // namespace promo
