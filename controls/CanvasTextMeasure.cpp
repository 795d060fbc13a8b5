#include "controls/CanvasTextMeasure.h"

#include <cstdlib>

#include "controls/RdLabel.h"

namespace promo {

unsigned DrawTextFlags(const TTextFormat& format) {
    unsigned flags = AlignmentFlag(format.Align);
    if (!format.Prefix) flags |= DT_NOPREFIX;
    switch (format.Lines) {
        case TTextLines::Single:
            flags |= DT_SINGLELINE;
            break;
        case TTextLines::AtBreaks:
            flags |= DT_EDITCONTROL;
            break;
        case TTextLines::Wrapped:
            flags |= DT_WORDBREAK | DT_EDITCONTROL;
            break;
    }
    if (!format.Clip) flags |= DT_NOCLIP;
    if (format.EndEllipsis) flags |= DT_END_ELLIPSIS;
    return flags;
}

TRect TCanvasTextMeasure::Extent(const std::wstring& text, const TRect& box, const TTextFormat& format) {
    TRect r = box;
    canvas_.DrawText(text, r, DrawTextFlags(format) | DT_CALCRECT);
    return r;
}

int TCanvasTextMeasure::DrawnHeight(const std::wstring& text, const TRect& box, const TTextFormat& format) {
    TRect probe = box;
    probe.Offset(0, 1000);
    return canvas_.DrawText(text, probe, DrawTextFlags(format));
}

int TCanvasTextMeasure::LineHeight() {
    const int line = canvas_.TextHeight(kLineSample);
    return line != 0 ? line : std::abs(canvas_.Font().Height()) + 3;
}

}  // namespace promo
