// The icons of the core: file icons from the shell, and small drawn badges (a letter or sign
// on a coloured shape) for actions and property types, which look the same on every system.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/Win32Handles.h"

namespace corvantile::core {

enum class BadgeShape { Rounded, Circle };

struct Badge {
    const wchar_t* glyph = L"?";
    COLORREF background = RGB(0x60, 0x60, 0x60);
    COLORREF foreground = RGB(0xFF, 0xFF, 0xFF);
    BadgeShape shape = BadgeShape::Rounded;
    const wchar_t* face = L"Tahoma"; // "Marlett" gives arrows and other signs
};

// A 16x16 icon of the badge; the caller owns it.
HICON makeBadgeIcon(const Badge& badge);

// The shell's small icon of a file or folder on disk; the caller owns it (null when none).
HICON shellIconForFile(const CString& path);
// The shell's small icon for files of this kind ("x.exe", "x.txt") or for folders, without
// looking at the disk; the caller owns it.
HICON shellIconForKind(const wchar_t* sampleName, bool folder);

} // namespace corvantile::core
