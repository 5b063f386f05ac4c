// The search bar's geometry: where it can be sized and dragged from, its fixed height, how it
// docks to the edges of its monitor's work area when moved near them, the list and the chooser
// following it, and its sizes at another monitor's DPI.
#include <gtest/gtest.h>

#include "choosers/VActionListCtrl.h"
#include "front_test_support.h"
#include "ui/ElementListLayout.h"

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

    // The system sizes only a window with a sizing frame; the bar's takes no room.
    EXPECT_TRUE(bar->GetStyle() & WS_THICKFRAME);
    CRect client;
    bar->GetClientRect(&client);
    EXPECT_EQ(client.Size(), rect.Size());
}

TEST_F(WindowBehaviour, TheHeightIsFixedByTheEditBoxAndTheWidthIsFree) {
    open();
    const int height = barRect().Height();
    CRect edit;
    bar->getCommandLine().GetWindowRect(&edit);
    EXPECT_EQ(edit.Height(), height - 4) << "the edit box fills the bar but for its margins";

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

TEST_F(WindowBehaviour, OnASecondMonitorTheBarDocksToThatMonitorsWorkArea) {
    FakeMonitors monitors;
    monitors.add({0, 0, 1280, 800}, 40, USER_DEFAULT_SCREEN_DPI, true);
    monitors.add({1280, 100, 2304, 868}, 30);
    open();
    const CSize size = barRect().Size();

    EXPECT_EQ(moveTo(1280 + 8, 300), CPoint(1280, 300)) << "the second monitor's left edge";
    const int right = 2304 - size.cx;
    EXPECT_EQ(moveTo(right - 6, 300), CPoint(right, 300));
    EXPECT_EQ(moveTo(1500, 100 + 9), CPoint(1500, 100)) << "its top";
    EXPECT_EQ(moveTo(1500, 838 - size.cy - 5), CPoint(1500, 838 - size.cy)) << "its task bar";
    EXPECT_EQ(moveTo(300, 760 - size.cy + 4), CPoint(300, 760 - size.cy)) << "the primary's";
    EXPECT_EQ(moveTo(1280 - 60, 300), CPoint(1280 - 60, 300)) << "across both, no edge near";
}

TEST_F(WindowBehaviour, TheListAndItsChooserFollowTheBarToWhereItEndsUp) {
    open();
    type("item");
    ASSERT_TRUE(waitForResults());
    VElementListCtrl& list = bar->getList();
    list.openActions();
    VActionListCtrl& actions = *list.getActionList();
    ASSERT_TRUE(actions.isOpen());
    const auto offset = [&] {
        CRect listRect;
        CRect actionsRect;
        list.GetWindowRect(&listRect);
        actions.GetWindowRect(&actionsRect);
        return CPoint(actionsRect.left - listRect.left, actionsRect.top - listRect.top);
    };
    const CPoint besideRow = offset();

    const CRect area = workArea();
    for (const CPoint target : {CPoint(100, 150), CPoint(area.left + 6, 200)}) {
        moveTo(target.x, target.y);
        const CRect rect = barRect();
        CRect listRect;
        list.GetWindowRect(&listRect);
        EXPECT_EQ(listRect.TopLeft(), CPoint(rect.left, rect.bottom))
            << "below the bar where it is now, docked or not";
        EXPECT_EQ(offset(), besideRow) << "the chooser stays beside its row";
    }
}

TEST_F(WindowBehaviour, AtAnotherMonitorsDpiTheBarItsFontAndTheListsRowsScale) {
    FakeMonitors monitors;
    monitors.add({0, 0, 1280, 800}, 40, USER_DEFAULT_SCREEN_DPI, true);
    open();
    moveTo(100, 150);
    const CRect before = barRect();
    const auto fontHeight = [&] {
        LOGFONTW font{};
        GetObjectW(bar->getCommandLine().GetFont(), sizeof font, &font);
        return font.lfHeight;
    };
    const LONG startFont = fontHeight();
    const int startRow = bar->getList().getRowHeight();

    // Moved onto a monitor of twice the DPI, the system suggests a rectangle twice as large.
    monitors.list[0].dpi = 2 * USER_DEFAULT_SCREEN_DPI;
    RECT suggested{300, 200, 300 + 2 * before.Width(), 200 + 2 * before.Height()};
    bar->SendMessage(WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(barRect(), CRect(suggested));
    EXPECT_EQ(fontHeight(), 2 * startFont);
    CRect edit;
    bar->getCommandLine().GetWindowRect(&edit);
    bar->ScreenToClient(&edit);
    EXPECT_EQ(edit.left, 48);
    EXPECT_EQ(edit.Width(), 2 * before.Width() - 96);
    const int smallIcon = 2 * GetSystemMetrics(SM_CYSMICON);
    EXPECT_EQ(bar->getList().getRowHeight(),
              elementlist::rowHeight(bar->getList().isTwoLines(), smallIcon));

    type("item 1");
    ASSERT_TRUE(waitForResults());
    CRect listRect;
    bar->getList().GetWindowRect(&listRect);
    EXPECT_EQ(listRect.Height(), bar->getList().getCount() * bar->getList().getRowHeight() + 2);
    EXPECT_EQ(listRect.TopLeft(), CPoint(300, barRect().bottom));

    monitors.list[0].dpi = USER_DEFAULT_SCREEN_DPI;
    suggested = {100, 150, 100 + before.Width(), 150 + before.Height()};
    bar->SendMessage(WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(barRect(), before);
    EXPECT_EQ(fontHeight(), startFont);
    EXPECT_EQ(bar->getList().getRowHeight(), startRow);
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
