// The update check of the search bar: from the menus at once, at start-up in the background.
#include "dialogs/UpdateCheckDlg.h"
#include "mainwnd/CorvantileDlg.h"
#include "ui/OwnerMessages.h"

void CCorvantileDlg::runUpdateCheck(bool atStartup, const CString& latest) {
    UpdateCheckDlg dialog(atStartup, this);
    dialog.setVersionFileUrl(m_versionFileUrl);
    dialog.setLatestVersion(latest);
    dialog.setLimits(m_updateLimits);
    dialog.m_checkAtStartup = m_checkForUpdates;
    // Only Yes or OK takes the box's value in; No gives the setting back as it was.
    if (runModal(dialog) != 0)
        m_checkForUpdates = dialog.m_checkAtStartup != 0;
}

void CCorvantileDlg::startUpdateCheck() {
    m_startupFetchRunning = true;
    m_startupFetch.start(m_versionFileUrl, m_updateLimits, m_hWnd, WM_CL_UPDATE_FETCHED);
}

void CCorvantileDlg::onUpdateFetched() {
    if (!m_startupFetchRunning)
        return;
    m_startupFetchRunning = false;
    const CString text = m_startupFetch.result();
    m_startupFetch.cancel();
    // Nothing read is a quiet outcome at start-up.
    if (!text.IsEmpty())
        runUpdateCheck(true, text);
}
