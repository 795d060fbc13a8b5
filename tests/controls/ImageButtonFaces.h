// Solid faces for the image button's tests: one colour per state.
#pragma once

#include <cstdint>

#include "controls/RdImageButton.h"
#include "ui/UiTestSupport.h"

namespace promo::test {

constexpr std::uint32_t kNormal = Rgb(0, 0, 128), kOver = Rgb(0, 128, 0), kDown = Rgb(128, 0, 0),
                        kDisabled = Rgb(64, 64, 64);

inline void Faces(TRdImageButton& b, int w, int h, bool withOver = true) {
    SetSolid(b.ImageNormal(), w, h, kNormal);
    if (withOver) SetSolid(b.ImageOver(), w, h, kOver);
    SetSolid(b.ImageDown(), w, h, kDown);
    SetSolid(b.ImageDisabled(), w, h, kDisabled);
}

}  // namespace promo::test
