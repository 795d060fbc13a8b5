// The arithmetic of the promotion window's layout (ArrangeControls) over plain
// rectangles. The window measures its controls (the buy button's caption
// width, the labels after their texts were applied), hands the sizes in, and
// applies the positions that come out; nothing here touches a window, so the
// rules are tested natively. All halvings truncate toward zero, as the window
// always did. The numbers below are design lengths (pixels at 96 DPI): the
// layout takes each through ScaleLength at the window's DPI, while the sizes
// handed in are the controls' own, already at that DPI.
#pragma once

#include <array>

namespace promo {

struct TLayoutSize {
    int width = 0;
    int height = 0;
};

// Left, top, width, height.
struct TLayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
};

// Edges of the primary monitor's work area, as Win32 reports them (right and
// bottom exclusive).
struct TLayoutEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Fixed numbers of the layout, in design pixels.
inline constexpr int kDesignFormWidth = 500;
inline constexpr int kDesignFormHeight = 330;
inline constexpr int kBuyTextMargin = 24;       // btnBuy's TextLeftMargin and TextRightMargin each
inline constexpr int kFeaturePictureTop = 112;  // imgFuns top; also the headline's lower bound
inline constexpr int kTileHeadingOffset = 63;   // tile headings start this far below imgFuns' top
inline constexpr int kBuyButtonTop = 260;
inline constexpr int kDescriptionLines = 2;  // the most lines a tile description may take
inline constexpr std::array<int, 3> kDescriptionWidths = {120, 120, 150};

// What the layout depends on. The defaults are the design-time sizes of the
// window description, so a default input gives the design layout.
struct TLayoutInput {
    TLayoutSize form{500, 330};
    TLayoutSize btnClose{34, 34};
    TLayoutSize lblTitle{69, 13};    // after its text and font were applied (auto-size)
    TLayoutSize imgRegType{34, 16};  // the badge picture's size
    TLayoutSize lblDes{184, 13};     // after its text and font were applied (auto-size)
    TLayoutSize imgFuns{364, 93};
    // Tile headings: the window makes each as tall as a line of its font.
    std::array<TLayoutSize, 3> funTitles{{{120, 13}, {120, 13}, {120, 13}}};
    std::array<TLayoutSize, 3> funDescriptions{{{120, 13}, {120, 13}, {120, 13}}};
    int btnBuyCaptionWidth = 108;  // text width of the caption in the button's own font
    int btnBuyHeight = 36;
    TLayoutEdges workArea{0, 0, 1920, 1040};
    int dpi = 96;  // the design lengths of the layout are taken to this DPI
};

// Where everything goes. Sizes are those the layout gives the controls: the
// buy button's width follows its caption; a description's width is its fit
// width (kDescriptionWidths) while its height is still the input height,
// because fitting the text to two lines (FitLabelText) is done by the window
// on the real label afterwards and moves nothing else.
struct TLayoutResult {
    TLayoutRect btnClose;
    TLayoutRect lblTitle;
    TLayoutRect imgRegType;
    TLayoutRect lblDes;
    TLayoutRect imgFuns;
    std::array<TLayoutRect, 3> funTitles;
    std::array<TLayoutRect, 3> funDescriptions;
    TLayoutRect btnBuy;
    int windowLeft = 0;
    int windowTop = 0;
};

// The work area the window is placed in: the one the system reported, or the
// primary screen's whole size when the query failed or gave an empty area
// (placing against nothing would put the window off-screen, out of reach).
TLayoutEdges WorkAreaOrScreen(bool queried, const TLayoutEdges& workArea, TLayoutSize screen);

// The DPI to draw the window at on a work area of this size: `dpi` when the
// window at that scale, with its one-pixel margin, fits; otherwise the
// largest DPI at which it does, but never below 96 (a window too big even
// then keeps its design size).
int FittingDpi(int dpi, TLayoutSize workArea);

// The steps of ArrangeControls, in order (lengths at the input's DPI):
//  1. btnBuy width = caption width + 48;
//  2. btnClose at (form width - its width - 1, 1);
//  3. lblTitle at (10, 10);
//  4. imgRegType left = lblTitle right + 5, vertically centred on lblTitle;
//  5. lblDes, imgFuns, btnBuy, lblFun2Title, lblFun2Des centred horizontally in the form;
//  6. tile 1 heading and description at imgFuns left - 35, tile 3 heading at imgFuns left + 281
//     and its description 15 further left;
//  7. imgFuns top = 112;
//  8. lblDes centred vertically between lblTitle's bottom and 112;
//  9. tile headings at imgFuns top + 63; 10. descriptions 5 below their headings;
// 11. btnBuy top = 260; 12. description widths 120, 120, 150;
// 13. the window one (device) pixel inside the bottom-right corner of the work area.
TLayoutResult ArrangeLayout(const TLayoutInput& input);

}  // namespace promo
