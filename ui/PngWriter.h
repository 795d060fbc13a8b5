// Writing pictures as PNG files with libpng (rendered forms saved by tests).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/PngImage.h"

namespace promo {

// Encodes premultiplied BGRA pixels as an RGBA PNG; false on failure.
bool EncodePng(const DecodedImage& image, std::vector<std::uint8_t>& out);
bool WritePngFile(const DecodedImage& image, const std::string& path);

}  // namespace promo
