// The scales the program carries pictures for, and design lengths at a DPI.
// Portable: the choice of set and the rounding are tested natively.
#pragma once

#include <string>

namespace promo {

// A design length (pixels at 96 DPI) at a DPI, rounded half away from zero
// as MulDiv rounds: 330 at 120 DPI is 413, a font height of -11 is -14.
constexpr int ScaleLength(int length, int dpi) {
    if (dpi <= 0) return length;
    const long long product = static_cast<long long>(length < 0 ? -length : length) * dpi;
    const int scaled = static_cast<int>((product + 48) / 96);
    return length < 0 ? -scaled : scaled;
}

}  // namespace promo
