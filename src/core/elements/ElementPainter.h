// Drawing of the elements' rows: an icon, and lines of text in which the characters that the
// query matched stand out in bold. Text too long for its place ends in an ellipsis.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/CDC.h"
#include "framework/CString.h"

namespace corvantile::core {

struct TextStyle {
    HFONT font = nullptr;
    HFONT emphasis = nullptr; // for matched characters; font when null
    COLORREF colour = 0;
};

// A line of UTF-16 text cut into runs of plain and matched characters.
struct StyledLine {
    std::wstring text;
    std::vector<bool> matched; // one flag per UTF-16 unit
};

// The UTF-16 form of UTF-8 text, with the characters at the given byte offsets (ascending)
// marked. Line breaks and tabs become blanks.
StyledLine styleLine(const CString& text, const std::vector<std::uint32_t>& matches);

// Draws the text left-aligned and centred vertically in rect, clipped to it. Returns the x
// just after the last character drawn. Leaves one of the style's fonts selected in dc (the
// caller puts back its own font once, after all its lines); the rest of dc's state is kept.
int drawStyledLine(CDC& dc, const StyledLine& line, const RECT& rect, const TextStyle& style);

void drawElementIcon(CDC& dc, HICON icon, const RECT* iconRect);

} // namespace corvantile::core
