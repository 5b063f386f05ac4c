// The search bar's geometry: a fixed height, sizing from the left and right edges, dragging
// from anywhere, and docking to the edges of the work area.
#include "mainwnd/CorvantileDlg.h"

#include <cstdlib>

// The bar is as tall as its edit box allows and no taller; its width is free.
void CCorvantileDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    CTrayDialog::OnGetMinMaxInfo(info);
    if (!m_commandLine.m_hWnd)
        return;
    // The edit box's height, measured the first time and kept for the process.
    static const int editHeight = [this] {
        CRect edit;
        m_commandLine.GetClientRect(&edit);
        return edit.Height();
    }();
    const int height = editHeight + 2 * GetSystemMetrics(SM_CYFRAME) + 8;
    info->ptMinTrackSize.y = height;
    info->ptMaxTrackSize.y = height;
}

// Sized from its left and right edges only, and dragged from anywhere else on its surface.
LRESULT CCorvantileDlg::OnNcHitTest(CPoint point) {
    CRect window;
    GetWindowRect(&window);
    if (point.x > window.left - kSizingMargin && point.x < window.left + kSizingMargin)
        return HTLEFT;
    if (point.x > window.right - kSizingMargin && point.x < window.right + kSizingMargin)
        return HTRIGHT;
    return HTCAPTION;
}

void CCorvantileDlg::OnWindowPosChanging(WINDOWPOS* pos) {
    CTrayDialog::OnWindowPosChanging(pos);
    // The list follows the bar from where the bar is now.
    m_commandLine.followOwner();
    if (!(pos->flags & SWP_NOMOVE))
        snapToWorkArea(pos);
}

void CCorvantileDlg::snapToWorkArea(WINDOWPOS* pos) const {
    RECT area{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        return;
    int width = pos->cx;
    int height = pos->cy;
    if (pos->flags & SWP_NOSIZE) {
        CRect window;
        GetWindowRect(&window);
        width = window.Width();
        height = window.Height();
    }
    pos->x = snapToEdges(pos->x, width, area.left, area.right);
    pos->y = snapToEdges(pos->y, height, area.top, area.bottom);
}

int CCorvantileDlg::snapToEdges(int position, int size, int low, int high) {
    if (std::abs(position) <= low + kSnapDistance)
        return low;
    const int end = position + size;
    if (end >= high - kSnapDistance && end <= high + kSnapDistance)
        return high - size;
    return position;
}
