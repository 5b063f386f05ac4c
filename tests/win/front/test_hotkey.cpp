// The search bar's global hot-key: which key it takes on a first run and later, what happens
// when the key is taken, and what the hot-key message does; and the start-up timer, which
// hides the bar with auto-hide on and tells a first run where it went.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "front_test_support.h"
#include "res/resource.h"

using namespace fronttest;

namespace {

// The bar, counting the hot-key failures it would tell the user about.
class HotKeyBar : public TestSearchBar {
public:
    int failures = 0;
    std::vector<std::string> balloons;

protected:
    void reportHotKeyFailure() override { ++failures; }
    void showTrayBalloon(const char* text) override { balloons.emplace_back(text); }
};

// Holds a key combination for as long as it lives, as another program would.
class TakenHotKey {
public:
    TakenHotKey(UINT modifier, UINT key) {
        CWnd::CreateArgs args;
        args.style = WS_POPUP;
        m_window.CreateEx(args);
        m_taken = RegisterHotKey(m_window.m_hWnd, 7, modifier, key);
    }
    ~TakenHotKey() {
        if (m_taken)
            UnregisterHotKey(m_window.m_hWnd, 7);
    }
    bool taken() const { return m_taken; }

private:
    CWnd m_window;
    bool m_taken = false;
};

// True when nobody holds the combination now.
bool isFree(UINT modifier, UINT key) {
    TakenHotKey probe(modifier, key);
    return probe.taken();
}

class HotKey : public SearchBarTest {
protected:
    void openBar() {
        auto* created = new HotKeyBar;
        bar.reset(created);
        hotKeyBar = created;
        bar->setPrefsFile(settingsFile());
        ASSERT_TRUE(bar->Create(IDD_CORVANTILE_DIALOG, nullptr));
        pumpMessages();
    }
    LRESULT sendHotKey(WPARAM id) {
        return bar->SendMessage(WM_HOTKEY, id, MAKELPARAM(MOD_CONTROL, VK_SPACE));
    }

    // Waits for the start-up timer to hide the bar.
    bool waitUntilHidden() {
        return pumpUntil([&] { return !bar->IsWindowVisible(); });
    }

    HotKeyBar* hotKeyBar = nullptr;
};

// A first run takes Ctrl+Space, or silently Alt+Space while another program holds it, and
// tells where the bar went in a balloon as it hides; a later run keeps its key, reports a taken
// one, and hides without a word. The key is given back and saved at the end.
TEST_F(HotKey, StartUpTakesTheKeyAndHidesTheBar) {
    const struct {
        bool laterRun, ctrlSpaceTaken;
        unsigned modifier;
        int failures;
        std::vector<std::string> balloons;
    } cases[] = {
        {false, false, MOD_CONTROL, 0, {"Corvantile is auto-hidden. Hit Ctrl-Space to activate."}},
        {false, true, MOD_ALT, 0, {"Corvantile is auto-hidden. Hit Alt-Space to activate."}},
        {true, false, MOD_CONTROL, 0, {}},
        {true, true, MOD_CONTROL, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "later run " << c.laterRun << ", Ctrl+Space taken " << c.ctrlSpaceTaken);
        if (&c != &cases[0])
            SetUp(); // a fresh core for each start after the first
        DeleteFileW(settingsFile().W().c_str());
        if (c.laterRun)
            writeSettings({{"HotKeyModifier", "2"}});
        {
            std::optional<TakenHotKey> other;
            if (c.ctrlSpaceTaken)
                ASSERT_TRUE(other.emplace(MOD_CONTROL, VK_SPACE).taken());
            openBar();
            EXPECT_EQ(bar->isFirstRun(), !c.laterRun);
            EXPECT_EQ(bar->getHotKeyModifier(), c.modifier);
            EXPECT_EQ(hotKeyBar->failures, c.failures);
            EXPECT_EQ(isFree(MOD_ALT, VK_SPACE), c.modifier != MOD_ALT) << "no other key is held";
            ASSERT_TRUE(waitUntilHidden());
            EXPECT_FALSE(bar->getList().IsWindowVisible());
            EXPECT_EQ(hotKeyBar->balloons, c.balloons);
            if (!c.ctrlSpaceTaken)
                EXPECT_FALSE(isFree(MOD_CONTROL, VK_SPACE)) << "the bar holds Ctrl+Space";
            close();
        }
        EXPECT_TRUE(isFree(c.modifier, VK_SPACE)) << "the key is given back";
        EXPECT_EQ(savedSetting("Window/HotKeyModifier"), CString(std::to_string(c.modifier)));
    }
}

TEST_F(HotKey, ANewKeyReplacesTheOldOneOrIsReportedOncePerAttempt) {
    openBar();
    bar->setHotKey('K', MOD_CONTROL | MOD_SHIFT);
    EXPECT_FALSE(isFree(MOD_CONTROL | MOD_SHIFT, 'K'));
    EXPECT_TRUE(isFree(MOD_CONTROL, VK_SPACE)) << "the old key is let go";

    TakenHotKey other(MOD_ALT, 'J');
    ASSERT_TRUE(other.taken());
    bar->setHotKey('J', MOD_ALT);
    bar->setHotKey('J', MOD_ALT);
    EXPECT_EQ(hotKeyBar->failures, 2);
    EXPECT_EQ(bar->getHotKey(), static_cast<unsigned>('J'));
    EXPECT_EQ(bar->getHotKeyModifier(), static_cast<unsigned>(MOD_ALT)) << "kept, to be saved";
    EXPECT_TRUE(isFree(MOD_CONTROL | MOD_SHIFT, 'K'));
}

TEST_F(HotKey, TheHotKeyShowsTheBarWithTheFocusInTheEditBoxAndNeverHidesIt) {
    openBar();
    bar->hideWindows();
    ASSERT_FALSE(bar->IsWindowVisible());
    EXPECT_EQ(sendHotKey(2), 0) << "only id 1 is the bar's";
    EXPECT_FALSE(bar->IsWindowVisible());

    EXPECT_EQ(sendHotKey(1), 1);
    // Showing and focusing go through the display server: wait for both to arrive.
    pumpUntil([&] { return bar->IsWindowVisible() && GetFocus() == bar->getCommandLine().m_hWnd; });
    EXPECT_TRUE(bar->IsWindowVisible());
    EXPECT_EQ(GetFocus(), bar->getCommandLine().m_hWnd);
    EXPECT_FALSE(bar->getList().IsWindowVisible()) << "the list waits for results";

    EXPECT_EQ(sendHotKey(1), 1);
    EXPECT_TRUE(bar->IsWindowVisible());
}

TEST_F(HotKey, WhileThePreferencesRunTheHotKeyRaisesThemInstead) {
    openBar();
    bar->hideWindows();
    CWnd sheet;
    CWnd::CreateArgs args;
    args.style = WS_POPUP | WS_VISIBLE;
    args.SetRect(CRect(10, 10, 200, 200));
    ASSERT_TRUE(sheet.CreateEx(args));
    CWnd other;
    args.SetRect(CRect(300, 10, 400, 100));
    ASSERT_TRUE(other.CreateEx(args));
    other.SetForegroundWindow();

    bar->setPrefsSheet(&sheet);
    EXPECT_EQ(sendHotKey(1), 1);
    pumpMessages();
    EXPECT_FALSE(bar->IsWindowVisible());
    EXPECT_EQ(GetForegroundWindow(), sheet.m_hWnd);

    bar->setPrefsSheet(nullptr);
    sendHotKey(1);
    EXPECT_TRUE(bar->IsWindowVisible());
}

TEST_F(HotKey, WithoutAutoHideTheBarStaysAndTheListShowsWhenAlwaysShown) {
    writeSettings({{"HotKeyModifier", "2"}, {"AutoHide", "false"}, {"AlwaysShowList", "true"}});
    openBar();
    ASSERT_TRUE(pumpUntil([&] { return bar->getList().IsWindowVisible(); }));
    EXPECT_TRUE(bar->IsWindowVisible());
    EXPECT_TRUE(hotKeyBar->balloons.empty());

    bar->setAlwaysShowList(false);
    EXPECT_FALSE(bar->getList().IsWindowVisible()) << "an empty list goes";
    bar->setAutoHide(true);
    EXPECT_FALSE(bar->IsWindowVisible());
    bar->setAutoHide(false);
    EXPECT_TRUE(bar->IsWindowVisible());
    EXPECT_FALSE(bar->getList().IsWindowVisible());
}

} // namespace
