// The search bar's settings file: a first run, a damaged file, a file without a position, and
// what the bar writes when it goes.
#include <gtest/gtest.h>

#include "core_iface/VPreferences.h"
#include "front_test_support.h"

using fronttest::SearchBarTest;

namespace {

class SearchBarSettings : public SearchBarTest {
protected:
    static CRect workArea() {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        return area;
    }
    CRect barRect() const {
        CRect rect;
        bar->GetWindowRect(&rect);
        return rect;
    }
    void expectAtTopCentre() const {
        const CRect area = workArea();
        const CRect rect = barRect();
        EXPECT_EQ(rect.top, area.top);
        EXPECT_EQ(rect.left, (area.left + area.right) / 2 - rect.Width() / 2);
    }
};

TEST_F(SearchBarSettings, WithoutAFileTheBarStartsAsAFirstRunAtTheTopCentre) {
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
}

TEST_F(SearchBarSettings, ADamagedFileGivesDefaultsAndAFirstRun) {
    folder.write("Corvantile.xml", "<Corvantile><Window AutoHide=\"false\" PosX=\"7");
    open();
    EXPECT_TRUE(bar->isFirstRun());
    EXPECT_TRUE(bar->isAutoHide());
    expectAtTopCentre();
}

TEST_F(SearchBarSettings, AFileWithoutPosXPlacesTheBarAtTheTopCentreAndStillApplies) {
    VPreferencesNode* root = VPreferencesNode::createInstance("Corvantile");
    VPreferencesNode* window = VPreferencesNode::createInstance("Window");
    window->setParam("AutoHide", false);
    window->setParam("HotKeyModifier", 1u);
    window->setParam("PosY", 300);
    VPreferencesNode* commandLine = VPreferencesNode::createInstance("CommandLine");
    commandLine->setParam("Delay", 250);
    window->addChild(commandLine);
    root->addChild(window);
    ASSERT_TRUE(VPreferences::save(settingsFile(), root));
    root->deleteThis();

    open();
    EXPECT_FALSE(bar->isFirstRun());
    EXPECT_FALSE(bar->isAutoHide());
    EXPECT_EQ(bar->getHotKeyModifier(), 1u);
    EXPECT_EQ(bar->getCommandLine().getDelay(), 250);
    expectAtTopCentre();
}

TEST_F(SearchBarSettings, TheBarSavesItsValuesAndPlaceAndOpensThereAgain) {
    open();
    bar->SetWindowPos(nullptr, 40, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    bar->getCommandLine().setDelay(320);
    bar->getList().setTwoLines(false);
    close();

    VPreferencesNode* document = VPreferences::load(settingsFile());
    ASSERT_NE(document, nullptr);
    VPreferencesNode* window = document->getChild("Corvantile")
                                   ? document->getChild("Corvantile")->getChild("Window")
                                   : nullptr;
    ASSERT_NE(window, nullptr);
    bool flag = false;
    unsigned number = 0;
    int position = 0;
    EXPECT_TRUE(window->getParam("AutoHide", flag) && flag);
    EXPECT_TRUE(window->getParam("AlwaysOnTop", flag) && flag);
    EXPECT_TRUE(window->getParam("AlwaysShowList", flag) && !flag);
    EXPECT_TRUE(window->getParam("CheckForUpdates", flag) && flag);
    EXPECT_TRUE(window->getParam("StartWithWindows", flag));
    EXPECT_TRUE(window->getParam("QuickLaunchIcon", flag));
    EXPECT_TRUE(window->getParam("HotKey", number) && number == 0x20u);
    EXPECT_TRUE(window->getParam("HotKeyModifier", number) && number == 2u);
    EXPECT_TRUE(window->getParam("PosX", position) && position == 40);
    EXPECT_TRUE(window->getParam("PosY", position) && position == 120);
    VPreferencesNode* commandLine = window->getChild("CommandLine");
    ASSERT_NE(commandLine, nullptr);
    int delay = 0;
    EXPECT_TRUE(commandLine->getParam("Delay", delay) && delay == 320);
    VPreferencesNode* list = commandLine->getChild("List");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->getParam("TwoLines", flag) && !flag);
    document->deleteThis();

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
