// Decoding our pictures: libpng linked and honouring alpha, on both targets.
#include <gtest/gtest.h>

#include <string>

#include "common/TestData.h"
#include "ui/PngImage.h"

namespace promo {
namespace {

TEST(PngImage, DecodesAlphaIntoPremultipliedBgra) {
    const auto bytes = test::ReadDataFile("png/alpha-3x2.png");
    ASSERT_FALSE(bytes.empty());
    DecodedImage img;
    ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), img));
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    EXPECT_TRUE(img.hasAlpha);
    auto px = [&](int x, int y) { return img.pixels[static_cast<size_t>(y) * img.width + x]; };
    // Half-transparent red (alpha 127 in the file): full red premultiplied to 127.
    EXPECT_EQ(px(0, 0) >> 24, 127u);
    EXPECT_EQ((px(0, 0) >> 16) & 0xFF, 127u);
    EXPECT_EQ(px(0, 0) & 0xFFFF, 0u);
    EXPECT_EQ(px(1, 0), 0xFF0000FFu);  // opaque blue stays as it is
    EXPECT_EQ(px(0, 1), 0u);           // fully transparent: all zero
    EXPECT_EQ(px(2, 1) >> 24, 64u);    // quarter-transparent green
    EXPECT_EQ((px(2, 1) >> 8) & 0xFF, 64u);
}

TEST(PngImage, RejectsWhatIsNotAPng) {
    DecodedImage img;
    const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    EXPECT_FALSE(DecodePng(junk, sizeof junk, img));
    EXPECT_TRUE(img.Empty());
    auto bytes = test::ReadDataFile("png/alpha-3x2.png");
    ASSERT_GT(bytes.size(), 40u);
    bytes.resize(bytes.size() / 2);  // truncated file
    EXPECT_FALSE(DecodePng(bytes.data(), bytes.size(), img));
    EXPECT_FALSE(DecodePng(nullptr, 0, img));
}

TEST(PngImage, ReadsTheSizeFromTheHeaderAlone) {
    auto bytes = test::ReadDataFile("png/alpha-3x2.png");
    int w = -1, h = -1;
    ASSERT_TRUE(ReadPngSize(bytes.data(), bytes.size(), w, h));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    // A file cut short keeps its header: the size reads, the pixels do not.
    const auto idat = std::string(bytes.begin(), bytes.end()).find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    bytes.resize(idat + 8);
    ASSERT_TRUE(ReadPngSize(bytes.data(), bytes.size(), w, h));
    EXPECT_EQ(w, 3);
    DecodedImage img;
    EXPECT_FALSE(DecodePng(bytes.data(), bytes.size(), img));
    const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    EXPECT_FALSE(ReadPngSize(junk, sizeof junk, w, h));
    EXPECT_EQ(w, 0);
    EXPECT_FALSE(ReadPngSize(nullptr, 0, w, h));
}

}  // namespace
}  // namespace promo
