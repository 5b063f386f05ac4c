// The search bar: a thin, captionless, always-on-top window holding the action icon, the search
// edit box and the menu button, with the results list hanging below it as a window of its own.
// It starts and stops the search core, owns the core's listeners, loads and saves the
// preferences file "Corvantile.xml" and turns the edit box's text into searches.
//
// Source files: CorvantileDlg.cpp (life cycle, messages), CorvantileDlgPrefs.cpp (the
// preferences file), CorvantileDlgSearch.cpp (the search flow), CorvantileDlgWindow.cpp (the
// bar's size and place on the monitors, its sizing, docking and DPI), CorvantileDlgHotKey.cpp (the
// global hot-key, showing and hiding, the start-up timer).
#pragma once

#include <memory>

#include "dialogs/VersionFetch.h"
#include "framework/CButton.h"
#include "framework/CGdiObject.h"
#include "framework/CMenu.h"
#include "framework/CStatic.h"
#include "mainwnd/SearchGate.h"
#include "mainwnd/SearchMode.h"
#include "mainwnd/TrayDialog.h"
#include "mainwnd/VCommandLine.h"
#include "prefs/PrefsOwner.h"
#include "resultlist/VElementListOwner.h"

class VAction;
struct TypedCommand;
class VCorvantileCore;
class VElement;
class VFileBrowser;
class VOurActionListener;
class VOurResultListener;
class VProperty;

class CCorvantileDlg : public CTrayDialog, public VElementListOwner, public PrefsOwner {
public:
    explicit CCorvantileDlg(CWnd* parent = nullptr);
    ~CCorvantileDlg() override;

    SearchMode getMode() const { return m_mode; }
    bool isBrowsingFolders() const override { return m_mode == SearchMode::FileBrowsing; }
    DWORD getSearchId() const { return m_searchId; }
    VAction* getCurrentAction() const { return m_currentAction; }
    VCommandLine& getCommandLine() { return m_commandLine; }
    VElementListCtrl& getList() override { return m_commandLine.getList(); }
    // The edit box's text changed and the typing delay began: when the text will start a
    // search once the delay is over, the core runs that search now, out of sight.
    void searchAhead();

    bool isFirstRun() const { return m_firstRun; }
    bool isAutoHide() const override { return m_autoHide; }
    bool isAlwaysOnTop() const { return m_alwaysOnTop; }
    bool isAlwaysShowList() const override { return m_alwaysShowList; }
    bool isCheckForUpdates() const override { return m_checkForUpdates; }
    void setCheckForUpdates(bool on) override { m_checkForUpdates = on; }
    unsigned getHotKey() const override { return m_hotKey; }
    unsigned getHotKeyModifier() const override { return m_hotKeyModifier; }
    bool isMatchActionsAfterSpace() const override { return m_matchActionsAfterSpace; }
    void setMatchActionsAfterSpace(bool on) override { m_matchActionsAfterSpace = on; }
    int getTypingDelay() const override { return m_commandLine.getDelay(); }
    void setTypingDelay(int milliseconds) override { m_commandLine.setDelay(milliseconds); }

    // The preferences file; by default "Corvantile.xml" in the program's folder, or in the
    // user's application-data folder when the program's folder cannot be written. Set it
    // before the window is created to keep the settings elsewhere.
    void setPrefsFile(const CString& path) { m_prefsFile = path; }
    CString getPrefsFile() const;
    // Where the update check reads the latest version; the program's site by default.
    void setVersionFileUrl(const CString& url) { m_versionFileUrl = url; }
    void setUpdateLimits(const VersionFetch::Limits& limits) { m_updateLimits = limits; }

    // Runs the update check dialog; latest, when known, is the version read already. The
    // check box in it switches the check at start-up.
    void runUpdateCheck(bool atStartup, const CString& latest = {});

    bool isStartWithWindows() const override;
    void setStartWithWindows(bool on) override;
    bool isQuickLaunchIcon() const override;
    void setQuickLaunchIcon(bool on) override;

    // Makes action current (null: none) and shows its icon beside the edit box.
    void setCurrentAction(VAction* action);
    // Cancels the running search and folder listing (the search gate keeps their late
    // elements out), clears the list and, as the options say, hides; clearText empties the edit
    // box too. Ends in Idle.
    void reset(bool clearText);
    // Shows the bar in front, active, with the focus in the edit box (and the list, with always
    // show list on); hide takes the list away with the bar.
    void showWindows();
    void hideWindows();
    // What the hot-key, the tray and a second start do: raises the modal window of ours that
    // runs (Preferences, About, update check), else shows the bar.
    void bringUp();

    // Registers the global hot-key (id 1) at start-up; on a first run a taken Ctrl+Space falls
    // back to Alt+Space. A key it cannot have is reported once, in a balloon, and tried again
    // on a timer, on resume, on session unlock and on a display change until it is had.
    void registerHotKey();
    bool isHotKeyRegistered() const { return m_hotKeyRegistered; }
    // Takes a new key (virtual-key code) and its MOD_ bits. When the system refuses them, the
    // key before stays (and is what is saved), the user is told, and the result is false.
    bool setHotKey(unsigned key, unsigned modifier) override;
    // The modal window of ours that runs (null: none): the Preferences, the about box, the
    // update check. The hot-key and the menus raise it instead of the disabled bar.
    void setModalWindow(CWnd* window) { m_modalWindow = window; }
    CWnd* getModalWindow() const { return m_modalWindow; }
    // On: the bar hides now and after each run; off: it shows now and stays.
    void setAutoHide(bool on) override;
    // On: the list shows with the bar even when empty; off: an empty list hides.
    void setAlwaysShowList(bool on) override;

    // Writes the settings now (unchanged settings leave the file alone). A failure is told
    // once, until a save succeeds again; the periodic save retries it. True when saved.
    bool savePreferences();

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
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    LRESULT OnNcHitTest(CPoint point) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    void OnTrayLButtonDblClk(CPoint point) override;

    // Tells the user, once, that the hot-key (named as keys) is not had yet and is tried again.
    virtual void reportHotKeyFailure(const CString& keys);
    // Tells the user that a new hot-key was refused and the old one kept.
    virtual void reportHotKeyRefused(const CString& refused, const CString& kept);
    // A balloon at the tray icon, titled "Corvantile", for ten seconds.
    virtual void showTrayBalloon(const char* text);

private:
    static constexpr UINT_PTR kStartupTimer = 1;
    // Settings are saved this often while the program runs (when they changed), so that a
    // crash or a power cut loses at most these few seconds, usage learning included.
    static constexpr UINT_PTR kSaveTimer = 20;
    static constexpr UINT kSaveIntervalMs = 3000;
    // How often the tray tip and the bar follow the index being rebuilt.
    static constexpr UINT_PTR kIndexingTimer = 21;
    static constexpr UINT kIndexingIntervalMs = 500;
    static constexpr UINT_PTR kHotKeyRetryTimer = 2;
    static constexpr UINT kHotKeyRetryMilliseconds = 2000;
    static constexpr int kHotKeyId = 1;
    // How near (in pixels at 96 DPI) the pointer must be to an edge to size the bar from it.
    static constexpr int kSizingMargin = 4;

    LRESULT onHotKey(WPARAM id);
    // Registers the current key and modifier as id 1; true when had.
    bool tryHotKey();
    // Tries a hot-key not had yet again; stops the retries once it is had.
    void retryHotKey(const char* occasion);
    // "Ctrl+Space" and the like.
    static CString hotKeyText(unsigned key, unsigned modifier);
    // Raises the running modal window of ours; false when there is none.
    bool raiseModalWindow();
    // Runs a dialog of ours modally, known as the modal window meanwhile.
    template <class Dialog> INT_PTR runModal(Dialog& dialog) {
        CWnd* const before = m_modalWindow;
        m_modalWindow = &dialog;
        const INT_PTR result = dialog.DoModal();
        m_modalWindow = before;
        return result;
    }

    // Geometry (CorvantileDlgWindow.cpp). The bar gets a sizing frame that takes no room, so
    // that the system sizes it from its ends, and its fixed height at the DPI it starts at.
    void initGeometry();
    // The messages of the bar's frame, monitors and DPI; true when handled, with its result.
    bool handleGeometryMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The bar's one height at its current DPI.
    int barHeight() const;
    // Docks the proposed position of a move to the edges of its monitor's work area within reach.
    void snapToWorkArea(WINDOWPOS* pos) const;
    // True when some monitor shows a part of the bar placed with its top left corner there.
    bool isPlaceOnScreen(POINT topLeft) const;
    // A bar that no monitor shows any more goes to its default place.
    void keepOnScreen();
    // The bar takes the new DPI: its font, sizes and the rectangle the system suggests.
    void onDpiChanged(UINT dpi, const RECT& suggested);

    // Shows how far a rebuild of the index has come (tray tip, and the empty edit box's cue),
    // and tells the user, once each, what the core has to say (CorvantileDlgIndexing.cpp).
    void showIndexingStatus();

    // Settles where the settings and the index cache are kept; before the core starts.
    void chooseDataFolder();
    void loadPreferences();
    void moveToDefaultPlace();
    // Stops everything, once: on WM_ENDSESSION or WM_DESTROY, whichever comes first.
    void shutDown();

    // Drops the bar's menu down below the menu button and carries out the chosen command.
    void dropMenu();
    void onTextChanged();
    // The action a text typed into the box chooses (null: none), and the text split for it.
    VAction* typedAction(const CString& text, TypedCommand& typed);
    void onCancelRequest();
    void onUpdateCache();
    // The check at start-up reads the version file on a thread of its own, so that a slow
    // network never holds the bar up; the dialog runs once the version has arrived.
    void startUpdateCheck();
    void onUpdateFetched();
    void runPreferences();
    // Opens one of the program's web pages in the browser.
    void openWebPage(const char* address);
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
    CWnd* m_modalWindow = nullptr;
    bool m_hotKeyRegistered = false;
    bool m_hotKeyFailureTold = false;
    bool m_checkForUpdates = true;
    CString m_versionFileUrl;
    VersionFetch::Limits m_updateLimits;
    VersionFetch m_startupFetch;
    bool m_startupFetchRunning = false;

    VCorvantileCore* m_core = nullptr;
    CSearchGate m_gate;
    CString m_prefsFile;
    // A portable copy's own settings file, read at start when the settings moved to the
    // application-data folder and have not been saved there yet.
    CString m_portablePrefsFile;
    bool m_saveFailureTold = false;
    bool m_shutDown = false;
    CString m_indexingStatus; // what the tray tip shows of a rebuild (empty: none runs)

    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    UINT m_startDpi = USER_DEFAULT_SCREEN_DPI; // the DPI the dialog was laid out at
    int m_startHeight = 0;                     // the bar's height at m_startDpi; 0 until known
    HFONT m_startFont = nullptr;               // the dialog's font, at m_startDpi
    CFont m_dpiFont;                           // that font at m_dpi, when the two differ
};
