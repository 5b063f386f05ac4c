// The search bar's settings file: a first run, a damaged file, a file without a position or with
// one that no monitor shows, and what the bar writes when it goes.
#include <gtest/gtest.h>

#include "core_iface/VPreferences.h"
#include "front_test_support.h"

using namespace fronttest;

namespace {

class SearchBarSettings : public SearchBarTest {
protected:
    void expectAtTopCentre() const {
        const CRect area = workArea();
        const CRect rect = barRect();
        EXPECT_EQ(rect.top, area.top);
        EXPECT_EQ(rect.left, (area.left + area.right) / 2 - rect.Width() / 2);
    }
};

TEST_F(SearchBarSettings, WithoutAUsableFileTheBarStartsAsAFirstRunAtTheTopCentre) {
    for (const char* contents : {"", "<Corvantile><Window AutoHide=\"false\" PosX=\"7"}) {
        SCOPED_TRACE(*contents ? "a damaged file" : "no file");
        if (*contents) {
            SetUp(); // a fresh core for the second start
            folder.write("Corvantile.xml", contents);
        }
        open();
        EXPECT_TRUE(bar->isFirstRun());
        EXPECT_TRUE(bar->isAutoHide());
        EXPECT_FALSE(bar->isAlwaysShowList());
        EXPECT_EQ(bar->getHotKey(), 0x20u);
        EXPECT_EQ(bar->getHotKeyModifier(), static_cast<unsigned>(MOD_CONTROL));
        EXPECT_EQ(bar->getCommandLine().getDelay(), 500);
        expectAtTopCentre();
        EXPECT_TRUE(bar->IsWindowVisible());
        EXPECT_EQ(text(), "") << "\"Loading...\" is gone once the settings are read";
        close();
        DeleteFileW(settingsFile().W().c_str());
    }
}

TEST_F(SearchBarSettings, AFileWithoutPosXPlacesTheBarAtTheTopCentreAndStillApplies) {
    writeSettings({{"AutoHide", "false"}, {"HotKeyModifier", "1"}, {"PosY", "300"}}, "250");
    open();
    EXPECT_FALSE(bar->isFirstRun());
    EXPECT_FALSE(bar->isAutoHide());
    EXPECT_EQ(bar->getHotKeyModifier(), 1u);
    EXPECT_EQ(bar->getCommandLine().getDelay(), 250);
    expectAtTopCentre();
}

TEST_F(SearchBarSettings, APlaceThatNoMonitorShowsGivesWayToThePrimaryTopCentre) {
    FakeMonitors monitors;
    monitors.add({-1280, -200, 0, 824});
    monitors.add({0, 0, 1280, 800}, 40, USER_DEFAULT_SCREEN_DPI, true);
    const auto expectAtPrimaryTopCentre = [this] {
        const CRect rect = barRect();
        EXPECT_EQ(rect.TopLeft(), CPoint(640 - rect.Width() / 2, 0));
    };

    writeSettings({{"PosX", "5000"}, {"PosY", "4000"}, {"AutoHide", "false"}});
    open();
    expectAtPrimaryTopCentre();
    EXPECT_FALSE(bar->isAutoHide()) << "the other keys still apply";
    close();

    SetUp();
    writeSettings({{"PosX", "-900"}, {"PosY", "300"}});
    open();
    EXPECT_EQ(barRect().TopLeft(), CPoint(-900, 300)) << "the second monitor shows it";

    // The second monitor goes away: the bar comes back to the primary one.
    monitors.list.erase(monitors.list.begin());
    bar->SendMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 800));
    expectAtPrimaryTopCentre();
    bar->SendMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 800));
    expectAtPrimaryTopCentre();
}

TEST_F(SearchBarSettings, TheBarSavesItsValuesAndPlaceAndOpensThereAgain) {
    open();
    bar->SetWindowPos(nullptr, 40, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    bar->getCommandLine().setDelay(320);
    bar->getList().setTwoLines(false);
    close();

    const std::pair<const char*, const char*> saved[] = {
        {"Window/AutoHide", "true"},
        {"Window/AlwaysOnTop", "true"},
        {"Window/AlwaysShowList", "false"},
        {"Window/CheckForUpdates", "true"},
        {"Window/HotKey", "32"},
        {"Window/HotKeyModifier", "2"},
        {"Window/PosX", "40"},
        {"Window/PosY", "120"},
        {"Window/CommandLine/Delay", "320"},
        {"Window/CommandLine/List/TwoLines", "false"},
    };
    for (const auto& [key, value] : saved)
        EXPECT_EQ(savedSetting(key), CString(value)) << key;
    EXPECT_NE(savedSetting("Window/StartWithWindows"), "");
    EXPECT_NE(savedSetting("Window/QuickLaunchIcon"), "");

    SetUp(); // a fresh core for the second start
    open();
    EXPECT_FALSE(bar->isFirstRun());
    EXPECT_EQ(barRect().TopLeft(), CPoint(40, 120));
    EXPECT_EQ(bar->getCommandLine().getDelay(), 320);
    EXPECT_FALSE(bar->getList().isTwoLines());
}

TEST_F(SearchBarSettings, TheEndOfTheSessionSavesOnce) {
    open();
    bar->SendMessage(WM_ENDSESSION, TRUE, 0);
    VPreferencesNode* saved = VPreferences::load(settingsFile());
    ASSERT_NE(saved, nullptr);
    saved->deleteThis();
    DeleteFileW(settingsFile().W().c_str());
    close();
    EXPECT_EQ(GetFileAttributesW(settingsFile().W().c_str()), INVALID_FILE_ATTRIBUTES)
        << "the destruction that follows saves nothing more";
}

} // namespace
