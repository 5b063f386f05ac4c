#include "core/elements/ElementPainter.h"

#include <algorithm>
#include <vector>

#include "core/engine/text/text_fold.h"

namespace corvantile::core {
namespace {

constexpr wchar_t kEllipsis[] = L"\u2026";

struct Run {
    std::size_t begin;
    std::size_t end;
    bool matched;
};

std::vector<Run> runsOf(const StyledLine& line) {
    std::vector<Run> runs;
    for (std::size_t i = 0; i < line.text.size();) {
        std::size_t j = i + 1;
        while (j < line.text.size() && line.matched[j] == line.matched[i])
            ++j;
        runs.push_back({i, j, line.matched[i]});
        i = j;
    }
    return runs;
}

int widthOf(CDC& dc, const wchar_t* text, std::size_t length) {
    return dc.GetTextExtent(text, static_cast<int>(length)).cx;
}

// How many units of text fit in width, never splitting a surrogate pair.
std::size_t unitsThatFit(CDC& dc, const wchar_t* text, std::size_t length, int width) {
    if (width <= 0 || length == 0)
        return 0;
    int fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointW(dc, text, static_cast<int>(length), width, &fit, nullptr, &size))
        return 0;
    std::size_t units = static_cast<std::size_t>(std::max(fit, 0));
    if (units > 0 && units < length && IS_HIGH_SURROGATE(text[units - 1]))
        --units;
    return units;
}

// Draws a run at x on the line's baseline (the runs of a line share it, in whichever font) and
// returns where the next run starts. Each character is put where measuring the run placed it:
// left to itself, Wine may draw a run narrower than it measures it (pairs of letters drawn
// closer), which would leave a gap before the next run.
int drawRun(CDC& dc, const wchar_t* text, std::size_t length, int width, int x, int baseline,
            const RECT& rect) {
    if (length == 0)
        return x;
    const int count = static_cast<int>(length);
    std::vector<int> ends(length), advances(length);
    SIZE size{};
    if (GetTextExtentExPointW(dc, text, count, 0, nullptr, ends.data(), &size)) {
        for (std::size_t i = 0; i < length; ++i)
            advances[i] = ends[i] - (i == 0 ? 0 : ends[i - 1]);
        ExtTextOutW(dc, x, baseline, ETO_CLIPPED, &rect, text, static_cast<UINT>(count),
                    advances.data());
    } else {
        ExtTextOutW(dc, x, baseline, ETO_CLIPPED, &rect, text, static_cast<UINT>(count), nullptr);
    }
    return x + width;
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
    const HFONT emphasis = style.emphasis ? style.emphasis : style.font;

    // The line is centred on the rectangle by the height of its plain font.
    dc.SelectObject(style.font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int baseline =
        rect.top + (rect.bottom - rect.top - metrics.tmHeight) / 2 + metrics.tmAscent;

    const std::vector<Run> runs = runsOf(line);
    const auto fontOf = [&](const Run& run) { return run.matched ? emphasis : style.font; };
    std::vector<int> widths;
    int total = 0;
    for (const Run& run : runs) {
        dc.SelectObject(fontOf(run));
        widths.push_back(widthOf(dc, line.text.data() + run.begin, run.end - run.begin));
        total += widths.back();
    }
    const int available = rect.right - rect.left;

    int x = rect.left;
    if (total <= available) {
        for (std::size_t r = 0; r < runs.size(); ++r) {
            dc.SelectObject(fontOf(runs[r]));
            x = drawRun(dc, line.text.data() + runs[r].begin, runs[r].end - runs[r].begin,
                        widths[r], x, baseline, rect);
        }
        return x;
    }

    dc.SelectObject(style.font);
    const int ellipsisWidth = widthOf(dc, kEllipsis, 1);
    const int limit = rect.right - ellipsisWidth;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        dc.SelectObject(fontOf(runs[r]));
        const wchar_t* text = line.text.data() + runs[r].begin;
        const std::size_t length = runs[r].end - runs[r].begin;
        const std::size_t fit = unitsThatFit(dc, text, length, limit - x);
        const int width = fit == length ? widths[r] : widthOf(dc, text, fit);
        x = drawRun(dc, text, fit, width, x, baseline, rect);
        if (fit < length)
            break;
    }
    dc.SelectObject(style.font);
    return drawRun(dc, kEllipsis, 1, ellipsisWidth, x, baseline, rect);
}

void drawElementIcon(CDC& dc, HICON icon, const RECT* iconRect) {
    if (!icon || !iconRect || iconRect->right <= iconRect->left ||
        iconRect->bottom <= iconRect->top)
        return;
    const int width = std::min<int>(iconRect->right - iconRect->left, 16);
    const int height = std::min<int>(iconRect->bottom - iconRect->top, 16);
    dc.DrawIconEx(iconRect->left, iconRect->top, icon, width, height, DI_NORMAL);
}

} // namespace corvantile::core
