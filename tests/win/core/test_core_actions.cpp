// The core's actions: lookup by shortcut and name, shortcuts, defaults per property type,
// labels, which results an action takes, and the web search addresses.
#include "core/actions/StandardActions.h"
#include "core/plugins/SystemCommandsPlugin.h"
#include "core/plugins/WebSearchPlugin.h"
#include "core/elements/ItemResult.h"
#include <set>

#include "core_test_support.h"

using namespace core_test;
using namespace corvantile::core;

namespace {

class CoreActions : public CoreFixture {
protected:
    void SetUp() override {
        auto plugins = only(std::make_unique<WebSearchPlugin>());
        plugins.push_back(std::make_unique<SystemCommandsPlugin>());
        startCore(std::move(plugins), {}, false);
    }

    VAction* named(const char* name) { return core->getAction(name, false); }
};

// No shortcut is a letter alone, so every letter can start a search; a site's letter and a
// blank choose it, and its row says so.
TEST_F(CoreActions, ShortcutsAreExactAndNamesIgnoreCase) {
    VAction* google = core->getAction("g ", true);
    ASSERT_NE(google, nullptr);
    EXPECT_EQ(google->name, "Google");
    EXPECT_EQ(google->detailLine(), "g + Space  \xC2\xB7  Searches the web with Google");
    EXPECT_EQ(core->getAction("GOOGLE", false), google);
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        EXPECT_EQ(core->getAction(CString(letter), true), nullptr) << letter;
        EXPECT_EQ(core->getAction(CString(static_cast<char>(letter - 'a' + 'A')), true), nullptr);
    }
    EXPECT_EQ(core->getAction("G ", true), nullptr);
    EXPECT_EQ(core->getAction("Google", true), nullptr);
    EXPECT_EQ(core->getAction("", true), nullptr);
    EXPECT_EQ(core->getAction("no such action", false), nullptr);
}

TEST_F(CoreActions, AShortcutMovesToTheActionThatIsGivenIt) {
    VAction* google = core->getAction("g ", true);
    VAction* wikipedia = core->getAction("w ", true);
    core->setShortcut("g ", wikipedia);
    EXPECT_EQ(core->getAction("g ", true), wikipedia);
    EXPECT_EQ(core->getShortcut(wikipedia), "g ");
    EXPECT_EQ(core->getShortcut(google), "");
    EXPECT_EQ(core->getAction("w ", true), nullptr);
    EXPECT_EQ(wikipedia->detailLine(), "g + Space  \xC2\xB7  Looks the text up in Wikipedia");
    EXPECT_EQ(google->detailLine(), "Searches the web with Google");
    core->setShortcut("", wikipedia);
    EXPECT_EQ(core->getAction("g ", true), nullptr);
    core->setShortcut("wiki pedia", wikipedia);
    EXPECT_EQ(core->getAction("wiki pedia", true), wikipedia);
    EXPECT_EQ(VAction::describeShortcut("  "), "Space + Space");
}

TEST_F(CoreActions, EveryActionHasItsTextsAndIconAndIsListedOnce) {
    ASSERT_GE(core->getNumActions(), 8 + 6 + 7);
    std::set<VAction*> seen;
    for (int i = 0; i < core->getNumActions(); ++i) {
        VAction* action = core->getAction(i);
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(seen.insert(action).second) << action->name.GetString();
        EXPECT_FALSE(action->name.IsEmpty());
        EXPECT_FALSE(action->description.IsEmpty()) << action->name.GetString();
        EXPECT_NE(action->getIcon(), nullptr) << action->name.GetString();
    }
    EXPECT_EQ(core->getAction(core->getNumActions()), nullptr);
    EXPECT_EQ(core->getAction(-1), nullptr);
}

TEST_F(CoreActions, EachPropertyTypeHasItsDefaultActionAndIcon) {
    EXPECT_EQ(core->getDefaultAction(PropertyPath)->name, "Open");
    EXPECT_EQ(core->getDefaultAction(PropertyFolder)->name, "Open");
    EXPECT_EQ(core->getDefaultAction(PropertyCommandLine)->name, "Open");
    EXPECT_EQ(core->getDefaultAction(PropertyUrl)->name, "Open URL");
    EXPECT_EQ(core->getDefaultAction(PropertyText)->name, "Copy");
    EXPECT_EQ(core->getDefaultAction(PropertyNone), nullptr);
    for (PropertyType type : {PropertyName, PropertyUrl, PropertyFolder, PropertyPath,
                              PropertyCommandLine, PropertyText}) {
        EXPECT_NE(VProperty::iconForPropertyType(type), nullptr) << type;
        EXPECT_EQ(VProperty::iconForPropertyType(type), VProperty::iconForPropertyType(type));
    }
    EXPECT_NE(VProperty::iconForPropertyType(static_cast<PropertyType>(99)), nullptr);
}

TEST_F(CoreActions, LabelsSayWhatWouldHappen) {
    VProperty path(PropertyPath, "C:\\x.txt");
    EXPECT_EQ(named("Open")->getLabel(&path), "Open C:\\x.txt");
    EXPECT_EQ(named("Copy path")->getLabel(&path), "Copy C:\\x.txt");
    VProperty text(PropertyText, "x y");
    EXPECT_EQ(named("Google")->getLabel(&text), "Search Google for x y");
    EXPECT_EQ(named("Open")->getLabel(nullptr), "Open");
}

TEST_F(CoreActions, ActionsTakeTheirPropertyTypesAndResults) {
    VAction* open = named("Open");
    EXPECT_TRUE(open->isTypeSupported(PropertyPath));
    EXPECT_FALSE(open->isTypeSupported(PropertyUrl));
    EXPECT_TRUE(named("Open URL")->isTypeSupported(PropertyUrl));
    EXPECT_FALSE(named("Lock Computer")->isTypeSupported(PropertyText));

    VResult* program =
        ItemResult::create(nullptr, {VItemKind::File, "tool", "C:\\bin\\tool.exe", ""}, {});
    VResult* document =
        ItemResult::create(nullptr, {VItemKind::File, "notes", "C:\\notes.txt", ""}, {});
    VAction* runAs = named("Run as administrator");
    EXPECT_TRUE(runAs->isResultSupported(program));
    EXPECT_FALSE(runAs->isResultSupported(document));
    EXPECT_TRUE(open->isResultSupported(document));
    // A property of a type the action does not take, or an invalid one, does not run.
    VProperty url(PropertyUrl, "https://example.com/");
    EXPECT_FALSE(open->run(document, &url, ""));
    VProperty empty(PropertyPath, "");
    EXPECT_FALSE(open->run(document, &empty, ""));
    EXPECT_FALSE(open->run(document, nullptr, ""));
    program->deleteThis();
    document->deleteThis();
}

TEST_F(CoreActions, WebSearchAddressesEncodeTheText) {
    auto* google = dynamic_cast<WebSearchAction*>(named("Google"));
    ASSERT_NE(google, nullptr);
    EXPECT_EQ(google->urlFor("x y"), "https://www.google.com/search?q=x%20y");
    EXPECT_EQ(google->urlFor("  C++ & Zoë "),
              "https://www.google.com/search?q=C%2B%2B%20%26%20Zo%C3%AB");
    EXPECT_EQ(google->urlFor("   "), "https://www.google.com/");
    auto* maps = dynamic_cast<WebSearchAction*>(named("Maps"));
    ASSERT_NE(maps, nullptr);
    EXPECT_EQ(maps->urlFor("Paris/Rome"), "https://www.google.com/maps/search/Paris%2FRome");
}

TEST_F(CoreActions, DestructiveSystemCommandsAskFirst) {
    std::vector<CString> questions;
    setConfirmHook([&](const CString& question) {
        questions.push_back(question);
        return false;
    });
    for (const char* name : {"Restart", "Shut Down", "Log Off", "Empty Recycle Bin"})
        EXPECT_FALSE(named(name)->runWithText("")) << name;
    setConfirmHook(nullptr);
    EXPECT_EQ(questions.size(), 4u);
}

// Installs a stand-in browser under the shell's "App Paths" for one test.
class FakeBrowser {
public:
    FakeBrowser(const wchar_t* exe, const wchar_t* path) : m_key(kAppPaths + std::wstring(exe)) {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                       static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    ~FakeBrowser() { RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str()); }

private:
    static constexpr const wchar_t* kAppPaths =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    std::wstring m_key;
};

TEST(BrowserCommand, OpensInTheBookmarksBrowserAndItsNewWindowWhenAsked) {
    FakeBrowser chrome(L"chrome.exe", L"C:\\Fake\\chrome.exe");
    const CString url = "https://x.example/a b";
    EXPECT_EQ(browserCommandFor(url, "chrome", true),
              std::make_pair(CString("C:\\Fake\\chrome.exe"),
                             CString("--new-window \"https://x.example/a b\"")));
    EXPECT_EQ(
        browserCommandFor(url, "chrome", false),
        std::make_pair(CString("C:\\Fake\\chrome.exe"), CString("\"https://x.example/a b\"")));
    // Unknown or missing browsers, and no wish for a new window, leave it to the shell.
    EXPECT_EQ(browserCommandFor(url, "brave", false), std::make_pair(CString(), CString()));
    EXPECT_EQ(browserCommandFor(url, "", false), std::make_pair(CString(), CString()));
    EXPECT_EQ(browserCommandFor(url, "netscape", false), std::make_pair(CString(), CString()));
}

TEST(FileResults, StandForTheirFileWithItsFolderAndName) {
    VFileResult* file = VFileResult::createInstance(nullptr);
    file->setFile(CPath("C:\\windows\\system32\\notepad.exe"));
    EXPECT_EQ(file->getTitle(), "notepad.exe");
    EXPECT_EQ(file->getDetail(), "C:\\windows\\system32\\");
    ASSERT_EQ(file->getPropertyCount(), 3);
    EXPECT_EQ(file->getDefaultProperty()->type, PropertyPath);
    EXPECT_EQ(file->getProperty(1)->type, PropertyFolder);
    EXPECT_EQ(file->getProperty(2)->value, "notepad.exe");
    EXPECT_NE(file->getIcon(), nullptr);

    file->setFile(CPath("D:\\"));
    EXPECT_EQ(file->getTitle(), "D:\\");
    EXPECT_EQ(file->getPropertyCount(), 1);
    const long before = VElement::liveElements();
    file->deleteThis();
    EXPECT_EQ(VElement::liveElements(), before - 1);
}

} // namespace
