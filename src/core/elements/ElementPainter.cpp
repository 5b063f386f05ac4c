#include "core/elements/ElementPainter.h"
#include "core/elements/FontAdvances.h"
#include "core/elements/IconBitmaps.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "core/engine/text/text_fold.h"

namespace corvantile::core {
namespace {

constexpr wchar_t kEllipsis[] = L"\u2026";

// Where each unit of the text ends (from its start) in the font selected; nothing when the
// text could not be measured unit by unit.
std::optional<std::vector<int>> measuredEnds(CDC& dc, std::wstring_view text) {
    std::vector<int> ends(text.size());
    SIZE size{};
    if (ends.empty() || !GetTextExtentExPointW(dc, text.data(), static_cast<int>(text.size()), 0,
                                               nullptr, ends.data(), &size))
        return std::nullopt;
    return ends;
}

// The advance of each unit that is (or is not) matched: from the ends measured in its font.
void takeAdvances(const std::vector<int>& ends, const std::vector<bool>& matched, bool ofMatched,
                  std::vector<int>& advances) {
    for (std::size_t i = 0; i < ends.size(); ++i)
        if (matched[i] == ofMatched)
            advances[i] = ends[i] - (i == 0 ? 0 : ends[i - 1]);
}

// The advance of each unit of the line in its own font: from the characters' known advances,
// or, for a text with surrogate pairs, measured whole in each font (the plain one selected on
// entry and on return). False when the line cannot be measured.
bool laidOut(CDC& dc, const StyledLine& line, HFONT plain, HFONT bold, bool anyMatched,
             std::vector<int>& advances) {
    FontAdvances& fonts = FontAdvances::instance();
    if (fonts.advances(dc, plain, line.text, line.matched, false, advances) &&
        (!anyMatched || fonts.advances(dc, bold, line.text, line.matched, true, advances)))
        return true;
    const auto plainEnds = measuredEnds(dc, line.text);
    if (!plainEnds)
        return false;
    takeAdvances(*plainEnds, line.matched, false, advances);
    if (anyMatched) {
        SelectObject(dc, bold);
        const auto boldEnds = measuredEnds(dc, line.text);
        takeAdvances(boldEnds ? *boldEnds : *plainEnds, line.matched, true, advances);
        SelectObject(dc, plain);
    }
    return true;
}

// The text colour, alignment and background mode a line is drawn with, set for its drawing and
// put back afterwards; and its plain font, selected unless it already is. Selecting a font
// costs Wine a lookup in its font cache, even the one selected: the font is not put back.
class DrawingState {
public:
    DrawingState(CDC& dc, HFONT font, COLORREF colour)
        : m_dc(dc), m_colour(SetTextColor(dc, colour)),
          m_align(SetTextAlign(dc, TA_LEFT | TA_BASELINE)), m_mode(SetBkMode(dc, TRANSPARENT)) {
        if (GetCurrentObject(dc, OBJ_FONT) != font)
            SelectObject(dc, font);
    }
    ~DrawingState() {
        SetBkMode(m_dc, m_mode);
        SetTextAlign(m_dc, m_align);
        SetTextColor(m_dc, m_colour);
    }
    DrawingState(const DrawingState&) = delete;
    DrawingState& operator=(const DrawingState&) = delete;

private:
    CDC& m_dc;
    COLORREF m_colour;
    UINT m_align;
    int m_mode;
};

// Draws at x on the baseline the first `units` units of the text that are (or are not)
// matched, each where its advance puts it: the others are drawn as blanks, which keep their
// room. One call draws all the units of one font.
void drawUnits(CDC& dc, const StyledLine& line, std::size_t units, bool ofMatched,
               const std::vector<int>& advances, int x, int baseline, const RECT& rect) {
    std::wstring shown(line.text, 0, units);
    bool any = false;
    for (std::size_t i = 0; i < units; ++i) {
        if (line.matched[i] != ofMatched)
            shown[i] = L' ';
        else
            any = any || shown[i] != L' ';
    }
    if (any)
        ExtTextOutW(dc, x, baseline, ETO_CLIPPED, &rect, shown.data(), static_cast<UINT>(units),
                    advances.data());
}

} // namespace

StyledLine styleLine(const CString& text, const std::vector<std::uint32_t>& matches) {
    StyledLine line;
    const std::string_view utf8(text.GetString(), static_cast<std::size_t>(text.GetLength()));
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::uint32_t offset = static_cast<std::uint32_t>(pos);
        char32_t cp = engine::decode_utf8(utf8, pos);
        if (cp == U'\t' || cp == U'\r' || cp == U'\n')
            cp = U' ';
        const bool matched = std::binary_search(matches.begin(), matches.end(), offset);
        if (cp >= 0x10000) {
            line.text += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            line.text += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            line.matched.push_back(matched);
        } else {
            line.text += static_cast<wchar_t>(cp);
        }
        line.matched.push_back(matched);
    }
    return line;
}

int drawStyledLine(CDC& dc, const StyledLine& line, const RECT& rect, const TextStyle& style) {
    if (line.text.empty() || rect.right <= rect.left)
        return rect.left;
    // The row's background is already there; the passes below must not paint over each other.
    const DrawingState saved(dc, style.font, style.colour);
    const HFONT emphasis = style.emphasis ? style.emphasis : style.font;
    FontAdvances& fonts = FontAdvances::instance();

    // The line is centred on the rectangle by the height of its plain font.
    TEXTMETRICW metrics{};
    if (const TEXTMETRICW* known = fonts.metrics(dc, style.font))
        metrics = *known;
    const int baseline =
        rect.top + (rect.bottom - rect.top - metrics.tmHeight) / 2 + metrics.tmAscent;

    // Each unit takes its advance in its own font, and every character is put where that
    // places it: left to itself, Wine may draw a text narrower than it measures it (pairs of
    // letters drawn closer), which would leave gaps between the plain and the bold characters.
    const bool anyMatched =
        std::find(line.matched.begin(), line.matched.end(), true) != line.matched.end();
    std::vector<int> advances(line.text.size(), 0);
    if (!laidOut(dc, line, style.font, emphasis, anyMatched, advances)) {
        ExtTextOutW(dc, rect.left, baseline, ETO_CLIPPED, &rect, line.text.data(),
                    static_cast<UINT>(line.text.size()), nullptr);
        return rect.right;
    }

    // The units that fit, with room for an ellipsis when not all do; a surrogate pair is
    // never split.
    const int available = rect.right - rect.left;
    int total = 0;
    for (const int advance : advances)
        total += advance;
    std::size_t units = line.text.size();
    int ellipsisWidth = 0;
    if (total > available) {
        std::vector<int> ellipsis(1, 0);
        fonts.advances(dc, style.font, kEllipsis, {false}, false, ellipsis);
        ellipsisWidth = ellipsis[0];
        units = 0;
        for (int x = 0;
             units < line.text.size() && x + advances[units] <= available - ellipsisWidth; ++units)
            x += advances[units];
        if (units > 0 && units < line.text.size() && IS_HIGH_SURROGATE(line.text[units - 1]))
            --units;
    }
    int end = rect.left;
    for (std::size_t i = 0; i < units; ++i)
        end += advances[i];

    // The plain font, then the bold one, each selected once.
    drawUnits(dc, line, units, false, advances, rect.left, baseline, rect);
    if (anyMatched) {
        SelectObject(dc, emphasis);
        drawUnits(dc, line, units, true, advances, rect.left, baseline, rect);
    }
    if (units == line.text.size())
        return end;
    if (anyMatched)
        SelectObject(dc, style.font);
    ExtTextOutW(dc, end, baseline, ETO_CLIPPED, &rect, kEllipsis, 1, &ellipsisWidth);
    return end + ellipsisWidth;
}

void drawElementIcon(CDC& dc, HICON icon, const RECT* iconRect) {
    if (!icon || !iconRect || iconRect->right <= iconRect->left ||
        iconRect->bottom <= iconRect->top)
        return;
    const int width = std::min<int>(iconRect->right - iconRect->left, 16);
    const int height = std::min<int>(iconRect->bottom - iconRect->top, 16);
    IconBitmaps::instance().draw(dc, icon, iconRect->left, iconRect->top, width, height);
}

} // namespace corvantile::core
