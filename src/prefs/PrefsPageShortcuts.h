// The Shortcuts page of the Preferences: every action of the core with its icon, name,
// shortcut and description; a shortcut can be given, changed or taken away. The page edits a
// working copy, rebuilt from the core each time the page comes back, and writes every
// action's shortcut on OK.
#pragma once

#include <map>

#include "framework/CBCGPPropertySheet.h"
#include "framework/CListCtrl.h"

class VAction;

class PrefsPageShortcuts : public CBCGPPropertyPage {
public:
    PrefsPageShortcuts();

    // The action's shortcut in the working copy, or empty.
    CString findShortcut(VAction* action) const;
    // The action that has this shortcut in the working copy, or null.
    VAction* findAction(const CString& shortcut) const;
    // Gives the action this shortcut (empty: none) in the working copy and in the list.
    void assignShortcut(const CString& shortcut, VAction* action);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // Builds the working copy and the list from the core; first builds the columns too.
    void fillList(bool first);
    VAction* actionOfRow(int row) const;
    void onAssign();

    CImageList m_imageList;
    CListCtrl m_list;
    std::map<std::string, VAction*> m_shortcuts; // exact, case-sensitive texts
    bool m_justInitialized = false;
};
