// The caption layout's measurements (controls/CaptionLayout.h) taken on a
// canvas: DrawTextW with the format's flags on the context the canvas is
// attached to, in the canvas's font.
#pragma once

#include "controls/CaptionLayout.h"
#include "ui/Graphics.h"

namespace promo {

// DrawTextW's flags for a format (without DT_CALCRECT).
unsigned DrawTextFlags(const TTextFormat& format);

class TCanvasTextMeasure final : public TTextMeasure {
public:
    explicit TCanvasTextMeasure(TCanvas& canvas) : canvas_(canvas) {}

    TRect Extent(const std::wstring& text, const TRect& box, const TTextFormat& format) override;
    // Drawn where nothing shows: far below the box, lower than any control
    // reaches.
    int DrawnHeight(const std::wstring& text, const TRect& box, const TTextFormat& format) override;
    // The sample line's height; the font's height and 3 when it cannot be
    // measured.
    int LineHeight() override;

private:
    TCanvas& canvas_;
};

}  // namespace promo
