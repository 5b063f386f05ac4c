// The search bar: a thin, captionless, always-on-top window holding the action icon, the search
// edit box and the menu button, with the results list hanging below it as a window of its own.
// It starts and stops the search core, owns the core's listeners, loads and saves the
// preferences file "Corvantile.xml" and turns the edit box's text into searches.
//
// Source files: CorvantileDlg.cpp (life cycle, messages, layout), CorvantileDlgPrefs.cpp (the
// preferences file), CorvantileDlgSearch.cpp (the search flow).
#pragma once

#include <memory>

#include "framework/CButton.h"
#include "framework/CMenu.h"
#include "framework/CStatic.h"
#include "mainwnd/SearchGate.h"
#include "mainwnd/SearchMode.h"
#include "mainwnd/TrayDialog.h"
#include "mainwnd/VCommandLine.h"

class VAction;
class VCorvantileCore;
class VElement;
class VFileBrowser;
class VOurActionListener;
class VOurResultListener;
class VProperty;

class CCorvantileDlg : public CTrayDialog {
public:
    explicit CCorvantileDlg(CWnd* parent = nullptr);
    ~CCorvantileDlg() override;

    SearchMode getMode() const { return m_mode; }
    DWORD getSearchId() const { return m_searchId; }
    VAction* getCurrentAction() const { return m_currentAction; }
    VCommandLine& getCommandLine() { return m_commandLine; }
    VElementListCtrl& getList() { return m_commandLine.getList(); }

    bool isFirstRun() const { return m_firstRun; }
    bool isAutoHide() const { return m_autoHide; }
    bool isAlwaysOnTop() const { return m_alwaysOnTop; }
    bool isAlwaysShowList() const { return m_alwaysShowList; }
    bool isCheckForUpdates() const { return m_checkForUpdates; }
    unsigned getHotKey() const { return m_hotKey; }
    unsigned getHotKeyModifier() const { return m_hotKeyModifier; }
    void setMatchActionsAfterSpace(bool on) { m_matchActionsAfterSpace = on; }

    // The preferences file; by default "Corvantile.xml" in the program's folder. Set it before
    // the window is created to keep the settings elsewhere.
    void setPrefsFile(const CString& path) { m_prefsFile = path; }
    CString getPrefsFile() const;

    bool isStartWithWindows() const;
    void setStartWithWindows(bool on);
    bool isQuickLaunchIcon() const;
    void setQuickLaunchIcon(bool on);

    // Makes action current (null: none) and shows its icon beside the edit box.
    void setCurrentAction(VAction* action);
    // Cancels the running search, waits 100 ms for the core's last hand-overs, clears the
    // list and, as the options say, hides; clearText empties the edit box too. Ends in Idle.
    void reset(bool clearText);
    // Shows the bar in front with the focus in the edit box (and the list, with always show
    // list on); hide takes the list away with the bar.
    void showWindows();
    void hideWindows();

    // Called by the listeners on the core's threads: elements of search searchId.
    void deliverElements(DWORD searchId, VElement** elements, int count, bool batch);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void OnEndSession(BOOL ending) override;
    void OnTimer(UINT_PTR id) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnWindowPosChanging(WINDOWPOS* pos) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    void OnTrayLButtonDblClk(CPoint point) override;

private:
    static constexpr UINT_PTR kStartupTimer = 1;

    void loadPreferences();
    void savePreferences();
    void moveToDefaultPlace();
    // Stops everything, once: on WM_ENDSESSION or WM_DESTROY, whichever comes first.
    void shutDown();

    // Drops the bar's menu down below the menu button and carries out the chosen command.
    void dropMenu();
    void onTextChanged();
    void onCancelRequest();
    void onUpdateCache();
    void startSearch(const CString& text);
    // Stops the running search: nothing of it reaches the list from now on.
    void cancelRunningSearch();
    void addToList(VElement** elements, int count, bool batch);

    // Running (CorvantileDlgRun.cpp): Enter in the edit box, a chosen element, a chosen action or
    // property (1 when the run failed and nothing changed, else 0), and the common end of a run.
    void onRun();
    void onElementChosen(VElement* element);
    LRESULT onActionChosen(VAction* action, VProperty* property);
    void finishRun();
    // The edit box emptied quietly and, with auto-hide on, the bar hidden.
    void emptyAndHide();

    SearchMode m_mode = SearchMode::Idle;
    VOurResultListener* m_resultListener = nullptr;
    VOurActionListener* m_actionListener = nullptr;
    VCommandLine m_commandLine;
    CButton m_menuButton;
    CMenu m_buttonMenu;
    CStatic m_actionIcon;
    std::unique_ptr<VFileBrowser> m_fileBrowser;
    DWORD m_searchId = 0;
    VAction* m_currentAction = nullptr;
    bool m_autoHide = true;
    bool m_alwaysOnTop = true;
    bool m_alwaysShowList = false;
    bool m_matchActionsAfterSpace = false;
    unsigned m_hotKey = 0x20;
    unsigned m_hotKeyModifier = MOD_CONTROL;
    HICON m_icon = nullptr;
    bool m_firstRun = false;
    bool m_checkForUpdates = true;

    VCorvantileCore* m_core = nullptr;
    CSearchGate m_gate;
    CString m_prefsFile;
    bool m_shutDown = false;
};
