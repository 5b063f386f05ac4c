// The update check: reads the latest version's number from the program's web site, compares it
// with the running program's and tells the user; when a newer version exists, Yes opens the
// home page for the download. At start-up only a newer version is shown; asked for from the
// menu, every outcome is.
#pragma once

#include "framework/CDialog.h"
#include "framework/CStatic.h"

class UpdateCheckDlg : public CDialog {
public:
    UpdateCheckDlg(BOOL atStartup, CWnd* parent);

    // The "Check for updates at startup" box: set before DoModal, read after it returned IDOK.
    int m_checkAtStartup = TRUE;

    // Where the latest version is read; the program's site unless changed.
    void setVersionFileUrl(const CString& url) { m_versionFileUrl = url; }
    // A latest version fetched before: the dialog then reads nothing from the web.
    void setLatestVersion(const CString& text) { m_fetched = text; }

    // The running program's product version, as its version resource gives it.
    static CString ownVersion();
    // The first line of the version file, or empty when it cannot be read.
    static CString fetchLatestVersion(const CString& url);
    // -1 when own is older than latest, +1 when newer, 0 when the same or when either is not
    // four dotted fields. The fourth field is not compared.
    static int compareVersions(const CString& own, const CString& latest);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    // Shows an outcome that needs no answer: OK instead of Yes, and No disabled.
    void showOutcome(const char* text);

    BOOL m_atStartup;
    BOOL m_openHomePage = FALSE;
    CStatic m_yourVersion;
    CStatic m_latestVersion;
    CStatic m_message;
    CString m_versionFileUrl;
    CString m_fetched;
};
