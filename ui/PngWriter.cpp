#include "ui/PngWriter.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace promo {

bool EncodePng(const DecodedImage& image, std::vector<std::uint8_t>& out) {
    out.clear();
    if (image.Empty()) return false;
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_BGRA;
    // libpng takes straight (not premultiplied) alpha here.
    std::vector<std::uint32_t> straight(image.pixels);
    for (auto& p : straight) {
        const unsigned a = p >> 24;
        if (a == 0 || a == 255) continue;
        auto un = [a](unsigned c) { return std::min(255u, (c * 255 + a / 2) / a); };
        p = (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, straight.data(), 0, nullptr)) return false;
    out.resize(size);
    if (!png_image_write_to_memory(&png, out.data(), &size, 0, straight.data(), 0, nullptr)) {
        out.clear();
        return false;
    }
    out.resize(size);
    return true;
}

bool WritePngFile(const DecodedImage& image, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!EncodePng(image, bytes)) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace promo
