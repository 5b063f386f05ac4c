// The built-in plug-ins: programs from shortcuts, bookmarks of the browsers' profiles and
// Favorites, and files under the configured folders.
#include <algorithm>
#include <string>

#include "core/plugins/BookmarksPlugin.h"
#include "core/plugins/FilesPlugin.h"
#include "core/plugins/ProgramsPlugin.h"
#include "core_iface/CShellLink.h"
#include "core_iface/VPreferences.h"
#include "core_test_support.h"

using namespace core_test;
using namespace corvantile::core;

namespace {

class CorePlugins : public CoreFixture {
protected:
    // The places of a test: this Start Menu folder alone, nothing of the system's.
    static ProgramPlaces menuOnly(const CString& folder) {
        return {std::vector<CString>{folder}, std::vector<std::pair<HKEY, CString>>{}, CString(),
                [] { return std::vector<PackagedApp>{}; }};
    }
    static std::unique_ptr<ProgramsPlugin> programsIn(ProgramPlaces places,
                                                      const ProgramsSettings& settings = {}) {
        auto plugin = std::make_unique<ProgramsPlugin>();
        plugin->setPlaces(std::move(places));
        plugin->setSettings(settings);
        return plugin;
    }

    // The properties of the first result of a search, as "type=value" texts.
    std::vector<std::string> propertiesOfFirst(const CString& query) {
        results.keepResults = true;
        const auto kept = results.keptResults(searchAndWait(query));
        std::vector<std::string> properties;
        if (kept.empty())
            return properties;
        for (int i = 0; i < kept[0]->getPropertyCount(); ++i) {
            const VProperty* property = kept[0]->getProperty(i);
            properties.push_back(std::to_string(property->type) + "=" + property->value.str());
        }
        return properties;
    }
};

// A program is found by its shortcut's name (outside the ANSI code page too), with the link and
// its target as properties, and is listed once however many places link it; other files are no
// programs. (The Start Menu's own folders are read in the end-to-end test.)
TEST_F(CorePlugins, ShortcutsGiveTheirProgramsOnce) {
    TempFolder menu;
    CreateDirectoryW((menu.text() + "\\Accessories").W().c_str(), nullptr);
    CShellLinkInfo info;
    info.m_strTarget = "C:\\windows\\system32\\notepad.exe";
    // The first link is saved twice: the second save replaces the file.
    for (const char* place : {"\\Zebrafish Zoë.lnk", "\\Zebrafish Zoë.lnk",
                              "\\Accessories\\Zebrafish Zoë.lnk", "\\Other.lnk"}) {
        CShellLink writer;
        ASSERT_TRUE(writer.Create(info));
        ASSERT_TRUE(writer.Save(menu.text() + place));
    }
    menu.write("readme.txt", "not a program");
    startCore(only(programsIn(menuOnly(menu.text()))));

    EXPECT_EQ(results.titles(searchAndWait("zebrafish")), std::vector<CString>{"Zebrafish Zoë"});
    EXPECT_TRUE(results.titles(searchAndWait("readme")).empty());
    const auto properties = propertiesOfFirst("zebrafish zoe");
    ASSERT_GE(properties.size(), 2u);
    EXPECT_EQ(properties[0].rfind("4=" + menu.text().str(), 0), 0u) << properties[0];
    EXPECT_TRUE(properties[0].ends_with("\\Zebrafish Zoë.lnk")) << properties[0];
    EXPECT_EQ(properties[1], "5=C:\\windows\\system32\\notepad.exe");
}

// PATH values as users and installers leave them: quotes, variables, trailing backslashes,
// repeats in another case, relative and empty entries.
TEST(ProgramSources, PathFoldersAreWholeAndListedOnce) {
    SetEnvironmentVariableW(L"CORVANTILE_TOOLS", L"D:\\Werkzeug Zoë");
    EXPECT_EQ(splitPathFolders("\"C:\\Program Files\\Fotó 2024\";;C:\\Windows\\;bin;"
                               "%CORVANTILE_TOOLS%\\x64;c:\\windows;\\\\server\\share\\"),
              (std::vector<CString>{"C:\\Program Files\\Fotó 2024", "C:\\Windows",
                                    "D:\\Werkzeug Zoë\\x64", "\\\\server\\share"}));
    EXPECT_TRUE(splitPathFolders("").empty());
}

// The system's places besides the Start Menu: a shortcut and the same program on PATH or under
// App Paths are one result under the shortcut's name; the first PATH folder holding a name wins;
// registrations of missing files are left out; each place can be switched off.
TEST_F(CorePlugins, ProgramsOfAppPathsPathAndAppsFolderAreListedOnce) {
    TempFolder places("corvantile Фото 2024");
    const CString tool = places.write("bin1\\Zebu Tool.exe", "MZ");
    places.write("bin1\\zebu snap.msc", "<xml/>");
    places.write("bin1\\zebu batch.cmd", "@echo off");
    places.write("bin1\\zebu notes.txt", "not a program");
    places.write("bin2\\Zebu Tool.exe", "MZ");
    const CString daten = places.write("bin2\\Ångström Daten.exe", "MZ");
    CreateDirectoryW(places.file("menu").W().c_str(), nullptr);
    CShellLinkInfo info;
    info.m_strTarget = tool;
    CShellLink writer;
    ASSERT_TRUE(writer.Create(info));
    ASSERT_TRUE(writer.Save(places.file("menu\\Zebu Launcher.lnk")));

    const CString key =
        "Software\\Corvantile Tests\\App Paths " + CString(std::to_string(GetCurrentProcessId()));
    const auto registerProgram = [&](const char* name, const CString& path) {
        const std::wstring subkey = (key + "\\" + name).W();
        const std::wstring value = path.W();
        return RegSetKeyValueW(HKEY_CURRENT_USER, subkey.c_str(), nullptr, REG_SZ, value.c_str(),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    ASSERT_EQ(registerProgram("zebu pad.exe", "\"" + daten + "\""), ERROR_SUCCESS);
    ASSERT_EQ(registerProgram("zebu gone.exe", places.file("bin1\\gone.exe")), ERROR_SUCCESS);
    ASSERT_EQ(registerProgram("zebu tool.exe", tool), ERROR_SUCCESS);
    struct KeyRemover {
        std::wstring key;
        ~KeyRemover() { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }
    } remover{key.W()};

    const ProgramPlaces all{
        std::vector<CString>{places.file("menu")},
        std::vector<std::pair<HKEY, CString>>{{HKEY_CURRENT_USER, key}},
        "relative;" + places.file("bin1") + ";\"" + places.file("bin2") + "\"", [] {
            return std::vector<PackagedApp>{{"Zebu Store", "Zebu.Store_8wekyb3d8bbwe!App"}};
        }};
    const auto registered = readAppPaths(HKEY_CURRENT_USER, key);
    ASSERT_EQ(registered.size(), 2u);
    EXPECT_EQ(registered[0].name, "zebu pad");
    EXPECT_EQ(registered[0].path, daten);

    auto plugin = programsIn(all);
    ProgramsPlugin* programs = plugin.get();
    startCore(only(std::move(plugin)));
    const auto found = [&](const ProgramsSettings& settings) {
        programs->setSettings(settings);
        core->updateCache();
        auto titles = results.titles(searchAndWait("zebu"));
        auto more = results.titles(searchAndWait("daten"));
        titles.insert(titles.end(), more.begin(), more.end());
        std::sort(titles.begin(), titles.end());
        return titles;
    };
    EXPECT_EQ(found({}),
              (std::vector<CString>{"Zebu Launcher", "Zebu Store", "zebu pad", "zebu snap.msc"}));
    const auto store = propertiesOfFirst("zebu store");
    ASSERT_GE(store.size(), 2u);
    EXPECT_EQ(store[0], "4=shell:AppsFolder\\Zebu.Store_8wekyb3d8bbwe!App");
    EXPECT_EQ(store[1], "5=shell:AppsFolder\\Zebu.Store_8wekyb3d8bbwe!App");

    ProgramsSettings settings;
    settings.startMenu = false;
    settings.appPaths = false;
    settings.appsFolder = false;
    settings.scripts = true;
    EXPECT_EQ(found(settings), (std::vector<CString>{"Zebu Tool", "zebu batch.cmd", "zebu snap.msc",
                                                     "Ångström Daten"}));
    EXPECT_EQ(propertiesOfFirst("zebu tool")[0], "4=" + tool.str()) << "the first folder wins";
    settings.path = false;
    EXPECT_TRUE(found(settings).empty());
}

// Each place has its check box in the plug-in's dialog; OK applies what is ticked.
TEST_F(CorePlugins, TheProgramsDialogSwitchesThePlaces) {
    auto plugin = programsIn(menuOnly(cacheFolder.text()));
    ProgramsPlugin* programs = plugin.get();
    startCore(only(std::move(plugin)));
    ASSERT_TRUE(programs->isConfigurable());
    const auto clickThenPress = [](std::vector<int> boxes, int button) {
        return [boxes, button] {
            const HWND dialog = wintest::shownDialog(L"Programs");
            if (!dialog)
                return false;
            for (int box : boxes)
                SendMessageW(GetDlgItem(dialog, box), BM_CLICK, 0, 0);
            PostMessageW(dialog, WM_COMMAND, button, 0);
            return true;
        };
    };
    {
        const wintest::ModalDriver driver(clickThenPress({101, 103}, IDCANCEL));
        programs->configure(nullptr);
    }
    EXPECT_EQ(programs->settings(), ProgramsSettings{});
    {
        const wintest::ModalDriver driver(clickThenPress({102, 103, 104, 105}, IDOK));
        programs->configure(nullptr);
    }
    ProgramsSettings expected;
    expected.appPaths = expected.path = expected.appsFolder = false;
    expected.scripts = true;
    EXPECT_EQ(programs->settings(), expected);
}

// The places switched off are remembered; a missing node turns them all on again.
TEST(ProgramsSettings, LoadBackAsSaved) {
    ProgramsPlugin plugin;
    ProgramsSettings settings;
    settings.path = false;
    settings.scripts = true;
    plugin.setSettings(settings);
    VPreferencesNode* node = VPreferencesNode::createInstance("Programs");
    plugin.saveSettings(node);
    plugin.setSettings({});
    plugin.loadSettings(node);
    node->deleteThis();
    EXPECT_EQ(plugin.settings(), settings);
    plugin.loadSettings(nullptr);
    EXPECT_EQ(plugin.settings(), ProgramsSettings{});
}

class BookmarkSearch : public CorePlugins {
protected:
    void SetUp() override {
        CorePlugins::SetUp();
        const char* chrome = R"({"roots": {"bookmark_bar": {"type": "folder", "children": [
            {"type": "url", "name": "Rust Language", "url": "https://www.rust-lang.org/learn"},
            {"type": "url", "name": "Kitchen Recipes", "url": "https://cooking.example/rust-free-pans"}
        ]}}})";
        const char* second = R"({"roots": {"other": {"type": "folder", "children": [
            {"type": "url", "name": "Zoë's Blog", "url": "https://zoe.example/"}]}}})";
        const char* edge = R"({"roots": {"other": {"type": "folder", "children": [
            {"type": "url", "name": "Edge Docs", "url": "https://docs.example.com/"}]}}})";
        local.write("Google/Chrome/User Data/Default/Bookmarks", chrome);
        local.write("Google/Chrome/User Data/Profile 1/Bookmarks", second);
        local.write("Google/Chrome/User Data/Profile 2/Bookmarks", "{ damaged");
        local.write("Microsoft/Edge/User Data/Default/Bookmarks", edge);
        favorites.write("Links/Old Portal.url",
                        "[InternetShortcut]\r\nURL=http://portal.example/\r\n");
        favorites.write("notes.txt", "not a favorite");
        auto plugin = std::make_unique<BookmarksPlugin>();
        plugin->setFolders(local.text(), favorites.text());
        startCore(only(std::move(plugin)));
    }

    TempFolder local;
    TempFolder favorites;
};

TEST_F(BookmarkSearch, EveryProfileAndFavoritesGiveTheirTitlesAndAddresses) {
    EXPECT_EQ(propertiesOfFirst("rust language"),
              (std::vector<std::string>{"2=https://www.rust-lang.org/learn", "1=Rust Language"}));
    EXPECT_EQ(results.titles(searchAndWait("zoe")), std::vector<CString>{"Zoë's Blog"});
    EXPECT_EQ(results.titles(searchAndWait("edge docs")), std::vector<CString>{"Edge Docs"});
    EXPECT_EQ(propertiesOfFirst("old portal"),
              (std::vector<std::string>{"2=http://portal.example/", "1=Old Portal"}));
    EXPECT_TRUE(results.titles(searchAndWait("notes")).empty());
}

TEST_F(BookmarkSearch, AddressesAreSearchedUnlessTitlesOnly) {
    // "rust" is in the address of the recipes, and in the title of the other one.
    EXPECT_EQ(results.titles(searchAndWait("rust")).size(), 2u);
    core->urlDomainsOnly = true;
    EXPECT_EQ(results.titles(searchAndWait("rust")), std::vector<CString>{"Rust Language"});
    EXPECT_EQ(results.titles(searchAndWait("cooking")), std::vector<CString>{"Kitchen Recipes"});
    core->urlDomainsOnly = false;
    core->webTitlesOnly = true;
    EXPECT_EQ(results.titles(searchAndWait("rust")), std::vector<CString>{"Rust Language"});
    EXPECT_TRUE(results.titles(searchAndWait("cooking")).empty());
}

TEST_F(CorePlugins, FilesFollowFoldersExtensionsAndDepth) {
    // Paths are searched too: the names use letters that the temporary folder's path lacks.
    TempFolder data;
    data.write("xylo.txt", "x");
    data.write("xylo.pdf", "x");
    data.write("bok/gwy/whiz.txt", "x");
    data.write("bok/fjord.txt", "x");
    auto plugin = std::make_unique<FilesPlugin>();
    FilesPlugin* files = plugin.get();
    FilesSettings settings;
    settings.folders = {data.text()};
    settings.extensions = FilesSettings::parseExtensions("*.TXT");
    settings.depth = 1;
    settings.includeFolders = false;
    files->setSettings(settings);
    startCore(only(std::move(plugin)));

    EXPECT_EQ(results.titles(searchAndWait("xylo")), std::vector<CString>{"xylo.txt"});
    EXPECT_EQ(results.titles(searchAndWait("fjord")), std::vector<CString>{"fjord.txt"});
    EXPECT_TRUE(results.titles(searchAndWait("whiz")).empty());

    settings.depth = 2;
    settings.includeFolders = true;
    files->setSettings(settings);
    core->updateCache();
    EXPECT_EQ(results.titles(searchAndWait("whiz")), std::vector<CString>{"whiz.txt"});
    const auto folders = results.titles(searchAndWait("gwy"));
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.front(), "gwy");
}

TEST(FilesSettings, ExtensionsAndSettingsRoundTrip) {
    EXPECT_EQ(FilesSettings::parseExtensions(" txt; .PDF,*.docx  txt;;"),
              (std::vector<CString>{"txt", "pdf", "docx"}));
    FilesSettings settings;
    settings.extensions = {"txt"};
    EXPECT_TRUE(settings.wantsFile("A.TXT"));
    EXPECT_FALSE(settings.wantsFile("a.txt.bak"));
    EXPECT_FALSE(settings.wantsFile("txt"));

    FilesPlugin plugin;
    FilesSettings chosen;
    chosen.folders = {"C:\\Data", "D:\\Zoë"};
    chosen.extensions = {"txt", "md"};
    chosen.depth = 99;
    chosen.includeFolders = false;
    plugin.setSettings(chosen);
    VPreferencesNode* node = VPreferencesNode::createInstance("FilesAndFolders");
    plugin.saveSettings(node);
    FilesPlugin other;
    other.loadSettings(node);
    node->deleteThis();
    const FilesSettings loaded = other.settings();
    EXPECT_EQ(loaded.folders, chosen.folders);
    EXPECT_EQ(loaded.extensions, chosen.extensions);
    EXPECT_EQ(loaded.depth, FilesSettings::kMaxDepth);
    EXPECT_FALSE(loaded.includeFolders);

    other.loadSettings(nullptr);
    EXPECT_EQ(other.settings().folders.size(), 2u) << "the Desktop and Documents by default";
}

TEST_F(CorePlugins, TheFilesDialogChangesTheSettingsAndTheIndexFollows) {
    TempFolder data;
    data.write("qwyxz.txt", "x");
    auto plugin = std::make_unique<FilesPlugin>();
    FilesPlugin* files = plugin.get();
    FilesSettings settings;
    settings.folders = {"C:\\nowhere"};
    files->setSettings(settings);
    startCore(only(std::move(plugin)));
    ASSERT_TRUE(files->isConfigurable());

    // Fills in the dialog once it shows and closes it with button.
    const CString folder = data.text();
    const auto answer = [&folder](int button) {
        return [&folder, button] {
            const HWND dialog = wintest::shownDialog(L"Files and Folders");
            if (!dialog)
                return false;
            SetDlgItemTextW(dialog, 101, (folder + "\r\n\r\n").W().c_str());
            SetDlgItemTextW(dialog, 103, L".txt; md");
            SetDlgItemInt(dialog, 104, 2, FALSE);
            PostMessageW(dialog, WM_COMMAND, button, 0);
            return true;
        };
    };
    {
        const wintest::ModalDriver driver(answer(IDCANCEL));
        files->configure(nullptr);
    }
    EXPECT_EQ(files->settings().folders, std::vector<CString>{"C:\\nowhere"});

    const int scansBefore = core->impl().search.scanCount();
    {
        const wintest::ModalDriver driver(answer(IDOK));
        files->configure(nullptr);
    }
    const FilesSettings chosen = files->settings();
    EXPECT_EQ(chosen.folders, std::vector<CString>{folder});
    EXPECT_EQ(chosen.extensions, (std::vector<CString>{"txt", "md"}));
    EXPECT_EQ(chosen.depth, 2);

    // The change rebuilds the index in the background.
    for (int i = 0; i < 3000 && core->impl().search.scanCount() == scansBefore; ++i)
        Sleep(10);
    EXPECT_EQ(results.titles(searchAndWait("qwyxz")), std::vector<CString>{"qwyxz.txt"});
}

} // namespace
