// Data exchange between a dialog's members and its controls (DoDataExchange / UpdateData).
#pragma once

#include "framework/CWnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // The control with this id; it is the one focused when a later check fails.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Rejects the values: focuses the last prepared control (selecting an edit box's text)
    // and makes UpdateData return FALSE.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;

private:
    HWND m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

// Thrown by CDataExchange::Fail and caught by UpdateData.
struct CDataExchangeFailure {};

// Binds the control to its wrapper (subclassing it) the first time; later calls do nothing.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
// An integer in an edit box; text that is no integer is rejected with a message.
void DDX_Text(CDataExchange* dx, int id, int& value);
// A check box's state: 0, 1, or 2 for indeterminate.
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked radio button of the group that starts with id; -1 when none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
// Rejects a value outside [minimum, maximum] with a message (when saving only).
void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);
