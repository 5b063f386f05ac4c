// Drawing: font descriptions in UTF-8, and the elements' rows (text inside its rectangles, the
// query's characters emphasised, an ellipsis where the text is too long).
#include <gtest/gtest.h>

#include <climits>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "core/elements/ElementPainter.h"
#include "core/elements/FontAdvances.h"
#include "core/elements/IconBitmaps.h"
#include "core/elements/ItemResult.h"
#include "core_iface/VCorvantileCore.h"
#include "framework/CDC.h"
#include "framework/CGdiObject.h"

using namespace corvantile::core;

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);

// A white off-screen picture to draw on.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height) {
        CClientDC screen(static_cast<HWND>(nullptr));
        dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, width, height);
        m_old = dc.SelectObject(&m_bitmap);
        dc.FillSolidRect(0, 0, width, height, kBackground);
        dc.SetBkMode(TRANSPARENT);
    }
    ~Canvas() { dc.SelectObject(m_old); }

    // How many pixels in rect (all when none is given) differ from the background.
    int inkIn(const RECT& rect = {0, 0, LONG_MAX, LONG_MAX}) const {
        int ink = 0;
        for (int y = std::max<LONG>(rect.top, 0); y < std::min<LONG>(rect.bottom, m_height); ++y)
            for (int x = std::max<LONG>(rect.left, 0); x < std::min<LONG>(rect.right, m_width); ++x)
                ink += GetPixel(dc, x, y) != kBackground;
        return ink;
    }
    bool drawnIn(const RECT& rect) const { return inkIn(rect) > 0; }
    bool drawnOutside(const RECT& rect) const { return inkIn() > inkIn(rect); }
    // The x just right of the rightmost drawn pixel.
    int rightmostDrawn() const {
        int right = m_width;
        while (right > 0 && inkIn({right - 1, 0, right, m_height}) == 0)
            --right;
        return right;
    }

    CDC dc;

private:
    int m_width, m_height;
    CBitmap m_bitmap;
    HGDIOBJ m_old;
};

TEST(GdiObjects, AFaceNameTooLongIsCutAtACharacterBoundary) {
    LOGFONTW wide{};
    wcscpy(wide.lfFaceName, L"ééééééééééééééééééééé");
    LOGFONTA narrow{};
    LogFontFromWide(wide, narrow);
    EXPECT_EQ(strlen(narrow.lfFaceName), 30u);
}

TEST(ElementPainter, MarksTheMatchedCharactersInUtf16) {
    const StyledLine line = styleLine("Zoë\t😀x", {0, 2, 7});
    EXPECT_EQ(line.text, L"Zoë \U0001F600x");
    EXPECT_EQ(line.matched, (std::vector<bool>{true, false, true, false, false, false, false}));
    // 'x' is at byte 9: offsets that start no character mark nothing.
    const StyledLine other = styleLine("Zoë\t😀x", {3, 9});
    EXPECT_EQ(other.matched, (std::vector<bool>{false, false, false, false, false, false, true}));
}

// What is drawn matches what is measured: the blank before a bold word looks as wide as the
// blank after it (Wine drew the plain "naïve " narrower than it measured, leaving a double gap
// before "café" and a thin one after it).
TEST(ElementPainter, TheBlanksAroundABoldWordLookAlike) {
    Canvas canvas(400, 30);
    LOGFONTW face{};
    face.lfHeight = -11;
    face.lfWeight = FW_NORMAL;
    wcscpy(face.lfFaceName, L"Tahoma");
    const HFONT plain = CreateFontIndirectW(&face);
    face.lfWeight = FW_BOLD;
    const HFONT bold = CreateFontIndirectW(&face);
    drawStyledLine(canvas.dc, styleLine("naïve café notes.txt", {7, 8, 9, 10}), {10, 0, 390, 24},
                   {plain, bold, RGB(0, 0, 0)});
    // The columns with ink, and the blank runs between the words' ink.
    std::vector<int> blanks;
    int run = 0;
    bool inked = false;
    for (int x = 0; x < 400; ++x) {
        if (canvas.drawnIn({x, 0, x + 1, 30})) {
            if (inked && run >= 3)
                blanks.push_back(run);
            inked = true;
            run = 0;
        } else {
            ++run;
        }
    }
    ASSERT_EQ(blanks.size(), 2u) << "two blanks wider than the gaps between letters";
    EXPECT_LE(std::abs(blanks[0] - blanks[1]), 1)
        << "before café " << blanks[0] << " px, after it " << blanks[1] << " px";
    DeleteObject(plain);
    DeleteObject(bold);
}

// Cut anywhere, in a plain run, in a bold one or beside a surrogate pair, a line ends inside its
// rectangle with the ellipsis drawn just before the end it returns; uncut, it ends where the
// widest cut would.
TEST(ElementPainter, ALineCutAtAnyWidthEndsInsideItsRectangle) {
    LOGFONTW face{};
    face.lfHeight = -11;
    wcscpy(face.lfFaceName, L"Tahoma");
    const HFONT plain = CreateFontIndirectW(&face);
    face.lfWeight = FW_BOLD;
    const HFONT bold = CreateFontIndirectW(&face);
    const StyledLine line =
        styleLine("Фото 2024 😀😀 naïve café.txt", {0, 2, 18, 24, 28, 30, 31, 32, 33});
    Canvas whole(400, 20);
    const int full = drawStyledLine(whole.dc, line, {0, 0, 400, 20}, {plain, bold, 0});
    ASSERT_GT(full, 60);
    EXPECT_LE(whole.rightmostDrawn(), full);
    for (int width = 12; width < full; width += 5) {
        Canvas canvas(400, 20);
        const int end = drawStyledLine(canvas.dc, line, {0, 0, width, 20}, {plain, bold, 0});
        EXPECT_LE(end, width) << "cut at " << width;
        EXPECT_TRUE(canvas.drawnIn({end - 4, 0, end, 20})) << "the ellipsis, cut at " << width;
    }
    Canvas exact(400, 20);
    EXPECT_EQ(drawStyledLine(exact.dc, line, {0, 0, full, 20}, {plain, bold, 0}), full);
    DeleteObject(plain);
    DeleteObject(bold);
}

// The advances kept per character add up to what measuring the whole line gives, in the plain
// and the bold font; a font made again with another size (which may get the handle back) is
// measured again.
TEST(FontAdvances, KeptAdvancesAddUpToTheMeasuredLine) {
    Canvas canvas(10, 10);
    const std::wstring text = L"Ångström Daten Фото 2024 naïve café a&b ©ü…";
    const std::vector<bool> all(text.size(), false);
    for (const int height : {-11, -15}) {
        for (const LONG weight : {FW_NORMAL, FW_BOLD}) {
            LOGFONTW face{};
            face.lfHeight = height;
            face.lfWeight = weight;
            wcscpy(face.lfFaceName, L"Tahoma");
            const HFONT font = CreateFontIndirectW(&face);
            const HGDIOBJ old = SelectObject(canvas.dc, font);
            std::vector<int> ends(text.size());
            SIZE size{};
            ASSERT_TRUE(GetTextExtentExPointW(canvas.dc, text.data(), int(text.size()), 0, nullptr,
                                              ends.data(), &size));
            for (int pass = 0; pass < 2; ++pass) { // measured, then known
                std::vector<int> advances(text.size(), -1);
                ASSERT_TRUE(
                    FontAdvances::instance().advances(canvas.dc, font, text, all, false, advances));
                int x = 0;
                for (std::size_t i = 0; i < text.size(); ++i) {
                    x += advances[i];
                    ASSERT_EQ(x, ends[i]) << "height " << height << ", weight " << weight
                                          << ", unit " << i << ", pass " << pass;
                }
            }
            TEXTMETRICW expected{};
            GetTextMetricsW(canvas.dc, &expected);
            const TEXTMETRICW* kept = FontAdvances::instance().metrics(canvas.dc, font);
            ASSERT_NE(kept, nullptr);
            EXPECT_EQ(kept->tmHeight, expected.tmHeight);
            EXPECT_EQ(kept->tmAscent, expected.tmAscent);
            SelectObject(canvas.dc, old);
            DeleteObject(font);
        }
    }
    std::vector<int> advances(2, 0);
    EXPECT_FALSE(FontAdvances::instance().advances(canvas.dc, nullptr, L"ab", {false, false}, false,
                                                   advances));
}

class ElementDrawing : public testing::Test {
protected:
    void SetUp() override { core = VCorvantileCore::instance(); }
    void TearDown() override { result->deleteThis(); }

    void makeResult(const char* title, std::vector<std::uint32_t> matches) {
        result =
            ItemResult::create(nullptr, {VItemKind::File, title, "C:\\Data\\Reports\\file.txt", ""},
                               {"query", std::move(matches), {}, ""});
    }

    VCorvantileCore* core = nullptr;
    VResult* result = nullptr;
};

TEST_F(ElementDrawing, TwoLinesStayInsideTheirRectangles) {
    makeResult("Quarterly report", {0, 1});
    Canvas canvas(300, 40);
    const RECT row{0, 0, 300, 36}, icon{2, 1, 18, 17}, line0{20, 1, 298, 17},
        line1{20, 17, 298, 33};
    result->drawTwoLines(&canvas.dc, &row, &icon, &line0, &line1, false, true);
    EXPECT_TRUE(canvas.drawnIn(icon));
    EXPECT_TRUE(canvas.drawnIn(line0));
    EXPECT_TRUE(canvas.drawnIn(line1));
    EXPECT_FALSE(canvas.drawnOutside({icon.left, icon.top, line0.right, line1.bottom}));

    Canvas noIcons(300, 40);
    const RECT none{0, 0, 0, 0};
    result->drawTwoLines(&noIcons.dc, &row, &none, &line0, &line1, true, false);
    EXPECT_FALSE(noIcons.drawnIn(icon));
}

TEST_F(ElementDrawing, LongTextEndsInAnEllipsisWithinItsLine) {
    makeResult("An extremely long title that will never fit into the narrow space given here", {});
    Canvas canvas(300, 20);
    const RECT row{0, 0, 300, 18}, icon{0, 0, 0, 0}, line0{2, 0, 120, 18};
    result->drawOneLine(&canvas.dc, &row, &icon, &line0, false, false);
    EXPECT_LE(canvas.rightmostDrawn(), 120);
    EXPECT_GT(canvas.rightmostDrawn(), 100) << "the line is used up to its end";
}

TEST_F(ElementDrawing, MatchedCharactersAreDrawnBolder) {
    // The same text with and without emphasis: the bold version covers more pixels.
    const auto inkOf = [&](std::vector<std::uint32_t> matches) {
        makeResult("mmmmmmmm", std::move(matches));
        Canvas canvas(200, 20);
        const RECT row{0, 0, 200, 18}, icon{0, 0, 0, 0}, line0{2, 0, 198, 18};
        result->drawOneLine(&canvas.dc, &row, &icon, &line0, false, false);
        result->deleteThis();
        result = nullptr;
        return canvas.inkIn();
    };
    const int plain = inkOf({});
    const int bold = inkOf({0, 1, 2, 3, 4, 5, 6, 7});
    makeResult("x", {});
    EXPECT_GT(bold, plain);
}

// A 16 x 16 icon: with an alpha channel that fades from opaque to clear across it, or with a
// mask only, whose left half is clear.
HICON makeIcon(bool alpha) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t rgb = RGB(40 + 10 * x, 200 - 8 * y, 90);
            if (alpha)
                pixels[y * 16 + x] = std::uint32_t(255 - 16 * x) << 24 | rgb;
            else // black where the mask lets the background through
                pixels[y * 16 + x] = x < 8 ? 0 : rgb;
        }
    std::uint8_t maskBits[16 * 2];
    for (int y = 0; y < 16; ++y) {
        maskBits[y * 2] = alpha ? 0x00 : 0xFF; // set: the background shows through
        maskBits[y * 2 + 1] = 0x00;
    }
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits);
    ICONINFO parts{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&parts);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

TEST(IconBitmaps, AKeptIconLooksAsDrawIconExDrawsIt) {
    constexpr COLORREF kBehind = RGB(230, 120, 30);
    for (const bool alpha : {true, false}) {
        const HICON icon = makeIcon(alpha);
        ASSERT_NE(icon, nullptr);
        IconBitmaps bitmaps;
        bitmaps.keep(icon);
        Canvas expected(20, 20), drawn(20, 20), again(20, 20);
        for (Canvas* canvas : {&expected, &drawn, &again})
            canvas->dc.FillSolidRect(0, 0, 20, 20, kBehind);
        DrawIconEx(expected.dc, 2, 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
        bitmaps.draw(drawn.dc, icon, 2, 2, 16, 16);
        bitmaps.draw(again.dc, icon, 2, 2, 16, 16); // the second time, from its picture
        int worst = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const COLORREF want = GetPixel(expected.dc, x, y);
                for (const Canvas* canvas : {&drawn, &again}) {
                    const COLORREF got = GetPixel(canvas->dc, x, y);
                    worst = std::max({worst, std::abs(GetRValue(got) - GetRValue(want)),
                                      std::abs(GetGValue(got) - GetGValue(want)),
                                      std::abs(GetBValue(got) - GetBValue(want))});
                }
            }
        EXPECT_LE(worst, 3) << (alpha ? "alpha icon" : "masked icon");
        EXPECT_EQ(bitmaps.size(), 1u);
        bitmaps.forget(icon);
        EXPECT_EQ(bitmaps.size(), 0u);
        DestroyIcon(icon);
    }
}

} // namespace
