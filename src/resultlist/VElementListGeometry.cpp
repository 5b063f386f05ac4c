// The results list's window as a rectangle on the screen: fitting to its rows under the search
// bar, the limits of every size change, the sizing grip, and the vertical scroll bar.
#include "resultlist/VElementListCtrl.h"
#include "ui/ElementListLayout.h"

namespace {

int cyVScroll() {
    return GetSystemMetrics(SM_CYVSCROLL);
}

// Reads the element count under the list's lock from the window thread.
class CountReader {
public:
    explicit CountReader(const VReaderWriterLock& lock) : m_lock(lock) {
        m_lock.AcquireReaderLock();
    }
    ~CountReader() { m_lock.ReleaseReaderLock(); }
    CountReader(const CountReader&) = delete;
    CountReader& operator=(const CountReader&) = delete;

private:
    const VReaderWriterLock& m_lock;
};

} // namespace

int VElementListCtrl::scrollBarMinimumHeight() {
    return 2 * GetSystemMetrics(SM_CYHSCROLL) + GetSystemMetrics(SM_CYFRAME) +
           GetSystemMetrics(SM_CXHTHUMB);
}

int VElementListCtrl::scrollBarWidth() const {
    if (!m_scrollBar.m_hWnd || !(m_scrollBar.GetStyle() & WS_VISIBLE))
        return 0;
    return cyVScroll();
}

CRect VElementListCtrl::gripRect() const {
    CRect client;
    GetClientRect(&client);
    client.left = client.right - cyVScroll();
    client.top = client.bottom - GetSystemMetrics(SM_CXVSCROLL);
    return client;
}

void VElementListCtrl::updateVisibleRows() {
    CRect client;
    GetClientRect(&client);
    m_visibleRows = elementlist::visibleRowsFor(client.Height(), m_rowHeight);
    m_topRow = elementlist::clampTopRow(m_topRow, m_visibleRows, getCount());
}

void VElementListCtrl::updateScrollRange() {
    const int count = getCount();
    if (count == 0)
        return;
    SCROLLINFO info{};
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = count - 1;
    info.nPage = static_cast<UINT>(m_visibleRows);
    m_scrollBar.SetScrollInfo(&info, TRUE);
}

void VElementListCtrl::layoutScrollBar() {
    CRect client;
    GetClientRect(&client);
    const CRect place(client.right - cyVScroll(), -1, client.right,
                      client.bottom - GetSystemMetrics(SM_CYHSCROLL));
    // Each move or show is a round trip through Wine's server even when nothing changes, and
    // the list is fitted whenever results arrive: the bar is only moved or shown when it must.
    CRect current;
    m_scrollBar.GetWindowRect(&current);
    ScreenToClient(&current);
    if (current != place)
        m_scrollBar.MoveWindow(place.left, place.top, place.Width(), place.Height(), TRUE);
    const bool shown = m_visibleRows <= getCount() - 1;
    if (shown != ((m_scrollBar.GetStyle() & WS_VISIBLE) != 0))
        m_scrollBar.ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

void VElementListCtrl::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    m_clientRect = CRect(0, 0, cx, cy);
    updateVisibleRows();
    if (m_scrollBar.m_hWnd) {
        updateScrollRange();
        layoutScrollBar();
    }
    if (!m_fitting)
        m_userRect = m_clientRect;
    if (isActionListOpen())
        moveActions();
}

void VElementListCtrl::fitToContents() {
    if (!m_hWnd)
        return;
    CRect user = m_userRect;
    ClientToScreen(&user);
    const int height = elementlist::fittedHeight(getCount(), m_rowHeight, user.Height(), metrics());
    CRect place;
    if (m_owner && m_owner->m_hWnd) {
        CRect owner;
        m_owner->GetWindowRect(&owner);
        place = CRect(owner.left, owner.bottom, owner.right, owner.bottom + height);
    } else {
        GetWindowRect(&place);
        place.bottom = place.top + height;
    }
    // Moving a window costs the display server a round trip: a list that already has its place,
    // shown or hidden, is left there (showing it puts it on top).
    CRect current;
    GetWindowRect(&current);
    if (current != place) {
        m_fitting = true;
        SetWindowPos(&wndTop, place.left, place.top, place.Width(), place.Height(), 0);
        m_fitting = false;
    }

    updateVisibleRows();
    if (m_scrollBar.m_hWnd) {
        updateScrollRange();
        layoutScrollBar();
    }
    if (isActionListOpen())
        moveActions();
}

void VElementListCtrl::OnGetMinMaxInfo(MINMAXINFO* info) {
    if (!m_hWnd) {
        CWnd::OnGetMinMaxInfo(info);
        return;
    }
    CountReader lock(m_lock);
    info->ptMinTrackSize.y = elementlist::lowerHeightLimit(
        m_elements.GetSize(), m_visibleRows, m_rowHeight, scrollBarMinimumHeight(), metrics());
    if (m_commandLine && m_commandLine->m_hWnd) {
        CRect edit;
        m_commandLine->GetWindowRect(&edit);
        info->ptMinTrackSize.x = edit.Width();
    } else {
        info->ptMinTrackSize.x = 4 * GetSystemMetrics(SM_CXHSCROLL);
    }
}

void VElementListCtrl::OnWindowPosChanging(WINDOWPOS* pos) {
    if (!m_hWnd || m_fitting)
        return;
    CountReader lock(m_lock);
    const elementlist::Metrics sizes = metrics();
    const int count = m_elements.GetSize();
    const int lower = elementlist::lowerHeightLimit(count, m_visibleRows, m_rowHeight,
                                                    scrollBarMinimumHeight(), sizes);
    const int full = elementlist::fullHeight(count, m_rowHeight, sizes);
    if (pos->cy < lower)
        pos->cy = lower;
    else if (pos->cy > full)
        pos->cy = full;
    if (m_commandLine && m_commandLine->m_hWnd) {
        CRect edit;
        m_commandLine->GetWindowRect(&edit);
        if (pos->cx < edit.Width())
            pos->cx = edit.Width();
    }
}

// The open action chooser follows the list wherever it went, the bar taking it along included.
void VElementListCtrl::OnWindowPosChanged(WINDOWPOS* pos) {
    CWnd::OnWindowPosChanged(pos);
    if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) && isActionListOpen())
        moveActions();
}

LRESULT VElementListCtrl::OnNcHitTest(CPoint point) {
    CRect grip = gripRect();
    ClientToScreen(&grip);
    return grip.PtInRect(point) ? HTBOTTOMRIGHT : HTCLIENT;
}

BOOL VElementListCtrl::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    CPoint cursor;
    GetCursorPos(&cursor);
    CRect grip = gripRect();
    ClientToScreen(&grip);
    if (grip.PtInRect(cursor))
        return CWnd::OnSetCursor(wnd, hitTest, message);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}
