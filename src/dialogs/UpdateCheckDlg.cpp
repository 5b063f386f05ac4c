#include "dialogs/UpdateCheckDlg.h"

#include <shellapi.h>

#include <cstdlib>

#include "core_iface/XTokenString.h"
#include "dialogs/CFileVersionInfo.h"
#include "framework/AfxWin.h"
#include "framework/CInternetSession.h"
#include "res/resource.h"

namespace {

// The read from the menu has arrived (or failed).
constexpr UINT WM_VERSION_FETCHED = WM_APP + 1;
// Ends a wait that the read's own deadline did not end.
constexpr UINT_PTR kDeadlineTimer = 1;
constexpr UINT kDeadlineSlackMs = 1000;

} // namespace

UpdateCheckDlg::UpdateCheckDlg(BOOL atStartup, CWnd* parent)
    : CDialog(IDD_UPDATE_CHECK, parent), m_atStartup(atStartup),
      m_versionFileUrl(CORVANTILE_VERSION_FILE_URL) {}

CString UpdateCheckDlg::ownVersion() {
    return CFileVersionInfo(AfxGetInstanceHandle()).GetProductVersionText();
}

CString UpdateCheckDlg::fetchLatestVersion(const CString& url, const VersionFetch::Limits& limits) {
    return VersionFetch::fetch(url, limits);
}

int UpdateCheckDlg::compareVersions(const CString& own, const CString& latest) {
    CStringArray ownFields, latestFields;
    if (XTokenString(own, ".", ownFields, 4, 0, 0, 0, 0) != 4 ||
        XTokenString(latest, ".", latestFields, 4, 0, 0, 0, 0) != 4)
        return 0;
    for (int i = 0; i < 3; ++i) {
        const int a = std::atoi(ownFields[i]);
        const int b = std::atoi(latestFields[i]);
        if (a != b)
            return a > b ? 1 : -1;
    }
    return 0;
}

void UpdateCheckDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_YOUR_VERSION, m_yourVersion);
    DDX_Control(dx, IDC_LATEST_VERSION, m_latestVersion);
    DDX_Check(dx, IDC_CHECK_AT_STARTUP, m_checkAtStartup);
    DDX_Control(dx, IDC_UPDATE_MESSAGE, m_message);
}

BOOL UpdateCheckDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_yourVersion.SetWindowText(ownVersion());
    // At start-up nothing shows before the outcome is known.
    if (!m_fetched.IsEmpty() || m_atStartup) {
        const CString latest =
            m_fetched.IsEmpty() ? fetchLatestVersion(m_versionFileUrl, m_limits) : m_fetched;
        if (!showLatest(latest))
            return FALSE;
        UpdateData(FALSE);
        return TRUE;
    }
    m_message.SetWindowText("Checking for the latest version...");
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    GetDlgItem(IDCANCEL)->SetWindowText("Cancel");
    m_fetch.start(m_versionFileUrl, m_limits, m_hWnd, WM_VERSION_FETCHED);
    SetTimer(kDeadlineTimer, m_limits.deadlineMs + kDeadlineSlackMs);
    UpdateData(FALSE);
    return TRUE;
}

LRESULT UpdateCheckDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_VERSION_FETCHED) {
        KillTimer(kDeadlineTimer);
        showLatest(m_fetch.result());
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void UpdateCheckDlg::OnTimer(UINT_PTR id) {
    if (id != kDeadlineTimer)
        return CDialog::OnTimer(id);
    KillTimer(kDeadlineTimer);
    m_fetch.cancel();
    showLatest({});
}

BOOL UpdateCheckDlg::showLatest(const CString& latest) {
    const CString own = ownVersion();
    if (latest.IsEmpty()) {
        if (!m_atStartup)
            MessageBox("Could not get latest version info", nullptr, MB_OK);
        EndDialog(IDOK);
        return FALSE;
    }
    m_latestVersion.SetWindowText(latest);
    GetDlgItem(IDOK)->EnableWindow(TRUE);
    GetDlgItem(IDCANCEL)->SetWindowText("No");
    const int order = compareVersions(own, latest);
    if (order < 0) {
        m_message.SetWindowText("Would you like to download the latest version?");
        m_openHomePage = TRUE;
    } else if (m_atStartup) {
        EndDialog(IDOK);
        return FALSE;
    } else {
        showOutcome(order > 0 ? "Your version is newer than the latest version!"
                              : "You already have the latest version");
    }
    return TRUE;
}

void UpdateCheckDlg::showOutcome(const char* text) {
    m_message.SetWindowText(text);
    GetDlgItem(IDOK)->SetWindowText("OK");
    GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
}

void UpdateCheckDlg::OnOK() {
    // Enter while the file is still being read answers nothing yet.
    if (!::IsWindowEnabled(::GetDlgItem(m_hWnd, IDOK)))
        return;
    if (m_openHomePage)
        ::ShellExecuteW(nullptr, nullptr, CString(CORVANTILE_HOME_URL).W().c_str(), nullptr,
                        nullptr, SW_SHOWNORMAL);
    CDialog::OnOK();
}
