// Dialogs made from templates: modal through our own message loop, or modeless.
//
// The dialog window is subclassed to its wrapper from the moment it exists (so WM_CREATE and
// every later message reach the handlers); default processing goes to the dialog manager,
// whose dialog procedure leaves everything to it.
//
// DoModal creates the dialog modelessly, disables its owner and runs a loop that offers each
// message to PreTranslateMessage from its target window up to the dialog, then to the dialog
// manager (IsDialogMessage), and only then translates and dispatches it. The loop ends when
// EndDialog is called, when the dialog window is destroyed, or when WM_QUIT arrives; WM_QUIT
// is then posted again for the loops outside, and DoModal returns IDCANCEL unless EndDialog
// gave a result before.
#pragma once

#include "framework/CDataExchange.h"
#include "framework/CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);

    // Runs the dialog modally; returns the EndDialog result, or -1 when it could not be made.
    virtual INT_PTR DoModal();
    // Uses an in-memory template (which must outlive DoModal) instead of a resource.
    BOOL InitModalIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent = nullptr);

    // Modeless creation, from a resource or from memory. Visible when the template says so.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL CreateIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent = nullptr);

    // Ends the modal loop with the given result; hides a modeless dialog.
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    // Enter or the OK button: takes the values in (UpdateData) and ends with IDOK.
    virtual void OnOK();
    // Escape, the Cancel button or closing: ends with IDCANCEL.
    virtual void OnCancel();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;

    CWnd* m_pParentWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    BOOL CreateFromTemplate(UINT templateId, LPCDLGTEMPLATE dialogTemplate, HWND owner);
    HWND ModalOwner() const;
    bool PreTranslateModal(MSG& msg);

    UINT m_templateId = 0;
    LPCDLGTEMPLATE m_template = nullptr;
    bool m_inModalLoop = false;
    bool m_endModal = false;
    int m_modalResult = IDCANCEL;
};
