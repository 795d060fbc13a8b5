// Slice margins with a stretch mode (TDesignRect) and the nine-slice drawing
// routine DrawSlicedPicture: corners keep their size, edges stretch (or tile)
// along one axis, the middle in both.
#pragma once

#include <windows.h>

#include <functional>

#include "controls/SliceLayout.h"
#include "ui/Graphics.h"

namespace promo {

class TDesignRect {
public:
    TDesignRect() = default;
    TDesignRect(const TDesignRect&) = delete;
    TDesignRect& operator=(const TDesignRect&) = delete;

    int Left() const { return m_.Left; }
    int Top() const { return m_.Top; }
    int Right() const { return m_.Right; }
    int Bottom() const { return m_.Bottom; }
    // One setter for the four margins: 0 Left, 1 Top, 2 Right, 3 Bottom.
    void SetMargin(int index, int value);
    void SetLeft(int v) { SetMargin(0, v); }
    void SetTop(int v) { SetMargin(1, v); }
    void SetRight(int v) { SetMargin(2, v); }
    void SetBottom(int v) { SetMargin(3, v); }
    TSuperStretchMode StretchMode() const { return m_.Mode; }
    void SetStretchMode(TSuperStretchMode v);

    bool Empty() const { return m_.Empty(); }
    // True: all margins 0, then the change notification. False: the
    // notification with FillDefaults() set, so the owner sets the margins to
    // thirds of its picture (SetThirds).
    void SetEmpty(bool v);
    bool FillDefaults() const { return fillDefaults_; }
    // Margins from a picture: width div 3 left and right, height div 3 top
    // and bottom, written without another notification.
    void SetThirds(int pictureWidth, int pictureHeight);

    // Copies the four margins (not the mode) when any differs; nullptr empties.
    void Assign(const TDesignRect* other);

    const TSliceMargins& Margins() const { return m_; }

    std::function<void()> OnChange;

private:
    void Changed() {
        if (OnChange) OnChange();
    }
    TSliceMargins m_;
    bool fillDefaults_ = false;
};

// Draws the picture into dest sliced by the margins (see SlicePicture). A
// missing or empty picture draws nothing.
void DrawSlicedPicture(HDC dc, const TPicture& picture, const TRect& dest, const TDesignRect& margins);
void DrawSlicedPicture(TCanvas& canvas, const TPicture& picture, const TRect& dest,
                       const TDesignRect& margins);
// The same for a picture's shared pixels, as a button's face is kept.
void DrawSlicedPicture(HDC dc, const TBitmapImage& image, const TRect& dest, const TDesignRect& margins);

}  // namespace promo
