// The update check of the search bar: from the menus at once, at start-up in the background.
#include "dialogs/UpdateCheckDlg.h"
#include "mainwnd/CorvantileDlg.h"
#include "ui/OwnerMessages.h"

#include <cstdlib>

namespace {

// An environment variable's value; empty when it is not set.
CString environment(const wchar_t* name) {
    wchar_t value[2048];
    const DWORD length = ::GetEnvironmentVariableW(name, value, 2048);
    return length > 0 && length < 2048 ? CString::FromW(value, int(length)) : CString();
}

// The end-to-end tests point the check at servers of their own and shorten its deadline.
void takeUpdateCheckEnvironment(CString& versionFileUrl, VersionFetch::Limits& limits) {
    const CString url = environment(L"CORVANTILE_VERSION_FILE_URL");
    if (!url.IsEmpty())
        versionFileUrl = url;
    const CString deadline = environment(L"CORVANTILE_UPDATE_DEADLINE_MS");
    if (std::atoi(deadline) > 0)
        limits.deadlineMs = DWORD(std::atoi(deadline));
}

} // namespace

void CCorvantileDlg::runUpdateCheck(bool atStartup, const CString& latest) {
    takeUpdateCheckEnvironment(m_versionFileUrl, m_updateLimits);
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
    takeUpdateCheckEnvironment(m_versionFileUrl, m_updateLimits);
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
