// The search bar's one-line edit box. It owns the results list, waits for the user to pause
// before a typed text is searched (the typing delay), and routes the keys: some go to the
// results list first, some become requests to the bar, the rest stay with the edit control.
#pragma once

#include "framework/CEdit.h"
#include "resultlist/VElementListCtrl.h"

class CCorvantileDlg;
class VPreferencesNode;

class VCommandLine : public CEdit {
public:
    static constexpr int kDefaultDelay = 500;

    VCommandLine() = default;

    // Creates the results list's window, once; true when it did so. From then on the edit box
    // reports to owner.
    bool createList(CCorvantileDlg* owner);
    VElementListCtrl& getList() { return m_list; }

    // Puts text into the box without it counting as typing: no search follows.
    void setTextQuietly(const char* text);
    // Forgets a pending typing delay.
    void stopDelay();
    int getDelay() const { return m_delay; }
    void setDelay(int milliseconds) { m_delay = milliseconds; }
    // Keeps the visible results list hanging at the owner's bottom left corner.
    void followOwner();

    // Reads the "CommandLine" child of the bar's "Window" node (null: defaults), and passes it on
    // to the results list.
    void loadPrefs(VPreferencesNode* windowNode);
    // Adds a "CommandLine" node, with the list's node in it, under the "Window" node.
    void savePrefs(VPreferencesNode* windowNode);

    // The key handler: true when the key is used up.
    bool handleKey(UINT key);

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnTimer(UINT_PTR id) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override;

private:
    static constexpr UINT_PTR kDelayTimer = 1;

    void onTextChange();
    void sendToOwner(UINT message);

    CCorvantileDlg* m_owner = nullptr;
    VElementListCtrl m_list;
    bool m_quiet = false;
    int m_delay = kDefaultDelay;
};
