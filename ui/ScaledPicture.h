// A window-description picture at a DPI: the set made for that scale, or the
// next larger set drawn down (ui/PictureSets.h).
#pragma once

#include <memory>
#include <string>

#include "ui/FormReader.h"
#include "ui/Graphics.h"

namespace promo {

// The picture `file` (as the description names it, e.g. "close_normal.png")
// at `dpi`: its size is each design dimension taken through ScaleLength.
// Reads only what that set needs from `source`; the pixels are decoded when
// first drawn. nullptr when the source has no such picture.
std::shared_ptr<const TBitmapImage> PictureForDpi(const TPictureSource& source, const std::wstring& file,
                                                  int dpi);

// `from` drawn down (or up) to width x height with the system's high-quality
// stretch, per-pixel alpha kept (premultiplied pixels). Empty when it cannot
// be made.
DecodedImage StretchPicture(const TBitmapImage& from, int width, int height);

}  // namespace promo
