// The action chooser: filling with the core's actions, keys, pointer, the property chooser
// beside it, and painting.
#include "choosers/VActionListCtrl.h"

#include "core_iface/VCorvantileCore.h"
#include "framework/CDC.h"
#include "res/resource.h"
#include "ui/NavigationKeys.h"
#include "ui/OwnerMessages.h"

VActionListCtrl::VActionListCtrl() : m_propertyList(std::make_unique<VPropertyListCtrl>()) {}

VActionListCtrl::~VActionListCtrl() = default;

bool VActionListCtrl::Create(CWnd* owner, CWnd* fontSource) {
    if (m_hWnd)
        return false;
    m_owner = owner;
    m_fontSource = fontSource;
    if (!createPopup(CRect(0, 0, 0, 0), fontSource))
        return false;
    loadArrowIcon();
    m_propertyList->Create(owner, this);
    return true;
}

void VActionListCtrl::setDpi(UINT dpi) {
    VChooserList::setDpi(dpi);
    if (m_hWnd)
        loadArrowIcon();
    m_propertyList->setDpi(dpi);
}

void VActionListCtrl::loadArrowIcon() {
    m_moreIcon.reset(
        static_cast<HICON>(LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_LIST_ARROW),
                                      IMAGE_ICON, iconSize(), iconSize(), 0)));
}

const VActionListCtrl::VActionItem* VActionListCtrl::getItem(int row) const {
    if (row < 0 || row >= getRowCount())
        return nullptr;
    return &m_items[static_cast<size_t>(row)];
}

void VActionListCtrl::open(VResult* result, const RECT* anchor) {
    close();
    if (!result || result->getPropertyCount() <= 0)
        return;
    m_result = result;
    VCorvantileCore* core = VCorvantileCore::instance();
    for (int i = 0; i < core->getNumActions(); ++i) {
        VAction* action = core->getAction(i);
        if (!action)
            continue;
        for (int j = 0; j < result->getPropertyCount(); ++j) {
            VProperty* property = result->getProperty(j);
            if (property && property->isValid() && action->isResultSupported(result) &&
                action->isTypeSupported(property->type)) {
                m_items.push_back({action, property, oneLine(action->getLabel(property))});
                break;
            }
        }
    }
    if (m_items.empty()) {
        m_result = nullptr;
        m_selection = -1;
        return;
    }
    VProperty* defaultProperty = result->getDefaultProperty();
    VAction* defaultAction =
        defaultProperty ? core->getDefaultAction(defaultProperty->type) : nullptr;
    m_selection = defaultAction ? -1 : 0;
    for (int row = 0; defaultAction && row < getRowCount(); ++row) {
        if (m_items[static_cast<size_t>(row)].action == defaultAction) {
            m_selection = row;
            break;
        }
    }
    placeBeside(anchor);
    Invalidate(TRUE);
}

void VActionListCtrl::close() {
    m_result = nullptr;
    m_selection = -1;
    std::vector<VActionItem>().swap(m_items);
    if (m_hWnd) {
        ShowWindow(SW_HIDE);
        m_propertyList->close();
    }
}

void VActionListCtrl::moveTo(const RECT* anchor) {
    placeBeside(anchor);
}

bool VActionListCtrl::appliesToSeveralProperties(VAction* action) const {
    if (!m_result || !action)
        return false;
    int count = 0;
    for (int j = 0; j < m_result->getPropertyCount() && count < 2; ++j) {
        VProperty* property = m_result->getProperty(j);
        if (property && property->isValid() && action->isTypeSupported(property->type))
            ++count;
    }
    return count > 1;
}

bool VActionListCtrl::selectedRowOnScreen(RECT* rect) const {
    if (!getRowRect(m_selection, rect))
        return false;
    ClientToScreen(rect);
    return true;
}

void VActionListCtrl::openPropertyList() {
    const VActionItem* item = getItem(m_selection);
    RECT row;
    if (item && selectedRowOnScreen(&row))
        m_propertyList->open(m_result, item->action, &row);
}

bool VActionListCtrl::handleKey(UINT key) {
    if (isNavigationKey(key)) {
        if (!m_hWnd || !IsWindowVisible())
            return false;
        if (m_propertyList->isOpen())
            return m_propertyList->handleKey(key);
        moveSelection(key);
        return true;
    }
    switch (key) {
    case VK_RETURN:
        if (m_propertyList->handleKey(key))
            return true;
        if (m_selection == -1 || !isOpen())
            return false;
        sendChoice(m_selection);
        return true;
    case VK_TAB: {
        if (m_propertyList->handleKey(key))
            return true;
        const VActionItem* item = getItem(m_selection);
        if (!item)
            return false;
        if (m_propertyList->isOpen())
            return true;
        if (appliesToSeveralProperties(item->action))
            openPropertyList();
        return true;
    }
    case VK_ESCAPE:
        if (m_propertyList->handleKey(key))
            return true;
        if (!m_propertyList->isOpen())
            return false;
        m_propertyList->close();
        return true;
    default:
        return false;
    }
}

void VActionListCtrl::sendChoice(int row) {
    const VActionItem* item = getItem(row);
    if (item && m_owner && m_owner->m_hWnd)
        m_owner->SendMessage(WM_LIST_ACTIONCHOSEN, reinterpret_cast<WPARAM>(item->action),
                             reinterpret_cast<LPARAM>(item->property));
}

CString VActionListCtrl::getRowText(int row) const {
    const VActionItem* item = getItem(row);
    return item ? item->label : CString();
}

void VActionListCtrl::paintRow(CDC& dc, int row, const CRect& rect, bool selected) {
    const VActionItem* item = getItem(row);
    if (!item)
        return;
    const bool several = selected && appliesToSeveralProperties(item->action);
    // Icons keep their square at every DPI: as wide as the row leaves them high.
    const int icon = iconSize();
    if (HICON actionIcon = item->action->getIcon())
        dc.DrawIconEx(rect.left + 2, rect.top + 1, actionIcon, icon, icon, DI_NORMAL);
    CRect text(rect.left + icon + 4, rect.top, several ? rect.right - icon - 6 : rect.right - 2,
               rect.bottom);
    dc.DrawText(item->label, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (several && m_moreIcon)
        dc.DrawIconEx(rect.right - icon - 2, rect.top + 1, m_moreIcon.get(), icon, icon, DI_NORMAL);
}

void VActionListCtrl::OnMouseMove(UINT flags, CPoint point) {
    if (selectByPointer(point)) {
        const VActionItem* item = getItem(m_selection);
        if (item && appliesToSeveralProperties(item->action))
            openPropertyList();
        else if (item)
            m_propertyList->close();
    }
    CWnd::OnMouseMove(flags, point);
}

void VActionListCtrl::OnLButtonUp(UINT flags, CPoint point) {
    CWnd::OnLButtonUp(flags, point);
    const VActionItem* item = getItem(m_selection);
    if (m_propertyList->isOpen())
        m_propertyList->close();
    else if (item && appliesToSeveralProperties(item->action))
        openPropertyList();
    else
        m_propertyList->close();
}

void VActionListCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
    CWnd::OnLButtonDblClk(flags, point);
    m_selection = hitTest(point);
    Invalidate(TRUE);
    if (m_selection != -1)
        sendChoice(m_selection);
}

// The open property chooser follows to where the row is now.
void VActionListCtrl::OnWindowPosChanged(WINDOWPOS* pos) {
    CWnd::OnWindowPosChanged(pos);
    RECT row;
    if (m_propertyList->isOpen() && selectedRowOnScreen(&row))
        m_propertyList->moveTo(&row);
}
