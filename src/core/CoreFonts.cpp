#include "core/CoreFonts.h"

#include <algorithm>
#include <cstring>

#include "core_iface/VCorvantileCore.h"

namespace corvantile::core {
namespace {

// The system's message font, as dialogs use it.
LOGFONTA messageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTA logFont{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        LogFontFromWide(metrics.lfMessageFont, logFont);
    } else {
        logFont.lfHeight = -11;
        logFont.lfWeight = FW_NORMAL;
        logFont.lfCharSet = DEFAULT_CHARSET;
        std::strncpy(logFont.lfFaceName, "Tahoma", LF_FACESIZE - 1);
    }
    // Rows give each line the height of a small icon: keep the text inside it.
    if (logFont.lfHeight < -13 || logFont.lfHeight > 13 || logFont.lfHeight == 0)
        logFont.lfHeight = -12;
    return logFont;
}

} // namespace

CoreFonts::CoreFonts(VCorvantileCore& core) : m_core(core) {}

LOGFONTA CoreFonts::get(FontRole role) const {
    return m_logFonts[static_cast<int>(role)];
}

void CoreFonts::set(FontRole role, const LOGFONTA& logFont) {
    const int index = static_cast<int>(role);
    m_logFonts[index] = logFont;
    m_logFonts[index].lfFaceName[LF_FACESIZE - 1] = '\0';
    fontOf(role).CreateFontIndirect(&m_logFonts[index]);
    LOGFONTA bold = m_logFonts[index];
    bold.lfWeight = std::max<LONG>(bold.lfWeight + 300, FW_BOLD);
    if (bold.lfWeight > FW_HEAVY)
        bold.lfWeight = FW_HEAVY;
    m_bold[index].CreateFontIndirect(&bold);
}

void CoreFonts::reset() {
    const LOGFONTA base = messageFont();
    set(FontRole::OneLine, base);
    set(FontRole::Line1, base);
    LOGFONTA second = base;
    second.lfHeight = base.lfHeight < 0 ? base.lfHeight + 1 : base.lfHeight - 1;
    set(FontRole::Line2, second);
    m_core.fontColor = GetSysColor(COLOR_WINDOWTEXT);
    m_core.font1Color = GetSysColor(COLOR_WINDOWTEXT);
    m_core.font2Color = RGB(0x60, 0x60, 0x60);
}

TextStyle CoreFonts::style(FontRole role, bool selected) const {
    TextStyle style;
    style.font = fontOf(role);
    style.emphasis = m_bold[static_cast<int>(role)];
    if (!style.font)
        style.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    style.colour = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : colourOf(role);
    return style;
}

CFont& CoreFonts::fontOf(FontRole role) const {
    switch (role) {
    case FontRole::Line1:
        return m_core.font1;
    case FontRole::Line2:
        return m_core.font2;
    default:
        return m_core.font;
    }
}

COLORREF& CoreFonts::colourOf(FontRole role) const {
    switch (role) {
    case FontRole::Line1:
        return m_core.font1Color;
    case FontRole::Line2:
        return m_core.font2Color;
    default:
        return m_core.fontColor;
    }
}

} // namespace corvantile::core
