// The search bar's global hot-key: which key it takes on a first run and later, what happens
// when the key is taken, and what the hot-key message does; and the start-up timer, which
// hides the bar with auto-hide on and tells a first run where it went.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core_iface/VPreferences.h"
#include "front_test_support.h"
#include "res/resource.h"

using fronttest::SearchBarTest;

namespace {

// The bar, counting the hot-key failures it would tell the user about.
class HotKeyBar : public fronttest::TestSearchBar {
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
        fronttest::pumpMessages();
    }
    // A settings file from an earlier run, so the bar starts as no first run.
    void writeEarlierSettings(unsigned modifier, bool autoHide = true, bool showList = false) {
        VPreferencesNode* root = VPreferencesNode::createInstance("Corvantile");
        VPreferencesNode* window = VPreferencesNode::createInstance("Window");
        window->setParam("HotKeyModifier", modifier);
        window->setParam("AutoHide", autoHide);
        window->setParam("AlwaysShowList", showList);
        root->addChild(window);
        ASSERT_TRUE(VPreferences::save(settingsFile(), root));
        root->deleteThis();
    }
    unsigned savedModifier() {
        unsigned modifier = 0;
        VPreferencesNode* document = VPreferences::load(settingsFile());
        if (!document)
            return modifier;
        VPreferencesNode* corvantile = document->getChild("Corvantile");
        VPreferencesNode* window = corvantile ? corvantile->getChild("Window") : nullptr;
        if (window)
            window->getParam("HotKeyModifier", modifier);
        document->deleteThis();
        return modifier;
    }
    LRESULT sendHotKey(WPARAM id) {
        return bar->SendMessage(WM_HOTKEY, id, MAKELPARAM(MOD_CONTROL, VK_SPACE));
    }

    // Waits for the start-up timer to hide the bar.
    bool waitUntilHidden() {
        return fronttest::pumpUntil([&] { return !bar->IsWindowVisible(); });
    }

    HotKeyBar* hotKeyBar = nullptr;
};

TEST_F(HotKey, AFirstRunTakesCtrlSpaceWhenFreeAndGivesItBackAtTheEnd) {
    ASSERT_TRUE(isFree(MOD_CONTROL, VK_SPACE));
    openBar();
    EXPECT_EQ(bar->getHotKeyModifier(), static_cast<unsigned>(MOD_CONTROL));
    EXPECT_FALSE(isFree(MOD_CONTROL, VK_SPACE)) << "the bar holds Ctrl+Space";
    EXPECT_EQ(hotKeyBar->failures, 0);
    close();
    EXPECT_TRUE(isFree(MOD_CONTROL, VK_SPACE));
    EXPECT_EQ(savedModifier(), static_cast<unsigned>(MOD_CONTROL));
}

TEST_F(HotKey, AFirstRunFallsBackToAltSpaceSilentlyAndSavesIt) {
    TakenHotKey other(MOD_CONTROL, VK_SPACE);
    ASSERT_TRUE(other.taken());
    openBar();
    EXPECT_EQ(bar->getHotKeyModifier(), static_cast<unsigned>(MOD_ALT));
    EXPECT_FALSE(isFree(MOD_ALT, VK_SPACE));
    EXPECT_EQ(hotKeyBar->failures, 0);
    close();
    EXPECT_EQ(savedModifier(), static_cast<unsigned>(MOD_ALT));
}

TEST_F(HotKey, ALaterRunKeepsItsKeyAndReportsWhenItIsTaken) {
    writeEarlierSettings(MOD_CONTROL);
    TakenHotKey other(MOD_CONTROL, VK_SPACE);
    ASSERT_TRUE(other.taken());
    openBar();
    EXPECT_FALSE(bar->isFirstRun());
    EXPECT_EQ(bar->getHotKeyModifier(), static_cast<unsigned>(MOD_CONTROL));
    EXPECT_EQ(hotKeyBar->failures, 1);
    EXPECT_TRUE(isFree(MOD_ALT, VK_SPACE)) << "no fallback after the first run";
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
    fronttest::pumpUntil(
        [&] { return bar->IsWindowVisible() && GetFocus() == bar->getCommandLine().m_hWnd; });
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
    fronttest::pumpMessages();
    EXPECT_FALSE(bar->IsWindowVisible());
    EXPECT_EQ(GetForegroundWindow(), sheet.m_hWnd);

    bar->setPrefsSheet(nullptr);
    sendHotKey(1);
    EXPECT_TRUE(bar->IsWindowVisible());
}

TEST_F(HotKey, AFirstRunHidesAtOnceAndItsBalloonNamesCtrlSpace) {
    openBar();
    ASSERT_TRUE(waitUntilHidden());
    EXPECT_FALSE(bar->getList().IsWindowVisible());
    ASSERT_EQ(hotKeyBar->balloons.size(), 1u);
    EXPECT_EQ(hotKeyBar->balloons[0], "Corvantile is auto-hidden. Hit Ctrl-Space to activate.");
}

TEST_F(HotKey, AFirstRunWithAltSpaceNamesAltSpaceInItsBalloon) {
    TakenHotKey other(MOD_CONTROL, VK_SPACE);
    openBar();
    ASSERT_TRUE(waitUntilHidden());
    ASSERT_EQ(hotKeyBar->balloons.size(), 1u);
    EXPECT_EQ(hotKeyBar->balloons[0], "Corvantile is auto-hidden. Hit Alt-Space to activate.");
}

TEST_F(HotKey, ALaterRunHidesWithoutABalloon) {
    writeEarlierSettings(MOD_CONTROL);
    openBar();
    ASSERT_TRUE(waitUntilHidden());
    EXPECT_TRUE(hotKeyBar->balloons.empty());
}

TEST_F(HotKey, WithoutAutoHideTheBarStaysAndTheListShowsWhenAlwaysShown) {
    writeEarlierSettings(MOD_CONTROL, false, true);
    openBar();
    ASSERT_TRUE(fronttest::pumpUntil([&] { return bar->getList().IsWindowVisible(); }));
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
