// A tooltip window for the controls of a dialog: each control gets a text, which shows when
// the pointer rests on it. Messages reach it through RelayEvent; it goes with its object.
#pragma once

#include <cstddef>

#include "framework/CWnd.h"

class CToolTipCtrl {
public:
    // A control and its text, as pages list them.
    struct Tool {
        int controlId;
        const char* text;
    };

    CToolTipCtrl() = default;
    ~CToolTipCtrl();
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    BOOL Create(CWnd* parent);
    // Creates the window and adds the tools; FALSE when the window could not be made.
    template <std::size_t N> BOOL Create(CWnd* parent, const Tool (&tools)[N]) {
        if (!Create(parent))
            return FALSE;
        for (const Tool& tool : tools)
            AddTool(tool.controlId, tool.text);
        return TRUE;
    }
    // The text (UTF-8; "\n" breaks lines) shown for a control of the parent.
    BOOL AddTool(int controlId, const char* text);
    void RelayEvent(MSG* msg);
    void DestroyWindow();
    HWND GetSafeHwnd() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
    HWND m_parent = nullptr;
};
