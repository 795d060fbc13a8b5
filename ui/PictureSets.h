// The scales the program carries pictures for, and design lengths at a DPI.
// Portable: the choice of set and the rounding are tested natively.
//
// Every picture a window description names comes in sets: the design set
// (100 %, drawn for 96 DPI, under the name the description gives) and one set
// per larger scale, each picture's dimensions the design's taken through
// ScaleLength at the set's DPI. scripts/make-pictures.sh draws them; the
// build embeds every set (cmake/WindowDescription.cmake).
#pragma once

#include <array>
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

// The sets, by scale in percent, smallest first. A set's DPI is 96 x percent
// / 100.
constexpr std::array<int, 5> kPictureSetPercents{100, 125, 150, 200, 300};
constexpr int PictureSetDpi(int percent) { return 96 * percent / 100; }

// The set (its percent) to draw a picture from at `dpi`: the set made for
// that DPI when there is one; otherwise the next larger set, drawn down; above
// the largest set the largest, the one case in which a picture is drawn
// larger than it was made. At or below 96 DPI the design set.
int ChoosePictureSet(int dpi);

// The file name under which a picture source finds `file` (as a description
// names it, "close_normal.png") in the set made for `percent`: the name itself
// for the design set, otherwise the stem, '@' and the percent before the
// extension ("close_normal@150.png"). The build's resource names follow from
// it as from any file name, so they begin as the design name does.
std::wstring PictureSetFile(const std::wstring& file, int percent);

}  // namespace promo
