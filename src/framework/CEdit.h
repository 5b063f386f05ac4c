// An edit control. Positions in its text count UTF-8 bytes, like the indexes of the CString
// that GetWindowText gives, so they can be used on that string directly.
#pragma once

#include "framework/CWnd.h"

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create("Edit", nullptr, style, rect, parent, id);
    }

    // The selection [start, end); start == end is the caret.
    void GetSel(int& start, int& end) const;
    // The selection with start in the low word and end in the high word.
    DWORD GetSel() const;
    // Selects [start, end); start -1 removes the selection, (0, -1) selects all. The caret is
    // scrolled into view unless noScroll.
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void SetSel(DWORD selection, BOOL noScroll = FALSE);

private:
    std::wstring WideText() const;
};
