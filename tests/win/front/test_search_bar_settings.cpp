// The search bar's settings file: a first run, a damaged file, a file without a position or with
// one that no monitor shows, what the bar writes while it runs and when it goes, and a file that
// cannot be written.
#include <gtest/gtest.h>

#include "core_iface/VPreferences.h"
#include "front_test_support.h"
#include "mainwnd/SettingsLocation.h"

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

TEST_F(SearchBarSettings, ChangesReachTheFileWhileTheProgramRuns) {
    open();
    // A move of the bar is kept at once.
    bar->SetWindowPos(nullptr, 60, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    bar->SendMessage(WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(savedSetting("Window/PosX"), "60");
    // Other changes within a few seconds, without the program ending.
    bar->getCommandLine().setDelay(275);
    EXPECT_TRUE(pumpUntil([&] { return savedSetting("Window/CommandLine/Delay") == "275"; }));
}

TEST_F(SearchBarSettings, AFailedSaveIsToldOnceAndAgainOnlyAfterASuccess) {
    open();
    // A file where the settings folder should be: nothing can be written below it.
    const CString blocked = folder.write("blocker", "x") + "\\Corvantile.xml";
    bar->setPrefsFile(blocked);
    bar->balloons.clear(); // the first run's own
    EXPECT_FALSE(bar->savePreferences());
    EXPECT_FALSE(bar->savePreferences());
    ASSERT_EQ(bar->balloons.size(), 1u);
    EXPECT_NE(bar->balloons[0].find("blocker"), std::string::npos) << bar->balloons[0];

    bar->setPrefsFile(settingsFile());
    EXPECT_TRUE(bar->savePreferences());
    bar->setPrefsFile(blocked);
    EXPECT_FALSE(bar->savePreferences());
    EXPECT_EQ(bar->balloons.size(), 2u);
    bar->setPrefsFile(settingsFile());
}

TEST(SettingsLocation, AProgramFolderThatCannotBeWrittenSendsTheSettingsToApplicationData) {
    TempFolder folder;
    EXPECT_EQ(settingslocation::dataFolder(folder.file("")), folder.file(""));
    const CString blocked = folder.write("blocker", "x") + "\\";
    const CString fallback = settingslocation::dataFolder(blocked);
    EXPECT_EQ(fallback, settingslocation::fallbackFolder());
    EXPECT_NE(fallback, blocked);
    EXPECT_TRUE(settingslocation::canWriteIn(fallback));
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
