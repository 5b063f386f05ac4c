// The Preferences window and its General page: what it shows of the current settings, what OK
// writes back (and Cancel does not), the hot-key box and the key names it shows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "core_iface/VCorvantileCore.h"
#include "front_test_support.h"
#include "prefs/PrefsPageGeneral.h"
#include "res/resource.h"

using namespace fronttest;

namespace {

TEST(PrefsKeyNames, TheTableNamesKeysAndOthersShowAsTheirCharacter) {
    const std::pair<UINT, const char*> cases[] = {
        {0x41, "A"},     {0x5A, "Z"},        {0x35, "5"},         {0x65, "5"},      {0x09, "Tab"},
        {0x20, "Space"}, {0x70, "F1"},       {0x87, "F24"},       {0x5B, "Win"},    {0x5C, "Win"},
        {0x6D, "-"},     {0xA2, "LControl"}, {0xFE, "OEM_CLEAR"}, {0x0D, "Return"},
    };
    for (const auto& [key, name] : cases)
        EXPECT_EQ(PrefsPageGeneral::getKeyName(key), name) << std::hex << key;
    EXPECT_EQ(PrefsPageGeneral::getKeyName(0x141), CString('A')) << "outside the table's range";
}

// Punctuation keys show the character they type on the keyboard's layout (here the US one),
// and a code that types nothing shows as its number, never as a broken character.
TEST(PrefsKeyNames, PunctuationKeysShowTheirOwnCharacter) {
    const std::pair<UINT, const char*> cases[] = {
        {VK_OEM_1, ";"},      {VK_OEM_PLUS, "="}, {VK_OEM_COMMA, ","}, {VK_OEM_MINUS, "-"},
        {VK_OEM_PERIOD, "."}, {VK_OEM_2, "/"},    {VK_OEM_3, "`"},     {VK_OEM_4, "["},
        {VK_OEM_5, "\\"},     {VK_OEM_6, "]"},    {VK_OEM_7, "'"},
    };
    for (const auto& [key, name] : cases)
        EXPECT_EQ(PrefsPageGeneral::getKeyName(key), name) << std::hex << key;
    EXPECT_EQ(PrefsPageGeneral::getKeyName(0xE8), "0xE8");
}

class Preferences : public SearchBarTest {
protected:
    // Runs the Preferences from the menu; steps are called, one a tick, once the window shows
    // (each with the sheet and its page), and the last one should end it.
    void runPreferences(std::vector<std::function<void(HWND sheet, HWND page)>> steps) {
        std::size_t next = 0;
        const ModalDriver driver([&] {
            const HWND sheet = shownDialog(L"Preferences");
            if (!sheet)
                return false;
            const HWND page = FindWindowExW(sheet, nullptr, L"#32770", nullptr);
            steps[next++](sheet, page);
            return next == steps.size();
        });
        bar->SendMessage(WM_COMMAND, ID_PREFERENCES, 0);
        EXPECT_EQ(next, steps.size()) << "the Preferences ended before every step ran";
    }
    static bool checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
    static void click(HWND page, int id) { SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); }
    static void press(HWND sheet, int id) { PostMessageW(sheet, WM_COMMAND, id, 0); }
    // The sheet's tree of pages, and its item for the page with this index.
    static std::pair<HWND, HTREEITEM> pageItem(HWND sheet, int index) {
        const HWND tree = FindWindowExW(sheet, nullptr, WC_TREEVIEWW, nullptr);
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (int i = 0; i < index; ++i)
            item = reinterpret_cast<HTREEITEM>(
                SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
        return {tree, item};
    }
    // Shows the page with this index through the sheet's tree; returns its window.
    static HWND showPage(HWND sheet, int index) {
        const auto [tree, item] = pageItem(sheet, index);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        HWND page = nullptr;
        while ((page = FindWindowExW(sheet, page, L"#32770", nullptr)) && !IsWindowVisible(page)) {
        }
        return page;
    }
    // The text of the message box that shows now, answered with button; "" when none shows.
    static CString answerMessageBox(int button = IDOK) {
        const auto boxes = wintest::answerMessageBoxes(button);
        return boxes.empty() ? CString() : CString(boxes[0].text);
    }
    // Selects a row of a list view, as a click would.
    static void selectRow(HWND list, int row) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        SendMessageW(list, LVM_SETITEMSTATE, row >= 0 ? row : WPARAM(-1),
                     reinterpret_cast<LPARAM>(&state));
    }
    static CString cellText(HWND list, int row, int column) {
        wchar_t text[128] = L"";
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = text;
        cell.cchTextMax = 128;
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
        return CString(text);
    }
    static int rowOf(HWND list, const wchar_t* name) {
        LVFINDINFOW find{};
        find.flags = LVFI_STRING;
        find.psz = name;
        return static_cast<int>(
            SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
    }
};

TEST_F(Preferences, TheGeneralPageShowsTheCurrentSettingsInATreeOfPages) {
    open();
    bar->getList().setShowIcons(false);
    VCorvantileCore::instance()->openUrlInSourceBrowser = true;
    runPreferences({[&](HWND sheet, HWND page) {
        const auto [tree, first] = pageItem(sheet, 0);
        wchar_t caption[32] = L"";
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = first;
        item.pszText = caption;
        item.cchTextMax = 32;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(CString(caption), "General");
        EXPECT_EQ(checked(page, IDC_PREFS_AUTOHIDE), bar->isAutoHide());
        EXPECT_EQ(checked(page, IDC_PREFS_ALWAYS_SHOW_LIST), bar->isAlwaysShowList());
        EXPECT_FALSE(checked(page, IDC_PREFS_SHOW_ICONS));
        EXPECT_EQ(checked(page, IDC_PREFS_TWO_LINES), bar->getList().isTwoLines());
        EXPECT_TRUE(checked(page, IDC_PREFS_CHECK_UPDATES));
        EXPECT_TRUE(checked(page, IDC_PREFS_URL_SOURCE_BROWSER));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PREFS_URL_NEW_WINDOW)));
        EXPECT_EQ(dialogItemText(page, IDC_PREFS_HOTKEY), "Space");
        EXPECT_TRUE(checked(page, IDC_PREFS_CTRL));
        EXPECT_FALSE(checked(page, IDC_PREFS_ALT) || checked(page, IDC_PREFS_SHIFT) ||
                     checked(page, IDC_PREFS_WIN));
        EXPECT_EQ(GetParent(GetNextDlgTabItem(sheet, tree, FALSE)), page)
            << "Tab goes from the tree into the page";
        EXPECT_EQ(GetDlgItem(sheet, 9), nullptr) << "no Help button";
        EXPECT_EQ(GetDlgItem(sheet, 0x3021), nullptr) << "no Apply button";
        // Unticking the box that sends URLs back to their browser frees the new-window box.
        click(page, IDC_PREFS_URL_SOURCE_BROWSER);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PREFS_URL_NEW_WINDOW)));
        click(page, IDC_PREFS_SHOW_ICONS);
        press(sheet, IDCANCEL);
    }});
    EXPECT_EQ(bar->getModalWindow(), nullptr);
    EXPECT_FALSE(bar->getList().isShowIcons()) << "Cancel writes nothing";
    EXPECT_TRUE(VCorvantileCore::instance()->openUrlInSourceBrowser);
}

TEST_F(Preferences, OkWritesEveryBoxToItsOwner) {
    open();
    ASSERT_TRUE(bar->isAutoHide());
    // A page never shown writes nothing.
    VCorvantileCore::instance()->minSearchChars = 4;
    runPreferences({[&](HWND sheet, HWND page) {
        EXPECT_EQ(bar->getModalWindow()->m_hWnd, sheet);
        click(page, IDC_PREFS_AUTOHIDE);
        click(page, IDC_PREFS_ALWAYS_SHOW_LIST);
        click(page, IDC_PREFS_SHOW_ICONS);
        click(page, IDC_PREFS_TWO_LINES);
        click(page, IDC_PREFS_CHECK_UPDATES);
        click(page, IDC_PREFS_URL_NEW_WINDOW);
        press(sheet, IDOK);
    }});
    EXPECT_FALSE(bar->isAutoHide());
    EXPECT_TRUE(bar->IsWindowVisible()) << "auto-hide off shows the bar";
    EXPECT_TRUE(bar->isAlwaysShowList());
    EXPECT_TRUE(bar->getList().IsWindowVisible());
    EXPECT_FALSE(bar->getList().isShowIcons());
    EXPECT_FALSE(bar->getList().isTwoLines());
    EXPECT_FALSE(bar->isCheckForUpdates());
    EXPECT_TRUE(VCorvantileCore::instance()->openUrlInNewWindow);
    EXPECT_EQ(VCorvantileCore::instance()->minSearchChars, 4);
    VCorvantileCore::instance()->openUrlInNewWindow = false;
    VCorvantileCore::instance()->minSearchChars = 1;
}

TEST_F(Preferences, OkWithAutoHideAndAlwaysShowListLeavesNoListBehindTheHiddenBar) {
    open();
    ASSERT_TRUE(bar->isAutoHide());
    runPreferences({[&](HWND sheet, HWND page) {
        click(page, IDC_PREFS_ALWAYS_SHOW_LIST);
        press(sheet, IDOK);
    }});
    EXPECT_TRUE(bar->isAlwaysShowList());
    EXPECT_FALSE(bar->IsWindowVisible());
    EXPECT_FALSE(bar->getList().IsWindowVisible()) << "an empty list without its bar";
    bar->showWindows();
    EXPECT_TRUE(bar->getList().IsWindowVisible()) << "the list comes back with the bar";
}

// Keys pressed in the box become the key, modifier keys alone do not, and Tab is a key too;
// the modifiers come from their boxes.
TEST_F(Preferences, TheHotKeyBoxTakesTheKeyAndOkRegistersItWithTheTickedModifiers) {
    open();
    HWND box = nullptr;
    CString shown;
    runPreferences({
        [&](HWND, HWND page) {
            box = GetDlgItem(page, IDC_PREFS_HOTKEY);
            SetFocus(box);
            PostMessageW(box, WM_KEYDOWN, 'K', 0);
            PostMessageW(box, WM_CHAR, 'k', 0);
            PostMessageW(box, WM_KEYUP, 'K', 0);
            PostMessageW(box, WM_KEYDOWN, VK_CONTROL, 0);
        },
        [&](HWND, HWND) {
            shown = dialogItemText(GetParent(box), IDC_PREFS_HOTKEY);
            PostMessageW(box, WM_KEYDOWN, VK_TAB, 0);
        },
        [&](HWND sheet, HWND page) {
            EXPECT_EQ(dialogItemText(page, IDC_PREFS_HOTKEY), "Tab");
            EXPECT_EQ(GetFocus(), box) << "Tab stays in the box";
            PostMessageW(box, WM_KEYDOWN, 'K', 0);
            click(page, IDC_PREFS_CTRL);
            click(page, IDC_PREFS_ALT);
            click(page, IDC_PREFS_SHIFT);
            press(sheet, IDOK);
        },
    });
    EXPECT_EQ(shown, "K");
    EXPECT_EQ(bar->getHotKey(), UINT{'K'});
    EXPECT_EQ(bar->getHotKeyModifier(), UINT{MOD_ALT | MOD_SHIFT});
}

// A punctuation key taken in the box is kept as its code in the settings file, which names it
// as the box showed it.
TEST_F(Preferences, APunctuationHotKeyKeepsItsNameThroughTheSettings) {
    open();
    CString shown;
    runPreferences({
        [&](HWND, HWND page) {
            const HWND box = GetDlgItem(page, IDC_PREFS_HOTKEY);
            SetFocus(box);
            PostMessageW(box, WM_KEYDOWN, VK_OEM_2, 0);
        },
        [&](HWND sheet, HWND page) {
            shown = dialogItemText(page, IDC_PREFS_HOTKEY);
            press(sheet, IDOK);
        },
    });
    close();
    const CString saved = savedSetting("Window/HotKey");
    EXPECT_EQ(saved, "191");
    EXPECT_EQ(shown, "/");
    EXPECT_EQ(PrefsPageGeneral::getKeyName(std::atoi(saved)), "/");
}

// The Searching page is made when first shown; a minimum outside 1 to 10 keeps the sheet open
// with a message, and OK then writes every control.
TEST_F(Preferences, TheSearchingPageChecksTheMinimumAndWritesItsSettingsOnOk) {
    open();
    VCorvantileCore* core = VCorvantileCore::instance();
    core->webTitlesOnly = true;
    HWND page = nullptr;
    CString message;
    runPreferences({
        [&](HWND sheet, HWND) {
            page = showPage(sheet, 1);
            ASSERT_NE(page, nullptr);
            EXPECT_TRUE(checked(page, IDC_PREFS_OFFLINE));
            EXPECT_TRUE(checked(page, IDC_PREFS_WEB_TITLES_ONLY));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PREFS_URL_DOMAINS_ONLY)));
            EXPECT_EQ(dialogItemText(page, IDC_PREFS_MIN_CHARS),
                      std::to_string(core->minSearchChars).c_str());
            EXPECT_EQ(SendDlgItemMessageW(page, IDC_PREFS_DELAY, TBM_GETPOS, 0, 0),
                      bar->getCommandLine().getDelay());
            click(page, IDC_PREFS_WEB_TITLES_ONLY);
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PREFS_URL_DOMAINS_ONLY)));
            click(page, IDC_PREFS_URL_DOMAINS_ONLY);
            click(page, IDC_PREFS_CASE_SENSITIVE);
            click(page, IDC_PREFS_ACTIONS_AFTER_SPACE);
            click(page, IDC_PREFS_REAL_TIME);
            SendDlgItemMessageW(page, IDC_PREFS_DELAY, TBM_SETPOS, TRUE, 1000);
            SetDlgItemTextW(page, IDC_PREFS_MIN_CHARS, L"11");
            press(sheet, IDOK);
        },
        [&](HWND, HWND) { message = answerMessageBox(); },
        [&](HWND sheet, HWND) {
            EXPECT_TRUE(IsWindowVisible(sheet)) << "the sheet stays open";
            SetDlgItemTextW(page, IDC_PREFS_MIN_CHARS, L"3");
            press(sheet, IDOK);
        },
    });
    EXPECT_EQ(message, "Please enter an integer between 1 and 10.");
    EXPECT_FALSE(core->webTitlesOnly);
    EXPECT_TRUE(core->urlDomainsOnly);
    EXPECT_TRUE(core->caseSensitive);
    EXPECT_TRUE(bar->isMatchActionsAfterSpace());
    EXPECT_TRUE(core->liveSearching);
    EXPECT_EQ(bar->getCommandLine().getDelay(), 1000);
    EXPECT_EQ(core->minSearchChars, 3);
    core->setLiveSearching(false);
    core->caseSensitive = core->urlDomainsOnly = false;
    core->minSearchChars = 1;
}

// Shortcuts are exact texts: one an action holds already is only moved when the user agrees,
// an empty one takes the shortcut away, and only OK writes them to the core.
TEST_F(Preferences, TheShortcutsPageAsksBeforeTakingAShortcutFromAnotherAction) {
    auto blip = std::make_unique<TestAction>("Blip");
    VAction* other = blip.get();
    core->registerAction(std::move(blip));
    open();
    core->setShortcut("bb", other);
    HWND page = nullptr, list = nullptr;
    CString question;
    const auto assign = [&](const wchar_t* text) {
        SetDlgItemTextW(page, IDC_PREFS_SHORTCUT, text);
        PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_PREFS_ASSIGN, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_PREFS_ASSIGN)));
    };
    runPreferences({
        [&](HWND sheet, HWND) {
            page = showPage(sheet, 2);
            list = GetDlgItem(page, IDC_PREFS_ACTION_LIST);
            EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), core->getNumActions());
            EXPECT_EQ(cellText(list, rowOf(list, L"Blip"), 1), "bb");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PREFS_SHORTCUT)));
            selectRow(list, rowOf(list, L"Frob"));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PREFS_SHORTCUT)));
            assign(L"bb");
        },
        [&](HWND, HWND) { question = answerMessageBox(IDNO); },
        [&](HWND, HWND) {
            EXPECT_EQ(cellText(list, rowOf(list, L"Frob"), 1), "");
            EXPECT_EQ(cellText(list, rowOf(list, L"Blip"), 1), "bb");
            assign(L"bb");
        },
        [&](HWND, HWND) { answerMessageBox(IDYES); },
        [&](HWND, HWND) {
            EXPECT_EQ(cellText(list, rowOf(list, L"Frob"), 1), "bb");
            EXPECT_EQ(cellText(list, rowOf(list, L"Blip"), 1), "");
            // Another case is another shortcut: nothing to ask.
            selectRow(list, rowOf(list, L"Blip"));
            assign(L"BB");
        },
        [&](HWND sheet, HWND) {
            EXPECT_EQ(answerMessageBox(), "");
            EXPECT_EQ(core->getShortcut(other), "bb") << "nothing reaches the core before OK";
            press(sheet, IDOK);
        },
    });
    EXPECT_EQ(question, "bb is already assigned to \"Blip\".\nDo you want to replace it?");
    EXPECT_EQ(core->getShortcut(action), "bb");
    EXPECT_EQ(core->getShortcut(other), "BB");
}

// A plug-in that counts the calls of its configuration.
class ConfigurablePlugin : public ItemsPlugin {
public:
    ConfigurablePlugin() : ItemsPlugin({}) {}
    CString getName() override { return "Configurable"; }
    bool isConfigurable() override { return true; }
    void configure(HWND parent) override {
        ++configured;
        configuredWith = parent;
    }
    int configured = 0;
    HWND configuredWith = nullptr;
};

TEST_F(Preferences, ThePluginsPageConfiguresOnlyAConfigurablePlugin) {
    auto plugin = std::make_unique<ConfigurablePlugin>();
    ConfigurablePlugin* configurable = plugin.get();
    core->registerPlugin(std::move(plugin));
    open();
    HWND page = nullptr;
    runPreferences({
        [&](HWND sheet, HWND) {
            page = showPage(sheet, 3);
            const HWND list = GetDlgItem(page, IDC_PREFS_PLUGIN_LIST);
            const HWND button = GetDlgItem(page, IDC_PREFS_CONFIGURE);
            EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0),
                      core->pluginManager->getNumPlugins());
            const int items = rowOf(list, L"Test items");
            EXPECT_EQ(cellText(list, items, 1), "Items for tests");
            EXPECT_EQ(cellText(list, items, 2), "Tests");
            EXPECT_FALSE(IsWindowEnabled(button));
            selectRow(list, items);
            EXPECT_FALSE(IsWindowEnabled(button));
            selectRow(list, rowOf(list, L"Configurable"));
            EXPECT_TRUE(IsWindowEnabled(button));
            SendMessageW(button, BM_CLICK, 0, 0);
            selectRow(list, -1);
            EXPECT_FALSE(IsWindowEnabled(button));
            press(sheet, IDOK);
        },
    });
    EXPECT_EQ(configurable->configured, 1);
    EXPECT_EQ(configurable->configuredWith, page);
}

// A font button runs the system's font chooser on its role's font: Cancel changes nothing,
// OK hands the font to the core at once, and Cancel of the Preferences does not take it back.
TEST_F(Preferences, AFontButtonEditsItsRolesFontInTheCoreAtOnce) {
    open();
    VCorvantileCore* core = VCorvantileCore::instance();
    LOGFONTA before{};
    core->getFont1(&before);
    core->font1Color = RGB(10, 20, 30);
    int chooserAnswers = 0;
    const auto answerChooser = [&](int button) {
        return [&chooserAnswers, button](HWND, HWND) {
            if (const HWND chooser = FindWindowW(L"#32770", L"Font")) {
                ++chooserAnswers;
                PostMessageW(chooser, WM_COMMAND, button, 0);
            }
        };
    };
    runPreferences({
        // The click returns once the chooser has ended; the next step runs meanwhile.
        [&](HWND, HWND page) { click(page, IDC_PREFS_FONT1); },
        answerChooser(IDCANCEL),
        [&](HWND, HWND page) { click(page, IDC_PREFS_FONT1); },
        answerChooser(IDOK),
        [&](HWND sheet, HWND) { press(sheet, IDCANCEL); },
    });
    EXPECT_EQ(chooserAnswers, 2);
    LOGFONTA after{};
    core->getFont1(&after);
    EXPECT_STREQ(after.lfFaceName, before.lfFaceName);
    EXPECT_EQ(after.lfHeight, before.lfHeight);
    EXPECT_EQ(core->font1Color, RGB(10, 20, 30));
}

} // namespace
