// GDI objects that own their handle: fonts, pens, brushes and bitmaps. Each wrapper deletes
// its object when it is destroyed or given a new one; wrappers move but do not copy.
#pragma once

#include <windows.h>

class CDC;

class CGdiObject {
public:
    CGdiObject() = default;
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(CGdiObject&& other) noexcept : m_hObject(other.Detach()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }

    // Takes over an object (deleting the one held before); false for a null handle.
    bool Attach(HGDIOBJ object);
    // Lets go of the object without deleting it and returns it.
    HGDIOBJ Detach();
    // Deletes the object held, if any; true when there was one and it was deleted.
    bool DeleteObject();

protected:
    // Replaces the object held by a freshly created one; false (and nothing held) for null.
    bool Replace(HGDIOBJ object);
};

class CFont : public CGdiObject {
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }

    // Creates the font described; the face name is UTF-8 and the font is made through the
    // UTF-16 API, so any face name works.
    bool CreateFontIndirect(const LOGFONTA* logFont);
    bool CreateFontIndirect(const LOGFONTW* logFont);
    // A font of this size in tenths of a point (for the screen) and this UTF-8 face name.
    bool CreatePointFont(int pointSize, const char* faceName, CDC* dc = nullptr);

    // Fills logFont with the font's description, face name in UTF-8; false without a font.
    bool GetLogFont(LOGFONTA* logFont) const;
    bool GetLogFont(LOGFONTW* logFont) const;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    bool CreatePen(int style, int width, COLORREF colour);
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    bool CreateSolidBrush(COLORREF colour);
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    // A bitmap in the format of the device context, width by height pixels.
    bool CreateCompatibleBitmap(CDC* dc, int width, int height);
    bool CreateCompatibleBitmap(HDC dc, int width, int height);
    // Size of the bitmap in pixels; (0, 0) without one.
    SIZE GetBitmapDimension() const;
};

// The UTF-16 form of a font description with a UTF-8 face name, and back.
void LogFontToWide(const LOGFONTA& in, LOGFONTW& out);
void LogFontFromWide(const LOGFONTW& in, LOGFONTA& out);
