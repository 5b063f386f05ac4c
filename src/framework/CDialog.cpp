#include "framework/CDialog.h"

#include "framework/MessageLoop.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_templateId(templateId) {}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent) {
    m_template = dialogTemplate;
    m_pParentWnd = parent;
    return dialogTemplate != nullptr;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT, WPARAM, LPARAM) {
    // The wrapper has handled the message already (through the window's subclass) and asks
    // the dialog manager for its default processing only.
    return FALSE;
}

BOOL CDialog::CreateFromTemplate(UINT templateId, LPCDLGTEMPLATE dialogTemplate, HWND owner) {
    if (m_hWnd || (!templateId && !dialogTemplate))
        return FALSE;
    HWND hwnd = nullptr;
    {
        CreationHook hook(this, L"#32770");
        if (!hook.IsInstalled())
            return FALSE;
        const HINSTANCE instance = AfxGetResourceHandle();
        hwnd = dialogTemplate
                   ? ::CreateDialogIndirectParamW(instance, dialogTemplate, owner, DialogProc, 0)
                   : ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, DialogProc,
                                          0);
    }
    if (!hwnd)
        return FALSE;
    if (m_hWnd != hwnd) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_pParentWnd = parent;
    return CreateFromTemplate(templateId, nullptr, parent ? parent->m_hWnd : nullptr);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent) {
    m_pParentWnd = parent;
    return CreateFromTemplate(0, dialogTemplate, parent ? parent->m_hWnd : nullptr);
}

HWND CDialog::ModalOwner() const {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this)
            owner = main->m_hWnd;
    }
    if (!owner || !::IsWindow(owner))
        return nullptr;
    // Only a top-level window can own a dialog.
    return ::GetAncestor(owner, GA_ROOT);
}

bool CDialog::PreTranslateModal(MSG& msg) {
    if (WalkPreTranslateTree(m_hWnd, &msg))
        return true;
    return m_hWnd && ::IsDialogMessageW(m_hWnd, &msg);
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd || m_inModalLoop)
        return -1;
    const HWND owner = ModalOwner();
    const bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner)
        ::EnableWindow(owner, FALSE);
    m_inModalLoop = true;
    m_endModal = false;
    m_modalResult = IDCANCEL;

    if (!CreateFromTemplate(m_templateId, m_template, owner)) {
        m_inModalLoop = false;
        if (disabledOwner)
            ::EnableWindow(owner, TRUE);
        return -1;
    }
    if (!m_endModal && m_hWnd && !::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

    const MessageLoopEnd end = RunMessageLoop([this] { return !m_endModal && m_hWnd; },
                                              [this](MSG& msg) { return PreTranslateModal(msg); });
    m_inModalLoop = false;
    if (end.quit)
        ::PostQuitMessage(static_cast<int>(end.quitCode));

    // The owner comes back first, so that it is the window activated when the dialog goes.
    if (disabledOwner)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (owner && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(owner);
    }
    const int result = m_modalResult;
    DestroyWindow();
    return result;
}

void CDialog::EndDialog(int result) {
    if (m_inModalLoop) {
        m_modalResult = result;
        m_endModal = true;
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0); // wakes the loop if it waits for messages
        return;
    }
    if (m_hWnd)
        ::EndDialog(m_hWnd, result);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CDialog::OnClose() {
    OnCancel();
}
