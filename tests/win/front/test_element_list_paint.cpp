// Painting of the results list: the stripes, the selection, the rectangles an element is
// handed in each mode and at another DPI, and where the scroll bar leaves the rows.
#include <gtest/gtest.h>

#include "framework/CDC.h"
#include "front_test_support.h"
#include "ui/ElementListLayout.h"

using namespace fronttest;

namespace {

// The list painted into a bitmap the size of its client area.
class Painting {
public:
    explicit Painting(VElementListCtrl& list) {
        CRect client;
        list.GetClientRect(&client);
        CClientDC screen(&list);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, client.Width(), client.Height());
        m_old = m_dc.SelectObject(&m_bitmap);
        list.paint(m_dc);
    }
    ~Painting() { m_dc.SelectObject(m_old); }
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;

    COLORREF at(int x, int y) const { return GetPixel(m_dc, x, y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    HBITMAP m_old = nullptr;
};

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(ElementListPaint, OddRowsAreAShadeAwayFromTheWindowColour) {
    EXPECT_EQ(elementlist::alternateRowColour(0xFFFFFF), 0xF5F5F5u);
    EXPECT_EQ(elementlist::alternateRowColour(0x000000), 0x0A0A0Au);
    EXPECT_EQ(elementlist::alternateRowColour(0x808080), 0x8A8A8Au) << "not above: lighter";
    EXPECT_EQ(elementlist::alternateRowColour(0x808081), 0x767677u);
}

TEST(ElementListPaint, StripesFollowTheElementIndexAndTheSelectionIsHighlighted) {
    ListHost host;
    TestResult* results[] = {TestResult::create("0"), TestResult::create("1"),
                             TestResult::create("2"), TestResult::create("3")};
    host.list.addElements(reinterpret_cast<VElement**>(results), 4);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF alternate = elementlist::alternateRowColour(window);
    const int row = host.list.getRowHeight();
    {
        Painting painting(host.list);
        EXPECT_EQ(painting.at(100, row / 2), GetSysColor(COLOR_HIGHLIGHT)) << "row 0 selected";
        EXPECT_EQ(painting.at(100, row + row / 2), alternate);
        EXPECT_EQ(painting.at(100, 2 * row + row / 2), window);
        EXPECT_EQ(painting.at(100, 3 * row + row / 2), alternate);
    }
    EXPECT_TRUE(results[0]->lastDraw().selected);
    EXPECT_FALSE(results[1]->lastDraw().selected);

    // Scrolled down one row, the stripes move with their elements.
    host.list.SetWindowPos(nullptr, 0, 0, 500, 3 * row + 2,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    host.list.ensureVisible(3);
    ASSERT_EQ(host.list.getTopRow(), 1);
    Painting scrolled(host.list);
    EXPECT_EQ(scrolled.at(50, row / 2), alternate);
    EXPECT_EQ(scrolled.at(50, row + row / 2), window);
    EXPECT_EQ(scrolled.at(50, 2 * row + row / 2), alternate);
}

TEST(ElementListPaint, TwoLineRowsWithIconsHandTheElementItsRectangles) {
    ListHost host(true);
    ASSERT_EQ(GetSystemMetrics(SM_CYSMICON), 16) << "these cases assume 16-pixel small icons";
    TestResult* results[] = {TestResult::create("0"), TestResult::create("1")};
    host.list.addElements(reinterpret_cast<VElement**>(results), 2);
    ASSERT_EQ(host.list.getRowHeight(), 36);
    { Painting painting(host.list); }

    const int right = host.listClient().right;
    const DrawCall second = results[1]->lastDraw();
    EXPECT_TRUE(second.twoLines);
    EXPECT_TRUE(second.showIcons);
    EXPECT_TRUE(sameRect(second.row, RECT{0, 36, right, 72}));
    EXPECT_TRUE(sameRect(second.icon, RECT{2, 37, 18, 53}));
    EXPECT_TRUE(sameRect(second.line0, RECT{20, 37, right - 2, 53}));
    EXPECT_TRUE(sameRect(second.line1, RECT{20, 53, right - 2, 69}));

    const DrawCall selected = results[0]->lastDraw();
    EXPECT_TRUE(selected.selected);
    EXPECT_EQ(selected.line0.right, right - 22) << "room for the arrow";
    EXPECT_EQ(selected.line1.right, right - 22);

    // On a monitor at 150 %, icons are 24-pixel squares and the rows grow around them.
    host.list.setDpi(144, nullptr);
    ASSERT_EQ(host.list.getRowHeight(), 52);
    { Painting painting(host.list); }
    const DrawCall scaled = results[1]->lastDraw();
    EXPECT_TRUE(sameRect(scaled.icon, RECT{2, 53, 26, 77}));
    EXPECT_TRUE(sameRect(scaled.line1, RECT{28, 77, right - 2, 101}));
    EXPECT_EQ(results[0]->lastDraw().line0.right, right - 30) << "room for a larger arrow";
}

TEST(ElementListPaint, OneLineRowsWithoutIconsUseTheWholeRow) {
    ListHost host;
    host.list.setShowIcons(false);
    TestResult* results[] = {TestResult::create("0"), TestResult::create("1")};
    host.list.addElements(reinterpret_cast<VElement**>(results), 2);
    { Painting painting(host.list); }

    const int right = host.listClient().right;
    const DrawCall second = results[1]->lastDraw();
    EXPECT_FALSE(second.twoLines);
    EXPECT_FALSE(second.showIcons);
    EXPECT_TRUE(sameRect(second.icon, RECT{0, 0, 0, 0}));
    EXPECT_TRUE(sameRect(second.line0, RECT{2, 18, right - 2, 36}));
}

TEST(ElementListPaint, RowsEndAtTheScrollBarWhenItShows) {
    ListHost host;
    addResults(host.list, 30);
    ASSERT_TRUE(host.list.isScrollBarVisible());
    { Painting painting(host.list); }

    const int scrollBar = GetSystemMetrics(SM_CYVSCROLL);
    const auto* first = static_cast<TestResult*>(host.list.getElement(0));
    EXPECT_EQ(first->lastDraw().row.right, host.listClient().right - scrollBar);
    const auto* hidden = static_cast<TestResult*>(host.list.getElement(25));
    EXPECT_EQ(hidden->lastDraw().calls, 0) << "rows out of view are not drawn";
}

TEST(ElementListPaint, AnEmptyListPaintsTheWindowColourAndTheGrip) {
    ListHost host;
    host.list.ShowWindow(SW_SHOW);
    // An empty list is clamped to its border; this size bypasses the clamp to see the paint.
    host.list.SetWindowPos(nullptr, 0, 0, 500, 100,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    Painting painting(host.list);
    EXPECT_EQ(painting.at(10, 10), GetSysColor(COLOR_WINDOW));

    const CRect client = host.listClient();
    int shadowPixels = 0;
    for (int x = client.right - 16; x < client.right; ++x)
        for (int y = client.bottom - 16; y < client.bottom; ++y)
            shadowPixels += painting.at(x, y) == GetSysColor(COLOR_BTNSHADOW) ? 1 : 0;
    EXPECT_GT(shadowPixels, 10) << "the grip's lines in the corner";
    EXPECT_EQ(painting.at(client.left + 10, client.bottom - 3), GetSysColor(COLOR_WINDOW));
}

} // namespace
