// Geometry, placement, key and pointer selection and painting shared by the chooser popups.
#include "choosers/VChooserList.h"

#include <algorithm>

#include "framework/CDC.h"
#include "framework/MonitorList.h"
#include "framework/ScreenPlacement.h"
#include "framework/CGdiObject.h"
#include "ui/ElementListLayout.h"

VChooserList::VChooserList()
    : m_dpi(screen::systemDpi()), m_rowHeight(screen::metric(SM_CYSMICON, m_dpi) + 2) {}

void VChooserList::setDpi(UINT dpi) {
    m_dpi = dpi;
    m_rowHeight = screen::metric(SM_CYSMICON, dpi) + 2;
    if (m_hWnd)
        Invalidate(TRUE);
}

int VChooserList::scaled(int pixels) const {
    return screen::scale(pixels, m_dpi);
}

VChooserList::~VChooserList() {
    if (m_hWnd)
        DestroyWindow();
}

CString VChooserList::oneLine(const CString& text) {
    CString flat = text;
    flat.Replace("\t", " ");
    flat.Replace("\r", " ");
    flat.Replace("\n", " ");
    return flat;
}

bool VChooserList::getRowRect(int row, RECT* rect) const {
    if (row < 0 || row >= getRowCount() || !m_hWnd)
        return false;
    CRect client;
    GetClientRect(&client);
    rect->left = client.left;
    rect->right = client.right;
    rect->top = client.top + row * m_rowHeight;
    rect->bottom = rect->top + m_rowHeight;
    return true;
}

int VChooserList::hitTest(POINT point) const {
    for (int row = 0; row < getRowCount(); ++row) {
        CRect rect;
        if (getRowRect(row, &rect) && rect.PtInRect(point))
            return row;
    }
    return -1;
}

int VChooserList::moveSelection(UINT key) {
    const int count = getRowCount();
    if (count == 0)
        return m_selection;
    switch (key) {
    case VK_DOWN:
        m_selection = m_selection + 1 >= count ? 0 : m_selection + 1;
        break;
    case VK_UP:
        m_selection = m_selection - 1 < 0 ? count - 1 : m_selection - 1;
        break;
    case VK_HOME:
        m_selection = 0;
        break;
    case VK_END:
        m_selection = count - 1;
        break;
    default:
        break;
    }
    if (m_hWnd)
        Invalidate(TRUE);
    return m_selection;
}

CRect VChooserList::calcWindowRect(const RECT* anchor) {
    int widest = 0;
    if (m_hWnd) {
        CClientDC dc(this);
        const HGDIOBJ oldFont = SelectObject(dc, m_rowFont.at(m_dpi));
        for (int row = 0; row < getRowCount(); ++row) {
            CRect measure(0, 0, 0, 0);
            dc.DrawText(oneLine(getRowText(row)), &measure,
                        DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            widest = std::max(widest, static_cast<int>(measure.Width()));
        }
        dc.SelectObject(oldFont);
    }
    const int border = GetSystemMetrics(SM_CYBORDER);
    const int width = getRowCount() == 0 ? 0 : widest + scaled(40);
    const int height = getRowCount() * m_rowHeight + 2 * border;
    return screen::besideAnchor(MonitorList::current().monitors(), *anchor, {width, height},
                                border);
}

void VChooserList::placeBeside(const RECT* anchor) {
    if (!m_hWnd)
        return;
    const CRect place = calcWindowRect(anchor);
    SetWindowPos(&wndTop, place.left, place.top, place.Width(), place.Height(), 0);
    ShowWindow(SW_SHOW);
}

bool VChooserList::selectByPointer(CPoint point) {
    const int old = m_selection;
    m_selection = hitTest(point);
    const int count = getRowCount();
    if (m_selection == -1 && count > 0) {
        CRect client;
        GetClientRect(&client);
        if (point.y < client.top)
            m_selection = 0;
        else if (point.y >= client.bottom)
            m_selection = count - 1;
    }
    if (m_selection == old)
        return false;
    Invalidate(TRUE);
    return true;
}

BOOL VChooserList::OnEraseBkgnd(HDC) {
    return TRUE; // painting covers the whole client area
}

BOOL VChooserList::OnSetCursor(CWnd*, UINT, UINT) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

void VChooserList::OnPaint() {
    CPaintDC dc(this);
    if (!isOpen())
        return;
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return;
    CDC memory;
    CBitmap buffer;
    if (!memory.CreateCompatibleDC(&dc) ||
        !buffer.CreateCompatibleBitmap(&dc, client.Width(), client.Height()))
        return;
    const HBITMAP oldBitmap = memory.SelectObject(&buffer);
    const HGDIOBJ oldFont = SelectObject(memory, m_rowFont.at(m_dpi));
    memory.SetBkMode(TRANSPARENT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF alternate = elementlist::alternateRowColour(window);
    memory.FillSolidRect(&client, window);
    for (int row = 0; row < getRowCount(); ++row) {
        CRect rect;
        getRowRect(row, &rect);
        const bool selected = row == m_selection;
        if (selected) {
            memory.FillSolidRect(&rect, GetSysColor(COLOR_HIGHLIGHT));
            memory.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
            if (row % 2 == 1)
                memory.FillSolidRect(&rect, alternate);
            memory.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        }
        paintRow(memory, row, rect, selected);
    }
    dc.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(oldFont);
    memory.SelectObject(oldBitmap);
}
