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

// A run measured once, in the font selected: its width, and where each of its units ends
// (from the run's start), by which it is drawn.
struct Measure {
    int width = 0;
    std::vector<int> ends; // empty when the run could not be measured unit by unit
};

Measure measure(CDC& dc, const wchar_t* text, std::size_t length) {
    Measure result;
    if (length == 0)
        return result;
    result.ends.resize(length);
    SIZE size{};
    if (GetTextExtentExPointW(dc, text, static_cast<int>(length), 0, nullptr, result.ends.data(),
                              &size)) {
        result.width = size.cx;
    } else {
        result.ends.clear();
        result.width = dc.GetTextExtent(text, static_cast<int>(length)).cx;
    }
    return result;
}

// How many units of a measured run fit in width, never splitting a surrogate pair.
std::size_t unitsThatFit(const Measure& run, const wchar_t* text, std::size_t length, int width) {
    if (width <= 0 || run.ends.size() != length)
        return 0;
    std::size_t units = 0;
    while (units < length && run.ends[units] <= width)
        ++units;
    if (units > 0 && units < length && IS_HIGH_SURROGATE(text[units - 1]))
        --units;
    return units;
}

// Draws the first units of a measured run at x on the line's baseline (the runs of a line share
// it, in whichever font) and returns where the next run starts. Each character is put where
// measuring the run placed it: left to itself, Wine may draw a run narrower than it measures it
// (pairs of letters drawn closer), which would leave a gap before the next run.
int drawRun(CDC& dc, const Measure& run, const wchar_t* text, std::size_t units, int x,
            int baseline, const RECT& rect) {
    if (units == 0)
        return x;
    const UINT count = static_cast<UINT>(units);
    if (run.ends.size() < units) {
        ExtTextOutW(dc, x, baseline, ETO_CLIPPED, &rect, text, count, nullptr);
        return x + run.width;
    }
    std::vector<int> advances(units);
    for (std::size_t i = 0; i < units; ++i)
        advances[i] = run.ends[i] - (i == 0 ? 0 : run.ends[i - 1]);
    ExtTextOutW(dc, x, baseline, ETO_CLIPPED, &rect, text, count, advances.data());
    return x + (units == run.ends.size() ? run.width : run.ends[units - 1]);
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

    // Each run is measured once; the font changes only between runs of different weights.
    const std::vector<Run> runs = runsOf(line);
    HFONT selected = style.font;
    const auto use = [&](HFONT font) {
        if (font != selected)
            dc.SelectObject(font);
        selected = font;
    };
    const auto fontOf = [&](const Run& run) { return run.matched ? emphasis : style.font; };
    std::vector<Measure> measures;
    measures.reserve(runs.size());
    int total = 0;
    for (const Run& run : runs) {
        use(fontOf(run));
        measures.push_back(measure(dc, line.text.data() + run.begin, run.end - run.begin));
        total += measures.back().width;
    }
    const int available = rect.right - rect.left;

    int x = rect.left;
    if (total <= available) {
        for (std::size_t r = 0; r < runs.size(); ++r) {
            use(fontOf(runs[r]));
            x = drawRun(dc, measures[r], line.text.data() + runs[r].begin,
                        runs[r].end - runs[r].begin, x, baseline, rect);
        }
        return x;
    }

    use(style.font);
    const Measure ellipsis = measure(dc, kEllipsis, 1);
    const int limit = rect.right - ellipsis.width;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        use(fontOf(runs[r]));
        const wchar_t* text = line.text.data() + runs[r].begin;
        const std::size_t length = runs[r].end - runs[r].begin;
        const std::size_t fit = unitsThatFit(measures[r], text, length, limit - x);
        x = drawRun(dc, measures[r], text, fit, x, baseline, rect);
        if (fit < length)
            break;
    }
    use(style.font);
    return drawRun(dc, ellipsis, kEllipsis, 1, x, baseline, rect);
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
