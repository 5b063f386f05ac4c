#include "dialogs/CAboutDlg.h"

#include "dialogs/CFileVersionInfo.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}

CString CAboutDlg::FormatBuildDate(const char* compilerDate) {
    CString date(compilerDate);
    // The compiler pads a one-digit day with a space.
    date.Replace("  ", " ");
    return date.Trim();
}

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HOME_LINK, m_link);
    DDX_Control(dx, IDC_VERSION_TEXT, m_versionText);
    DDX_Control(dx, IDC_BUILD_DATE_TEXT, m_buildDateText);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Without a version resource both lines keep the template's text.
    CFileVersionInfo version;
    if (version.Create(static_cast<HMODULE>(nullptr))) {
        CString text;
        text.Format("Version %s", version.GetProductVersionText().GetString());
        m_versionText.SetWindowText(text);
        m_buildDateText.SetWindowText(FormatBuildDate(__DATE__));
    }
    return TRUE;
}
