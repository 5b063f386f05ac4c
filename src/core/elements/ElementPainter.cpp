#include "core/elements/ElementPainter.h"
#include "core/elements/IconBitmaps.h"

#include <algorithm>
#include <vector>

#include "core/engine/text/text_fold.h"

namespace corvantile::core {
namespace {

constexpr wchar_t kEllipsis[] = L"\u2026";

// Where each unit of the text ends (from its start) in the font selected; empty when the text
// could not be measured unit by unit.
std::vector<int> unitEnds(CDC& dc, const std::wstring& text) {
    std::vector<int> ends(text.size());
    SIZE size{};
    if (ends.empty() || !GetTextExtentExPointW(dc, text.data(), static_cast<int>(text.size()), 0,
                                               nullptr, ends.data(), &size))
        ends.clear();
    return ends;
}

// The advance of each unit: from the ends measured in its own font.
void takeAdvances(const std::vector<int>& ends, const std::vector<bool>& matched, bool ofMatched,
                  std::vector<int>& advances) {
    for (std::size_t i = 0; i < ends.size(); ++i)
        if (matched[i] == ofMatched)
            advances[i] = ends[i] - (i == 0 ? 0 : ends[i - 1]);
}

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
    CSavedDC saved(dc);
    dc.SetTextColor(style.colour);
    SetTextAlign(dc, TA_LEFT | TA_BASELINE);
    // The row's background is already there; the passes below must not paint over each other.
    SetBkMode(dc, TRANSPARENT);
    const HFONT emphasis = style.emphasis ? style.emphasis : style.font;

    // The line is centred on the rectangle by the height of its plain font.
    dc.SelectObject(style.font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int baseline =
        rect.top + (rect.bottom - rect.top - metrics.tmHeight) / 2 + metrics.tmAscent;

    // The line is measured whole, once in each font it uses; each unit takes its advance from
    // the measure in its own font. Every character is then put where that places it: left to
    // itself, Wine may draw a text narrower than it measures it (pairs of letters drawn
    // closer), which would leave gaps between the plain and the bold characters.
    const bool anyMatched =
        std::find(line.matched.begin(), line.matched.end(), true) != line.matched.end();
    std::vector<int> advances(line.text.size(), 0);
    const std::vector<int> plainEnds = unitEnds(dc, line.text);
    if (plainEnds.empty()) {
        ExtTextOutW(dc, rect.left, baseline, ETO_CLIPPED, &rect, line.text.data(),
                    static_cast<UINT>(line.text.size()), nullptr);
        return rect.right;
    }
    takeAdvances(plainEnds, line.matched, false, advances);
    if (anyMatched) {
        dc.SelectObject(emphasis);
        std::vector<int> boldEnds = unitEnds(dc, line.text);
        takeAdvances(boldEnds.empty() ? plainEnds : boldEnds, line.matched, true, advances);
        dc.SelectObject(style.font);
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
        SIZE ellipsis{};
        GetTextExtentPoint32W(dc, kEllipsis, 1, &ellipsis);
        ellipsisWidth = ellipsis.cx;
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

    drawUnits(dc, line, units, false, advances, rect.left, baseline, rect);
    if (anyMatched) {
        dc.SelectObject(emphasis);
        drawUnits(dc, line, units, true, advances, rect.left, baseline, rect);
        dc.SelectObject(style.font);
    }
    if (units == line.text.size())
        return end;
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
