// The search bar's global hot-key and its showing and hiding with the results list.
#include "mainwnd/CorvantileDlg.h"

void CCorvantileDlg::registerHotKey() {
    UnregisterHotKey(m_hWnd, kHotKeyId);
    if (RegisterHotKey(m_hWnd, kHotKeyId, m_hotKeyModifier, m_hotKey))
        return;
    // On a first run, somebody else's Ctrl+Space gives way to Alt+Space, which is then saved.
    if (m_firstRun) {
        m_hotKeyModifier = MOD_ALT;
        if (RegisterHotKey(m_hWnd, kHotKeyId, m_hotKeyModifier, m_hotKey))
            return;
    }
    reportHotKeyFailure();
}

void CCorvantileDlg::setHotKey(unsigned key, unsigned modifier) {
    m_hotKey = key;
    m_hotKeyModifier = modifier;
    registerHotKey();
}

void CCorvantileDlg::reportHotKeyFailure() {
    AfxMessageBox("Couldn't register global hot-key");
}

LRESULT CCorvantileDlg::onHotKey(WPARAM id) {
    if (id != kHotKeyId)
        return 0;
    // While the preferences run, the hot-key brings them forward instead of the bar.
    if (m_prefsSheet && m_prefsSheet->m_hWnd)
        m_prefsSheet->SetForegroundWindow();
    else
        showWindows();
    return 1;
}

void CCorvantileDlg::showTrayBalloon(const char* text) {
    TrayShowBalloon("Corvantile", text, NIIF_INFO, 10);
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
    else if (getList().getCount() == 0)
        getList().ShowWindow(SW_HIDE);
}
