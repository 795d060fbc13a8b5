// Where an image button's caption, icon and check box go: the geometry behind
// TRdImageButton's painting and its sizing to the caption, without a device
// context. The text is measured through TTextMeasure; the button answers it
// from the context the caption is drawn on (controls/CanvasTextMeasure.h),
// tests from made-up font metrics.
#pragma once

#include <string>

#include "ui/Geometry.h"

namespace promo {

enum class TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };

// How a text's lines are formed.
enum class TTextLines {
    Single,    // one line, line breaks and all
    AtBreaks,  // a line per line break, as an edit control shows it
    Wrapped,   // as AtBreaks, and broken between words to the box's width
};

// How a text is laid out in its box.
struct TTextFormat {
    TTextLines Lines = TTextLines::Single;
    bool Prefix = true;                            // "&" marks the next character as the accelerator
    bool Clip = false;                             // held to the box: a line below its bottom may be left out
    bool EndEllipsis = false;                      // a line too long for the box ends in "..."
    TAlignment Align = TAlignment::taLeftJustify;  // of each line within the box
    friend bool operator==(const TTextFormat&, const TTextFormat&) = default;
};

// The caption's text measured in the caption's font.
class TTextMeasure {
public:
    // The rectangle the text takes laid out in box: from the box's top left,
    // its lines formed as format says.
    virtual TRect Extent(const std::wstring& text, const TRect& box, const TTextFormat& format) = 0;
    // The height the text is given when drawn in box (a clipped text may stop
    // short of its lines below the box).
    virtual int DrawnHeight(const std::wstring& text, const TRect& box, const TTextFormat& format) = 0;
    // The height of one line.
    virtual int LineHeight() = 0;

protected:
    ~TTextMeasure() = default;
};

// A picture beside the caption (the icon, the check box): its size and where
// it sits. Not shown when either side is 0.
struct TPicturePlace {
    int Width = 0;
    int Height = 0;
    TAlignment AlignX = TAlignment::taLeftJustify;
    TVerticalAlignment AlignY = TVerticalAlignment::taVerticalCenter;
    int OffsetX = 10;
    int OffsetY = 0;
    bool Shown() const { return Width > 0 && Height > 0; }
};

// The button's size, caption and the properties that place them (the
// button's properties of the same names, with their defaults).
struct TButtonCaption {
    int Width = 0;
    int Height = 0;
    std::wstring Text;
    TAlignment Alignment = TAlignment::taCenter;  // ButtonCaptionAlignment
    int TextOffset = 20;                          // from the aligned side
    int TextTopOffset = 0;
    int TextLeftMargin = 0;
    int TextRightMargin = 0;
    int TextTopMargin = 0;
    TAlignment TextWarpAlign = TAlignment::taLeftJustify;  // of the lines in the caption's rectangle
    bool WordWrap = false;
    bool EllipsisByHeight = false;  // a wrapped caption taller than the button keeps its whole lines
    bool ShowAccelChar = true;
    TPicturePlace Icon{0, 0, TAlignment::taRightJustify};
    TPicturePlace CheckBox;
};

struct TCaptionPlacement {
    TRect Icon;              // empty: no icon shown
    TRect Text;              // the caption is drawn in this rectangle,
    TTextFormat Format;      // laid out so
    TRect CheckBox;          // empty: no check box shown
    bool Ellipsis = false;   // the caption is not shown whole
    bool WordBreak = false;  // its lines are broken between words
};

// Where the picture sits in a button of width x height: across by AlignX and
// OffsetX; down by AlignY and OffsetY from top or bottom, or centred in the
// button's height. Empty when it is not shown.
TRect PlacePicture(const TPicturePlace& picture, int width, int height, int top, int bottom);

// The icon's rectangle (PlacePicture over the whole height).
TRect PlaceIcon(const TButtonCaption& caption);

// The caption placed in the rectangle its offset and the icon leave, then
// kept inside the text margins (cut there when it does not fit), moved down
// by TextTopOffset; the check box beside it.
TCaptionPlacement PlaceCaption(const TButtonCaption& caption, TTextMeasure& measure);

struct TButtonSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TButtonSize&, const TButtonSize&) = default;
};

// The size AutoSizeByText gives the button: room for the caption inside the
// margins, the offset and the icon's room, and at least the icon's and the
// check box's size with their offsets.
TButtonSize FitButtonToCaption(const TButtonCaption& caption, TTextMeasure& measure);

}  // namespace promo
