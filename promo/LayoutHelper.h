// Label fitting and centring for the promotion window's layout.
#pragma once

#include <windows.h>

#include "controls/RdLabel.h"
#include "promo/LayoutMath.h"
#include "ui/Control.h"
#include "ui/Graphics.h"

namespace promo {

// Makes a label one line when its text fits `width`, otherwise wraps it to at
// most `lines` lines (1 when lines <= 0), cut with the ellipsis and showing
// its whole text as a hint.
void FitLabelText(TRdCustomLabel& label, int width, int lines, TEllipsisPosition ellipsis);

// Centres `control` vertically on `label` (same parent only).
void CentreOnLabel(TControl* label, TControl* control);

// Centres `control` horizontally in its parent.
void CentreInParent(TControl* control);

// The height of a line of text in the canvas's font: the sample "`ghj_", else
// the font's text-metric height, else |font height| + 3.
int LineHeight(TCanvas& canvas);

// LineHeight in the label's own font (measured on its canvas).
int LabelLineHeight(TRdCustomLabel& label);

// Asks the system for the primary monitor's work area, in the awareness in
// force now (support/WorkArea.h); false when it fails.
using TWorkAreaQuery = bool (*)(RECT& area);
bool SystemWorkArea(RECT& area);

// The work area to place the window in: the system's, or the primary screen's
// size when the query fails (WorkAreaOrScreen).
TLayoutEdges PrimaryWorkArea(TWorkAreaQuery query = SystemWorkArea);

}  // namespace promo
