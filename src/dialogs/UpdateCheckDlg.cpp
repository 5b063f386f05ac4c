#include "dialogs/UpdateCheckDlg.h"

#include <shellapi.h>

#include <cstdlib>

#include "core_iface/XTokenString.h"
#include "dialogs/CFileVersionInfo.h"
#include "framework/AfxWin.h"
#include "framework/CInternetSession.h"
#include "res/resource.h"

namespace {

// A silent check at start-up must not hold the bar up for long on a bad network.
constexpr DWORD kTimeoutMs = 8000;

// The hourglass while the version file is read.
class WaitCursor {
public:
    WaitCursor() : m_before(::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)))) {}
    ~WaitCursor() { ::SetCursor(m_before); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_before;
};

} // namespace

UpdateCheckDlg::UpdateCheckDlg(BOOL atStartup, CWnd* parent)
    : CDialog(IDD_UPDATE_CHECK, parent), m_atStartup(atStartup),
      m_versionFileUrl(CORVANTILE_VERSION_FILE_URL) {}

CString UpdateCheckDlg::ownVersion() {
    return CFileVersionInfo(AfxGetInstanceHandle()).GetProductVersionText();
}

CString UpdateCheckDlg::fetchLatestVersion(const CString& url) {
    try {
        CInternetSession session(("CorvantileUpdater/" + ownVersion()).GetString(), 1,
                                 INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, kTimeoutMs);
        session.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, kTimeoutMs);
        const auto file =
            session.OpenURL(url, 1, INTERNET_FLAG_RELOAD | INTERNET_FLAG_TRANSFER_ASCII);
        // An error page is no version file.
        const auto* http = dynamic_cast<const CHttpFile*>(file.get());
        if (!http || http->GetStatusCode() != 200)
            return {};
        CString line;
        file->ReadString(line);
        return line;
    } catch (const CInternetException&) {
        return {};
    }
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
    const CString own = ownVersion();
    CString latest = m_fetched;
    if (latest.IsEmpty()) {
        const WaitCursor wait;
        latest = fetchLatestVersion(m_versionFileUrl);
    }
    if (latest.IsEmpty()) {
        if (!m_atStartup)
            MessageBox("Could not get latest version info", nullptr, MB_OK);
        EndDialog(IDOK);
        return FALSE;
    }
    m_yourVersion.SetWindowText(own);
    m_latestVersion.SetWindowText(latest);
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
    UpdateData(FALSE);
    return TRUE;
}

void UpdateCheckDlg::showOutcome(const char* text) {
    m_message.SetWindowText(text);
    GetDlgItem(IDOK)->SetWindowText("OK");
    GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
}

void UpdateCheckDlg::OnOK() {
    if (m_openHomePage)
        ::ShellExecuteW(nullptr, nullptr, CString(CORVANTILE_HOME_URL).W().c_str(), nullptr,
                        nullptr, SW_SHOWNORMAL);
    CDialog::OnOK();
}
