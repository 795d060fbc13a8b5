#include "promo/LayoutHelper.h"

#include <cstdlib>

#include "support/WorkArea.h"

namespace promo {

int LineHeight(TCanvas& canvas) {
    const int h = canvas.TextHeight(L"`ghj_");
    if (h != 0) return h;
    TEXTMETRICW tm{};
    if (canvas.GetTextMetrics(tm)) return tm.tmHeight;
    return std::abs(canvas.Font().Height()) + 3;
}

int LabelLineHeight(TRdCustomLabel& label) {
    TCanvas& canvas = label.Canvas();
    canvas.Font().Assign(label.Font());
    return LineHeight(canvas);
}

bool SystemWorkArea(RECT& area) { return PrimaryMonitorWorkArea(area); }

TLayoutEdges PrimaryWorkArea(TWorkAreaQuery query) {
    RECT area{};
    const bool queried = query && query(area);
    return WorkAreaOrScreen(queried, {area.left, area.top, area.right, area.bottom},
                            {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
}

void FitLabelText(TRdCustomLabel& label, int width, int lines, TEllipsisPosition ellipsis) {
    // The canvas measures on a screen-compatible context when it has none.
    TCanvas& canvas = label.Canvas();
    canvas.Font().Assign(label.Font());

    label.SetEllipsisPosition(TEllipsisPosition::epNone);
    label.SetWordWrap(false);
    label.SetWrapChar(false);
    TSizeConstraints& limits = label.Constraints();
    limits.SetMinWidth(0);
    limits.SetMaxWidth(0);
    limits.SetMinHeight(0);
    limits.SetMaxHeight(0);
    label.SetAutoSize(false);
    label.SetAutoSize(true);

    const int lineHeight = LineHeight(canvas);

    if (width >= label.Width()) return;

    label.SetWordWrap(true);
    label.SetWrapChar(true);
    limits.SetMinWidth(width);
    limits.SetMaxWidth(width);
    label.SetAutoSize(false);
    label.SetAutoSize(true);

    const int maxHeight = lineHeight * (lines > 0 ? lines : 1);
    if (maxHeight >= label.Height()) return;

    limits.SetMaxHeight(maxHeight);
    label.SetHeight(maxHeight);
    label.SetAutoSize(false);
    if (ellipsis != TEllipsisPosition::epNone) {
        label.SetAutoShowHint(true);
        label.SetEllipsisPosition(ellipsis);
    }
}

void CentreOnLabel(TControl* label, TControl* control) {
    if (!label || !control || label->Parent() != control->Parent()) return;
    control->SetTop(label->Top() + (label->Height() - control->Height()) / 2);
}

void CentreInParent(TControl* control) {
    if (!control || !control->Parent()) return;
    control->SetLeft((control->Parent()->Width() - control->Width()) / 2);
}

}  // namespace promo
