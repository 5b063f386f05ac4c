// Running what the user chose in the search bar: Enter through the shell or as a search, an
// action or property chosen in the choosers (a failed run beeps and changes nothing), and
// shortcut mode, where an action's name makes it current and the text becomes its argument.
#include <gtest/gtest.h>

#include "core/plugins/WebSearchPlugin.h"
#include "core_iface/VCorvantileCore.h"
#include "front_test_support.h"

using namespace fronttest;

namespace {

class Running : public SearchBarTest {
protected:
    void SetUp() override {
        SearchBarTest::SetUp();
        auto recording = std::make_unique<TestAction>(
            "Record", std::vector<PropertyType>{PropertyText, PropertyName, PropertyPath});
        record = recording.get();
        core->registerAction(std::move(recording));
    }

    // Types text and waits until the list shows its results, the first one selected.
    VResult* searchFor(const char* query) {
        type(query);
        if (!waitForResults())
            return nullptr;
        pumpUntil([&] { return bar->getList().getSelection() == 0; });
        return dynamic_cast<VResult*>(bar->getList().getSelectedElement());
    }

    LRESULT choose(VAction* chosen, VProperty* property) {
        return bar->SendMessage(WM_LIST_ACTIONCHOSEN, reinterpret_cast<WPARAM>(chosen),
                                reinterpret_cast<LPARAM>(property));
    }

    TestAction* record = nullptr; // owned by the core
};

TEST_F(Running, ChoosingAnActionRunsItOnTheChosenPropertyAndAFailureChangesNothing) {
    open();
    VResult* result = searchFor("item 0");
    ASSERT_NE(result, nullptr);
    VProperty* property = result->getDefaultProperty();
    ASSERT_NE(property, nullptr);
    const int count = bar->getList().getCount();

    record->succeed = false;
    EXPECT_EQ(choose(record, property), 1);
    EXPECT_EQ(record->runs, 1);
    EXPECT_EQ(record->lastResult, result);
    EXPECT_EQ(text(), "item 0") << "the text stays after a failed run";
    EXPECT_EQ(bar->getList().getCount(), count);

    record->succeed = true;
    EXPECT_EQ(bar->SendMessage(WM_LIST_PROPERTYCHOSEN, reinterpret_cast<WPARAM>(property),
                               reinterpret_cast<LPARAM>(record)),
              0);
    EXPECT_EQ(record->runs, 2);
    EXPECT_EQ(record->lastProperty, property);
    EXPECT_EQ(record->lastText, "item 0") << "the action sees the typed text";
    EXPECT_EQ(bar->getList().getCount(), 0) << "a run finishes: the list is cleared";
    EXPECT_EQ(text(), "");
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);
}

TEST_F(Running, EnterOnTextTheShellRefusesStartsTheSearchAtOnce) {
    open();
    bar->getCommandLine().setDelay(60000); // the typing delay never passes in this test
    type("item 1");
    pressKey(VK_RETURN);
    EXPECT_EQ(bar->getMode(), SearchMode::Searching);
    EXPECT_TRUE(waitForResults());
    EXPECT_EQ(text(), "item 1");
}

// Enter that the shell takes while a search runs ends it as Escape would: elements it still
// delivers stay out of the list, which stays hidden.
TEST_F(Running, EnterTheShellTakesDuringASearchEndsItLikeAReset) {
    folder.write("done.bat", "@exit\r\n");
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(folder.path().c_str());
    open();
    bar->getCommandLine().setDelay(10);
    type("done.bat");
    ASSERT_TRUE(pumpUntil([&] { return bar->getMode() == SearchMode::Searching; }));
    const DWORD search = bar->getSearchId();
    pressKey(VK_RETURN);
    SetCurrentDirectoryW(before);
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);
    EXPECT_EQ(text(), "");

    VElement* late[] = {TestResult::create("late result")};
    bar->deliverElements(search, late, 1, false);
    pumpFor(100);
    EXPECT_EQ(bar->getList().getCount(), 0);
    EXPECT_FALSE(bar->getList().IsWindowVisible());
}

// Escape and every other reset answer at once: the search gate already keeps a cancelled
// search's late elements out, so the window thread never waits for them.
TEST_F(Running, AResetDoesNotPause) {
    open();
    type("item");
    ASSERT_TRUE(waitForResults());
    const DWORD start = GetTickCount();
    for (int i = 0; i < 10; ++i)
        bar->reset(false);
    EXPECT_LT(GetTickCount() - start, 500u);
    EXPECT_EQ(bar->getList().getCount(), 0);
}

TEST_F(Running, AnActionsNameSwitchesToItAndEnterRunsItWithTheArgument) {
    open();
    bar->getCommandLine().setDelay(60000);
    type("Frob");
    pressKey(VK_RETURN);
    ASSERT_EQ(bar->getMode(), SearchMode::ActionChosen);
    EXPECT_EQ(bar->getCurrentAction(), action);
    EXPECT_EQ(text(), "");

    type("some argument");
    pressKey(VK_RETURN);
    EXPECT_EQ(action->ranWith, "some argument");
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);
    EXPECT_EQ(bar->getCurrentAction(), nullptr);
    EXPECT_EQ(text(), "");

    // Enter on the name with an argument runs at once.
    type("Frob now");
    pressKey(VK_RETURN);
    EXPECT_EQ(action->ranWith, "now");
}

TEST_F(Running, ChoosingAnActionElementMakesItCurrent) {
    open();
    bar->getCommandLine().setDelay(60000);
    type("xyz");
    bar->SendMessage(WM_LIST_ELEMENTCHOSEN, reinterpret_cast<WPARAM>(action), 0);
    EXPECT_EQ(bar->getMode(), SearchMode::ActionChosen);
    EXPECT_EQ(bar->getCurrentAction(), action);
    EXPECT_EQ(text(), "");

    pressKey(VK_ESCAPE);
    type("xyz with text");
    bar->SendMessage(WM_LIST_ELEMENTCHOSEN, reinterpret_cast<WPARAM>(action), 0);
    EXPECT_EQ(action->ranWith, "with text") << "what follows the first blank is the argument";
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);
}

TEST_F(Running, GoogleShortcutTakesTheTypedTextToTheSearchAddress) {
    if (!browserStubbed())
        GTEST_SKIP() << "run by browser_pages.sh";
    core->registerPlugin(std::make_unique<corvantile::core::WebSearchPlugin>());
    open();
    bar->getCommandLine().setDelay(10);
    type("g ");
    ASSERT_TRUE(pumpUntil([&] { return bar->getMode() == SearchMode::ActionChosen; }));
    EXPECT_EQ(bar->getCurrentAction(), core->getAction("g ", true));
    EXPECT_EQ(text(), "");
    type("x y");
    pressKey(VK_RETURN);
    EXPECT_EQ(bar->getMode(), SearchMode::Idle);
    EXPECT_EQ(text(), "");
}

// A web site's letter alone is a search like any other text; the letter and a blank make the
// site current, and with matching after a space the rest of the text is its argument.
TEST_F(Running, ALetterAloneSearchesAndTheLetterWithABlankChoosesTheSite) {
    core->registerPlugin(std::make_unique<corvantile::core::WebSearchPlugin>());
    open();
    bar->getCommandLine().setDelay(10);
    for (const char* letter : {"g", "m", "w"}) {
        const int before = bar->textChanges;
        type(letter);
        ASSERT_TRUE(waitForTextChanges(before + 1));
        EXPECT_EQ(bar->getMode(), SearchMode::Searching) << letter;
        EXPECT_EQ(bar->getCurrentAction(), nullptr) << letter;
        EXPECT_EQ(text(), letter);
    }
    VAction* maps = core->getAction("Maps", false);
    type("m ");
    ASSERT_TRUE(pumpUntil([&] { return bar->getMode() == SearchMode::ActionChosen; }));
    EXPECT_EQ(bar->getCurrentAction(), maps);
    EXPECT_EQ(text(), "");
    pressKey(VK_ESCAPE);
    pressKey(VK_ESCAPE);
    ASSERT_EQ(bar->getCurrentAction(), nullptr);

    bar->setMatchActionsAfterSpace(true);
    type("m Ångström Daten");
    ASSERT_TRUE(pumpUntil([&] { return bar->getMode() == SearchMode::ActionChosen; }));
    EXPECT_EQ(bar->getCurrentAction(), maps);
    EXPECT_EQ(text(), "Ångström Daten");
}

} // namespace
