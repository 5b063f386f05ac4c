// The three fonts of the results list's rows (one-line rows, first and second line of two-line
// rows), each with a bold twin for the matched characters. The plain fonts are the core's
// public CFont fields; this class keeps their descriptions and the bold twins in step.
#pragma once

#include <windows.h>

#include "core/elements/ElementPainter.h"
#include "framework/CGdiObject.h"

class VCorvantileCore;

namespace corvantile::core {

enum class FontRole { OneLine = 0, Line1 = 1, Line2 = 2 };

class CoreFonts {
public:
    explicit CoreFonts(VCorvantileCore& core);

    // The description of a role's font, face name in UTF-8.
    LOGFONTA get(FontRole role) const;
    // Replaces a role's font (the core's CFont field and its bold twin) at once.
    void set(FontRole role, const LOGFONTA& logFont);
    // Back to the fonts and colours of a fresh start.
    void reset();

    // How a role draws: its font, the bold twin and its colour (the selection's text colour
    // for the selected row).
    TextStyle style(FontRole role, bool selected) const;

private:
    CFont& fontOf(FontRole role) const;
    COLORREF& colourOf(FontRole role) const;

    VCorvantileCore& m_core;
    LOGFONTA m_logFonts[3]{};
    CFont m_bold[3];
};

} // namespace corvantile::core

namespace corvantile::core {

// The fonts of the running core.
const CoreFonts& coreFonts();

} // namespace corvantile::core
