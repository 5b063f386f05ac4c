// The system's font for owner-drawn rows (DEFAULT_GUI_FONT) at a monitor's DPI: the stock font
// itself at the system's DPI, else a copy of it scaled, made when first asked for and kept
// while the DPI stays.
#pragma once

#include <windows.h>

#include "framework/CGdiObject.h"

class GuiFontAtDpi {
public:
    HFONT at(UINT dpi);

private:
    UINT m_dpi = 0;
    CFont m_font;
};
