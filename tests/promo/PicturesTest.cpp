// The window's pictures as committed: sizes, real alpha, and the properties
// the window's drawing relies on (the buy faces stretch only in their middle,
// the feature picture leaves room for the tile headings).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ui/PngImage.h"

namespace promo {
namespace {

DecodedImage Load(const std::string& name) {
    std::ifstream in(std::string(PROMO_PICTURES_DIR) + "/" + name, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    DecodedImage image;
    EXPECT_TRUE(DecodePng(bytes.data(), bytes.size(), image)) << name;
    return image;
}

std::uint32_t At(const DecodedImage& image, int x, int y) { return image.pixels[y * image.width + x]; }
std::uint32_t Alpha(std::uint32_t pixel) { return pixel >> 24; }

TEST(Pictures, HaveTheirSizesAndRealAlpha) {
    const struct {
        const char* name;
        int width, height;
    } pictures[] = {
        {"badge_pro.png", 34, 16},     {"badge_free.png", 51, 16}, {"close_normal.png", 34, 34},
        {"close_hover.png", 34, 34},   {"close_down.png", 34, 34}, {"close_disabled.png", 34, 34},
        {"buy_normal.png", 156, 36},   {"buy_hover.png", 156, 36}, {"buy_down.png", 156, 36},
        {"buy_disabled.png", 156, 36}, {"features.png", 364, 93},  {"features_nl.png", 364, 93},
    };
    for (const auto& p : pictures) {
        const DecodedImage image = Load(p.name);
        EXPECT_EQ(image.width, p.width) << p.name;
        EXPECT_EQ(image.height, p.height) << p.name;
        EXPECT_TRUE(image.hasAlpha) << p.name;
    }
}

TEST(Pictures, BuyFacesStretchInvisiblyBetweenTheirEnds) {
    std::vector<std::vector<std::uint32_t>> middles;
    for (const char* name : {"buy_normal.png", "buy_hover.png", "buy_down.png", "buy_disabled.png"}) {
        const DecodedImage image = Load(name);
        ASSERT_EQ(image.width, 156) << name;
        // Rounded corners: transparent at the very corner, opaque inside.
        EXPECT_EQ(Alpha(At(image, 0, 0)), 0u) << name;
        EXPECT_EQ(Alpha(At(image, 155, 35)), 0u) << name;
        EXPECT_EQ(Alpha(At(image, 78, 18)), 255u) << name;
        // Every column of the middle slice (52..103) equals its first one.
        std::vector<std::uint32_t> column;
        for (int y = 0; y < image.height; ++y) {
            column.push_back(At(image, 52, y));
            for (int x = 53; x < 104; ++x) ASSERT_EQ(At(image, x, y), At(image, 52, y)) << name << " " << x;
        }
        middles.push_back(column);
    }
    // Normal, hover, pressed and disabled faces differ from one another.
    for (size_t a = 0; a < middles.size(); ++a)
        for (size_t b = a + 1; b < middles.size(); ++b) EXPECT_NE(middles[a], middles[b]) << a << " " << b;
}

TEST(Pictures, CloseFacesShareTheCrossAndDiffer) {
    std::vector<std::vector<std::uint32_t>> faces;
    for (const char* name : {"close_normal.png", "close_hover.png", "close_down.png", "close_disabled.png"}) {
        const DecodedImage image = Load(name);
        // The cross runs through the middle.
        EXPECT_GT(Alpha(At(image, 16, 16)), 200u) << name;
        EXPECT_GT(Alpha(At(image, 12, 12)), 100u) << name;
        faces.push_back(image.pixels);
    }
    for (size_t a = 0; a < faces.size(); ++a)
        for (size_t b = a + 1; b < faces.size(); ++b) EXPECT_NE(faces[a], faces[b]) << a << " " << b;
}

TEST(Pictures, FeaturePicturesLeaveTheHeadingRowsClear) {
    for (const char* name : {"features.png", "features_nl.png"}) {
        const DecodedImage image = Load(name);
        ASSERT_EQ(image.height, 93) << name;
        for (int y = 63; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                ASSERT_EQ(Alpha(At(image, x, y)), 0u) << name << " " << x << "," << y;
        // The separator bars between the tiles: opaque #4A4A4A.
        for (int x : {103, 261}) EXPECT_EQ(At(image, x, 36), 0xFF4A4A4Au) << name << " " << x;
    }
    // The Dutch variant differs only in the third tile's tag.
    const DecodedImage plain = Load("features.png");
    const DecodedImage dutch = Load("features_nl.png");
    bool thirdDiffers = false;
    for (int y = 0; y < 63; ++y) {
        for (int x = 0; x < 364; ++x) {
            if (x < 262) {
                ASSERT_EQ(At(plain, x, y), At(dutch, x, y)) << x << "," << y;
            } else if (At(plain, x, y) != At(dutch, x, y)) {
                thirdDiffers = true;
            }
        }
    }
    EXPECT_TRUE(thirdDiffers);
}

}  // namespace
}  // namespace promo
