#include "core/elements/IconBitmaps.h"

#include <algorithm>
#include <cstdint>

namespace corvantile::core {
namespace {

// A top-down 32-bit bitmap of width x height and its pixels.
HBITMAP makeBitmap(int width, int height, std::uint32_t** pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<std::uint32_t*>(bits);
    return bitmap;
}

// Draws the icon on a background of one colour and reads the pixels back.
bool drawOn(HDC dc, HICON icon, int width, int height, std::uint32_t colour, std::uint32_t* pixels,
            std::vector<std::uint32_t>& out) {
    std::fill_n(pixels, std::size_t(width) * height, colour);
    if (!DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL))
        return false;
    GdiFlush();
    out.assign(pixels, pixels + std::size_t(width) * height);
    return true;
}

} // namespace

IconBitmaps& IconBitmaps::instance() {
    static IconBitmaps bitmaps;
    return bitmaps;
}

void IconBitmaps::keep(HICON icon) {
    if (!icon)
        return;
    std::lock_guard lock(m_mutex);
    m_icons.try_emplace(icon);
}

void IconBitmaps::forget(HICON icon) {
    std::lock_guard lock(m_mutex);
    m_icons.erase(icon);
}

std::size_t IconBitmaps::size() const {
    std::lock_guard lock(m_mutex);
    return m_icons.size();
}

// The icon drawn once on black and once on white: where the two differ, the icon lets the
// background through, and by how much gives its transparency. The picture on black is then the
// icon's colour already multiplied by it. This serves icons with an alpha channel and icons with
// only a mask alike.
HBITMAP IconBitmaps::render(HICON icon, int width, int height) {
    CDC dc;
    std::uint32_t* pixels = nullptr;
    CBitmap bitmap;
    if (!dc.CreateCompatibleDC(nullptr) || !bitmap.Attach(makeBitmap(width, height, &pixels)))
        return nullptr;
    const HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<std::uint32_t> onBlack, onWhite;
    const bool drawn = drawOn(dc, icon, width, height, 0x00000000, pixels, onBlack) &&
                       drawOn(dc, icon, width, height, 0x00FFFFFF, pixels, onWhite);
    SelectObject(dc, old);
    if (!drawn)
        return nullptr;
    for (std::size_t i = 0; i < onBlack.size(); ++i) {
        int through = 0;
        for (const int shift : {0, 8, 16}) {
            const int black = int(onBlack[i] >> shift & 0xFF);
            const int white = int(onWhite[i] >> shift & 0xFF);
            through = std::max(through, white - black);
        }
        const std::uint32_t alpha = std::uint32_t(255 - std::clamp(through, 0, 255));
        // Colour no stronger than its alpha, as premultiplied pixels must be.
        std::uint32_t pixel = alpha << 24;
        for (const int shift : {0, 8, 16})
            pixel |= std::min(onBlack[i] >> shift & 0xFF, alpha) << shift;
        pixels[i] = pixel;
    }
    GdiFlush();
    return static_cast<HBITMAP>(bitmap.Detach());
}

void IconBitmaps::draw(HDC dc, HICON icon, int x, int y, int width, int height) {
    if (!icon || width <= 0 || height <= 0)
        return;
    std::lock_guard lock(m_mutex);
    const auto found = m_icons.find(icon);
    if (found != m_icons.end() && !m_source.GetSafeHdc())
        m_source.CreateCompatibleDC(nullptr);
    if (found == m_icons.end() || !m_source.GetSafeHdc()) {
        DrawIconEx(dc, x, y, icon, width, height, 0, nullptr, DI_NORMAL);
        return;
    }
    std::vector<Picture>& pictures = found->second;
    auto picture = std::find_if(pictures.begin(), pictures.end(), [&](const Picture& made) {
        return made.width == width && made.height == height;
    });
    if (picture == pictures.end()) {
        pictures.push_back(Picture{width, height, {}, false});
        DrawIconEx(dc, x, y, icon, width, height, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!picture->tried) {
        picture->tried = true;
        picture->bitmap.Attach(render(icon, width, height));
    }
    if (!picture->bitmap.GetSafeHandle()) {
        DrawIconEx(dc, x, y, icon, width, height, 0, nullptr, DI_NORMAL);
        return;
    }
    const HGDIOBJ old = SelectObject(m_source, picture->bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, x, y, width, height, m_source, 0, 0, width, height, blend);
    SelectObject(m_source, old);
}

} // namespace corvantile::core
