// The results list's window: its height follows its rows up to 20 rows, then the height the
// user gave it; it hangs at the owner's bottom edge, as wide as the owner; size changes are
// clamped; the scroll bar shows exactly while not every row fits.
#include <gtest/gtest.h>

#include "front_test_support.h"
#include "ui/ElementListLayout.h"

using namespace fronttest;

namespace {

// The heights of one-line rows are checked on the window below.
TEST(ElementListGeometry, FittedHeightsFollowTheRowsThenTheUsersHeight) {
    elementlist::Metrics metrics;
    EXPECT_EQ(elementlist::fittedHeight(0, 18, 100, metrics), 2);
    EXPECT_EQ(elementlist::fittedHeight(20, 36, 100, metrics), 722);

    EXPECT_EQ(elementlist::lowerHeightLimit(0, 0, 18, 60, metrics), 2);
    EXPECT_EQ(elementlist::lowerHeightLimit(2, 5, 18, 60, metrics), 38);
    EXPECT_EQ(elementlist::lowerHeightLimit(10, 5, 18, 60, metrics), 60);
    EXPECT_EQ(elementlist::clampTopRow(8, 5, 10), 5);
    EXPECT_EQ(elementlist::clampTopRow(3, 20, 10), 0);
}

TEST(ElementListGeometry, FiveRowsMakeANinetyTwoPixelListUnderTheOwner) {
    ListHost host;
    ASSERT_EQ(host.list.getRowHeight(), 18) << "these cases assume 16-pixel small icons";
    addResults(host.list, 5);

    const CRect owner = host.ownerRect();
    const CRect list = host.listRect();
    EXPECT_EQ(list.Height(), 92);
    EXPECT_EQ(list.top, owner.bottom);
    EXPECT_EQ(list.left, owner.left);
    EXPECT_EQ(list.Width(), owner.Width());
    EXPECT_EQ(host.listClient().Height(), 90);
    EXPECT_EQ(host.list.getVisibleRows(), 5);
    EXPECT_FALSE(host.list.isScrollBarVisible());
}

TEST(ElementListGeometry, FiftyRowsKeepTwentyOrTheDraggedHeight) {
    ListHost host;
    ASSERT_EQ(host.list.getRowHeight(), 18);
    // The user's size: a drag to a client height of 200 pixels.
    host.list.SetWindowPos(nullptr, 0, 0, 500, 202, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    addResults(host.list, 50);
    EXPECT_EQ(host.listRect().Height(), 362);
    EXPECT_EQ(host.list.getVisibleRows(), 20);
    EXPECT_TRUE(host.list.isScrollBarVisible());

    // A drag taller than 20 rows is kept by the next fit, as the client height it left.
    host.list.SetWindowPos(nullptr, 0, 0, 500, 502, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    host.list.fitToContents();
    EXPECT_EQ(host.listRect().Height(), 500);

    // A drag beyond all rows is clamped to them while dragging.
    host.list.SetWindowPos(nullptr, 0, 0, 500, 2000, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(host.listRect().Height(), 50 * 18 + 2);
    EXPECT_FALSE(host.list.isScrollBarVisible()) << "every row fits now";
}

TEST(ElementListGeometry, SizeChangesAreClampedToTheRowsAndTheEditBoxWidth) {
    ListHost host;
    host.list.ShowWindow(SW_SHOW);
    host.list.SetWindowPos(nullptr, 0, 0, 600, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(host.listRect().Height(), 2) << "an empty list is only its border";

    addResults(host.list, 3);
    CRect edit;
    host.edit.GetWindowRect(&edit);
    host.list.SetWindowPos(nullptr, 0, 0, 50, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(host.listRect().Width(), edit.Width()) << "never narrower than the edit box";
    EXPECT_EQ(host.listRect().Height(), 3 * 18 + 2);
}

TEST(ElementListGeometry, GrowingUntilAllRowsFitScrollsBackAndHidesTheScrollBar) {
    ListHost host;
    addResults(host.list, 30);
    EXPECT_TRUE(host.list.isScrollBarVisible());
    host.list.ensureVisible(29);
    EXPECT_EQ(host.list.getTopRow(), 10);

    host.list.SetWindowPos(nullptr, 0, 0, 500, 30 * 18 + 2,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(host.list.getVisibleRows(), 30);
    EXPECT_EQ(host.list.getTopRow(), 0) << "no empty rows below the last element";
    EXPECT_FALSE(host.list.isScrollBarVisible());
}

TEST(ElementListGeometry, OnlyTheBottomRightSquareSizesTheList) {
    ListHost host;
    addResults(host.list, 3);
    const CRect list = host.listRect();
    const LPARAM corner = MAKELPARAM(list.right - 3, list.bottom - 3);
    const LPARAM middle = MAKELPARAM(list.left + 20, list.top + 10);
    EXPECT_EQ(host.list.SendMessage(WM_NCHITTEST, 0, corner), HTBOTTOMRIGHT);
    EXPECT_EQ(host.list.SendMessage(WM_NCHITTEST, 0, middle), HTCLIENT);
}

} // namespace
