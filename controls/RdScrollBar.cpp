#include "controls/RdScrollBar.h"

namespace promo {

void TDesignRect::SetMargin(int index, int value) {
    int* fields[] = {&m_.Left, &m_.Top, &m_.Right, &m_.Bottom};
    if (index < 0 || index > 3 || *fields[index] == value) return;
    *fields[index] = value;
    Changed();
}

void TDesignRect::SetStretchMode(TSuperStretchMode v) {
    if (v == m_.Mode) return;
    m_.Mode = v;
    Changed();
}

void TDesignRect::SetEmpty(bool v) {
    if (v) {
        m_.Left = m_.Top = m_.Right = m_.Bottom = 0;
        Changed();
        return;
    }
    fillDefaults_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{fillDefaults_};
    Changed();
}

void TDesignRect::SetThirds(int w, int h) {
    m_.Left = m_.Right = w / 3;
    m_.Top = m_.Bottom = h / 3;
}

void TDesignRect::Assign(const TDesignRect* other) {
    if (!other) {
        SetEmpty(true);
        return;
    }
    if (other == this) return;
    const TSliceMargins& o = other->m_;
    if (o.Left == m_.Left && o.Top == m_.Top && o.Right == m_.Right && o.Bottom == m_.Bottom) return;
    m_.Left = o.Left;
    m_.Top = o.Top;
    m_.Right = o.Right;
    m_.Bottom = o.Bottom;
    Changed();
}

void DrawSlicedPicture(HDC dc, const TBitmapImage& image, const TRect& dest, const TDesignRect& margins) {
    if (!dc || image.Width() <= 0 || image.Height() <= 0) return;
    for (const TBlitStep& step : SlicePicture(image.Width(), image.Height(), dest, margins.Margins()))
        DrawPicturePart(dc, image, step.Source, step.Dest);
}

void DrawSlicedPicture(HDC dc, const TPicture& picture, const TRect& dest, const TDesignRect& margins) {
    if (!picture.Empty()) DrawSlicedPicture(dc, *picture.Graphic(), dest, margins);
}

void DrawSlicedPicture(TCanvas& canvas, const TPicture& picture, const TRect& dest,
                       const TDesignRect& margins) {
    DrawSlicedPicture(canvas.Handle(), picture, dest, margins);
}

}  // namespace promo
