#include "framework/AfxWin.h"

#include "framework/CWnd.h"

namespace {

// The owner of a message box: the window that the main window is running modally, or the
// main window itself; none before the main window exists.
HWND MessageBoxOwner() {
    CWnd* main = AfxGetMainWnd();
    if (!main || !::IsWindow(main->m_hWnd))
        return nullptr;
    return ::GetLastActivePopup(main->m_hWnd);
}

} // namespace

int AfxMessageBox(const char* text, UINT type, UINT) {
    return ::MessageBoxW(MessageBoxOwner(), Utf8ToWide(text ? text : "").c_str(),
                         Utf8ToWide(AfxGetAppName()).c_str(), type);
}

int AfxMessageBox(UINT stringId, UINT type) {
    CString text;
    text.LoadString(stringId);
    return AfxMessageBox(text.GetString(), type);
}

void AfxPostQuitMessage(int exitCode) {
    ::PostQuitMessage(exitCode);
}

CString AfxGetProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size())
            return CString::FromW(path.c_str(), static_cast<int>(length));
        path.resize(path.size() * 2);
    }
}
