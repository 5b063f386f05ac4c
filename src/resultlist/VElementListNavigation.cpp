// Moving through the results list and picking from it: the keys that the edit box offers, the
// pointer (hover selects, a click opens the action chooser, a double-click chooses), the scroll
// bar, and the keys that walk folders while browsing them.
//
// Locks: the selection and the scroll state change under the writer lock; the key paths read
// the selected element under the reader lock and let it go before they change the edit box's
// text or send a choice to the owner, whose handling may clear the list.
#include <algorithm>

#include "choosers/VActionListCtrl.h"
#include "core_iface/CPath.h"
#include "resultlist/VElementListCtrl.h"
#include "resultlist/VElementListOwner.h"
#include "ui/NavigationKeys.h"
#include "ui/OwnerMessages.h"

namespace {

bool isDirectory(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path.W().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool VElementListCtrl::isActionListOpen() const {
    return m_actionList && m_actionList->isOpen();
}

void VElementListCtrl::setCommandLineText(const CString& text) {
    if (!m_commandLine || !m_commandLine->m_hWnd)
        return;
    m_commandLine->SetWindowText(text);
    const int end = m_commandLine->GetWindowTextLength();
    m_commandLine->SendMessage(EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    m_commandLine->SendMessage(EM_SCROLLCARET);
}

bool VElementListCtrl::handleKey(UINT key) {
    const bool visible = m_hWnd && IsWindowVisible();
    if (isNavigationKey(key)) {
        if (!visible)
            return false;
        if (isActionListOpen()) {
            m_ignoreNextMouseMove = true;
            return m_actionList->handleKey(key);
        }
        moveSelection(key);
        return true;
    }
    const bool browsing = m_ownerState && m_ownerState->isBrowsingFolders();
    switch (key) {
    case VK_RETURN: {
        // The chooser's Enter makes the owner clear the list: no lock is held here.
        if (m_actionList && m_actionList->handleKey(key))
            return true;
        VElement* element = getSelectedElement();
        if (!element)
            return false;
        auto* file = dynamic_cast<VFileResult*>(element);
        if (file && (GetKeyState(VK_CONTROL) & 0x8000)) {
            const CString location = file->path.GetLocation();
            setReselectPath(location);
            setCommandLineText(location);
            return true;
        }
        if (m_owner && m_owner->m_hWnd)
            m_owner->SendMessage(WM_LIST_ELEMENTCHOSEN, reinterpret_cast<WPARAM>(element), 0);
        return true;
    }
    case VK_LEFT:
        if (!browsing || !dynamic_cast<VFileResult*>(getSelectedElement()))
            return false;
        goToParentFolder();
        return true;
    case VK_RIGHT: {
        if (!browsing)
            return false;
        VElement* element = getSelectedElement();
        if (auto* file = dynamic_cast<VFileResult*>(element)) {
            const CString path = file->getFile();
            if (!isDirectory(path))
                return false;
            setReselectPath(path);
            setCommandLineText(path);
            return true;
        }
        if (element)
            setReselectPath(CString());
        return false;
    }
    case VK_TAB: {
        VReadLock lock(m_lock);
        if (m_actionList && m_actionList->handleKey(key))
            return true;
        const bool isResult = m_selection >= 0 && m_selection < m_elements.GetSize() &&
                              dynamic_cast<VResult*>(m_elements[m_selection]);
        if (!isResult)
            return false;
        if (!isActionListOpen())
            openActions();
        return true;
    }
    case VK_ESCAPE: {
        VReadLock lock(m_lock);
        if (m_actionList && m_actionList->handleKey(key))
            return true;
        if (!isActionListOpen())
            return false;
        m_ignoreNextMouseMove = true;
        m_actionList->close();
        return true;
    }
    default:
        return false;
    }
}

void VElementListCtrl::goToParentFolder() {
    if (!m_commandLine || !m_commandLine->m_hWnd)
        return;
    CString text;
    m_commandLine->GetWindowText(text);
    const CPath path(text, 0, 0);
    const int last = path.GetDirCount() - 1;
    if (last < 0)
        return;
    CString parent = path.GetDrive() + "\\";
    for (int k = 0; k < last; ++k)
        parent += path.GetDir(k) + "\\";
    setCommandLineText(parent);
}

int VElementListCtrl::moveSelection(UINT key) {
    VWriteLock lock(m_lock);
    const int count = m_elements.GetSize();
    if (count == 0)
        return m_selection;
    int next = m_selection;
    switch (key) {
    case VK_DOWN:
        next = m_selection + 1 >= count ? -1 : m_selection + 1;
        break;
    case VK_UP:
        next = m_selection - 1 < -1 ? count - 1 : m_selection - 1;
        break;
    case VK_PRIOR:
        next = std::max(m_selection - m_visibleRows, 0);
        break;
    case VK_NEXT:
        next = std::min(m_selection + m_visibleRows, count - 1);
        break;
    case VK_HOME:
        next = 0;
        break;
    case VK_END:
        next = count - 1;
        break;
    default:
        break;
    }
    m_selection = next;
    ensureVisible(next);
    if (m_hWnd)
        Invalidate(TRUE);
    return next;
}

int VElementListCtrl::hitTest(POINT point) const {
    VReadLock lock(m_lock);
    const int width = m_clientRect.right - m_clientRect.left - scrollBarWidth();
    for (int i = m_topRow; i < m_elements.GetSize(); ++i) {
        const CRect hit(-2, (i - m_topRow) * m_rowHeight, width + 4,
                        (i - m_topRow + 1) * m_rowHeight);
        if (hit.PtInRect(point))
            return i;
    }
    return -1;
}

bool VElementListCtrl::selectedRowOnScreen(RECT* rect, bool mustBeVisible) const {
    VReadLock lock(m_lock);
    if (m_selection < 0 || m_selection >= m_elements.GetSize())
        return false;
    CRect row(2, (m_selection - m_topRow) * m_rowHeight, m_clientRect.right - scrollBarWidth(), 0);
    row.bottom = row.top + m_rowHeight;
    CRect inView;
    if (mustBeVisible && !inView.IntersectRect(&row, &m_clientRect))
        return false;
    ClientToScreen(&row);
    *rect = row;
    return true;
}

void VElementListCtrl::openActions() {
    m_ignoreNextMouseMove = true;
    RECT row;
    VResult* result = nullptr;
    {
        // A core thread may be appending: the array can move while it grows.
        VReadLock lock(m_lock);
        if (!m_actionList || !selectedRowOnScreen(&row, true))
            return;
        result = dynamic_cast<VResult*>(m_elements[m_selection]);
    }
    m_actionList->open(result, &row);
}

void VElementListCtrl::moveActions() {
    m_ignoreNextMouseMove = true;
    RECT row;
    if (m_actionList && selectedRowOnScreen(&row, false))
        m_actionList->moveTo(&row);
}

void VElementListCtrl::OnMouseMove(UINT flags, CPoint point) {
    if (m_ignoreNextMouseMove) {
        m_ignoreNextMouseMove = false;
        return;
    }
    VWriteLock lock(m_lock);
    const int old = m_selection;
    m_selection = hitTest(point);
    const int count = m_elements.GetSize();
    if (m_selection == -1 && count > 0 &&
        point.y >= m_clientRect.bottom - GetSystemMetrics(SM_CYBORDER))
        m_selection = count - 1;
    if (m_selection != old) {
        Invalidate(TRUE);
        if (isActionListOpen()) {
            if (m_selection == -1)
                m_actionList->close();
            else
                openActions();
        }
    }
    CWnd::OnMouseMove(flags, point);
}

void VElementListCtrl::OnLButtonUp(UINT flags, CPoint point) {
    CWnd::OnLButtonUp(flags, point);
    if (isActionListOpen())
        m_actionList->close();
    else if (getSelection() != -1)
        openActions();
}

void VElementListCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
    CWnd::OnLButtonDblClk(flags, point);
    VElement* chosen = nullptr;
    {
        VWriteLock lock(m_lock);
        m_selection = hitTest(point);
        if (m_selection != -1)
            chosen = m_elements[m_selection];
        Invalidate(TRUE);
    }
    if (chosen && m_owner && m_owner->m_hWnd)
        m_owner->SendMessage(WM_LIST_ELEMENTCHOSEN, reinterpret_cast<WPARAM>(chosen), 0);
}

void VElementListCtrl::OnVScroll(UINT code, UINT pos, CWnd* scrollBar) {
    CWnd::OnVScroll(code, pos, scrollBar);
    VWriteLock lock(m_lock);
    const int last = m_elements.GetSize() - m_visibleRows;
    const int old = m_topRow;
    switch (code) {
    case SB_LINEUP:
        m_topRow = std::max(m_topRow - 1, 0);
        break;
    case SB_LINEDOWN:
        m_topRow = std::min(m_topRow + 1, last);
        break;
    case SB_PAGEUP:
        m_topRow = std::max(m_topRow - m_visibleRows, 0);
        break;
    case SB_PAGEDOWN:
        m_topRow = std::min(m_topRow + m_visibleRows, last);
        break;
    case SB_THUMBTRACK:
        m_topRow = static_cast<int>(pos);
        break;
    default:
        break;
    }
    if (m_scrollBar.m_hWnd)
        m_scrollBar.SetScrollPos(m_topRow, TRUE);
    if (m_topRow != old)
        Invalidate(TRUE);
}
