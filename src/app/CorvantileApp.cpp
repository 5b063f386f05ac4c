#include "app/CorvantileApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "app/CrashReport.h"
#include "app/SingleInstance.h"
#include "core_iface/CPath.h"
#include "framework/AfxSystemInit.h"
#include "framework/AfxWin.h"
#include "framework/CFrameWnd.h"
#include "mainwnd/CorvantileDlg.h"
#include "mainwnd/SettingsLocation.h"
#include "res/resource.h"
#include "ui/ProgramEvents.h"
#include "version.h"

namespace {
const wchar_t* const kMainWindowTitle = L"Corvantile";

} // namespace

CCorvantileApp::CCorvantileApp() : CBCGPWorkspace(FALSE) {}

CBCGPToolTipParams CCorvantileApp::TooltipLook() {
    CBCGPToolTipParams params;
    params.m_bDrawIcon = FALSE;
    params.m_bDrawDescription = TRUE;
    params.m_nMaxDescrWidth = 100;
    params.m_bRoundedCorners = FALSE;
    params.m_bBoldLabel = TRUE;
    params.m_clrFill = RGB(255, 255, 255);
    params.m_clrFillGradient = RGB(228, 228, 240);
    params.m_clrText = RGB(61, 83, 80);
    params.m_clrBorder = RGB(144, 149, 168);
    params.m_bDrawSeparator = TRUE;
    return params;
}

BOOL CCorvantileApp::InitInstance() {
    // The mutex is never closed: it lives as long as the process and is what a later start finds.
    DWORD lastError = 0;
    CreateInstanceMutex(CreateUniqueName(kSingleInstanceBase, kScopeSession), lastError);
    if (lastError == ERROR_ALREADY_EXISTS) {
        SignalRunningCopy(IsExitRequested());
        return FALSE;
    }
    if (IsExitRequested())
        return FALSE;

    StartLog();
    crashreport::crashIfTestAsks();

    InitCommonControls();
    CWinApp::InitInstance();

    if (!InitSockets()) {
        ProgramEvents::record("Windows sockets could not be started; Corvantile ends.");
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    if (!InitOle()) {
        ProgramEvents::record("OLE could not be started; Corvantile ends.");
        AfxMessageBox(IDS_OLE_INIT_FAILED);
        return FALSE;
    }

    InitTooltipManager();
    GetTooltipManager()->SetTooltipParams(BCGP_TOOLTIP_TYPE_ALL, TooltipLook());
    InitShellManager();
    SetRegistryKey("Corvantile");

    // A never-shown frame owns the search bar, which therefore gets no task-bar button.
    auto frame = std::make_unique<CFrameWnd>();
    frame->Create(nullptr, nullptr, WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, nullptr, nullptr,
                  0);
    RunMainWindow(frame.get());
    frame->DestroyWindow();
    ProgramEvents::record("Corvantile " CORVANTILE_VERSION_TEXT " ended.");
    return FALSE;
}

int CCorvantileApp::ExitInstance() {
    BCGCBProCleanUp();
    ProgramEvents::closeLog();
    return CWinApp::ExitInstance();
}

void CCorvantileApp::StartLog() {
    const CString program = AfxGetProgramPath();
    const CString folder =
        settingslocation::dataFolder(CPath::AddBackSlash(CPath(program).GetLocation()));
    ProgramEvents::openLog(folder);
    crashreport::install(folder);
    ProgramEvents::record("Corvantile " CORVANTILE_VERSION_TEXT " started: " + program +
                          "; settings, index and log in " + folder);
    const CString dump = crashreport::takeUntoldDump(folder);
    if (!dump.IsEmpty())
        ProgramEvents::tellUser("Corvantile ended unexpectedly last time. A crash report is "
                                "waiting in " +
                                dump + " (with Corvantile.log beside it).");
}

HANDLE CCorvantileApp::CreateInstanceMutex(const CString& name, DWORD& lastError) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.W().c_str());
    lastError = GetLastError();
    return mutex;
}

bool CCorvantileApp::InitSockets() {
    return AfxSocketInit();
}

bool CCorvantileApp::InitOle() {
    return AfxOleInit();
}

void CCorvantileApp::SignalRunningCopy(bool exitRequested) {
    HWND running = FindWindowW(nullptr, kMainWindowTitle);
    if (!running)
        return;
    if (exitRequested) {
        PostMessageW(running, WM_COMMAND, ID_EXIT, 0);
        return;
    }
    // The running copy shows its bar itself, so that its own thread makes the bar active with
    // the edit box focused (or raises its Preferences when they run); this process, which the
    // user just started, lets it take the foreground.
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    PostMessageW(running, WM_COMMAND, ID_SHOW, 0);
}

INT_PTR CCorvantileApp::RunMainWindow(CWnd* owner) {
    CCorvantileDlg dialog(owner);
    m_pMainWnd = &dialog;
    const INT_PTR result = dialog.DoModal();
    m_pMainWnd = nullptr;
    return result;
}

// "/exit" (or "-exit") on the command line asks a running copy to end, as its Exit command would.
bool CCorvantileApp::IsExitRequested() const {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    bool requested = false;
    for (int i = 1; arguments && i < count; ++i) {
        if (lstrcmpiW(arguments[i], L"/exit") == 0 || lstrcmpiW(arguments[i], L"-exit") == 0)
            requested = true;
    }
    LocalFree(arguments);
    return requested;
}
