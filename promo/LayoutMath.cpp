#include "promo/LayoutMath.h"

#include "ui/PictureSets.h"

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

int FittingDpi(int dpi, TLayoutSize workArea) {
    const auto fits = [&](int d) {
        return ScaleLength(kDesignFormWidth, d) + 1 <= workArea.width &&
               ScaleLength(kDesignFormHeight, d) + 1 <= workArea.height;
    };
    while (dpi > 96 && !fits(dpi)) --dpi;
    return dpi;
}

TLayoutResult ArrangeLayout(const TLayoutInput& in) {
    const auto px = [dpi = in.dpi](int designLength) { return ScaleLength(designLength, dpi); };
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
    out.btnBuy = TLayoutRect{0, 0, in.btnBuyCaptionWidth + 2 * px(kBuyTextMargin), in.btnBuyHeight};

    // 2. Close button one pixel inside the top-right corner: inside the
    //    frame, which is one device pixel at every scale.
    out.btnClose =
        TLayoutRect{in.form.width - in.btnClose.width - 1, 1, in.btnClose.width, in.btnClose.height};

    // 3./4. Title at the top left, the badge beside it, centred on its line.
    out.lblTitle.left = px(10);
    out.lblTitle.top = px(10);
    out.imgRegType.left = out.lblTitle.Right() + px(5);
    out.imgRegType.top = out.lblTitle.top + (out.lblTitle.height - out.imgRegType.height) / 2;

    // 5. Horizontally centred controls.
    out.lblDes.left = CentredLeft(in.form.width, out.lblDes.width);
    out.imgFuns.left = CentredLeft(in.form.width, out.imgFuns.width);
    out.btnBuy.left = CentredLeft(in.form.width, out.btnBuy.width);
    out.funTitles[1].left = CentredLeft(in.form.width, out.funTitles[1].width);
    out.funDescriptions[1].left = CentredLeft(in.form.width, out.funDescriptions[1].width);

    // 6. The outer tiles hang off the feature picture.
    out.funTitles[0].left = out.imgFuns.left - px(35);
    out.funDescriptions[0].left = out.funTitles[0].left;
    out.funTitles[2].left = out.imgFuns.left + px(281);
    out.funDescriptions[2].left = out.funTitles[2].left - px(15);

    // 7./8. Feature picture, and the headline centred above it.
    out.imgFuns.top = px(kFeaturePictureTop);
    out.lblDes.top =
        out.lblTitle.Bottom() + (out.imgFuns.top - out.lblTitle.Bottom() - out.lblDes.height) / 2;

    // 9./10. Tile headings over the picture's lower part, descriptions below.
    for (int i = 0; i < 3; ++i) {
        out.funTitles[i].top = out.imgFuns.top + px(kTileHeadingOffset);
        out.funDescriptions[i].top = out.funTitles[i].Bottom() + px(5);
    }

    // 11./12.
    out.btnBuy.top = px(kBuyButtonTop);
    for (int i = 0; i < 3; ++i) out.funDescriptions[i].width = px(kDescriptionWidths[i]);

    // 13. One pixel inside the bottom-right corner of the work area.
    out.windowLeft = in.workArea.right - in.form.width - 1;
    out.windowTop = in.workArea.bottom - in.form.height - 1;
    return out;
}

}  // namespace promo
