// Painting of the results list: every paint goes through one off-screen bitmap, row by row,
// each element drawing itself in the rectangles the list hands it.
#include "framework/CDC.h"
#include "resultlist/VElementListCtrl.h"
#include "ui/ElementListLayout.h"
#include "ui/ProgramTiming.h"

BOOL VElementListCtrl::OnEraseBkgnd(HDC) {
    // Every paint covers the whole client area.
    return TRUE;
}

void VElementListCtrl::OnPaint() {
    CPaintDC dc(this);
    paint(dc);
}

void VElementListCtrl::paint(CDC& dc) {
    if (m_clientRect.IsRectEmpty())
        return;
    const elementlist::Metrics sizes = metrics();
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF alternate = elementlist::alternateRowColour(window);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);

    const int barWidth = scrollBarWidth();
    CRect area = m_clientRect;
    area.right -= barWidth;

    // The buffer is kept from paint to paint while the list keeps its size.
    CDC memory;
    if (!keepPaintBuffer(dc, m_clientRect.Size()) || !memory.CreateCompatibleDC(&dc))
        return;
    const HBITMAP oldBitmap = memory.SelectObject(&m_paintBuffer);
    const HGDIOBJ oldFont = SelectObject(memory, m_rowFont.at(m_dpi));
    memory.SetBkMode(TRANSPARENT);
    memory.FillSolidRect(&area, window);

    bool rowsShown = false;
    {
        VReadLock lock(m_lock);
        elementlist::RowParams params;
        params.topRow = m_topRow;
        params.rowHeight = m_rowHeight;
        params.rowRight = area.right;
        params.showIcons = m_showIcons;
        params.twoLines = m_twoLines;
        rowsShown = m_topRow < m_elements.GetSize();
        for (int i = m_topRow; i < m_elements.GetSize(); ++i) {
            params.index = i;
            params.selected = i == m_selection;
            const elementlist::RowLayout row = elementlist::layoutRow(params, sizes);
            if (row.row.top >= m_clientRect.bottom)
                break; // the rows below are further down still
            CRect visible;
            if (!visible.IntersectRect(&row.row, &m_clientRect))
                continue;
            if (params.selected) {
                memory.FillSolidRect(&row.row, highlight);
                memory.SetTextColor(highlightText);
            } else {
                if (i % 2 == 1)
                    memory.FillSolidRect(&row.row, alternate);
                memory.SetTextColor(windowText);
            }
            VElement* element = m_elements[i];
            if (element && m_twoLines)
                element->drawTwoLines(&memory, &row.row, &row.icon, &row.line0, &row.line1,
                                      params.selected, m_showIcons);
            else if (element)
                element->drawOneLine(&memory, &row.row, &row.icon, &row.line0, params.selected,
                                     m_showIcons);
            if (params.selected && m_moreIcon)
                DrawIconEx(memory, row.arrow.left, row.arrow.top, m_moreIcon.get(),
                           row.arrow.right - row.arrow.left, row.arrow.bottom - row.arrow.top, 0,
                           nullptr, DI_NORMAL);
        }
    }

    // The grip is drawn off-screen too; with a scroll bar it is the part of that column that the
    // bar leaves free, and only the rows and the grip are copied to the window.
    const CRect grip = drawGrip(memory, m_clientRect);
    dc.BitBlt(area.left, area.top, area.Width(), area.Height(), &memory, area.left, area.top,
              SRCCOPY);
    if (barWidth != 0)
        dc.BitBlt(grip.left, grip.top, grip.Width(), grip.Height(), &memory, grip.left, grip.top,
                  SRCCOPY);
    memory.SelectObject(oldFont);
    memory.SelectObject(oldBitmap);
    ProgramTiming::listPainted(rowsShown);
}

bool VElementListCtrl::keepPaintBuffer(CDC& dc, CSize size) {
    const SIZE kept = m_paintBuffer.GetBitmapDimension();
    if (kept.cx == size.cx && kept.cy == size.cy)
        return true;
    m_paintBuffer.DeleteObject();
    return size.cx > 0 && size.cy > 0 &&
           m_paintBuffer.CreateCompatibleBitmap(&dc, size.cx, size.cy);
}

void VElementListCtrl::prepareToPaint() {
    CClientDC screen(this);
    CDC memory;
    CBitmap buffer;
    if (!screen.GetSafeHdc() || !memory.CreateCompatibleDC(&screen) ||
        !buffer.CreateCompatibleBitmap(&screen, 32, 32))
        return;
    const HBITMAP oldBitmap = memory.SelectObject(&buffer);
    VResult::prepareDrawing(&memory);
    memory.SelectObject(oldBitmap);
    // The paint buffer at the size of a list of many results, as fitToContents will size it,
    // so that the first results do not wait for it: making one costs a couple of milliseconds.
    constexpr int kManyRows = 1000;
    const elementlist::Metrics sizes = metrics();
    CRect client;
    GetClientRect(&client);
    const int height =
        elementlist::fittedHeight(kManyRows, m_rowHeight, m_userRect.Height(), sizes) -
        2 * sizes.border;
    if (!keepPaintBuffer(screen, CSize(client.Width(), height)))
        return;
    // Filled once now, so that its memory is there by the first paint.
    memory.SelectObject(&m_paintBuffer);
    memory.FillSolidRect(0, 0, client.Width(), height, GetSysColor(COLOR_WINDOW));
    memory.SelectObject(oldBitmap);
}

CRect VElementListCtrl::drawGrip(CDC& dc, const CRect& client) {
    CRect grip = client;
    grip.left = grip.right - GetSystemMetrics(SM_CYVSCROLL);
    grip.top = grip.bottom - GetSystemMetrics(SM_CXVSCROLL);
    if (scrollBarWidth() != 0)
        dc.FillSolidRect(&grip, GetSysColor(COLOR_BTNFACE));

    // Diagonal lines one pixel apart, in the repeating order light, face, shadow, shadow.
    CPen light(PS_SOLID, 1, GetSysColor(COLOR_WINDOW));
    CPen face(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    CPen shadow(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    const HPEN oldPen = dc.SelectObject(&light);
    const int width = GetSystemMetrics(SM_CXHSCROLL);
    int phase = 1;
    for (int j = 0; j < 20; ++j) {
        if (phase == 1)
            dc.SelectObject(&light);
        else if (phase == 2)
            dc.SelectObject(&face);
        else if (phase == 3)
            dc.SelectObject(&shadow);
        else
            phase = 0;
        dc.MoveTo(grip.left + j - 1, grip.bottom);
        dc.LineTo(grip.left + j + width, client.bottom - width - 1);
        ++phase;
    }
    dc.SelectObject(oldPen);
    return grip;
}
