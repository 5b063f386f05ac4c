// The advance of each character and the line metrics of the fonts the rows are drawn in,
// measured once per font and character.
//
// A row of the results list is laid out character by character, in two fonts; measuring each
// line anew cost two calls into the font system per line under Wine, a good part of a paint.
// Advances do not depend on the neighbouring characters (GDI measures without kerning), so a
// line's layout is the sum of its characters' advances. A font is known by its handle and its
// description: a handle that Windows gives out again for another font is measured afresh.
// Window thread only.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvantile::core {

class FontAdvances {
public:
    static FontAdvances& instance();

    FontAdvances() = default;
    FontAdvances(const FontAdvances&) = delete;
    FontAdvances& operator=(const FontAdvances&) = delete;

    // The metrics of the font; null when it cannot be measured. dc is used to measure a font
    // not seen before, and left with the font it had.
    const TEXTMETRICW* metrics(HDC dc, HFONT font);

    // Sets advances[i] to the advance of text[i] in the font for each i whose flag in `pick`
    // equals `picked`; characters not seen before are measured on dc, which is left with the
    // font it had. False, and nothing set, for a text with a surrogate pair or when the font
    // cannot be measured.
    bool advances(HDC dc, HFONT font, std::wstring_view text, const std::vector<bool>& pick,
                  bool picked, std::vector<int>& out);

private:
    // Characters below this are kept in a table; the others in a map.
    static constexpr std::size_t kTableSize = 0x800;
    static constexpr std::int16_t kUnknown = -1;

    struct Font {
        LOGFONTW description{};
        TEXTMETRICW metrics{};
        std::array<std::int16_t, kTableSize> table{};
        std::unordered_map<wchar_t, int> others;
    };

    Font* find(HDC dc, HFONT font);
    static int known(const Font& font, wchar_t c);
    static bool measure(HDC dc, Font& font, std::wstring_view text);

    std::unordered_map<HFONT, Font> m_fonts;
};

} // namespace corvantile::core
