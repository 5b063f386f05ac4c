// Searches through the core: threads, order, minimum length, actions found by name, the
// calculator, cancellation, leaks and usage learning.
#include <future>

#include "core/plugins/CalculatorPlugin.h"
#include "core/shell/Shell.h"
#include "core_test_support.h"

using namespace core_test;

namespace {

std::unique_ptr<ItemsPlugin> numberedItems(int count) {
    std::vector<VItem> items;
    for (int i = 0; i < count; ++i) {
        char name[32];
        snprintf(name, sizeof name, "item %04d", i);
        items.push_back(textItem(name, name));
    }
    return std::make_unique<ItemsPlugin>(std::move(items));
}

class CoreSearch : public CoreFixture {};

TEST_F(CoreSearch, ResultsArriveBestFirstOnAnotherThread) {
    startCore(only(std::make_unique<ItemsPlugin>(
        std::vector<VItem>{fileItem("Paint", "C:\\Apps\\paint.exe"),
                           fileItem("Visual Studio Code", "C:\\Apps\\Code\\Code.exe"),
                           fileItem("Visio Viewer", "C:\\Apps\\vviewer.exe"),
                           fileItem("Notepad", "C:\\Windows\\notepad.exe")})));

    const DWORD id = searchAndWait("vsc");
    const auto received = results.received(id);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().title, "Visual Studio Code");
    for (const auto& entry : received) {
        EXPECT_TRUE(entry.result);
        EXPECT_NE(entry.thread, GetCurrentThreadId());
    }
    EXPECT_EQ(results.titles(searchAndWait("zzzz")).size(), 0u);
}

TEST_F(CoreSearch, ResultsCarryPropertiesAndMatchedPositions) {
    results.keepResults = true;
    startCore(only(std::make_unique<ItemsPlugin>(
        std::vector<VItem>{fileItem("Report.txt", "C:\\Data\\Report.txt")})));
    const DWORD id = searchAndWait("rep");
    const auto kept = results.keptResults(id);
    ASSERT_EQ(kept.size(), 1u);
    VResult* result = kept[0];
    EXPECT_EQ(result->getTitleMatches(), (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(result->getQuery(), "rep");
    ASSERT_NE(result->getDefaultProperty(), nullptr);
    EXPECT_EQ(result->getDefaultProperty()->type, PropertyPath);
    EXPECT_EQ(result->getDefaultProperty()->value, "C:\\Data\\Report.txt");
    std::vector<PropertyType> types;
    for (int i = 0; i < result->getPropertyCount(); ++i)
        types.push_back(result->getProperty(i)->type);
    EXPECT_EQ(types, (std::vector<PropertyType>{PropertyPath, PropertyFolder, PropertyName}));
    EXPECT_EQ(result->getProperty(1)->value, "C:\\Data\\");
    EXPECT_EQ(result->getProperty(3), nullptr);
}

TEST_F(CoreSearch, ShorterQueriesThanTheMinimumFindNothing) {
    auto plugins = only(std::make_unique<ItemsPlugin>(std::vector<VItem>{textItem("abcdef", "x")}));
    plugins.push_back(std::make_unique<corvantile::core::CalculatorPlugin>());
    startCore(std::move(plugins));
    core->minSearchChars = 3;
    EXPECT_TRUE(results.titles(searchAndWait("ab")).empty());
    EXPECT_TRUE(results.titles(searchAndWait("a b")).empty());
    EXPECT_EQ(results.titles(searchAndWait("abc")), std::vector<CString>{"abcdef"});
    core->minSearchChars = 4;
    EXPECT_TRUE(results.titles(searchAndWait("1+1")).empty());
    EXPECT_EQ(results.titles(searchAndWait("1 + 12")), std::vector<CString>{"13"});
}

TEST_F(CoreSearch, ActionsFoundByNameGoToTheActionListeners) {
    std::vector<std::unique_ptr<VAction>> extra;
    auto action = std::make_unique<TestAction>("Frobnicate Widgets");
    TestAction* frobnicate = action.get();
    extra.push_back(std::move(action));
    startCore(only(std::make_unique<ItemsPlugin>(std::vector<VItem>{textItem("Frobisher", "x")})),
              std::move(extra));

    const DWORD id = searchAndWait("frob");
    const auto found = actions.listener.received(id);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].title, "Frobnicate Widgets");
    EXPECT_FALSE(found[0].result);
    EXPECT_EQ(results.titles(id), std::vector<CString>{"Frobisher"});
    EXPECT_EQ(core->getAction("frobnicate widgets", false), frobnicate);
}

TEST_F(CoreSearch, ArithmeticGivesItsValueWhichTheDefaultActionCopies) {
    results.keepResults = true;
    startCore(only(std::make_unique<corvantile::core::CalculatorPlugin>()));
    const DWORD id = searchAndWait("2+3*4");
    const auto kept = results.keptResults(id);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0]->getTitle(), "14");
    VProperty* property = kept[0]->getDefaultProperty();
    ASSERT_NE(property, nullptr);
    EXPECT_EQ(property->type, PropertyText);
    VAction* action = core->getDefaultAction(property->type);
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->run(kept[0], property, "2+3*4"));
    EXPECT_EQ(corvantile::core::clipboardText(), "14");

    EXPECT_TRUE(results.titles(searchAndWait("hello")).empty());
    EXPECT_TRUE(results.titles(searchAndWait("2+")).empty());
}

TEST_F(CoreSearch, NothingArrivesAfterCancelReturns) {
    startCore(only(numberedItems(3000)));
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> batches{0};
    results.onBatch = [&] {
        if (batches++ == 0) {
            entered.set_value();
            released.wait();
        }
    };
    DWORD id = 0;
    core->startSeach("item", id);
    ASSERT_EQ(entered.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
    core->cancelSearch(id);
    release.set_value();
    ASSERT_TRUE(waitIdle());
    // The batch being handed over when cancel was called is the only one.
    EXPECT_EQ(batches.load(), 1);
    EXPECT_EQ(results.received(id).size(), 25u);
}

TEST_F(CoreSearch, AThousandSearchesLeaveNoElementBehind) {
    startCore(only(numberedItems(500)));
    const long before = VElement::liveElements();
    std::vector<DWORD> ids;
    for (int i = 0; i < 1000; ++i) {
        DWORD id = 0;
        core->startSeach(i % 2 ? "item 01" : "item", id);
        ids.push_back(id);
        if (i % 3 == 0)
            core->cancelSearch(id);
    }
    ASSERT_TRUE(waitIdle());
    EXPECT_GT(results.total(), 0u);
    EXPECT_EQ(VElement::liveElements(), before);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "search ids repeat";
}

TEST_F(CoreSearch, AnUnregisteredListenerHearsNothing) {
    startCore(only(numberedItems(10)));
    core->unregisterResultListener(&results);
    const long before = VElement::liveElements();
    EXPECT_TRUE(results.titles(searchAndWait("item")).empty());
    EXPECT_EQ(VElement::liveElements(), before);
}

TEST_F(CoreSearch, AChosenResultRanksFirstForItsQueryNextTime) {
    results.keepResults = true;
    startCore(only(std::make_unique<ItemsPlugin>(
        std::vector<VItem>{textItem("Alpha One", "1"), textItem("Alpha Two", "2")})));
    const DWORD first = searchAndWait("alpha");
    const auto kept = results.keptResults(first);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0]->getTitle(), "Alpha One");
    VResult* two = kept[1];
    ASSERT_TRUE(core->getDefaultAction(PropertyText)->run(two, two->getDefaultProperty(), "alpha"));

    const DWORD second = searchAndWait("alpha");
    EXPECT_EQ(results.titles(second), (std::vector<CString>{"Alpha Two", "Alpha One"}));
}

TEST_F(CoreSearch, RealTimeSearchesWalkTheSourcesForEveryQuery) {
    auto plugin = std::make_unique<ItemsPlugin>(
        std::vector<VItem>{textItem("Aardvark Atlas", "a"), textItem("Badger", "b")});
    ItemsPlugin* fixed = plugin.get();
    startCore(only(std::move(plugin)), {}, false);
    core->setLiveSearching(true);
    EXPECT_EQ(results.titles(searchAndWait("aardvark")), std::vector<CString>{"Aardvark Atlas"});
    EXPECT_EQ(results.titles(searchAndWait("badger")), std::vector<CString>{"Badger"});
    EXPECT_EQ(fixed->scans.load(), 2);
    core->setLiveSearching(false);
    EXPECT_TRUE(results.titles(searchAndWait("badger")).empty()) << "no index was built";
}

TEST_F(CoreSearch, TheCoreIsBusyWhileItsIndexIsRebuilt) {
    auto plugin = std::make_unique<ItemsPlugin>(std::vector<VItem>{textItem("Aardvark", "a")});
    ItemsPlugin* fixed = plugin.get();
    startCore(only(std::move(plugin)), {}, false);
    long busyDuringScan = 0;
    fixed->beforeScan = [&] { busyDuringScan = core->busy.load(); };
    EXPECT_EQ(core->busy.load(), 0);
    core->updateCache();
    EXPECT_NE(busyDuringScan, 0);
    EXPECT_EQ(core->busy.load(), 0);
    EXPECT_EQ(results.titles(searchAndWait("aardvark")), std::vector<CString>{"Aardvark"});
}

TEST_F(CoreSearch, TheProgramFolderEndsInABackslash) {
    startCore(only(numberedItems(1)), {}, false);
    ASSERT_FALSE(core->programFolder.IsEmpty());
    EXPECT_EQ(core->programFolder.Right(1), "\\");
    EXPECT_EQ(core->programPath.Left(core->programFolder.GetLength()), core->programFolder);
    EXPECT_EQ(core->programPath.Right(18), "win_core_tests.exe");
}

// A window of the test's thread, to which listeners send messages as the results list does.
class ThreadWindow {
public:
    ThreadWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
            if (message == WM_APP)
                ++handled;
            return DefWindowProcW(window, message, w, l);
        };
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"CorvantileCoreTestWindow";
        RegisterClassW(&windowClass);
        handle = CreateWindowW(L"CorvantileCoreTestWindow", L"", 0, 0, 0, 10, 10, HWND_MESSAGE,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~ThreadWindow() { DestroyWindow(handle); }

    HWND handle;
    static inline std::atomic<int> handled{0};
};

class CoreListenerWaits : public CoreSearch {
protected:
    // Starts a search whose listener, once called, waits for this thread's window.
    void searchWhileTheListenerWaitsForThisThread() {
        startCore(only(numberedItems(100)));
        results.onBatch = [this] {
            if (calls++ == 0) {
                entered.set_value();
                SendMessageW(window.handle, WM_APP, 0, 0);
            }
        };
        DWORD id = 0;
        core->startSeach("item", id);
        ASSERT_EQ(entered.get_future().wait_for(std::chrono::seconds(60)),
                  std::future_status::ready);
    }

    ThreadWindow window;
    std::promise<void> entered;
    std::atomic<int> calls{0};
};

TEST_F(CoreListenerWaits, UnregisteringHandlesTheListenersMessagesMeanwhile) {
    const int before = ThreadWindow::handled;
    searchWhileTheListenerWaitsForThisThread();
    core->unregisterResultListener(&results);
    EXPECT_EQ(ThreadWindow::handled, before + 1);
    const int callsAfter = calls;
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(calls.load(), callsAfter);
}

TEST_F(CoreListenerWaits, ShuttingDownHandlesTheListenersMessagesMeanwhile) {
    const int before = ThreadWindow::handled;
    searchWhileTheListenerWaitsForThisThread();
    core->shutDown();
    EXPECT_EQ(ThreadWindow::handled, before + 1);
}

} // namespace
