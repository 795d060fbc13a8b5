// PNG decoding with libpng into premultiplied 32-bit pixels, the form in which
// pictures are kept and blended (AlphaBlend wants premultiplied BGRA).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace promo {

struct DecodedImage {
    int width = 0;
    int height = 0;
    // Top-down rows of 0xAARRGGBB values (B, G, R, A bytes in memory),
    // colour premultiplied by alpha.
    std::vector<std::uint32_t> pixels;
    bool hasAlpha = false;  // some pixel is not fully opaque

    bool Empty() const { return width <= 0 || height <= 0; }
};

// Decodes a PNG file held in memory. False (and an empty image) for anything
// that is not a readable PNG; never throws.
bool DecodePng(const std::uint8_t* data, std::size_t size, DecodedImage& out);

// The size a PNG file declares in its header, read without decoding the
// pixels; false for anything DecodePng would refuse at its header.
bool ReadPngSize(const std::uint8_t* data, std::size_t size, int& width, int& height);

// The 8-byte PNG signature test.
bool LooksLikePng(const std::uint8_t* data, std::size_t size);

}  // namespace promo
