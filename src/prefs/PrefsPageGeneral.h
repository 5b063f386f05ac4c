// The General page of the Preferences: the links, the bar and list options, the update check,
// how URLs open, the activation hot-key and the three result fonts.
//
// The page holds no setting of its own: it loads its controls from their owners (the search
// bar, its results list, the core) when it is first shown and writes them back on OK. The
// fonts are the exception: a font chosen goes to the core at once.
#pragma once

#include "framework/CBCGPButton.h"
#include "framework/CBCGPPropertySheet.h"
#include "framework/CEdit.h"
#include "framework/CToolTipCtrl.h"

class PrefsOwner;
class VCorvantileCore;

class PrefsPageGeneral : public CBCGPPropertyPage {
public:
    explicit PrefsPageGeneral(PrefsOwner& owner);

    // The name the hot-key box shows for a virtual-key code.
    static CString getKeyName(UINT key);

    UINT getHotKey() const { return m_hotKey; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

private:
    // Runs the font dialog for one of the three roles (0: single line, 1: line 1, 2: line 2).
    void chooseFont(int role);
    void showFont(int role);
    // Shows the bar's hot-key and its modifiers.
    void showHotKey();

    PrefsOwner& m_owner;
    CToolTipCtrl m_toolTip;
    UINT m_hotKey = 0;
    UINT m_hotKeyModifiers = 0;
    CEdit m_hotKeyEdit;
    CBCGPButton m_fontButtons[3];
};
