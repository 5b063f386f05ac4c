#include "framework/CGdiObject.h"

#include <cstring>

#include "framework/CDC.h"
#include "framework/CString.h"

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept {
    if (this != &other)
        Replace(other.Detach());
    return *this;
}

bool CGdiObject::Attach(HGDIOBJ object) {
    return Replace(object);
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

bool CGdiObject::DeleteObject() {
    if (!m_hObject)
        return false;
    const bool deleted = ::DeleteObject(m_hObject) != 0;
    m_hObject = nullptr;
    return deleted;
}

bool CGdiObject::Replace(HGDIOBJ object) {
    if (object != m_hObject)
        DeleteObject();
    m_hObject = object;
    return object != nullptr;
}

void LogFontToWide(const LOGFONTA& in, LOGFONTW& out) {
    std::memcpy(&out, &in, offsetof(LOGFONTA, lfFaceName));
    const std::wstring face =
        Utf8ToWide(std::string_view(in.lfFaceName, strnlen(in.lfFaceName, LF_FACESIZE)));
    std::memset(out.lfFaceName, 0, sizeof(out.lfFaceName));
    face.copy(out.lfFaceName, LF_FACESIZE - 1);
}

void LogFontFromWide(const LOGFONTW& in, LOGFONTA& out) {
    std::memcpy(&out, &in, offsetof(LOGFONTW, lfFaceName));
    std::memset(out.lfFaceName, 0, sizeof(out.lfFaceName));
    const std::string face =
        WideToUtf8(std::wstring_view(in.lfFaceName, wcsnlen(in.lfFaceName, LF_FACESIZE)));
    // Cut at a character boundary so that a long UTF-8 name stays valid text.
    size_t length = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
    while (length > 0 && length < face.size() &&
           (static_cast<unsigned char>(face[length]) & 0xC0) == 0x80)
        --length;
    face.copy(out.lfFaceName, length);
}

bool CFont::CreateFontIndirect(const LOGFONTA* logFont) {
    if (!logFont)
        return false;
    LOGFONTW wide{};
    LogFontToWide(*logFont, wide);
    return CreateFontIndirect(&wide);
}

bool CFont::CreateFontIndirect(const LOGFONTW* logFont) {
    return logFont && Replace(::CreateFontIndirectW(logFont));
}

bool CFont::CreatePointFont(int pointSize, const char* faceName, CDC* dc) {
    HDC screen = dc ? dc->GetSafeHdc() : ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (!dc && screen)
        ::ReleaseDC(nullptr, screen);
    LOGFONTA logFont{};
    logFont.lfHeight = -::MulDiv(pointSize, dpi, 720);
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    if (faceName)
        std::strncpy(logFont.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&logFont);
}

bool CFont::GetLogFont(LOGFONTA* logFont) const {
    LOGFONTW wide{};
    if (!logFont || !GetLogFont(&wide))
        return false;
    LogFontFromWide(wide, *logFont);
    return true;
}

bool CFont::GetLogFont(LOGFONTW* logFont) const {
    return logFont && m_hObject &&
           ::GetObjectW(m_hObject, sizeof(LOGFONTW), logFont) == sizeof(LOGFONTW);
}

bool CPen::CreatePen(int style, int width, COLORREF colour) {
    return Replace(::CreatePen(style, width, colour));
}

bool CBrush::CreateSolidBrush(COLORREF colour) {
    return Replace(::CreateSolidBrush(colour));
}

bool CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return dc && CreateCompatibleBitmap(dc->GetSafeHdc(), width, height);
}

bool CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
    return dc && Replace(::CreateCompatibleBitmap(dc, width, height));
}

SIZE CBitmap::GetBitmapDimension() const {
    BITMAP info{};
    if (!m_hObject || !::GetObjectW(m_hObject, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
