// Where the nine parts of a sliced picture go: the pure geometry behind
// DrawSlicedPicture. Each step copies a source rectangle of the picture into a
// destination rectangle (scaled when the sizes differ). Tiled parts are
// expanded here into their single tiles, so the drawing side only blits.
#pragma once

#include <vector>

#include "ui/Geometry.h"

namespace promo {

enum class TSuperStretchMode { sdmDefault = 0, sdmStretch = 1, sdmFill = 2, sdmFrame = 3 };

struct TSliceMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    TSuperStretchMode Mode = TSuperStretchMode::sdmDefault;

    bool Empty() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
};

struct TBlitStep {
    TRect Source;
    TRect Dest;
    friend bool operator==(const TBlitStep&, const TBlitStep&) = default;
};

// The steps for a picture of pw x ph drawn into dest. An empty margins object
// (outside sdmFill) gives one step: the whole picture stretched. Nothing for an
// empty picture.
std::vector<TBlitStep> SlicePicture(int pw, int ph, const TRect& dest, const TSliceMargins& margins);

// Covers dest with tiles of source at their own size from the top-left
// corner, column by column; the last row and column are cut (source cut alike).
void TileArea(const TRect& source, const TRect& dest, std::vector<TBlitStep>& out);

}  // namespace promo
