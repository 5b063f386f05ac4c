// The application object: refuses a second copy in the same logon session, starts the system
// libraries the windows need, then runs the search bar modally for the life of the process.
#pragma once

#include "framework/BCGPWorkspace.h"
#include "framework/CString.h"
#include "framework/CWinApp.h"

class CWnd;

class CCorvantileApp : public CWinApp, public CBCGPWorkspace {
public:
    CCorvantileApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The look of the program's rich tooltips (label and description).
    static CBCGPToolTipParams TooltipLook();

protected:
    // The system steps of start-up, virtual so tests can stand in for the system.
    virtual HANDLE CreateInstanceMutex(const CString& name, DWORD& lastError);
    // Opens the log beside the settings, notes the start and arms the crash report.
    virtual void StartLog();
    virtual bool InitSockets();
    virtual bool InitOle();
    // Shows the running copy's window and brings it forward (or asks it to exit).
    virtual void SignalRunningCopy(bool exitRequested);
    // Runs the search bar modally, owned by the hidden frame; returns when it is destroyed.
    virtual INT_PTR RunMainWindow(CWnd* owner);

private:
    bool IsExitRequested() const;
};
