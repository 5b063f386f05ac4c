#include "framework/GuiFontAtDpi.h"

#include "framework/ScreenPlacement.h"

HFONT GuiFontAtDpi::at(UINT dpi) {
    const auto stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const UINT system = screen::systemDpi();
    if (dpi == 0 || dpi == system)
        return stock;
    if (dpi != m_dpi || !m_font.GetSafeHandle()) {
        m_font.DeleteObject();
        LOGFONTW logFont{};
        if (!GetObjectW(stock, sizeof logFont, &logFont))
            return stock;
        logFont.lfHeight =
            MulDiv(logFont.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
        if (!m_font.CreateFontIndirect(&logFont))
            return stock;
        m_dpi = dpi;
    }
    return m_font;
}
