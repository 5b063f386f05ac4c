// The update check: reads the latest version's number from the program's web site, compares it
// with the running program's and tells the user; when a newer version exists, Yes opens the
// home page for the download. At start-up only a newer version is shown; asked for from the
// menu, every outcome is, and the file is read while the dialog shows, so the bar keeps
// answering and No cancels the wait.
#pragma once

#include "dialogs/VersionFetch.h"
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
    // How long and how much is read; shorter limits let tests see a slow server fail quickly.
    void setLimits(const VersionFetch::Limits& limits) { m_limits = limits; }

    // The running program's product version, as its version resource gives it.
    static CString ownVersion();
    // The version in the first line of the version file, or empty when there is none.
    static CString fetchLatestVersion(const CString& url, const VersionFetch::Limits& limits = {});
    // -1 when own is older than latest, +1 when newer, 0 when the same or when either is not
    // four dotted fields. The fourth field is not compared.
    static int compareVersions(const CString& own, const CString& latest);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

private:
    // Shows what latest (empty: nothing could be read) means; FALSE when the dialog ended.
    BOOL showLatest(const CString& latest);
    // Shows an outcome that needs no answer: OK instead of Yes, and No disabled.
    void showOutcome(const char* text);

    BOOL m_atStartup;
    BOOL m_openHomePage = FALSE;
    CStatic m_yourVersion;
    CStatic m_latestVersion;
    CStatic m_message;
    CString m_versionFileUrl;
    CString m_fetched;
    VersionFetch::Limits m_limits;
    VersionFetch m_fetch;
};
