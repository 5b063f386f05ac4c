#include "core/elements/Icons.h"

#include <shellapi.h>

#include "framework/CDC.h"
#include "framework/CGdiObject.h"

namespace corvantile::core {
namespace {

constexpr int kSize = 16;

void drawShape(HDC dc, BadgeShape shape, HBRUSH brush) {
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    // With a null pen the shapes cover one pixel less on the right and bottom edges.
    if (shape == BadgeShape::Circle)
        Ellipse(dc, 0, 0, kSize + 1, kSize + 1);
    else
        RoundRect(dc, 0, 0, kSize + 1, kSize + 1, 6, 6);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

} // namespace

HICON makeBadgeIcon(const Badge& badge) {
    CClientDC screen(static_cast<HWND>(nullptr));
    CDC dc;
    if (!screen.GetSafeHdc() || !dc.CreateCompatibleDC(&screen))
        return nullptr;

    CBitmap colour;
    CBitmap mask;
    colour.CreateCompatibleBitmap(&screen, kSize, kSize);
    mask.Attach(CreateBitmap(kSize, kSize, 1, 1, nullptr));
    if (!colour.GetSafeHandle() || !mask.GetSafeHandle())
        return nullptr;

    // The mask: black (opaque) where the shape is, white (transparent) elsewhere.
    HGDIOBJ old = dc.SelectObject(&mask);
    const RECT all{0, 0, kSize, kSize};
    dc.FillSolidRect(&all, RGB(255, 255, 255));
    drawShape(dc, badge.shape, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    // The picture: the shape in its colour and the glyph on it, black around it.
    dc.SelectObject(&colour);
    dc.FillSolidRect(&all, RGB(0, 0, 0));
    CBrush brush(badge.background);
    drawShape(dc, badge.shape, brush);

    LOGFONTW logFont{};
    logFont.lfHeight = -11;
    logFont.lfWeight = FW_BOLD;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = ANTIALIASED_QUALITY;
    if (badge.face)
        wcsncpy(logFont.lfFaceName, badge.face, LF_FACESIZE - 1);
    if (badge.face && wcscmp(badge.face, L"Marlett") == 0) {
        logFont.lfCharSet = SYMBOL_CHARSET;
        logFont.lfWeight = FW_NORMAL;
        logFont.lfHeight = -12;
    }
    CFont font;
    font.CreateFontIndirect(&logFont);
    const HGDIOBJ oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(badge.foreground);
    RECT textRect = all;
    const wchar_t* glyph = badge.glyph ? badge.glyph : L"";
    dc.DrawText(glyph, static_cast<int>(wcslen(glyph)), &textRect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(oldFont);
    dc.SelectObject(old);

    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    return CreateIconIndirect(&info);
}

HICON shellIconForFile(const CString& path) {
    SHFILEINFOW info{};
    const std::wstring wide = path.W();
    if (!SHGetFileInfoW(wide.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
        return nullptr;
    return info.hIcon;
}

HICON shellIconForKind(const wchar_t* sampleName, bool folder) {
    SHFILEINFOW info{};
    const DWORD attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (!SHGetFileInfoW(sampleName, attributes, &info, sizeof info,
                        SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        return nullptr;
    return info.hIcon;
}

} // namespace corvantile::core
