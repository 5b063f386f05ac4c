// The frame shared by the owner-drawn popups around the search bar (the results list and the
// two choosers): a hidden, topmost tool window hung on the desktop, a one-pixel border drawn
// outside its client area, and a font that it keeps for its owner-drawn rows.
#pragma once

#include "framework/CRect.h"
#include "framework/CWnd.h"

class VPopupWnd : public CWnd {
protected:
    // Creates the hidden popup at rect (screen pixels) and takes fontSource's font when it has
    // a window; false when the window could not be made.
    bool createPopup(const CRect& rect, CWnd* fontSource);

    // Keeps the font (WM_SETFONT, WM_GETFONT) and takes the border off the client area.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HFONT m_font = nullptr;
};
