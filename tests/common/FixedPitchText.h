// Text measured in a made-up fixed-pitch font, for the caption layout's
// tests: every character charWidth wide, every line lineHeight high, a line
// per line break (all one line when Single). Wrapping to the box is not
// modelled: a case that asks for it fails.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/CaptionLayout.h"

namespace promo::test {

class FixedPitchText final : public TTextMeasure {
public:
    FixedPitchText(int charWidth, int lineHeight) : charWidth_(charWidth), lineHeight_(lineHeight) {}

    // The width of the longest line.
    int Width(const std::wstring& text, TTextLines lines = TTextLines::AtBreaks) const {
        if (lines == TTextLines::Single) return static_cast<int>(text.size()) * charWidth_;
        int widest = 0;
        size_t start = 0;
        for (;;) {
            const size_t end = text.find(L'\n', start);
            const size_t n = (end == std::wstring::npos ? text.size() : end) - start;
            widest = std::max(widest, static_cast<int>(n) * charWidth_);
            if (end == std::wstring::npos) return widest;
            start = end + 1;
        }
    }
    int Lines(const std::wstring& text, TTextLines lines) const {
        if (lines == TTextLines::Single) return 1;
        return 1 + static_cast<int>(std::count(text.begin(), text.end(), L'\n'));
    }

    // From the box's top left; with the ellipsis a line is no wider than the box.
    TRect Extent(const std::wstring& text, const TRect& box, const TTextFormat& format) override {
        if (format.Lines == TTextLines::Wrapped) ADD_FAILURE() << "wrapping is not modelled";
        int width = Width(text, format.Lines);
        if (format.EndEllipsis) width = std::min(width, box.Width());
        return TRect::FromSize(box.Left, box.Top, width, Lines(text, format.Lines) * lineHeight_);
    }
    int DrawnHeight(const std::wstring& text, const TRect& box, const TTextFormat& format) override {
        return Extent(text, box, format).Height();
    }
    int LineHeight() override { return lineHeight_; }

private:
    int charWidth_;
    int lineHeight_;
};

}  // namespace promo::test
