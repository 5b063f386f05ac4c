// The results list's elements: ownership, adding and clearing, selection on arrival, the
// preferences, and the hand-over of window work from the core's threads to the window thread.
#include "resultlist/VElementListCtrl.h"

#include "choosers/VActionListCtrl.h"
#include "core_iface/VPreferences.h"
#include "framework/ScreenPlacement.h"
#include "res/resource.h"
#include "resultlist/VElementListOwner.h"
#include "ui/ElementListLayout.h"

namespace {

// Posted to the list's own window when a core thread has added elements.
constexpr UINT kDoWindowWork = WM_APP + 0x100;

} // namespace

VElementListCtrl::VElementListCtrl()
    : m_dpi(screen::systemDpi()), m_windowThread(GetCurrentThreadId()) {
    m_rowHeight = elementlist::rowHeight(false, metrics().iconHeight);
    clear(false);
}

VElementListCtrl::~VElementListCtrl() {
    // The window goes first, while this class still handles its last messages.
    if (m_hWnd)
        DestroyWindow();
}

bool VElementListCtrl::Create(CWnd* owner, CWnd* commandLine) {
    if (m_hWnd)
        return false;
    m_owner = owner;
    m_commandLine = commandLine;
    m_windowThread = GetCurrentThreadId();

    m_ownerState = dynamic_cast<const VElementListOwner*>(owner);
    CRect edit;
    if (commandLine && commandLine->m_hWnd)
        commandLine->GetWindowRect(&edit);
    if (!createPopup(CRect(edit.left, edit.bottom, edit.right, edit.bottom + 100), commandLine))
        return false;
    m_postTarget = m_hWnd;

    m_scrollBar.Create(WS_VISIBLE | SBS_VERT | SBS_LEFTALIGN,
                       CRect(0, 0, GetSystemMetrics(SM_CYVSCROLL), 100), this, 0);
    loadArrowIcon();
    m_actionList = std::make_unique<VActionListCtrl>();
    m_actionList->Create(owner, this);
    m_actionList->setDpi(m_dpi);
    return true;
}

void VElementListCtrl::loadArrowIcon() {
    const elementlist::Metrics sizes = metrics();
    m_moreIcon.reset(
        static_cast<HICON>(LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_LIST_ARROW),
                                      IMAGE_ICON, sizes.iconWidth, sizes.iconHeight, 0)));
}

void VElementListCtrl::OnDestroy() {
    m_postTarget = nullptr;
    CWnd::OnDestroy();
}

void VElementListCtrl::loadPrefs(VPreferencesNode* commandLineNode) {
    if (commandLineNode) {
        if (VPreferencesNode* node = commandLineNode->getChild("List")) {
            node->getParam("ShowIcons", m_showIcons);
            node->getParam("TwoLines", m_twoLines);
        }
    }
    setRowHeightFromMode();
}

void VElementListCtrl::savePrefs(VPreferencesNode* commandLineNode) {
    if (!commandLineNode)
        return;
    VPreferencesNode* node = VPreferencesNode::createInstance("List");
    if (!commandLineNode->addChild(node)) {
        node->deleteThis();
        return;
    }
    node->setParam("ShowIcons", m_showIcons);
    node->setParam("TwoLines", isTwoLines());
}

void VElementListCtrl::setTwoLines(bool twoLines) {
    VWriteLock lock(m_lock);
    // While a folder listing suspends two-line rows, the choice applies when it ends.
    if (m_twoLinesSuspended) {
        m_savedTwoLines = twoLines;
        return;
    }
    m_twoLines = twoLines;
    setRowHeightFromMode();
}

void VElementListCtrl::setRowHeightFromMode() {
    m_rowHeight = elementlist::rowHeight(m_twoLines, metrics().iconHeight);
}

void VElementListCtrl::setDpi(UINT dpi, HFONT font) {
    {
        VWriteLock lock(m_lock);
        m_dpi = dpi;
        setRowHeightFromMode();
    }
    if (!m_hWnd)
        return;
    loadArrowIcon();
    if (m_actionList)
        m_actionList->setDpi(dpi);
    if (font)
        SetFont(font, FALSE);
    if (IsWindowVisible())
        fitToContents();
    else
        updateVisibleRows();
    Invalidate(TRUE);
}

void VElementListCtrl::setReselectPath(const CString& path) {
    VWriteLock lock(m_lock);
    m_reselectPath = path;
}

void VElementListCtrl::clear(bool hide) {
    VWriteLock lock(m_lock);
    for (VElement* element : m_elements) {
        if (element && element->getElementType() == VElement::kResult)
            element->deleteThis();
    }
    if (m_twoLinesSuspended) {
        if (m_savedTwoLines) {
            m_twoLines = true;
            setRowHeightFromMode();
        }
        m_twoLinesSuspended = false;
        m_savedTwoLines = false;
    }
    m_elements.RemoveAll();
    m_selection = -1;
    m_topRow = 0;
    m_visibleRows = 0;
    m_pending = PendingWork{};
    if (m_hWnd && hide)
        ShowWindow(SW_HIDE);
    if (m_hWnd && m_actionList)
        m_actionList->close();
}

bool VElementListCtrl::matchesReselectPath(VElement* element) const {
    if (!element || element->getElementType() != VElement::kResult)
        return false;
    auto* result = dynamic_cast<VResult*>(element);
    if (!result || result->getPropertyCount() == 0)
        return false;
    const VProperty* first = result->getProperty(0);
    return first && first->isValid() && first->type == PropertyPath &&
           first->value == m_reselectPath;
}

void VElementListCtrl::appendLocked(VElement* element) {
    m_elements.SetSize(m_elements.GetSize() + 1);
    m_elements[m_elements.GetSize() - 1] = element;
}

void VElementListCtrl::addElement(VElement* element) {
    {
        VWriteLock lock(m_lock);
        appendLocked(element);
        const int index = m_elements.GetSize() - 1;
        const int type = element ? element->getElementType() : 0;
        if (index == 0 && type == 0) {
            m_selection = 0;
            m_pending.closeActions = true;
        } else if (type == VElement::kResult) {
            if (matchesReselectPath(element)) {
                m_selection = index;
                m_pending.scrollTo = index;
            }
        } else if (m_selection == -1) {
            m_selection = 0;
            m_pending.closeActions = true;
        }
        m_pending.show = true;
    }
    scheduleWindowWork();
}

void VElementListCtrl::addElements(VElement** elements, int count) {
    {
        VWriteLock lock(m_lock);
        int match = -1;
        for (int i = 0; elements && i < count; ++i) {
            appendLocked(elements[i]);
            if (matchesReselectPath(elements[i]))
                match = m_elements.GetSize() - 1;
        }
        m_pending.show = true;
        m_pending.selectFirst = true;
        if (match >= 0)
            m_pending.reselect = match;
    }
    scheduleWindowWork();
}

void VElementListCtrl::addFileResults(VFileResult** results, int count) {
    {
        VWriteLock lock(m_lock);
        int match = -1;
        for (int i = 0; results && i < count; ++i) {
            appendLocked(results[i]);
            if (results[i] && results[i]->getFile() == m_reselectPath)
                match = m_elements.GetSize() - 1;
        }
        if (!m_twoLinesSuspended) {
            m_twoLinesSuspended = true;
            m_savedTwoLines = m_twoLines;
            if (m_twoLines) {
                m_twoLines = false;
                setRowHeightFromMode();
            }
        }
        m_pending.show = true;
        m_pending.selectFirst = true;
        if (match >= 0)
            m_pending.reselect = match;
    }
    scheduleWindowWork();
}

void VElementListCtrl::scheduleWindowWork() {
    if (GetCurrentThreadId() == m_windowThread) {
        doWindowWork();
        return;
    }
    // One message at a time is enough: the window thread takes all the work noted so far.
    const HWND target = m_postTarget.load();
    if (target && !m_workPosted.exchange(true) && !::PostMessageW(target, kDoWindowWork, 0, 0))
        m_workPosted = false;
}

void VElementListCtrl::doWindowWork() {
    // Cleared before the work is taken, so that work noted from now on posts again.
    m_workPosted = false;
    PendingWork work;
    {
        VWriteLock lock(m_lock);
        work = m_pending;
        m_pending = PendingWork{};
    }
    if (work.closeActions && m_actionList)
        m_actionList->close();
    if (!work.show)
        return;
    const bool appearing = m_hWnd && !IsWindowVisible();
    if (m_hWnd) {
        m_ignoreNextMouseMove = true;
        fitToContents();
        // Shown on top in the same call, without taking the activation from the bar.
        if (appearing)
            ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    {
        VWriteLock lock(m_lock);
        const int count = m_elements.GetSize();
        if (work.reselect >= 0 && work.reselect < count) {
            m_selection = work.reselect;
            ensureVisible(work.reselect);
        } else if (work.selectFirst && m_selection == -1 && count > 0) {
            m_selection = 0;
        }
        if (work.scrollTo >= 0 && work.scrollTo < count)
            ensureVisible(work.scrollTo);
    }
    if (!m_hWnd)
        return;
    Invalidate(TRUE);
    // The first rows are the best ones: they are painted at once, ahead of the batches still
    // queued (a paint otherwise waits until no other message is).
    if (appearing)
        UpdateWindow();
}

void VElementListCtrl::ensureVisible(int index) {
    const int count = m_elements.GetSize();
    const int oldTop = m_topRow;
    if (m_topRow < index && index < m_topRow + m_visibleRows)
        return;
    while (m_topRow < index && m_topRow < count - m_visibleRows &&
           m_topRow + m_visibleRows <= index)
        ++m_topRow;
    while (index < m_topRow && m_topRow > 0)
        --m_topRow;
    if (m_topRow != oldTop && m_scrollBar.m_hWnd)
        m_scrollBar.SetScrollPos(m_topRow, TRUE);
}

int VElementListCtrl::getCount() const {
    VReadLock lock(m_lock);
    return m_elements.GetSize();
}

int VElementListCtrl::getSelection() const {
    VReadLock lock(m_lock);
    return m_selection;
}

VElement* VElementListCtrl::getSelectedElement() const {
    VReadLock lock(m_lock);
    if (m_selection < 0 || m_selection >= m_elements.GetSize())
        return nullptr;
    return m_elements[m_selection];
}

VElement* VElementListCtrl::getElement(int index) const {
    VReadLock lock(m_lock);
    if (index < 0 || index >= m_elements.GetSize())
        return nullptr;
    return m_elements[index];
}

LRESULT VElementListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kDoWindowWork:
        doWindowWork();
        return 0;
    default:
        return VPopupWnd::WindowProc(message, wParam, lParam);
    }
}
