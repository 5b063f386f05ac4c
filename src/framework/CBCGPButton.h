// A push button that draws its text in a colour of its choosing (and in whatever font it was
// given with WM_SETFONT): the font buttons of the Preferences show each font this way.
#pragma once

#include "framework/CButton.h"

class CBCGPButton : public CButton {
public:
    void SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_textColour; }

protected:
    void PreSubclassWindow() override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void Draw(const DRAWITEMSTRUCT& draw);

    COLORREF m_textColour = ::GetSysColor(COLOR_BTNTEXT);
};
