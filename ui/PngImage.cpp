#include "ui/PngImage.h"

#include <png.h>

#include <cstring>

namespace promo {

bool LooksLikePng(const std::uint8_t* data, std::size_t size) {
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

namespace {

// Reads the header into image; false (and nothing to free) when it is not a
// PNG of a size we accept.
bool BeginRead(const std::uint8_t* data, std::size_t size, png_image& image) {
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!data || !LooksLikePng(data, size)) return false;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    // Our pictures are small; refuse absurd sizes instead of allocating them.
    if (image.width == 0 || image.height == 0 || image.width > 8192 || image.height > 8192) {
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace

bool ReadPngSize(const std::uint8_t* data, std::size_t size, int& width, int& height) {
    width = height = 0;
    png_image image;
    if (!BeginRead(data, size, image)) return false;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    png_image_free(&image);
    return true;
}

bool DecodePng(const std::uint8_t* data, std::size_t size, DecodedImage& out) {
    out = DecodedImage{};
    png_image image;
    if (!BeginRead(data, size, image)) return false;
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }

    bool hasAlpha = false;
    for (std::uint32_t& p : pixels) {
        const std::uint32_t a = p >> 24;
        if (a == 255) continue;
        hasAlpha = true;
        auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
        const std::uint32_t b = mul(p & 0xFF), g = mul((p >> 8) & 0xFF), r = mul((p >> 16) & 0xFF);
        p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels = std::move(pixels);
    out.hasAlpha = hasAlpha;
    return true;
}

}  // namespace promo
