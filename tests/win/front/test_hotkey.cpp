// The search bar's global hot-key: which key it takes on a first run and later, what happens
// when the key is taken (at start: told once, then tried again until had; on a change: the old
// key stays), and what the hot-key message does; the start-up timer, which hides the bar with
// auto-hide on and tells a first run where it went; and a log-off that is cancelled.
#include <memory>
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
    std::vector<std::string> failures;
    std::vector<std::string> refusals;
    std::vector<std::string> balloons;

protected:
    void reportHotKeyFailure(const CString& keys) override { failures.emplace_back(keys); }
    void reportHotKeyRefused(const CString& refused, const CString& kept) override {
        refusals.emplace_back(refused + " kept " + kept);
    }
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

    void sendCommand(UINT id) { bar->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // Waits for the start-up timer to hide the bar.
    bool waitUntilHidden() {
        return pumpUntil([&] { return !bar->IsWindowVisible(); });
    }

    HotKeyBar* hotKeyBar = nullptr;
};

// A first run takes Ctrl+Space, or silently Alt+Space while another program holds it, and
// tells where the bar went in a balloon as it hides; a later run keeps its key, reports a taken
// one (without the balloon of a first run), and hides. The key is given back and saved at the
// end.
TEST_F(HotKey, StartUpTakesTheKeyAndHidesTheBar) {
    const struct {
        bool laterRun, ctrlSpaceTaken;
        unsigned modifier;
        std::vector<std::string> failures;
        std::vector<std::string> balloons;
    } cases[] = {
        {false, false, MOD_CONTROL, {}, {"Corvantile is auto-hidden. Hit Ctrl-Space to activate."}},
        {false, true, MOD_ALT, {}, {"Corvantile is auto-hidden. Hit Alt-Space to activate."}},
        {true, false, MOD_CONTROL, {}, {}},
        {true, true, MOD_CONTROL, {"Ctrl+Space"}, {}},
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

// A key taken at start never holds the program up: the user is told once, and the key is
// tried again (on a timer, on resume, on unlock, on a display change) until it is had. Even on
// a first run the Alt+Space fallback is for the start alone: the retries want Ctrl+Space.
TEST_F(HotKey, AKeyTakenAtStartIsToldOnceAndHadOnceFree) {
    for (const bool firstRun : {false, true}) {
        SCOPED_TRACE(testing::Message() << "first run " << firstRun);
        if (firstRun)
            SetUp();
        DeleteFileW(settingsFile().W().c_str());
        if (!firstRun)
            writeSettings({{"HotKeyModifier", "2"}});
        auto ctrl = std::make_unique<TakenHotKey>(MOD_CONTROL, VK_SPACE);
        auto alt = std::make_unique<TakenHotKey>(MOD_ALT, VK_SPACE);
        ASSERT_TRUE(ctrl->taken() && alt->taken());
        openBar();
        EXPECT_FALSE(bar->isHotKeyRegistered());
        EXPECT_EQ(bar->getHotKeyModifier(), static_cast<unsigned>(MOD_CONTROL));
        EXPECT_EQ(hotKeyBar->failures, std::vector<std::string>{"Ctrl+Space"});
        ASSERT_TRUE(waitUntilHidden());
        EXPECT_TRUE(hotKeyBar->balloons.empty()) << "no balloon naming a key that is not had";

        ctrl.reset();
        if (firstRun) {
            ASSERT_TRUE(pumpUntil([&] { return bar->isHotKeyRegistered(); }))
                << "the timer tries again";
        } else {
            bar->SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
            EXPECT_TRUE(bar->isHotKeyRegistered()) << "resuming tries again at once";
        }
        EXPECT_FALSE(isFree(MOD_CONTROL, VK_SPACE)) << "the bar holds Ctrl+Space";
        EXPECT_EQ(hotKeyBar->failures.size(), 1u) << "told once";
        EXPECT_EQ(sendHotKey(1), 1);
        EXPECT_TRUE(bar->IsWindowVisible());
        close();
    }
}

// A new key that the system refuses leaves the working one in place, says so each time, and
// is not saved.
TEST_F(HotKey, ANewKeyReplacesTheOldOneOrIsRefusedAndTheOldOneKept) {
    openBar();
    EXPECT_TRUE(bar->setHotKey('K', MOD_CONTROL | MOD_SHIFT));
    EXPECT_FALSE(isFree(MOD_CONTROL | MOD_SHIFT, 'K'));
    EXPECT_TRUE(isFree(MOD_CONTROL, VK_SPACE)) << "the old key is let go";

    TakenHotKey other(MOD_ALT, 'J');
    ASSERT_TRUE(other.taken());
    EXPECT_FALSE(bar->setHotKey('J', MOD_ALT));
    EXPECT_FALSE(bar->setHotKey('J', MOD_ALT));
    EXPECT_EQ(hotKeyBar->refusals, std::vector<std::string>(2, "Alt+J kept Ctrl+Shift+K"));
    EXPECT_EQ(bar->getHotKey(), static_cast<unsigned>('K'));
    EXPECT_EQ(bar->getHotKeyModifier(), static_cast<unsigned>(MOD_CONTROL | MOD_SHIFT));
    EXPECT_TRUE(bar->isHotKeyRegistered());
    EXPECT_FALSE(isFree(MOD_CONTROL | MOD_SHIFT, 'K')) << "the working key stays";
    close();
    EXPECT_EQ(savedSetting("Window/HotKey"), CString(std::to_string('K')));
    EXPECT_EQ(savedSetting("Window/HotKeyModifier"),
              CString(std::to_string(MOD_CONTROL | MOD_SHIFT)));
}

// A log-off asked for and then cancelled leaves the bar working; one that happens stops it.
TEST_F(HotKey, OnlyASessionThatEndsStopsTheBar) {
    open();
    bar->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    bar->SendMessage(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(isFree(MOD_CONTROL, VK_SPACE)) << "the hot-key is kept";
    type("item 0");
    EXPECT_TRUE(waitForResults()) << "searching goes on";

    bar->SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(isFree(MOD_CONTROL, VK_SPACE));
    EXPECT_FALSE(savedSetting("Window/HotKeyModifier").IsEmpty()) << "the settings were saved";
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
    EXPECT_EQ(GetActiveWindow(), bar->m_hWnd);
    EXPECT_FALSE(bar->getList().IsWindowVisible()) << "the list waits for results";

    EXPECT_EQ(sendHotKey(1), 1);
    EXPECT_TRUE(bar->IsWindowVisible());
}

TEST_F(HotKey, WhileAModalWindowRunsTheHotKeyAndTheMenusRaiseIt) {
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

    bar->setModalWindow(&sheet);
    EXPECT_EQ(sendHotKey(1), 1);
    pumpMessages();
    EXPECT_FALSE(bar->IsWindowVisible());
    EXPECT_EQ(GetForegroundWindow(), sheet.m_hWnd);
    // So do the tray's "Show" and its double-click, and the commands that would open another.
    for (const UINT command : {ID_SHOW, ID_PREFERENCES, ID_ABOUT, ID_CHECK_FOR_UPDATES}) {
        other.SetForegroundWindow();
        sendCommand(command);
        pumpMessages();
        EXPECT_FALSE(bar->IsWindowVisible()) << command;
        EXPECT_EQ(GetForegroundWindow(), sheet.m_hWnd) << command;
    }
    bar->SendMessage(CTrayDialog::kTrayNotify, CTrayDialog::kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(bar->IsWindowVisible());

    bar->setModalWindow(nullptr);
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
