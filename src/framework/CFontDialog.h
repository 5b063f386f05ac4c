// The system's font chooser, for a LOGFONT and a text colour.
#pragma once

#include <windows.h>

#include "framework/CWnd.h"

class CFontDialog {
public:
    // initial (when given) fills the dialog's font; flags are CF_ bits.
    explicit CFontDialog(const LOGFONTA* initial = nullptr,
                         DWORD flags = CF_EFFECTS | CF_SCREENFONTS, HDC printer = nullptr,
                         CWnd* parent = nullptr);

    // IDOK when the user chose a font, else IDCANCEL.
    INT_PTR DoModal();
    COLORREF GetColor() const { return m_cf.rgbColors; }
    // The chosen font, face name in UTF-8.
    void GetCurrentFont(LOGFONTA* logFont) const;
    void SetFont(const LOGFONTA& logFont);

    CHOOSEFONTW m_cf{};

private:
    LOGFONTW m_lf{};
    CWnd* m_parent;
};
