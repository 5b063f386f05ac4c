#include "core/elements/FontAdvances.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace corvantile::core {
namespace {

// The font selected into a device context for as long as this lives.
class FontSelected {
public:
    FontSelected(HDC dc, HFONT font) : m_dc(dc), m_old(SelectObject(dc, font)) {}
    ~FontSelected() { SelectObject(m_dc, m_old); }
    FontSelected(const FontSelected&) = delete;
    FontSelected& operator=(const FontSelected&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace

FontAdvances& FontAdvances::instance() {
    static FontAdvances advances;
    return advances;
}

const TEXTMETRICW* FontAdvances::metrics(HDC dc, HFONT font) {
    const Font* found = find(dc, font);
    return found ? &found->metrics : nullptr;
}

bool FontAdvances::advances(HDC dc, HFONT font, std::wstring_view text,
                            const std::vector<bool>& pick, bool picked, std::vector<int>& out) {
    if (std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }))
        return false;
    Font* found = find(dc, font);
    if (!found)
        return false;
    std::wstring unknown;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (pick[i] == picked && known(*found, text[i]) < 0 &&
            unknown.find(text[i]) == std::wstring::npos)
            unknown += text[i];
    if (!unknown.empty()) {
        const FontSelected selected(dc, font);
        if (!measure(dc, *found, unknown))
            return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i)
        if (pick[i] == picked)
            out[i] = known(*found, text[i]);
    return true;
}

FontAdvances::Font* FontAdvances::find(HDC dc, HFONT font) {
    LOGFONTW description{};
    if (!font || GetObjectW(font, sizeof(description), &description) != sizeof(description))
        return nullptr;
    const auto found = m_fonts.find(font);
    if (found != m_fonts.end() &&
        std::memcmp(&found->second.description, &description, sizeof(description)) == 0)
        return &found->second;
    Font fresh;
    fresh.description = description;
    fresh.table.fill(kUnknown);
    const FontSelected selected(dc, font);
    if (!GetTextMetricsW(dc, &fresh.metrics))
        return nullptr;
    return &(m_fonts[font] = std::move(fresh));
}

int FontAdvances::known(const Font& font, wchar_t c) {
    if (static_cast<std::size_t>(c) < kTableSize)
        return font.table[c];
    const auto found = font.others.find(c);
    return found == font.others.end() ? kUnknown : found->second;
}

// Measures the characters of text (none of them twice) in one call.
bool FontAdvances::measure(HDC dc, Font& font, std::wstring_view text) {
    std::vector<int> ends(text.size());
    SIZE size{};
    if (!GetTextExtentExPointW(dc, text.data(), static_cast<int>(text.size()), 0, nullptr,
                               ends.data(), &size))
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int advance = std::clamp(ends[i] - (i == 0 ? 0 : ends[i - 1]), 0, 0x7FFF);
        if (static_cast<std::size_t>(text[i]) < kTableSize)
            font.table[text[i]] = static_cast<std::int16_t>(advance);
        else
            font.others[text[i]] = advance;
    }
    return true;
}

} // namespace corvantile::core
