// The about box: the program's icon, name, version and build date, a copyright notice and a
// link to the program's web site.
#pragma once

#include "framework/CBCGPURLLinkButton.h"
#include "framework/CDialog.h"
#include "framework/CStatic.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    // A compiler's build date ("Dec  7 2026") as the box shows it ("Dec 7 2026").
    static CString FormatBuildDate(const char* compilerDate);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    CBCGPURLLinkButton m_link;
    CStatic m_versionText;
    CStatic m_buildDateText;
};
