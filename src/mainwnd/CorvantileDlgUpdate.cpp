// The update check of the search bar: from the menus at once, at start-up in the background.
#include <mutex>
#include <thread>

#include "dialogs/UpdateCheckDlg.h"
#include "mainwnd/CorvantileDlg.h"
#include "ui/OwnerMessages.h"
#include "ui/ProgramEvents.h"

// What the background read found, handed from its thread to the window's.
struct CCorvantileDlg::FetchedVersion {
    std::mutex mutex;
    CString text;
};

void CCorvantileDlg::runUpdateCheck(bool atStartup, const CString& latest) {
    UpdateCheckDlg dialog(atStartup, this);
    dialog.setVersionFileUrl(m_versionFileUrl);
    dialog.setLatestVersion(latest);
    dialog.m_checkAtStartup = m_checkForUpdates;
    // Only Yes or OK takes the box's value in; No gives the setting back as it was.
    if (runModal(dialog) != 0)
        m_checkForUpdates = dialog.m_checkAtStartup != 0;
}

void CCorvantileDlg::startUpdateCheck() {
    auto fetched = std::make_shared<FetchedVersion>();
    m_fetchedVersion = fetched;
    const CString url = m_versionFileUrl;
    const HWND window = m_hWnd;
    // The thread may outlive the window: it holds its own share of the result and a message
    // to a window that is gone goes nowhere.
    std::thread([fetched, url, window] {
        const CString text = UpdateCheckDlg::fetchLatestVersion(url);
        ProgramEvents::record(text.IsEmpty() ? "Update check: nothing could be read from " + url
                                             : "Update check: the latest version is " + text);
        {
            const std::lock_guard lock(fetched->mutex);
            fetched->text = text;
        }
        ::PostMessageW(window, WM_CL_UPDATE_FETCHED, 0, 0);
    }).detach();
}

void CCorvantileDlg::onUpdateFetched() {
    if (!m_fetchedVersion)
        return;
    CString text;
    {
        const std::lock_guard lock(m_fetchedVersion->mutex);
        text = m_fetchedVersion->text;
    }
    m_fetchedVersion.reset();
    // Nothing read is a quiet outcome at start-up.
    if (!text.IsEmpty())
        runUpdateCheck(true, text);
}
