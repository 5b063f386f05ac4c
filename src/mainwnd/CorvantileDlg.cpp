#include "mainwnd/CorvantileDlg.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include "core_iface/VCorvantileCore.h"
#include "dialogs/CAboutDlg.h"
#include "framework/CDC.h"
#include "mainwnd/VOurListeners.h"
#include "prefs/PrefsSheet.h"
#include "res/resource.h"
#include "resultlist/VFileBrowser.h"
#include "ui/OwnerMessages.h"
#include "ui/ProgramEvents.h"
#include "ui/ProgramTiming.h"

namespace {

// The icon beside the edit box when no action is current, loaded once for the process.
HICON defaultActionIcon() {
    static const HICON icon = static_cast<HICON>(
        LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    return icon;
}

} // namespace

CCorvantileDlg::CCorvantileDlg(CWnd* parent)
    : CTrayDialog(IDD_CORVANTILE_DIALOG, parent), m_versionFileUrl(CORVANTILE_VERSION_FILE_URL),
      m_gate([this](VElement** elements, int count, bool batch) {
          addToList(elements, count, batch);
      }) {}

CCorvantileDlg::~CCorvantileDlg() {
    if (m_hWnd)
        DestroyWindow();
}

void CCorvantileDlg::DoDataExchange(CDataExchange* dx) {
    CTrayDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_COMMANDLINE, m_commandLine);
    DDX_Control(dx, IDC_MENU_BUTTON, m_menuButton);
    DDX_Control(dx, IDC_ACTION_ICON, m_actionIcon);
}

BOOL CCorvantileDlg::OnInitDialog() {
    CTrayDialog::OnInitDialog();
    // The title is never seen (there is no caption) but a second start finds the bar by it.
    SetWindowText("Corvantile");
    ModifyStyleEx(WS_EX_APPWINDOW, 0);
    m_buttonMenu.LoadMenu(IDR_BUTTON_MENU);
    m_menuButton.SetIcon(static_cast<HICON>(LoadImageW(
        AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_LIST_ARROW), IMAGE_ICON, 16, 16, LR_SHARED)));
    SetMenu(nullptr);

    m_icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);

    m_core = VCorvantileCore::instance();
    chooseDataFolder();
    m_core->startUp();
    m_resultListener = new VOurResultListener(this);
    m_core->registerResultListener(m_resultListener);
    m_actionListener = new VOurActionListener(this);
    m_core->registerActionListener(m_actionListener);

    TraySetIcon(IDR_MAINFRAME);
    TraySetMenu(IDR_TRAY_MENU, 0);
    TraySetToolTip("Corvantile");
    TrayShow();
    TraySetMinimizeToTray(false);

    m_commandLine.createList(this);
    setCurrentAction(nullptr);
    m_fileBrowser = std::make_unique<VFileBrowser>(&getList());
    SetTimer(kStartupTimer, 10);

    initGeometry();

    loadPreferences();
    // A session unlocked is one of the moments to try a hot-key not had yet again.
    WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION);
    registerHotKey();
    if (m_checkForUpdates)
        startUpdateCheck();
    SetTimer(kSaveTimer, kSaveIntervalMs);
    SetTimer(kIndexingTimer, kIndexingIntervalMs);
    ProgramTiming::ready();
    return TRUE;
}

void CCorvantileDlg::shutDown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    KillTimer(kSaveTimer);
    ProgramEvents::record(savePreferences() ? "Settings saved at exit."
                                            : "The settings could not be saved at exit.");
    if (m_core && m_resultListener)
        m_core->unregisterResultListener(m_resultListener);
    if (m_resultListener)
        m_resultListener->deleteThis();
    m_resultListener = nullptr;
    if (m_core && m_actionListener)
        m_core->unregisterActionListener(m_actionListener);
    if (m_actionListener)
        m_actionListener->deleteThis();
    m_actionListener = nullptr;
    m_gate.close();
    m_fileBrowser.reset();
    getList().clear(true);
    if (m_core) {
        m_core->shutDown();
        m_core->deleteThis();
        m_core = nullptr;
    }
    KillTimer(kHotKeyRetryTimer);
    UnregisterHotKey(m_hWnd, kHotKeyId);
    m_hotKeyRegistered = false;
    WTSUnRegisterSessionNotification(m_hWnd);
}

void CCorvantileDlg::OnDestroy() {
    shutDown();
    CTrayDialog::OnDestroy();
}

// A log-off that was asked for and then cancelled (ending false) leaves everything running.
void CCorvantileDlg::OnEndSession(BOOL ending) {
    if (ending) {
        shutDown();
        ProgramEvents::record("The Windows session ends.");
        ProgramEvents::flushLog();
    } else
        ProgramEvents::record("The session did not end after all; everything goes on.");
    CTrayDialog::OnEndSession(ending);
}

// Enter belongs to the edit box.
void CCorvantileDlg::OnOK() {}

void CCorvantileDlg::OnCancel() {
    if (m_autoHide)
        hideWindows();
}

void CCorvantileDlg::OnTrayLButtonDblClk(CPoint) {
    bringUp();
}

void CCorvantileDlg::dropMenu() {
    CRect button;
    m_menuButton.GetWindowRect(&button);
    const UINT command = CMenu::TrackPopupMenu(
        m_buttonMenu.GetSubMenu(0), TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD,
        button.right, button.bottom, this);
    m_commandLine.SetFocus();
    if (command != 0)
        OnCommand(MAKEWPARAM(command, 0), 0);
}

BOOL CCorvantileDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_MENU_BUTTON && HIWORD(wParam) == BN_CLICKED) {
        dropMenu();
        return TRUE;
    }
    if (lParam == 0) {
        const UINT command = LOWORD(wParam);
        // While a modal window of ours runs, what would open a window raises that one instead.
        if ((command == ID_PREFERENCES || command == ID_ABOUT || command == ID_CHECK_FOR_UPDATES) &&
            raiseModalWindow())
            return TRUE;
        switch (command) {
        case ID_EXIT:
            AfxPostQuitMessage(0);
            return TRUE;
        case ID_UPDATE_CACHE:
            onUpdateCache();
            return TRUE;
        case ID_SHOW:
            bringUp();
            return TRUE;
        case ID_HIDE:
            hideWindows();
            return TRUE;
        case ID_HOME_PAGE:
            openWebPage(CORVANTILE_HOME_URL);
            return TRUE;
        case ID_ONLINE_HELP:
            openWebPage(CORVANTILE_HELP_URL);
            return TRUE;
        case ID_USER_FORUMS:
            openWebPage(CORVANTILE_FORUMS_URL);
            return TRUE;
        case ID_PREFERENCES:
            runPreferences();
            return TRUE;
        case ID_CHECK_FOR_UPDATES:
            runUpdateCheck(false);
            return TRUE;
        case ID_ABOUT: {
            CAboutDlg about;
            runModal(about);
            return TRUE;
        }
        default:
            break;
        }
    }
    return CTrayDialog::OnCommand(wParam, lParam);
}

// The hot-key raises the Preferences while they run.
void CCorvantileDlg::runPreferences() {
    PrefsSheet sheet(this, *this, "Preferences", 0);
    if (runModal(sheet) == IDOK)
        savePreferences();
}

void CCorvantileDlg::openWebPage(const char* address) {
    ShellExecuteW(::GetDesktopWindow(), nullptr, CString(address).W().c_str(), nullptr, nullptr,
                  SW_SHOWDEFAULT);
}

LRESULT CCorvantileDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CL_TEXTCHANGED:
        onTextChanged();
        return 0;
    case WM_CL_CANCEL:
        onCancelRequest();
        return 0;
    case WM_HOTKEY:
        return onHotKey(wParam);
    case WM_CL_RUN:
        onRun();
        return 0;
    case WM_CL_TAB:
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            retryHotKey("on resume");
        return TRUE;
    case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_UNLOCK || wParam == WTS_CONSOLE_CONNECT)
            retryHotKey("when the session came back");
        return 0;
    case WM_DISPLAYCHANGE:
        retryHotKey("on a display change");
        break; // the geometry checks the bar's place too
    case WM_CL_UPDATE_FETCHED:
        onUpdateFetched();
        return 0;
    case WM_EXITSIZEMOVE:
        // The bar was moved or sized: keep its new place at once.
        savePreferences();
        break;
    case WM_LIST_ELEMENTCHOSEN:
        onElementChosen(reinterpret_cast<VElement*>(wParam));
        return 0;
    case WM_LIST_ACTIONCHOSEN:
        return onActionChosen(reinterpret_cast<VAction*>(wParam),
                              reinterpret_cast<VProperty*>(lParam));
    case WM_LIST_PROPERTYCHOSEN:
        return onActionChosen(reinterpret_cast<VAction*>(lParam),
                              reinterpret_cast<VProperty*>(wParam));
    default:
        break;
    }
    LRESULT result = 0;
    if (handleGeometryMessage(message, wParam, lParam, &result))
        return result;
    return CTrayDialog::WindowProc(message, wParam, lParam);
}

void CCorvantileDlg::OnTimer(UINT_PTR id) {
    if (id == kSaveTimer && !m_shutDown)
        savePreferences();
    if (id == kStartupTimer) {
        // Once, just after the bar first showed: with auto-hide on it goes at once, and a first
        // run tells where it went.
        getList().fitToContents();
        if (m_autoHide) {
            hideWindows();
            // A hot-key not had has its own balloon already.
            if (m_firstRun && m_hotKeyRegistered)
                showTrayBalloon(m_hotKeyModifier == MOD_CONTROL
                                    ? "Corvantile is auto-hidden. Hit Ctrl-Space to activate."
                                    : "Corvantile is auto-hidden. Hit Alt-Space to activate.");
        } else if (m_alwaysShowList) {
            getList().ShowWindow(SW_SHOWNORMAL);
        }
        KillTimer(kStartupTimer);
        getList().prepareToPaint();
        // What an earlier run left to tell (a crash report waiting) comes last, so that it is
        // the balloon that stays.
        for (const std::string& notice : ProgramEvents::takeUserNotices())
            showTrayBalloon(notice.c_str());
    } else if (id == kHotKeyRetryTimer) {
        retryHotKey("on a retry");
        return;
    } else if (id == kIndexingTimer) {
        if (!m_shutDown)
            showIndexingStatus();
        return;
    }
    CTrayDialog::OnTimer(id);
}

void CCorvantileDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) {
        CTrayDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_icon);
}

HCURSOR CCorvantileDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_icon);
}

void CCorvantileDlg::setCurrentAction(VAction* action) {
    m_currentAction = action;
    const HICON icon = action ? action->getIcon() : defaultActionIcon();
    if (m_actionIcon.m_hWnd)
        m_actionIcon.SetIcon(icon);
}
