#include "ui/ElementListLayout.h"

#include <algorithm>

#include "framework/ScreenPlacement.h"

namespace elementlist {

Metrics Metrics::forDpi(UINT dpi) {
    Metrics metrics;
    metrics.iconWidth = screen::metric(SM_CXSMICON, dpi);
    metrics.iconHeight = screen::metric(SM_CYSMICON, dpi);
    metrics.border = GetSystemMetrics(SM_CYBORDER);
    return metrics;
}

int rowHeight(bool twoLines, int iconHeight) {
    return twoLines ? 2 * iconHeight + 4 : iconHeight + 2;
}

COLORREF alternateRowColour(COLORREF window) {
    // The arithmetic runs on the whole value: the three channels are close to each other in
    // every usual scheme, so no channel over- or underflows into its neighbour.
    constexpr COLORREF kShade = 0x0A0A0A;
    return window > 0x808080 ? window - kShade : window + kShade;
}

RowLayout layoutRow(const RowParams& params, const Metrics& metrics) {
    const int cx = metrics.iconWidth;
    const int cy = metrics.iconHeight;
    RowLayout layout;
    RECT& row = layout.row;
    row.left = 0;
    row.top = (params.index - params.topRow) * params.rowHeight;
    row.right = params.rowRight;
    row.bottom = row.top + params.rowHeight;

    const int textRight = row.right - 2 - (params.selected ? cx + kArrowMargin : 0);
    const int bandTop = row.top + 1;
    if (params.showIcons) {
        layout.icon = {2, bandTop, 2 + cx, bandTop + cy};
        layout.line0 = {cx + 4, bandTop, textRight, bandTop + cy};
        if (params.twoLines)
            layout.line1 = {cx + 4, bandTop + cy, textRight, bandTop + 2 * cy};
    } else if (params.twoLines) {
        // Without icons the two text bands keep their places and start at the left edge.
        layout.line0 = {2, bandTop, textRight, bandTop + cy};
        layout.line1 = {2, bandTop + cy, textRight, bandTop + 2 * cy};
    } else {
        layout.line0 = {2, row.top, textRight, row.bottom};
    }
    // The arrow sits where the icon box would be, at the right end of the row.
    const int arrowLeft = row.right - 2 - cx;
    layout.arrow = {arrowLeft, bandTop, arrowLeft + cx, bandTop + cy};
    return layout;
}

int fullHeight(int count, int rowHeight, const Metrics& metrics) {
    return rowHeight * count + 2 * metrics.border;
}

int lowerHeightLimit(int count, int visibleRows, int rowHeight, int scrollMinimum,
                     const Metrics& metrics) {
    const int full = fullHeight(count, rowHeight, metrics);
    const bool allRowsFit = visibleRows > count - 1;
    return allRowsFit && full < scrollMinimum ? full : scrollMinimum;
}

int fittedHeight(int count, int rowHeight, int userHeight, const Metrics& metrics) {
    if (count < kFitRows)
        return rowHeight * count + 2 * metrics.border;
    if (userHeight < rowHeight * kFitRows)
        return rowHeight * kFitRows + 2 * metrics.border;
    const int full = fullHeight(count, rowHeight, metrics);
    return std::min(userHeight, full);
}

int visibleRowsFor(int clientHeight, int rowHeight) {
    return rowHeight > 0 ? std::max(clientHeight, 0) / rowHeight : 0;
}

int clampTopRow(int topRow, int visibleRows, int count) {
    if (topRow + visibleRows > count)
        topRow = count - visibleRows;
    return std::max(topRow, 0);
}

} // namespace elementlist
