// The action and property choosers beside the results list: which rows they list, the
// preselected action, Tab and Esc through the three lists, the pointer opening the property
// list, the choices sent to the owner, and placement beside the anchor row.
#include <gtest/gtest.h>

#include "core_iface/VCorvantileCore.h"
#include "front_test_support.h"
#include "ui/ElementListLayout.h"

using namespace fronttest;

namespace {

// A URL (the default property), an invalid property, a command line and a second URL.
TestResult* multiResult() {
    return TestResult::create({{PropertyUrl, "http://a.example/"},
                               {PropertyCommandLine, ""},
                               {PropertyCommandLine, "cmd one"},
                               {PropertyUrl, "http://b.example/"}});
}

LPARAM rowCentre(VChooserList& list, int row) {
    CRect rect;
    list.getRowRect(row, &rect);
    return MAKELPARAM(rect.left + 5, rect.top + rect.Height() / 2);
}

// A started core holding two recording actions: "Several" (URL and command line) and "Single"
// (command line only), and the results list whose choosers list them.
class Choosers : public testing::Test {
protected:
    void SetUp() override {
        core = wintest::testCore(cacheFolder.text());
        auto severalAction = std::make_unique<TestAction>(
            "Several", std::vector<PropertyType>{PropertyUrl, PropertyCommandLine});
        auto singleAction =
            std::make_unique<TestAction>("Single", std::vector<PropertyType>{PropertyCommandLine});
        several = severalAction.get();
        single = singleAction.get();
        core->registerAction(std::move(severalAction));
        core->registerAction(std::move(singleAction));
        registerMoreActions();
        core->startUp();
    }
    void TearDown() override {
        host.reset();
        core->deleteThis();
    }

    virtual void registerMoreActions() {}

    // The row of the action chooser that lists action, or -1.
    int rowOf(VAction* action) {
        VActionListCtrl& list = host->actions();
        for (int row = 0; row < list.getRowCount(); ++row)
            if (list.getItem(row)->action == action)
                return row;
        return -1;
    }
    // Adds the result selected, then opens the action chooser with Tab.
    void openFor(VResult* result) {
        VElement* element = result;
        host->list.addElements(&element, 1);
        ASSERT_TRUE(host->list.handleKey(VK_TAB));
        ASSERT_TRUE(host->actions().isOpen());
    }
    // Moves the action chooser's selection to action with the keys.
    void selectAction(VAction* action) {
        const int row = rowOf(action);
        ASSERT_GE(row, 0);
        host->list.handleKey(VK_HOME);
        for (int i = 0; i < row; ++i)
            host->list.handleKey(VK_DOWN);
        ASSERT_EQ(host->actions().getSelection(), row);
    }

    TempFolder cacheFolder;
    VCorvantileCore* core = nullptr;
    TestAction* several = nullptr;
    TestAction* single = nullptr;
    std::unique_ptr<ListHost> host = std::make_unique<ListHost>();
};

TEST_F(Choosers, ActionsAreListedOnceWithTheFirstAcceptedPropertyAndTheDefaultPreselected) {
    TestResult* result = multiResult();
    openFor(result);
    VActionListCtrl& actions = host->actions();
    const int severalRow = rowOf(several);
    const int singleRow = rowOf(single);
    ASSERT_GE(severalRow, 0);
    ASSERT_GE(singleRow, 0);
    EXPECT_LT(severalRow, singleRow) << "rows follow the core's order of actions";
    EXPECT_EQ(actions.getItem(severalRow)->property, result->getProperty(0));
    EXPECT_EQ(actions.getItem(singleRow)->property, result->getProperty(2))
        << "the invalid command line is passed over";
    EXPECT_EQ(actions.getItem(singleRow)->label, "Single cmd one");
    EXPECT_TRUE(actions.appliesToSeveralProperties(several));
    EXPECT_FALSE(actions.appliesToSeveralProperties(single));

    VAction* defaultAction = core->getDefaultAction(PropertyUrl);
    const int expected = defaultAction ? rowOf(defaultAction) : 0;
    EXPECT_EQ(actions.getSelection(), expected);
    EXPECT_FALSE(host->properties().isOpen()) << "filling never opens the property list";
}

TEST_F(Choosers, TabOpensTheListsAndEscClosesThemOneAtATime) {
    openFor(multiResult());
    selectAction(single);
    EXPECT_TRUE(host->list.handleKey(VK_TAB)) << "Tab on a single-property row is used up";
    EXPECT_FALSE(host->properties().isOpen());

    selectAction(several);
    EXPECT_TRUE(host->list.handleKey(VK_TAB));
    VPropertyListCtrl& properties = host->properties();
    ASSERT_TRUE(properties.isOpen());
    ASSERT_EQ(properties.getRowCount(), 3);
    EXPECT_EQ(properties.getProperty(1)->value, "cmd one");
    EXPECT_EQ(properties.getSelection(), 0);

    // While the property list is open the navigation keys move in it, and wrap.
    host->list.handleKey(VK_UP);
    EXPECT_EQ(properties.getSelection(), 2);
    host->list.handleKey(VK_NEXT);
    EXPECT_EQ(properties.getSelection(), 2);
    EXPECT_EQ(host->actions().getSelection(), rowOf(several));

    EXPECT_TRUE(host->list.handleKey(VK_ESCAPE));
    EXPECT_FALSE(properties.isOpen());
    EXPECT_TRUE(host->actions().isOpen());
    EXPECT_TRUE(host->list.handleKey(VK_ESCAPE));
    EXPECT_FALSE(host->actions().isOpen());
    EXPECT_FALSE(host->actions().IsWindowVisible());
    EXPECT_FALSE(host->list.handleKey(VK_ESCAPE)) << "a third Esc goes to the edit box";
    EXPECT_EQ(host->list.getCount(), 1);
}

TEST_F(Choosers, HoverOpensThePropertyListForASeveralPropertyAction) {
    openFor(multiResult());
    VActionListCtrl& actions = host->actions();
    actions.SendMessage(WM_MOUSEMOVE, 0, rowCentre(actions, rowOf(several)));
    ASSERT_TRUE(host->properties().isOpen());
    EXPECT_EQ(host->properties().getAction(), several);

    CRect row;
    actions.getRowRect(rowOf(several), &row);
    actions.ClientToScreen(&row);
    CRect popup;
    host->properties().GetWindowRect(&popup);
    EXPECT_EQ(popup.top, row.top);
    EXPECT_TRUE(popup.left == row.right + GetSystemMetrics(SM_CYBORDER) ||
                popup.right == row.left - GetSystemMetrics(SM_CYBORDER))
        << "beside the row, to its right or at the screen's edge to its left";

    actions.SendMessage(WM_MOUSEMOVE, 0, rowCentre(actions, rowOf(single)));
    EXPECT_FALSE(host->properties().isOpen());

    // A click on the several-property row opens the list, a second click closes it.
    actions.SendMessage(WM_MOUSEMOVE, 0, rowCentre(actions, rowOf(several)));
    actions.SendMessage(WM_LBUTTONUP, 0, rowCentre(actions, rowOf(several)));
    EXPECT_FALSE(host->properties().isOpen());
    actions.SendMessage(WM_LBUTTONUP, 0, rowCentre(actions, rowOf(several)));
    EXPECT_TRUE(host->properties().isOpen());
}

TEST_F(Choosers, EnterSendsOneChoiceFromTheInnermostOpenList) {
    TestResult* result = multiResult();
    openFor(result);
    selectAction(single);
    EXPECT_TRUE(host->list.handleKey(VK_RETURN));
    ASSERT_EQ(host->owner.choices.size(), 1u);
    EXPECT_EQ(host->owner.choices[0].message, WM_LIST_ACTIONCHOSEN);
    EXPECT_EQ(host->owner.choices[0].wParam, reinterpret_cast<WPARAM>(single));
    EXPECT_EQ(host->owner.choices[0].lParam, reinterpret_cast<LPARAM>(result->getProperty(2)));

    host->owner.choices.clear();
    selectAction(several);
    host->list.handleKey(VK_TAB);
    host->list.handleKey(VK_DOWN);
    EXPECT_TRUE(host->list.handleKey(VK_RETURN));
    ASSERT_EQ(host->owner.choices.size(), 1u) << "the property list's Enter is the only choice";
    EXPECT_EQ(host->owner.choices[0].message, WM_LIST_PROPERTYCHOSEN);
    EXPECT_EQ(host->owner.choices[0].wParam, reinterpret_cast<WPARAM>(result->getProperty(2)));
    EXPECT_EQ(host->owner.choices[0].lParam, reinterpret_cast<LPARAM>(several));

    host->owner.choices.clear();
    VPropertyListCtrl& properties = host->properties();
    properties.SendMessage(WM_LBUTTONUP, 0, rowCentre(properties, 2));
    EXPECT_TRUE(host->owner.choices.empty()) << "a single click chooses nothing";
    properties.SendMessage(WM_LBUTTONDBLCLK, 0, rowCentre(properties, 2));
    ASSERT_EQ(host->owner.choices.size(), 1u);
    EXPECT_EQ(host->owner.choices[0].wParam, reinterpret_cast<WPARAM>(result->getProperty(3)));
}

TEST_F(Choosers, ResultsWithoutUsablePropertiesOpenNothing) {
    VElement* element = TestResult::create({{PropertyCommandLine, ""}});
    host->list.addElements(&element, 1);
    EXPECT_TRUE(host->list.handleKey(VK_TAB));
    EXPECT_FALSE(host->actions().isOpen());
    EXPECT_FALSE(host->actions().IsWindowVisible());

    host->list.clear(true);
    openFor(multiResult());
    host->list.clear(true);
    EXPECT_FALSE(host->actions().isOpen()) << "clearing the list closes the chooser";
}

TEST_F(Choosers, ThePopupOpensBesideItsRowAndInsideThatRowsMonitor) {
    FakeMonitors monitors;
    monitors.add({-1024, 0, 0, 768});
    monitors.add({0, 0, 1280, 800}, 40, USER_DEFAULT_SCREEN_DPI, true);
    monitors.add({2000, 0, 2040, 600}); // narrower than the popup
    openFor(multiResult());
    VActionListCtrl& actions = host->actions();
    const int border = GetSystemMetrics(SM_CYBORDER);
    const int height = actions.getRowCount() * actions.getRowHeight() + 2 * border;

    const CRect middle(200, 100, 300, 118);
    const CRect right = actions.calcWindowRect(&middle);
    EXPECT_EQ(right.left, middle.right + border);
    EXPECT_EQ(right.top, middle.top);
    EXPECT_EQ(right.Height(), height) << "exactly as tall as the rows";
    EXPECT_GT(right.Width(), 40);
    const int width = right.Width();

    // At the right edge of the row's monitor, the popup opens to the left of the row: on the
    // primary monitor, and on the one left of it, whose edge is not the primary's.
    for (const CRect row : {CRect(1280 - 120, 100, 1280 - 20, 118), CRect(-150, 300, -20, 318)}) {
        const CRect left = actions.calcWindowRect(&row);
        EXPECT_EQ(left.right, row.left - border);
        EXPECT_EQ(left.top, row.top);
        EXPECT_EQ(left.Width(), width);
    }
    // A row as wide as its monitor leaves no room either side: the popup keeps to the left edge.
    const CRect wide(-1024, 300, -5, 318);
    EXPECT_EQ(actions.calcWindowRect(&wide).left, -1024);
    // Near the task bar, it rises to stay above it.
    const CRect low(200, 790, 300, 808);
    const CRect raised = actions.calcWindowRect(&low);
    EXPECT_EQ(raised.bottom, 760);
    EXPECT_EQ(raised.Height(), height);
    // On a monitor narrower than the popup, it is as wide as the monitor.
    const CRect narrow(2000, 100, 2020, 118);
    EXPECT_EQ(actions.calcWindowRect(&narrow), CRect(2000, 100, 2040, 100 + height));

    // At twice the DPI, both choosers' rows take icons twice the size.
    host->list.setDpi(2 * USER_DEFAULT_SCREEN_DPI, nullptr);
    const int rowHeight = 2 * GetSystemMetrics(SM_CYSMICON) + 2;
    EXPECT_EQ(actions.getRowHeight(), rowHeight);
    EXPECT_EQ(host->properties().getRowHeight(), rowHeight);
    EXPECT_EQ(actions.calcWindowRect(&middle).Height(),
              actions.getRowCount() * rowHeight + 2 * border);
}

// The colour of a client pixel of a shown chooser, after it has painted.
COLORREF pixelAt(CWnd& list, int x, int y) {
    list.UpdateWindow();
    const HDC dc = GetDC(list.m_hWnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(list.m_hWnd, dc);
    return colour;
}

TEST_F(Choosers, RowsAreShadedAndOnlyTheSelectedSeveralPropertyRowShowsTheArrow) {
    openFor(multiResult());
    VActionListCtrl& actions = host->actions();
    ASSERT_GE(actions.getRowCount(), 3);
    selectAction(several);
    CRect selected;
    actions.getRowRect(actions.getSelection(), &selected);
    // The arrow's body: column 6 of the 16-pixel icon, at the middle of the row.
    const int arrowX = selected.right - 18 + 6;
    const int middle = selected.top + selected.Height() / 2;
    EXPECT_NE(pixelAt(actions, arrowX, middle), GetSysColor(COLOR_HIGHLIGHT)) << "the arrow";
    EXPECT_EQ(pixelAt(actions, selected.left + 30, selected.top + 1), GetSysColor(COLOR_HIGHLIGHT));

    selectAction(single);
    actions.getRowRect(actions.getSelection(), &selected);
    EXPECT_EQ(pixelAt(actions, arrowX, selected.top + selected.Height() / 2),
              GetSysColor(COLOR_HIGHLIGHT))
        << "no arrow on a single-property action";

    // Unselected rows: even ones on the window colour, odd ones a shade apart.
    const int plain = actions.getSelection() == 0 ? 2 : 0;
    const int odd = actions.getSelection() == 1 ? 3 : 1;
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    CRect row;
    ASSERT_TRUE(actions.getRowRect(odd, &row));
    EXPECT_EQ(pixelAt(actions, row.right - 3, row.top + 1),
              elementlist::alternateRowColour(window));
    actions.getRowRect(plain, &row);
    EXPECT_EQ(pixelAt(actions, row.right - 3, row.top + 1), window);
}

// Two actions whose names differ by an ampersand alone.
class ChooserNames : public Choosers {
protected:
    void registerMoreActions() override {
        auto withAmpersand = std::make_unique<TestAction>(
            "?a=1&b=2", std::vector<PropertyType>{PropertyCommandLine});
        auto without =
            std::make_unique<TestAction>("?a=1b=2", std::vector<PropertyType>{PropertyCommandLine});
        ampersand = withAmpersand.get();
        plain = without.get();
        core->registerAction(std::move(withAmpersand));
        core->registerAction(std::move(without));
    }
    // The rightmost column of a row that is not the row's background.
    int inkRight(VAction* action) {
        VActionListCtrl& list = host->actions();
        CRect row;
        list.getRowRect(rowOf(action), &row);
        list.UpdateWindow();
        const HDC dc = GetDC(list.m_hWnd);
        const COLORREF background = GetPixel(dc, row.right - 3, row.top + 1);
        int right = -1;
        for (int x = row.left; x < row.right - 2; ++x)
            for (int y = row.top + 1; y < row.bottom - 1; ++y)
                if (GetPixel(dc, x, y) != background)
                    right = x;
        ReleaseDC(list.m_hWnd, dc);
        return right;
    }

    TestAction* ampersand = nullptr;
    TestAction* plain = nullptr;
};

TEST_F(ChooserNames, AnAmpersandIsDrawnAsItselfNotAsAnUnderline) {
    openFor(multiResult());
    ASSERT_GE(rowOf(ampersand), 0);
    ASSERT_GE(rowOf(plain), 0);
    // Taken as a mnemonic, the "&" would vanish and underline the "b": both names would end
    // at the same column.
    EXPECT_GE(inkRight(ampersand), inkRight(plain) + 3);
}

TEST(ChooserText, TabsAndLineBreaksBecomeSpaces) {
    EXPECT_EQ(VChooserList::oneLine("a\tb\r\nc"), "a b  c");
}

} // namespace
