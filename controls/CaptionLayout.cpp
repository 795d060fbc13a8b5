#include "controls/CaptionLayout.h"

#include <algorithm>

namespace promo {
namespace {

// The format the caption is measured in before it is placed.
TTextFormat MeasuringFormat(const TButtonCaption& c) {
    TTextFormat f;
    f.Lines = c.WordWrap ? TTextLines::Wrapped : TTextLines::Single;
    f.Prefix = c.ShowAccelChar;
    return f;
}

// The rectangle the caption may use: the button less TextOffset on the
// aligned side and less the icon (and TextOffset beside it, on the caption's
// aligned side); with the margins also inside the text margins.
TRect CaptionRoom(const TButtonCaption& c, const TRect& icon, bool withMargins) {
    const TRect client{0, 0, c.Width, c.Height};
    TRect r = client;
    if (c.Alignment == TAlignment::taLeftJustify) r.Left += c.TextOffset;
    if (c.Alignment == TAlignment::taRightJustify) r.Right -= c.TextOffset;
    if (withMargins) {
        r.Left = std::max(client.Left + c.TextLeftMargin, r.Left);
        r.Right = std::min(client.Right - c.TextRightMargin, r.Right);
        r.Top += c.TextTopMargin;
    }
    if (icon.Width() > 0) {
        if (c.Icon.AlignX == TAlignment::taLeftJustify)
            r.Left =
                std::max(icon.Right + (c.Alignment == TAlignment::taLeftJustify ? c.TextOffset : 0), r.Left);
        else if (c.Icon.AlignX == TAlignment::taRightJustify)
            r.Right =
                std::min(icon.Left - (c.Alignment == TAlignment::taRightJustify ? c.TextOffset : 0), r.Right);
    }
    return r;
}

}  // namespace

TRect PlacePicture(const TPicturePlace& picture, int width, int height, int top, int bottom) {
    if (!picture.Shown()) return {};
    int x = 0, y = 0;
    switch (picture.AlignX) {
        case TAlignment::taLeftJustify:
            x = picture.OffsetX;
            break;
        case TAlignment::taRightJustify:
            x = width - picture.Width - picture.OffsetX;
            break;
        default:
            x = (width - picture.Width) / 2 + picture.OffsetX;
    }
    switch (picture.AlignY) {
        case TVerticalAlignment::taAlignTop:
            y = top + picture.OffsetY;
            break;
        case TVerticalAlignment::taAlignBottom:
            y = bottom - picture.Height - picture.OffsetY;
            break;
        default:
            y = (height - picture.Height) / 2 + picture.OffsetY;
    }
    return TRect::FromSize(x, y, picture.Width, picture.Height);
}

TRect PlaceIcon(const TButtonCaption& c) { return PlacePicture(c.Icon, c.Width, c.Height, 0, c.Height); }

TCaptionPlacement PlaceCaption(const TButtonCaption& c, TTextMeasure& measure) {
    TCaptionPlacement placed;
    placed.Icon = PlaceIcon(c);
    const TRect client{0, 0, c.Width, c.Height};
    TTextFormat format = MeasuringFormat(c);

    // Placed by its alignment in the room the offset and the icon leave, as
    // AutoSizeByText sizes for it.
    const TRect r = CaptionRoom(c, placed.Icon, false);
    const TRect measured = measure.Extent(c.Text, r, format);
    const int tw = measured.Width(), th = measured.Height();
    TRect t;
    switch (c.Alignment) {
        case TAlignment::taLeftJustify:
            t = TRect::FromSize(r.Left, r.Top + (r.Height() - th) / 2, r.Width(), th);
            break;
        case TAlignment::taRightJustify:
            t = TRect::FromSize(std::max(r.Right - tw, r.Left), r.Top + (r.Height() - th) / 2, 0, th);
            t.Right = r.Right;
            break;
        default:
            t = TRect::FromSize(r.Left + (r.Width() - tw) / 2, r.Top + (r.Height() - th) / 2, tw, th);
    }

    // Kept inside the text margins; cut there, the height is measured again
    // in the width left.
    const int minLeft = std::max(client.Left + c.TextLeftMargin, r.Left);
    const int maxRight = std::min(client.Right - c.TextRightMargin, r.Right);
    const int minTop = std::max(client.Top + c.TextTopMargin, r.Top);
    auto remeasure = [&] {
        const int h = measure.Extent(c.Text, {t.Left, r.Top, t.Right, r.Bottom}, format).Height();
        t.Top = r.Top + (r.Height() - h) / 2;
        t.Bottom = t.Top + h;
    };
    if (t.Left < minLeft) {
        t.Offset(minLeft - t.Left, 0);
        if (t.Right > maxRight) {
            t.Right = maxRight;
            remeasure();
        }
    } else if (t.Right > maxRight) {
        t.Offset(maxRight - t.Right, 0);
        if (t.Left < minLeft) {
            t.Left = minLeft;
            remeasure();
        }
    }
    if (t.Top < minTop) t.Offset(0, minTop - t.Top);

    // A wrapped caption taller than the button keeps the whole lines that
    // fit, centred as the caption was.
    format.Clip = true;
    bool cutByHeight = false;
    if (c.WordWrap && c.EllipsisByHeight) {
        TTextFormat probe = format;
        probe.EndEllipsis = true;
        const int h = measure.DrawnHeight(c.Text, t, probe);
        if (t.Top + c.TextTopOffset + h > c.Height) {
            cutByHeight = true;
            const int line = measure.LineHeight();
            auto lines = [&](int top, int bottom) {
                return std::max(1, (std::min(c.Height, bottom) - std::max(top, 0)) / line);
            };
            auto centre = [&](int n) {
                t.Top = r.Top + (r.Height() - n * line) / 2;
                t.Bottom = t.Top + n * line;
            };
            centre(lines(t.Top + c.TextTopOffset, t.Top + c.TextTopOffset + h));
            TRect moved = t;
            moved.Offset(0, c.TextTopOffset);
            if (moved.Bottom > c.Height || moved.Top < 0) centre(lines(moved.Top, moved.Bottom));
            if (t.Top < minTop) t.Offset(0, minTop - t.Top);
        }
    }
    t.Offset(0, c.TextTopOffset);
    format.Align = c.TextWarpAlign;
    format.EndEllipsis = true;
    placed.Text = t;
    placed.Format = format;

    // The drawn text's own box, which the check box follows.
    TRect w = measure.Extent(c.Text, t, format);
    if (c.TextWarpAlign == TAlignment::taRightJustify)
        w.Offset(t.Right - w.Right, 0);
    else if (c.TextWarpAlign == TAlignment::taCenter)
        w.Offset(t.Left + (t.Width() - w.Width()) / 2 - w.Left, 0);

    // The caption unwrapped and unclipped: wider than its rectangle on one
    // line, it is cut; less tall than the rectangle, it was wrapped.
    TTextFormat unwrapped = format;
    unwrapped.Lines = c.WordWrap ? TTextLines::AtBreaks : TTextLines::Single;
    unwrapped.Clip = false;
    unwrapped.EndEllipsis = false;
    const TRect u = measure.Extent(c.Text, t, unwrapped);
    placed.Ellipsis = cutByHeight || (!c.WordWrap && u.Width() > t.Width());
    placed.WordBreak = u.Height() < t.Height();

    placed.CheckBox = PlacePicture(c.CheckBox, c.Width, c.Height, w.Top, w.Bottom);
    return placed;
}

TButtonSize FitButtonToCaption(const TButtonCaption& c, TTextMeasure& measure) {
    const TRect room = CaptionRoom(c, PlaceIcon(c), true);
    const TRect t = measure.Extent(c.Text, room, MeasuringFormat(c));
    // What lies right of the room stays right of the caption.
    const int width = t.Right + (c.Width - room.Right);
    int bottom = t.Bottom;
    int minWidth = 0;
    if (c.CheckBox.Shown()) {
        bottom = std::max(c.CheckBox.Height + c.CheckBox.OffsetY, bottom);
        minWidth = c.CheckBox.Width + c.CheckBox.OffsetX;
    }
    if (c.Icon.Shown()) {
        bottom = std::max(c.Icon.Height + c.Icon.OffsetY, bottom);
        minWidth = std::max(minWidth, c.Icon.Width + c.Icon.OffsetX);
    }
    return {std::max(width, minWidth), c.TextTopOffset + bottom};
}

}  // namespace promo
