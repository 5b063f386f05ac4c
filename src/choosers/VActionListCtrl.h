// The action chooser: a popup beside the results list's selected row that lists the core's
// actions applying to the selected result, the default one preselected. Double-click or Enter
// sends the choice to the owner as WM_APP+11 (the action and the property it runs on). An action
// that applies to several properties of the result shows an arrow on its selected row and opens
// the property chooser, which this list owns and passes keys on to.
#pragma once

#include <memory>
#include <vector>

#include "choosers/VChooserList.h"
#include "choosers/VPropertyListCtrl.h"
#include "core_iface/VElement.h"
#include "framework/Win32Handles.h"

class VActionListCtrl : public VChooserList {
public:
    struct VActionItem {
        VAction* action = nullptr;
        VProperty* property = nullptr; // the first property of the result the action accepts
        CString label;
    };

    VActionListCtrl();
    ~VActionListCtrl() override;

    // Creates the hidden window and the property chooser; false when the window exists.
    bool Create(CWnd* owner, CWnd* fontSource);
    // Lists the actions for result beside anchor (screen coordinates); stays closed when none
    // applies.
    void open(VResult* result, const RECT* anchor);
    void close();
    void moveTo(const RECT* anchor);
    // Navigation keys, Enter, Tab and Esc from the results list; true when used up.
    bool handleKey(UINT key);
    // Whether action accepts at least two valid properties of the open result.
    bool appliesToSeveralProperties(VAction* action) const;
    // Opens the property chooser beside the selected row for its action.
    void openPropertyList();
    // The property chooser draws at the same DPI.
    void setDpi(UINT dpi) override;

    bool isOpen() const override { return m_result != nullptr; }
    VResult* getResult() const { return m_result; }
    int getRowCount() const override { return static_cast<int>(m_items.size()); }
    const VActionItem* getItem(int row) const;
    VPropertyListCtrl& getPropertyList() { return *m_propertyList; }

protected:
    CString getRowText(int row) const override;
    void paintRow(CDC& dc, int row, const CRect& rect, bool selected) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;

private:
    void sendChoice(int row);
    void loadArrowIcon();
    bool selectedRowOnScreen(RECT* rect) const;

    CWnd* m_owner = nullptr;
    CWnd* m_fontSource = nullptr;
    std::unique_ptr<VPropertyListCtrl> m_propertyList;
    VResult* m_result = nullptr;
    IconHandle m_moreIcon;
    std::vector<VActionItem> m_items;
};
