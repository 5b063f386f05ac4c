// The arithmetic of the results list, kept apart from its window so that it can be checked on
// its own: row heights, the rectangles handed to an element when it draws itself, the stripe
// colour of odd rows, and the heights the window takes when it fits itself to its rows.
#pragma once

#include <windows.h>

namespace elementlist {

// The list shows at most this many rows before it keeps the height the user gave it.
constexpr int kFitRows = 20;
// Room left at the right end of the selected row for the arrow beyond the arrow itself, which
// is an icon's square.
constexpr int kArrowMargin = 4;

// Small-icon size and border thickness, read from the system where the list needs them.
struct Metrics {
    int iconWidth = 16;  // SM_CXSMICON
    int iconHeight = 16; // SM_CYSMICON
    int border = 1;      // SM_CYBORDER

    // The sizes at a monitor's DPI.
    static Metrics forDpi(UINT dpi);
};

// Height of one row: one small icon and 2 pixels, or two icons and 4 pixels.
int rowHeight(bool twoLines, int iconHeight);

// The background of odd rows: COLOR_WINDOW a shade darker, or lighter when it is dark already.
COLORREF alternateRowColour(COLORREF window);

// Where an element draws: its row, its icon box and one or two text lines, plus where the
// list draws the arrow of the selected row. Client coordinates.
struct RowLayout {
    RECT row{};
    RECT icon{};
    RECT line0{};
    RECT line1{};
    RECT arrow{};
};

struct RowParams {
    int index = 0;
    int topRow = 0;
    int rowHeight = 18;
    int rowRight = 0; // client width less the scroll bar
    bool showIcons = true;
    bool twoLines = false;
    bool selected = false;
};

RowLayout layoutRow(const RowParams& params, const Metrics& metrics);

// The window height that shows n rows with their border.
int fullHeight(int count, int rowHeight, const Metrics& metrics);
// The smallest height the user may drag the list to: its full height when every row fits and
// that is below a scroll bar's minimum, else that minimum.
int lowerHeightLimit(int count, int visibleRows, int rowHeight, int scrollMinimum,
                     const Metrics& metrics);
// The window height fitToContents gives for n rows, given the client height the user last left.
int fittedHeight(int count, int rowHeight, int userHeight, const Metrics& metrics);
// Whole rows that fit in a client height.
int visibleRowsFor(int clientHeight, int rowHeight);
// The first row clamped so that no empty rows show below the last element.
int clampTopRow(int topRow, int visibleRows, int count);

} // namespace elementlist
