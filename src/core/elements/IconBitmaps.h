// Small icons kept as ready pictures.
//
// DrawIconEx makes and frees device contexts and bitmaps at every call: under Wine a tenth of a
// millisecond per row of the results list, a millisecond or two per paint. An icon kept here is
// turned once into a bitmap with its transparency (premultiplied alpha) and afterwards drawn
// with one AlphaBlend. Making the picture costs two DrawIconEx calls, so an icon gets one the
// second time it is drawn at a size: a program's own icon, shown once, does not. Only icons
// handed to keep() are kept, and their owner calls forget()
// before destroying one, so a handle value that Windows gives out again never finds an old
// picture.
#pragma once

#include <windows.h>

#include <mutex>
#include <unordered_map>
#include <vector>

#include "framework/CDC.h"
#include "framework/CGdiObject.h"

namespace corvantile::core {

class IconBitmaps {
public:
    static IconBitmaps& instance();

    IconBitmaps() = default;
    IconBitmaps(const IconBitmaps&) = delete;
    IconBitmaps& operator=(const IconBitmaps&) = delete;

    // From now on the icon may be drawn from a picture, until forget(icon).
    void keep(HICON icon);
    // Drops the icon's pictures; call it before the icon is destroyed. Any thread.
    void forget(HICON icon);

    // Draws the icon at (x, y) in width x height pixels, as DrawIconEx with DI_NORMAL does.
    void draw(HDC dc, HICON icon, int x, int y, int width, int height);

    // Icons kept (for tests).
    std::size_t size() const;

private:
    struct Picture {
        int width = 0;
        int height = 0;
        CBitmap bitmap;     // 32-bit, premultiplied; none until made, or when it cannot be
        bool tried = false; // whether making it was tried
    };
    static HBITMAP render(HICON icon, int width, int height);

    mutable std::mutex m_mutex;
    std::unordered_map<HICON, std::vector<Picture>> m_icons; // kept icons, by size drawn
    CDC m_source;                                            // selects a picture while it is drawn
};

} // namespace corvantile::core
