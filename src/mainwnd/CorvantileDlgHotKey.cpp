// The search bar's global hot-key, its showing and hiding, and the modal windows of ours that the
// hot-key and the menus raise while they run.
//
// The hot-key is had whenever the system lets us: a key that another program holds at start-up
// (or that a session switch took) never holds the program up; the user is told once, in a
// balloon, and the key is tried again until it is had, silently from then on.
#include "ui/ProgramEvents.h"
#include "mainwnd/CorvantileDlg.h"
#include "prefs/PrefsPageGeneral.h"

bool CCorvantileDlg::tryHotKey() {
    UnregisterHotKey(m_hWnd, kHotKeyId);
    m_hotKeyRegistered = RegisterHotKey(m_hWnd, kHotKeyId, m_hotKeyModifier, m_hotKey) != 0;
    return m_hotKeyRegistered;
}

void CCorvantileDlg::registerHotKey() {
    if (tryHotKey()) {
        ProgramEvents::record("The global hot-key " + hotKeyText(m_hotKey, m_hotKeyModifier) +
                              " was registered.");
        return;
    }
    // On a first run, somebody else's Ctrl+Space gives way to Alt+Space, which is then saved.
    if (m_firstRun) {
        const unsigned wanted = m_hotKeyModifier;
        m_hotKeyModifier = MOD_ALT;
        if (tryHotKey()) {
            ProgramEvents::record("Ctrl+Space is taken; the global hot-key is Alt+Space.");
            return;
        }
        m_hotKeyModifier = wanted;
        tryHotKey();
        if (m_hotKeyRegistered)
            return;
    }
    const CString keys = hotKeyText(m_hotKey, m_hotKeyModifier);
    ProgramEvents::record("Couldn't register global hot-key " + keys + "; trying again.");
    if (!m_hotKeyFailureTold) {
        m_hotKeyFailureTold = true;
        reportHotKeyFailure(keys);
    }
    SetTimer(kHotKeyRetryTimer, kHotKeyRetryMilliseconds);
}

void CCorvantileDlg::retryHotKey(const char* occasion) {
    if (!m_hotKeyRegistered && m_hWnd && tryHotKey())
        ProgramEvents::record("The global hot-key " + hotKeyText(m_hotKey, m_hotKeyModifier) +
                              " was registered " + occasion + ".");
    if (m_hotKeyRegistered && m_hWnd)
        KillTimer(kHotKeyRetryTimer);
}

bool CCorvantileDlg::setHotKey(unsigned key, unsigned modifier) {
    if (key == m_hotKey && modifier == m_hotKeyModifier && m_hotKeyRegistered)
        return true;
    const unsigned oldKey = m_hotKey;
    const unsigned oldModifier = m_hotKeyModifier;
    m_hotKey = key;
    m_hotKeyModifier = modifier;
    if (tryHotKey()) {
        KillTimer(kHotKeyRetryTimer);
        ProgramEvents::record("The global hot-key is now " + hotKeyText(key, modifier) + ".");
        return true;
    }
    m_hotKey = oldKey;
    m_hotKeyModifier = oldModifier;
    if (!tryHotKey())
        SetTimer(kHotKeyRetryTimer, kHotKeyRetryMilliseconds);
    const CString refused = hotKeyText(key, modifier);
    const CString kept = hotKeyText(oldKey, oldModifier);
    ProgramEvents::record("The system refused the hot-key " + refused + "; " + kept + " is kept.");
    reportHotKeyRefused(refused, kept);
    return false;
}

CString CCorvantileDlg::hotKeyText(unsigned key, unsigned modifier) {
    CString text;
    const std::pair<unsigned, const char*> names[] = {
        {MOD_CONTROL, "Ctrl+"}, {MOD_ALT, "Alt+"}, {MOD_SHIFT, "Shift+"}, {MOD_WIN, "Win+"}};
    for (const auto& [bit, name] : names)
        if (modifier & bit)
            text += name;
    return text + PrefsPageGeneral::getKeyName(key);
}

void CCorvantileDlg::reportHotKeyFailure(const CString& keys) {
    showTrayBalloon("Couldn't register global hot-key " + keys +
                    ". Corvantile keeps trying; meanwhile its tray icon brings it up.");
}

void CCorvantileDlg::reportHotKeyRefused(const CString& refused, const CString& kept) {
    AfxMessageBox("Couldn't register global hot-key " + refused + ". The hot-key stays " + kept +
                  ".");
}

LRESULT CCorvantileDlg::onHotKey(WPARAM id) {
    if (id != kHotKeyId)
        return 0;
    bringUp();
    return 1;
}

void CCorvantileDlg::showTrayBalloon(const char* text) {
    TrayShowBalloon("Corvantile", text, NIIF_INFO, 10);
}

bool CCorvantileDlg::raiseModalWindow() {
    if (!m_modalWindow || !m_modalWindow->m_hWnd)
        return false;
    // A message box of the modal window's own is what takes the input then.
    const HWND top = ::GetLastActivePopup(m_modalWindow->m_hWnd);
    ::ShowWindow(top, SW_SHOW);
    ::SetForegroundWindow(top);
    return true;
}

void CCorvantileDlg::bringUp() {
    if (!raiseModalWindow())
        showWindows();
}

void CCorvantileDlg::showWindows() {
    ShowWindow(SW_SHOWNORMAL);
    SetForegroundWindow();
    // The system may keep the foreground elsewhere (it does for a program in the background);
    // the bar is still made its thread's active window, with the edit box focused, so that
    // keys are the edit box's as soon as the bar has the keyboard.
    ::SetActiveWindow(m_hWnd);
    m_commandLine.SetFocus();
    if (m_alwaysShowList && getList().m_hWnd)
        getList().ShowWindow(SW_SHOWNORMAL);
}

void CCorvantileDlg::hideWindows() {
    ShowWindow(SW_HIDE);
    if (getList().m_hWnd)
        getList().ShowWindow(SW_HIDE);
}

void CCorvantileDlg::setAutoHide(bool on) {
    m_autoHide = on;
    if (on)
        hideWindows();
    else
        showWindows();
}

void CCorvantileDlg::setAlwaysShowList(bool on) {
    m_alwaysShowList = on;
    if (!getList().m_hWnd)
        return;
    // The list shows with the bar only: a hidden bar (auto-hide just switched on) keeps it away.
    if (on && IsWindowVisible())
        getList().ShowWindow(SW_SHOWNORMAL);
    else if (!on && getList().getCount() == 0)
        getList().ShowWindow(SW_HIDE);
}
