// The property chooser: filling, keys, pointer and painting of its rows.
#include "choosers/VPropertyListCtrl.h"

#include "framework/CDC.h"
#include "ui/NavigationKeys.h"
#include "ui/OwnerMessages.h"

bool VPropertyListCtrl::Create(CWnd* owner, CWnd* fontSource) {
    if (m_hWnd)
        return false;
    m_owner = owner;
    m_fontSource = fontSource;
    return createPopup(CRect(0, 0, 0, 0), fontSource);
}

VProperty* VPropertyListCtrl::getProperty(int row) const {
    if (row < 0 || row >= getRowCount())
        return nullptr;
    return m_properties[static_cast<size_t>(row)];
}

void VPropertyListCtrl::open(VResult* result, VAction* action, const RECT* anchor) {
    close();
    if (!result || !action || result->getPropertyCount() < 1)
        return;
    m_result = result;
    m_action = action;
    m_selection = 0;
    for (int i = 0; i < result->getPropertyCount(); ++i) {
        VProperty* property = result->getProperty(i);
        if (property && property->isValid() && action->isTypeSupported(property->type))
            m_properties.push_back(property);
    }
    if (m_properties.empty()) {
        close();
        return;
    }
    placeBeside(anchor);
    Invalidate(TRUE);
}

void VPropertyListCtrl::close() {
    m_result = nullptr;
    m_action = nullptr;
    m_selection = -1;
    std::vector<VProperty*>().swap(m_properties);
    if (m_hWnd)
        ShowWindow(SW_HIDE);
}

void VPropertyListCtrl::moveTo(const RECT* anchor) {
    placeBeside(anchor);
}

bool VPropertyListCtrl::handleKey(UINT key) {
    if (isNavigationKey(key)) {
        if (!m_hWnd || !IsWindowVisible())
            return false;
        moveSelection(key);
        return true;
    }
    if (key != VK_RETURN || m_selection == -1 || !isOpen())
        return false;
    sendChoice(m_selection);
    return true;
}

void VPropertyListCtrl::sendChoice(int row) {
    VProperty* property = getProperty(row);
    if (property && m_owner && m_owner->m_hWnd)
        m_owner->SendMessage(WM_LIST_PROPERTYCHOSEN, reinterpret_cast<WPARAM>(property),
                             reinterpret_cast<LPARAM>(m_action));
}

CString VPropertyListCtrl::getRowText(int row) const {
    VProperty* property = getProperty(row);
    return property ? property->value : CString();
}

void VPropertyListCtrl::paintRow(CDC& dc, int row, const CRect& rect, bool) {
    VProperty* property = getProperty(row);
    if (!property)
        return;
    const int icon = iconSize();
    if (HICON typeIcon = VProperty::iconForPropertyType(property->type))
        dc.DrawIconEx(rect.left + 2, rect.top + 1, typeIcon, icon, icon, DI_NORMAL);
    CRect text(rect.left + icon + 4, rect.top, rect.right - 2, rect.bottom);
    dc.DrawText(oneLine(property->value), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void VPropertyListCtrl::OnMouseMove(UINT flags, CPoint point) {
    selectByPointer(point);
    CWnd::OnMouseMove(flags, point);
}

void VPropertyListCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
    CWnd::OnLButtonDblClk(flags, point);
    m_selection = hitTest(point);
    Invalidate(TRUE);
    if (m_selection != -1)
        sendChoice(m_selection);
}
