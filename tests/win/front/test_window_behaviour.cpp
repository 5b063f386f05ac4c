// The search bar's geometry: where it can be sized and dragged from, its fixed height, and how
// it docks to the edges of the work area when moved near them.
#include <gtest/gtest.h>

#include "front_test_support.h"

using namespace fronttest;

namespace {

class WindowBehaviour : public SearchBarTest {
protected:
    LRESULT hitTest(int x, int y) { return bar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(x, y)); }
    // Moves the bar's top left corner to (x, y) and tells where it ended up.
    CPoint moveTo(int x, int y) {
        bar->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return barRect().TopLeft();
    }
};

TEST_F(WindowBehaviour, TheBarSizesFromItsSideEdgesAndDragsFromEverywhereElse) {
    open();
    const CRect rect = barRect();
    const int middle = rect.top + rect.Height() / 2;
    EXPECT_EQ(hitTest(rect.left - 3, middle), HTLEFT);
    EXPECT_EQ(hitTest(rect.left + 3, middle), HTLEFT);
    EXPECT_EQ(hitTest(rect.left + 4, middle), HTCAPTION);
    EXPECT_EQ(hitTest(rect.right - 3, middle), HTRIGHT);
    EXPECT_EQ(hitTest(rect.right + 3, rect.top), HTRIGHT);
    EXPECT_EQ(hitTest(rect.right - 4, middle), HTCAPTION);

    CRect edit;
    bar->getCommandLine().GetWindowRect(&edit);
    EXPECT_EQ(hitTest(edit.CenterPoint().x, edit.CenterPoint().y), HTCAPTION)
        << "the bar is dragged from over its edit box too";
    EXPECT_EQ(hitTest(rect.left + 1, rect.bottom - 1), HTLEFT) << "no sizing from the bottom";
}

TEST_F(WindowBehaviour, TheHeightIsFixedByTheEditBoxAndTheWidthIsFree) {
    open();
    CRect edit;
    bar->getCommandLine().GetClientRect(&edit);
    const int height = edit.Height() + 2 * GetSystemMetrics(SM_CYFRAME) + 8;

    MINMAXINFO info{};
    info.ptMinTrackSize = {1, 1};
    info.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    bar->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.y, height);
    EXPECT_EQ(info.ptMaxTrackSize.y, height);
    EXPECT_LT(info.ptMinTrackSize.x, 200);
    EXPECT_GE(info.ptMaxTrackSize.x, GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(WindowBehaviour, MovedWithinTenPixelsOfAnEdgeTheBarDocksToIt) {
    open();
    const CRect area = workArea();
    const CSize size = barRect().Size();

    EXPECT_EQ(moveTo(area.left + 10, 200), CPoint(area.left, 200));
    EXPECT_EQ(moveTo(area.left - 8, 200), CPoint(area.left, 200)) << "a little past the edge";
    EXPECT_EQ(moveTo(area.left + 11, 200), CPoint(area.left + 11, 200));

    const int docked = area.right - size.cx;
    EXPECT_EQ(moveTo(docked - 10, 200), CPoint(docked, 200));
    EXPECT_EQ(moveTo(docked + 10, 200), CPoint(docked, 200));
    EXPECT_EQ(moveTo(docked - 11, 200), CPoint(docked - 11, 200));

    EXPECT_EQ(moveTo(300, area.top + 7), CPoint(300, area.top));
    const int bottom = area.bottom - size.cy;
    EXPECT_EQ(moveTo(300, bottom - 9), CPoint(300, bottom));
    EXPECT_EQ(moveTo(300, bottom - 30), CPoint(300, bottom - 30));

    EXPECT_EQ(moveTo(area.left + 3, bottom + 4), CPoint(area.left, bottom)) << "a corner";
    EXPECT_EQ(barRect().Size(), size);
}

TEST_F(WindowBehaviour, ResizingKeepsThePlaceAndLaysOutTheControls) {
    open();
    const CPoint place = moveTo(100, 150);
    const CRect before = barRect();
    bar->SetWindowPos(nullptr, 0, 0, before.Width() + 60, before.Height(),
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(barRect().TopLeft(), place);
    CRect client;
    bar->GetClientRect(&client);
    CRect edit;
    bar->getCommandLine().GetWindowRect(&edit);
    bar->ScreenToClient(&edit);
    EXPECT_EQ(edit.left, 24);
    EXPECT_EQ(edit.Width(), client.Width() - 48);
}

} // namespace
