// The property chooser: the second-level popup beside the action chooser's selected row,
// listing the properties of a result that an action can run on. Double-click or Enter sends
// the choice to the owner as WM_APP+12 (the property and the action).
#pragma once

#include <vector>

#include "choosers/VChooserList.h"
#include "core_iface/VElement.h"

class VPropertyListCtrl : public VChooserList {
public:
    VPropertyListCtrl() = default;

    // Creates the hidden window; false, and nothing changed, when it exists already.
    bool Create(CWnd* owner, CWnd* fontSource);
    // Lists the properties of result that action supports, row 0 selected, beside anchor (screen
    // coordinates); stays closed when there is none.
    void open(VResult* result, VAction* action, const RECT* anchor);
    void close();
    // Places the open list beside a new anchor.
    void moveTo(const RECT* anchor);
    // Navigation keys while visible, and Enter on a selected row; true when used up.
    bool handleKey(UINT key);

    bool isOpen() const override { return m_result && m_action; }
    VResult* getResult() const { return m_result; }
    VAction* getAction() const { return m_action; }
    int getRowCount() const override { return static_cast<int>(m_properties.size()); }
    VProperty* getProperty(int row) const;

protected:
    CString getRowText(int row) const override;
    void paintRow(CDC& dc, int row, const CRect& rect, bool selected) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;

private:
    void sendChoice(int row);

    CWnd* m_owner = nullptr;
    CWnd* m_fontSource = nullptr;
    VResult* m_result = nullptr;
    VAction* m_action = nullptr;
    std::vector<VProperty*> m_properties;
};
