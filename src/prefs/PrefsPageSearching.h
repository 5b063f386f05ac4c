// The Searching page of the Preferences: offline or real-time searching, the matching options,
// actions after the first space, the minimum number of characters and the typing delay.
// Loaded from the core, the search bar and its edit box when first shown; written back on OK.
#pragma once

#include "framework/CBCGPPropertySheet.h"
#include "framework/CToolTipCtrl.h"

class PrefsOwner;

class PrefsPageSearching : public CBCGPPropertyPage {
public:
    explicit PrefsPageSearching(PrefsOwner& owner);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

private:
    PrefsOwner& m_owner;
    CToolTipCtrl m_toolTip;
    int m_searchMode = 0; // 0 offline, 1 real time
    int m_minChars = 0;
};
