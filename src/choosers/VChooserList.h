// The common part of the two chooser popups beside the results list: a thin-bordered,
// owner-drawn list of rows that never takes the focus, exactly as tall as its rows, placed to
// the right of an anchor row (or to its left at the edge of the row's monitor, and always
// inside that monitor's work area), double-buffered.
#pragma once

#include "framework/CString.h"
#include "framework/GuiFontAtDpi.h"
#include "ui/VPopupWnd.h"

class CDC;

class VChooserList : public VPopupWnd {
public:
    VChooserList();
    ~VChooserList() override;

    int getSelection() const { return m_selection; }
    int getRowHeight() const { return m_rowHeight; }
    // Draws at a monitor's DPI from now on: row height, icons and font.
    virtual void setDpi(UINT dpi);
    virtual int getRowCount() const = 0;

    // The rectangle of a row in client coordinates; false (rect untouched) for no such row.
    bool getRowRect(int row, RECT* rect) const;
    // The row under a client point, or -1.
    int hitTest(POINT point) const;
    // Moves the selection for a navigation key (Down and Up wrap around); returns it.
    int moveSelection(UINT key);
    // The window rectangle, in screen pixels, for a popup beside anchor, inside the work area
    // of anchor's monitor.
    CRect calcWindowRect(const RECT* anchor);

    // Tab, CR and LF each become a space, so that a text shows on one line.
    static CString oneLine(const CString& text);

protected:
    // Moves the window beside anchor and shows it.
    void placeBeside(const RECT* anchor);
    // The row under the pointer, or the first or last row for a point above or below the rows;
    // true when the selection changed (the window is then repainted).
    bool selectByPointer(CPoint point);

    virtual bool isOpen() const = 0;
    virtual CString getRowText(int row) const = 0;
    // Draws a row's icon and text; the background and text colour are set already.
    virtual void paintRow(CDC& dc, int row, const CRect& rect, bool selected) = 0;

    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

    // The side of a row's icon square, and a length at 96 DPI at the list's DPI.
    int iconSize() const { return m_rowHeight - 2; }
    int scaled(int pixels) const;

    int m_selection = -1;
    UINT m_dpi;
    int m_rowHeight = 0;

private:
    GuiFontAtDpi m_rowFont;
};
