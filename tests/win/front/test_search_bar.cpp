// The search bar's search flow, driven through its edit box: the typing delay, texts the
// program sets itself, the keys that cancel, actions found by name, and elements of old
// searches.
#include <gtest/gtest.h>

#include "core_iface/VCorvantileCore.h"
#include "front_test_support.h"
#include "res/resource.h"

using namespace fronttest;

namespace {

class SearchFlow : public SearchBarTest {
protected:
    // Types a query and waits until its results are listed.
    void searchFor(const char* query) {
        const int before = bar->textChanges;
        type(query);
        ASSERT_TRUE(waitForTextChanges(before + 1));
        ASSERT_TRUE(waitForResults());
    }
};

TEST_F(SearchFlow, TypingSearchesOnceTheUserPauses) {
    open();
    VCommandLine& edit = bar->getCommandLine();
    edit.setDelay(60 * 1000);
    type("i");
    type("it");
    pumpFor(300);
    EXPECT_EQ(bar->textChanges, 0) << "no search before the delay has passed";
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);
    EXPECT_EQ(bar->getList().getCount(), 0) << "what the core found ahead waits for the delay";

    edit.setDelay(50);
    type("item 1"); // restarts the timer with the new delay
    ASSERT_TRUE(waitForTextChanges(1));
    EXPECT_EQ(bar->getMode(), SearchMode::Searching);
    EXPECT_NE(bar->getSearchId(), 0u);
    ASSERT_TRUE(waitForResults());
    EXPECT_EQ(bar->getList().getSelection(), 0);
    pumpFor(300);
    EXPECT_EQ(bar->textChanges, 1) << "one pause, one search";
}

TEST_F(SearchFlow, TextsThatTheProgramSetsStartNoSearch) {
    open();
    bar->getCommandLine().setDelay(0);
    bar->getCommandLine().setTextQuietly("Loading...");
    bar->getCommandLine().setTextQuietly("");
    pumpFor(200);
    EXPECT_EQ(bar->textChanges, 0);
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);

    type("x");
    EXPECT_TRUE(waitForTextChanges(1)) << "a delay of 0 still goes through the timer";
}

TEST_F(SearchFlow, BackspaceWhileSearchingCancelsAndControlBackspaceEmptiesTheBox) {
    open();
    bar->getCommandLine().setDelay(50);
    searchFor("item");
    const DWORD first = bar->getSearchId();

    pressKey(VK_BACK);
    EXPECT_EQ(text(), "ite") << "the edit control deletes as usual";
    EXPECT_EQ(bar->getList().getCount(), 0) << "the search was reset";
    EXPECT_FALSE(bar->getList().IsWindowVisible());
    ASSERT_TRUE(waitForTextChanges(2)) << "the deletion starts the delay again";
    EXPECT_EQ(bar->getMode(), SearchMode::Searching);
    EXPECT_NE(bar->getSearchId(), first);
    ASSERT_TRUE(waitForResults());

    pressKey(VK_BACK, true);
    EXPECT_EQ(text(), "");
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);
    EXPECT_EQ(bar->getList().getCount(), 0);
    pumpFor(200);
    EXPECT_EQ(bar->textChanges, 2) << "emptying the box is no typing";
}

TEST_F(SearchFlow, EscapeEmptiesTheBoxThenHidesTheBar) {
    open();
    bar->getCommandLine().setDelay(50);
    searchFor("item");
    pressKey(VK_ESCAPE);
    EXPECT_EQ(text(), "");
    EXPECT_FALSE(bar->getList().IsWindowVisible());
    EXPECT_TRUE(bar->IsWindowVisible());

    pressKey(VK_ESCAPE);
    EXPECT_FALSE(bar->IsWindowVisible()) << "auto-hide is on by default";
}

TEST_F(SearchFlow, AnActionsNameMakesItCurrent) {
    open();
    bar->getCommandLine().setDelay(50);
    // The icon beside the box is the current action's.
    const auto shownIcon = [&] {
        return reinterpret_cast<HICON>(bar->GetDlgItem(IDC_ACTION_ICON)->SendMessage(STM_GETICON));
    };
    const HICON noAction = shownIcon();
    type("frob");
    ASSERT_TRUE(waitForTextChanges(1));
    EXPECT_EQ(bar->getMode(), SearchMode::ActionChosen);
    EXPECT_EQ(bar->getCurrentAction(), action);
    EXPECT_EQ(text(), "");
    EXPECT_EQ(shownIcon(), action->getIcon());

    type("some argument");
    pumpFor(200);
    EXPECT_EQ(bar->getMode(), SearchMode::ActionChosen) << "the text is the argument";
    EXPECT_EQ(bar->getList().getCount(), 0);

    pressKey(VK_ESCAPE);
    EXPECT_EQ(text(), "");
    EXPECT_EQ(bar->getCurrentAction(), action) << "the first Escape takes the argument";
    pressKey(VK_ESCAPE);
    EXPECT_EQ(bar->getCurrentAction(), nullptr);
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);
    EXPECT_EQ(shownIcon(), noAction);

    bar->setMatchActionsAfterSpace(true);
    type("frob  the rest ");
    ASSERT_TRUE(pumpUntil([&] { return bar->getMode() == SearchMode::ActionChosen; }));
    EXPECT_EQ(text(), "the rest");
}

TEST_F(SearchFlow, ADrivePathIsBrowsedAndLaterChangesNeedNoDelay) {
    open();
    bar->getCommandLine().setDelay(50);
    type("c:");
    ASSERT_TRUE(waitForTextChanges(1));
    EXPECT_EQ(bar->getMode(), SearchMode::Searching) << "a drive without a backslash is text";

    type("c:\\");
    ASSERT_TRUE(waitForTextChanges(2));
    EXPECT_EQ(bar->getMode(), SearchMode::FileBrowsing);
    bar->getCommandLine().setDelay(60 * 1000);
    type("c:\\w");
    EXPECT_EQ(bar->textChanges, 3) << "handled at once, without the delay";
    EXPECT_EQ(bar->getMode(), SearchMode::FileBrowsing);
}

// Folders are listed off the window thread and only the latest text's listing shows, however
// the listings end.
TEST_F(SearchFlow, OnlyTheLatestFolderListingReachesTheList) {
    for (int i = 0; i < 300; ++i)
        folder.write("Фото 2024/old " + std::to_string(i) + ".jpg", "x");
    folder.write("Фото 2024/naïve café.txt", "x");
    open();
    bar->getCommandLine().setDelay(10);
    type(folder.file("Фото 2024\\old"));
    ASSERT_TRUE(pumpUntil([&] { return bar->getMode() == SearchMode::FileBrowsing; }));
    type(folder.file("Фото 2024\\na"));
    ASSERT_TRUE(pumpUntil([&] { return bar->getList().getCount() > 0; }));
    pumpFor(300);
    ASSERT_EQ(bar->getList().getCount(), 1);
    const auto* entry = dynamic_cast<VResult*>(bar->getList().getElement(0));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->getTitle(), "naïve café.txt");
}

TEST_F(SearchFlow, ElementsOfOldSearchesNeverReachTheList) {
    open();
    bar->getCommandLine().setDelay(50);
    searchFor("item");
    const int listed = bar->getList().getCount();
    const long live = VElement::liveElements();

    VElement* stale[] = {TestResult::create("stale"), TestResult::create("stale")};
    bar->deliverElements(bar->getSearchId() + 1000, stale, 2, true);
    VElement* single = TestResult::create("stale");
    bar->deliverElements(bar->getSearchId() - 1, &single, 1, false);
    pumpMessages();
    EXPECT_EQ(bar->getList().getCount(), listed);
    EXPECT_EQ(VElement::liveElements(), live) << "the stale results were freed";

    const DWORD cancelled = bar->getSearchId();
    pressKey(VK_BACK, true);
    VElement* late = TestResult::create("late");
    bar->deliverElements(cancelled, &late, 1, false);
    EXPECT_EQ(bar->getList().getCount(), 0) << "a cancelled search delivers nothing";
}

TEST_F(SearchFlow, KeysThatTheListLeavesStayWithTheBox) {
    open();
    VCommandLine& edit = bar->getCommandLine();
    EXPECT_EQ(edit.SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_WANTALLKEYS));
    edit.SetFocus();
    pressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), edit.m_hWnd) << "Tab with no list to take it leaves the focus";
    type("abc");
    pressKey(VK_RETURN);
    pressKey(VK_LEFT);
    EXPECT_EQ(text(), "abc") << "no key inserted a character";
    EXPECT_TRUE(bar->IsWindowVisible());
}

TEST_F(SearchFlow, UpdateCacheShowsTheBarAndLeavesTheBoxEmpty) {
    open();
    bar->ShowWindow(SW_HIDE);
    bar->SendMessage(WM_COMMAND, ID_UPDATE_CACHE, 0);
    EXPECT_TRUE(bar->IsWindowVisible());
    EXPECT_EQ(text(), "");
    EXPECT_EQ(bar->textChanges, 0);

    bar->SendMessage(WM_COMMAND, ID_HIDE, 0);
    EXPECT_FALSE(bar->IsWindowVisible());
}

} // namespace
