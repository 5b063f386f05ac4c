// The application object: one per program, run by AfxWinMain.
#pragma once

#include <string>

#include "framework/AfxWin.h"

class CWinApp {
public:
    // The first application object constructed becomes the program's (AfxGetApp) until it is
    // destroyed. A null name stands for "Corvantile".
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up; FALSE ends the program at once (after ExitInstance).
    virtual BOOL InitInstance();
    // Clean-up; returns the program's exit code (that of the WM_QUIT which ended Run).
    virtual int ExitInstance();
    // Runs the message loop until WM_QUIT, then returns ExitInstance().
    virtual int Run();
    // Offers a message to the windows from its target up to the main window.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Remembers the registry key under which the program would keep its settings.
    void SetRegistryKey(const char* key);
    // An icon resource of the program (shared; never destroyed).
    HICON LoadIcon(UINT id) const;

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    const char* m_pszAppName = nullptr;
    const char* m_pszRegistryKey = nullptr;

protected:
    int m_exitCode = 0;

private:
    std::string m_appName;
    std::string m_registryKey;
};

// The program's entry point behind WinMain: InitInstance, then Run when it succeeded, else
// ExitInstance; returns the exit code. -1 when there is no application object.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
