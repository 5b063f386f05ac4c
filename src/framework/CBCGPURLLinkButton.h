// A push button shown as a web link: its text underlined in the link colour on the dialog's
// background, a hand pointer over it, and a click opens its address in the user's browser.
// The address is the button's text.
#pragma once

#include "framework/CButton.h"
#include "framework/CGdiObject.h"
#include "framework/CString.h"

class CBCGPURLLinkButton : public CButton {
public:
    // The address a click opens.
    CString GetURL() const;
    // Opens the address in the browser; false when the shell could not.
    bool OpenURL() const;

protected:
    void PreSubclassWindow() override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

private:
    void Draw(const DRAWITEMSTRUCT& draw);

    CFont m_underlined;
};
