#include "framework/CWinApp.h"

#include "framework/CWnd.h"
#include "framework/MessageLoop.h"
#include "support/event_report.h"

namespace {

const char* const kDefaultAppName = "Corvantile";

CWinApp* g_app = nullptr;

} // namespace

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetInstanceHandle() {
    if (g_app && g_app->m_hInstance)
        return g_app->m_hInstance;
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    return AfxGetInstanceHandle();
}

CWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

const char* AfxGetAppName() {
    return g_app ? g_app->m_pszAppName : kDefaultAppName;
}

CWinApp::CWinApp(const char* appName) : m_appName(appName ? appName : kDefaultAppName) {
    m_pszAppName = m_appName.c_str();
    if (!g_app)
        g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return m_exitCode;
}

int CWinApp::Run() {
    const MessageLoopEnd end = RunMessageLoop(
        [] { return true; }, [this](MSG& msg) { return PreTranslateMessage(&msg) != FALSE; });
    m_exitCode = end.quit ? static_cast<int>(end.quitCode) : -1;
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    return CWnd::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, msg);
}

void CWinApp::SetRegistryKey(const char* key) {
    m_registryKey = key ? key : "";
    m_pszRegistryKey = m_registryKey.c_str();
}

HICON CWinApp::LoadIcon(UINT id) const {
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = show;
    try {
        if (!app->InitInstance())
            return app->ExitInstance();
        return app->Run();
    } catch (...) {
        corvantile::support::report_caught("the program's start or message loop");
        return -1;
    }
}
