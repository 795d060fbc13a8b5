#include "promo/LayoutMath.h"

namespace promo {
namespace {

TLayoutRect Placed(TLayoutSize size) { return TLayoutRect{0, 0, size.width, size.height}; }

// Left that centres a width inside the parent's width (CentreInParent).
int CentredLeft(int parentWidth, int width) { return (parentWidth - width) / 2; }

}  // namespace

TLayoutEdges WorkAreaOrScreen(bool queried, const TLayoutEdges& workArea, TLayoutSize screen) {
    if (queried && workArea.right > workArea.left && workArea.bottom > workArea.top) return workArea;
    return TLayoutEdges{0, 0, screen.width, screen.height};
}

TLayoutResult ArrangeLayout(const TLayoutInput& in) {
    TLayoutResult out;
    out.lblTitle = Placed(in.lblTitle);
    out.imgRegType = Placed(in.imgRegType);
    out.lblDes = Placed(in.lblDes);
    out.imgFuns = Placed(in.imgFuns);
    for (int i = 0; i < 3; ++i) {
        out.funTitles[i] = Placed(in.funTitles[i]);
        out.funDescriptions[i] = Placed(in.funDescriptions[i]);
    }

    // 1. The buy button is as wide as its caption plus its two text margins.
    out.btnBuy = TLayoutRect{0, 0, in.btnBuyCaptionWidth + kBuyTextMargins, in.btnBuyHeight};

    // 2. Close button one pixel inside the top-right corner.
    out.btnClose =
        TLayoutRect{in.form.width - in.btnClose.width - 1, 1, in.btnClose.width, in.btnClose.height};

    // 3./4. Title at the top left, the badge beside it, centred on its line.
    out.lblTitle.left = 10;
    out.lblTitle.top = 10;
    out.imgRegType.left = out.lblTitle.Right() + 5;
    out.imgRegType.top = out.lblTitle.top + (out.lblTitle.height - out.imgRegType.height) / 2;

    // 5. Horizontally centred controls.
    out.lblDes.left = CentredLeft(in.form.width, out.lblDes.width);
    out.imgFuns.left = CentredLeft(in.form.width, out.imgFuns.width);
    out.btnBuy.left = CentredLeft(in.form.width, out.btnBuy.width);
    out.funTitles[1].left = CentredLeft(in.form.width, out.funTitles[1].width);
    out.funDescriptions[1].left = CentredLeft(in.form.width, out.funDescriptions[1].width);

    // 6. The outer tiles hang off the feature picture.
    out.funTitles[0].left = out.imgFuns.left - 35;
    out.funDescriptions[0].left = out.funTitles[0].left;
    out.funTitles[2].left = out.imgFuns.left + 281;
    out.funDescriptions[2].left = out.funTitles[2].left - 15;

    // 7./8. Feature picture, and the headline centred above it.
    out.imgFuns.top = kFeaturePictureTop;
    out.lblDes.top =
        out.lblTitle.Bottom() + (kFeaturePictureTop - out.lblTitle.Bottom() - out.lblDes.height) / 2;

    // 9./10. Tile headings over the picture's lower part, descriptions below.
    for (int i = 0; i < 3; ++i) {
        out.funTitles[i].top = out.imgFuns.top + kTileHeadingOffset;
        out.funDescriptions[i].top = out.funTitles[i].Bottom() + 5;
    }

    // 11./12.
    out.btnBuy.top = kBuyButtonTop;
    for (int i = 0; i < 3; ++i) out.funDescriptions[i].width = kDescriptionWidths[i];

    // 13. One pixel inside the bottom-right corner of the work area.
    out.windowLeft = in.workArea.right - in.form.width - 1;
    out.windowTop = in.workArea.bottom - in.form.height - 1;
    return out;
}

}  // namespace promo
