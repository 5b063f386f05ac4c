// The core's settings in the preferences tree: what savePrefs writes loads back the same,
// through the preferences file; missing or damaged nodes give the defaults.
#include <cstring>

#include "core/plugins/FilesPlugin.h"
#include "core/plugins/WebSearchPlugin.h"
#include "core_iface/VPreferences.h"
#include "core_test_support.h"

using namespace core_test;
using namespace corvantile::core;

namespace {

struct Settings {
    int minSearchChars;
    bool caseSensitive, matchStartOnly, webTitlesOnly, urlDomainsOnly;
    bool openUrlInSourceBrowser, openUrlInNewWindow, liveSearching;
    COLORREF colours[3];
    std::string faces[3];
    LONG heights[3];
    LONG weights[3];
    BYTE italic;
    CString googleShortcut, wikipediaShortcut;
    std::vector<CString> folders;
    int depth;

    bool operator==(const Settings&) const = default;
};

Settings read(VCorvantileCore* core) {
    LOGFONTA fonts[3];
    core->getFont(&fonts[0]);
    core->getFont1(&fonts[1]);
    core->getFont2(&fonts[2]);
    auto* files = dynamic_cast<FilesPlugin*>(core->pluginManager->getPlugin(1));
    return {core->minSearchChars,
            core->caseSensitive,
            core->matchStartOnly,
            core->webTitlesOnly,
            core->urlDomainsOnly,
            core->openUrlInSourceBrowser,
            core->openUrlInNewWindow,
            core->liveSearching,
            {core->fontColor, core->font1Color, core->font2Color},
            {fonts[0].lfFaceName, fonts[1].lfFaceName, fonts[2].lfFaceName},
            {fonts[0].lfHeight, fonts[1].lfHeight, fonts[2].lfHeight},
            {fonts[0].lfWeight, fonts[1].lfWeight, fonts[2].lfWeight},
            fonts[1].lfItalic,
            core->getShortcut(core->getAction("Google", false)),
            core->getShortcut(core->getAction("Wikipedia", false)),
            files ? files->settings().folders : std::vector<CString>{},
            files ? files->settings().depth : -1};
}

class CorePrefs : public CoreFixture {
protected:
    void SetUp() override { restart(); }

    void restart() {
        stopCore();
        auto plugins = only(std::make_unique<WebSearchPlugin>());
        plugins.push_back(std::make_unique<FilesPlugin>());
        startCore(std::move(plugins), {}, false);
    }

    void changeEverything() {
        core->minSearchChars = 3;
        core->caseSensitive = true;
        core->matchStartOnly = true;
        core->webTitlesOnly = true;
        core->urlDomainsOnly = true;
        core->openUrlInSourceBrowser = true;
        core->openUrlInNewWindow = true;
        core->setLiveSearching(true);
        LOGFONTA font{};
        font.lfHeight = -13;
        font.lfWeight = FW_SEMIBOLD;
        font.lfItalic = TRUE;
        font.lfCharSet = DEFAULT_CHARSET;
        strcpy(font.lfFaceName, "Zoë Sans");
        core->setFont1(&font);
        font.lfHeight = -17;
        font.lfUnderline = TRUE;
        core->setFont(&font);
        core->font1Color = RGB(10, 20, 30);
        core->fontColor = RGB(200, 0, 0);
        core->setShortcut("g ", core->getAction("Wikipedia", false));
        auto* files = dynamic_cast<FilesPlugin*>(core->pluginManager->getPlugin(1));
        FilesSettings settings = files->settings();
        settings.folders = {"C:\\Projects", "D:\\Fotos Zoë"};
        settings.depth = 7;
        files->setSettings(settings);
    }
};

TEST_F(CorePrefs, SavedSettingsLoadBackThroughTheFile) {
    const Settings defaults = read(core);
    changeEverything();
    const Settings changed = read(core);
    ASSERT_NE(changed, defaults);
    EXPECT_EQ(changed.googleShortcut, "");
    EXPECT_EQ(changed.wikipediaShortcut, "g ");

    VPreferencesNode* root = VPreferencesNode::createInstance("Corvantile");
    core->savePrefs(root);
    // Saving twice replaces the core's nodes instead of adding more.
    core->savePrefs(root);
    EXPECT_EQ(root->getChildCount(), 1);
    // A folder name outside the ANSI code page, as user profiles have.
    TempFolder folder("corvantile Zoë 日本");
    const CString file = folder.file("Corvantile.xml");
    ASSERT_TRUE(VPreferences::save(file, root));
    root->deleteThis();

    restart();
    EXPECT_EQ(read(core), defaults);
    VPreferencesNode* loaded = VPreferences::load(file);
    ASSERT_NE(loaded, nullptr);
    core->loadPrefs(loaded->getChild("Corvantile"));
    loaded->deleteThis();
    EXPECT_EQ(read(core), changed);
    // The roles' font objects follow their descriptions.
    LOGFONTA actual{};
    ASSERT_TRUE(core->font1.GetLogFont(&actual));
    EXPECT_STREQ(actual.lfFaceName, "Zoë Sans");
    EXPECT_EQ(actual.lfHeight, -13);
    ASSERT_TRUE(core->font.GetLogFont(&actual));
    EXPECT_EQ(actual.lfHeight, -17);
    EXPECT_TRUE(actual.lfUnderline);
}

TEST_F(CorePrefs, MissingOrDamagedNodesGiveDefaults) {
    const Settings defaults = read(core);
    changeEverything();
    core->loadPrefs(nullptr);
    EXPECT_EQ(read(core), defaults);

    changeEverything();
    VPreferencesNode* root = VPreferencesNode::createInstance("Corvantile");
    core->loadPrefs(root);
    EXPECT_EQ(read(core), defaults);

    changeEverything();
    VPreferencesNode* coreNode = VPreferencesNode::createInstance("Core");
    coreNode->setParam("MinSearchChars", "many");
    coreNode->setParam("CaseSensitive", "perhaps");
    coreNode->setParam("LiveSearching", "1");
    VPreferencesNode* fonts = VPreferencesNode::createInstance("Fonts");
    VPreferencesNode* line1 = VPreferencesNode::createInstance("Line1");
    line1->setParam("FaceName", "");
    line1->setParam("Height", 0);
    line1->setParam("Color", "red");
    fonts->addChild(line1);
    coreNode->addChild(fonts);
    VPreferencesNode* usage = VPreferencesNode::createInstance("Usage");
    usage->setParam("Data", "\x01garbage\nmore garbage");
    coreNode->addChild(usage);
    root->addChild(coreNode);
    core->loadPrefs(root);
    root->deleteThis();
    Settings expected = defaults;
    expected.liveSearching = true;
    EXPECT_EQ(read(core), expected);
}

// The web sites' letters alone were once their shortcuts: a file of those days gets the new
// ones, while what the user chose stays; only the user's choices are written.
TEST_F(CorePrefs, AnOldFileGetsTheNewShortcutsAndKeepsTheUsersOwn) {
    VPreferencesNode* root = VPreferencesNode::createInstance("Corvantile");
    VPreferencesNode* coreNode = VPreferencesNode::createInstance("Core");
    VPreferencesNode* shortcuts = VPreferencesNode::createInstance("Shortcuts");
    shortcuts->setParam("web.google", "g");
    shortcuts->setParam("web.wikipedia", "wp");
    shortcuts->setParam("web.maps", "");
    shortcuts->setParam("web.bing", "b ");
    coreNode->addChild(shortcuts);
    root->addChild(coreNode);
    core->loadPrefs(root);
    root->deleteThis();
    const auto shortcutOf = [&](const char* name) {
        return core->getShortcut(core->getAction(name, false));
    };
    EXPECT_EQ(shortcutOf("Google"), "g ");
    EXPECT_EQ(shortcutOf("Wikipedia"), "wp");
    EXPECT_EQ(shortcutOf("Maps"), "");
    EXPECT_EQ(shortcutOf("Bing"), "b ");

    root = VPreferencesNode::createInstance("Corvantile");
    core->savePrefs(root);
    const VPreferencesNode* saved = root->getChild("Core")->getChild("Shortcuts");
    ASSERT_NE(saved, nullptr);
    CString value;
    EXPECT_FALSE(saved->getParam("web.google", value));
    EXPECT_FALSE(saved->getParam("web.bing", value));
    EXPECT_TRUE(saved->getParam("web.wikipedia", value) && value == "wp");
    EXPECT_TRUE(saved->getParam("web.maps", value) && value.IsEmpty());
    root->deleteThis();
}

} // namespace
