// Helpers of the front end's window tests: elements with known contents that record how they
// were drawn, a host for the results list (an owner window with an edit box), the search bar
// run with a core of test items.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "choosers/VActionListCtrl.h"
#include "common/win_test_support.h"
#include "core_iface/VElement.h"
#include "framework/CEdit.h"
#include "framework/MonitorList.h"
#include "mainwnd/CorvantileDlg.h"
#include "resultlist/VElementListCtrl.h"
#include "ui/OwnerMessages.h"

class VCorvantileCore;

namespace fronttest {

using wintest::dialogItemText;
using wintest::ItemsPlugin;
using wintest::ModalDriver;
using wintest::pumpFor;
using wintest::pumpMessages;
using wintest::pumpUntil;
using wintest::shownDialog;
using wintest::TempFolder;
using wintest::TestAction;

// What an element was asked to draw, last time.
struct DrawCall {
    int calls = 0;
    bool twoLines = false;
    RECT row{};
    RECT icon{};
    RECT line0{};
    RECT line1{};
    bool selected = false;
    bool showIcons = false;
};

// A result (element type 1) whose first property is a path, or with the properties a test gives
// it (the first is the default one); freed by deleteThis.
class TestResult : public VResult {
public:
    static TestResult* create(const char* title, const char* path = "C:\\x.txt");
    static TestResult* create(std::vector<std::pair<PropertyType, const char*>> properties);

    // Shared between the window thread that paints and the test that reads.
    DrawCall lastDraw() const;

    void drawTwoLines(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                      const RECT* line1, bool selected, bool showIcons) override;
    void drawOneLine(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0, bool selected,
                     bool showIcons) override;

protected:
    explicit TestResult(const char* title) { m_title = title; }
    HICON loadIcon(bool& ownIcon) override;

private:
    mutable std::mutex m_mutex;
    DrawCall m_draw;
};

// An element the core keeps (element type 0 or 2): the list only borrows it.
class BorrowedElement : public VElement {
public:
    explicit BorrowedElement(int type = 0) : m_type(type) {}
    ~BorrowedElement() override = default;

    int deletes = 0;

    void deleteThis() override { ++deletes; }
    HICON getIcon() override { return nullptr; }
    int getElementType() override { return m_type; }
    void drawTwoLines(CDC*, const RECT*, const RECT*, const RECT*, const RECT*, bool,
                      bool) override {}
    void drawOneLine(CDC*, const RECT*, const RECT*, const RECT*, bool, bool) override {}

private:
    int m_type;
};

// Adds count results to the list, one batch of all or each on its own.
void addResults(VElementListCtrl& list, int count, bool batch = true);

// Stands in for the search bar: records the choices the lists send it.
class RecordingOwner : public CWnd {
public:
    struct Choice {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Choice> choices;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A top-level window standing in for the search bar, with an edit box, and a results list
// created below it. The list starts in one-line mode with rows of 18 pixels (16-pixel icons).
class ListHost {
public:
    explicit ListHost(bool twoLines = false);
    ~ListHost();
    ListHost(const ListHost&) = delete;
    ListHost& operator=(const ListHost&) = delete;

    RecordingOwner owner;
    CEdit edit;
    VElementListCtrl list;

    VActionListCtrl& actions() { return *list.getActionList(); }
    VPropertyListCtrl& properties() { return actions().getPropertyList(); }
    CRect ownerRect() const;
    CRect listRect() const;
    CRect listClient() const;
};

// The search bar, counting the text changes its edit box reports and keeping the balloons it
// would show.
class TestSearchBar : public CCorvantileDlg {
public:
    int textChanges = 0;
    std::vector<std::string> balloons;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void showTrayBalloon(const char* text) override { balloons.emplace_back(text); }
};

// Tests of the search bar run it with a core of test items ("item 00" to "item 29", a file
// "report.txt") and the action "Frob", its settings file in a folder of its own.
class SearchBarTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the bar (modeless), builds the core's index and, once the start-up timer ran,
    // brings the bar up.
    void open();
    // Destroys the bar, which saves its settings and stops the core.
    void close();
    CString settingsFile() const { return folder.file("Corvantile.xml"); }
    // Writes a settings file as an earlier run would have, with these "Window" keys (values
    // as text) and a "CommandLine" node.
    void writeSettings(const std::vector<std::pair<const char*, const char*>>& window,
                       const char* delay = nullptr);
    // A key of the saved settings below "Corvantile", such as "Window/PosX"; "" when missing.
    CString savedSetting(const char* path);
    CString text();
    CRect barRect() const;
    static CRect workArea();
    // Waits until the list shows results.
    bool waitForResults();
    // Types: changes the edit box's text as the user would (not quietly), caret at the end.
    void type(const char* text);
    // Posts a key to the edit box and handles it as the program's loop would.
    void pressKey(UINT key, bool control = false);
    // Waits until the edit box reported n text changes in all.
    bool waitForTextChanges(int n);

    TempFolder folder;
    // Where the bar's update check reads: by default an address nothing answers at.
    CString versionFileUrl = "http://127.0.0.1:9/curversion.dat";
    VCorvantileCore* core = nullptr;
    TestAction* action = nullptr; // owned by the core
    std::unique_ptr<TestSearchBar> bar;
};

// Stands in for the desktop's monitors while it lives: windows see these instead.
class FakeMonitors : public MonitorList {
public:
    FakeMonitors() { MonitorList::install(this); }
    ~FakeMonitors() override { MonitorList::install(nullptr); }
    FakeMonitors(const FakeMonitors&) = delete;
    FakeMonitors& operator=(const FakeMonitors&) = delete;

    // Adds a monitor; its work area is the monitor less a task bar of taskBar pixels at the
    // bottom.
    void add(const RECT& monitor, int taskBar = 0, UINT dpi = USER_DEFAULT_SCREEN_DPI,
             bool primary = false);
    std::vector<MonitorInfo> monitors() const override { return list; }

    std::vector<MonitorInfo> list;
};

// Whether browser_pages.sh runs the test, with a stand-in for the browser; the tests that open
// a browser run only then.
inline bool browserStubbed() {
    return GetEnvironmentVariableW(L"CORVANTILE_BROWSER_STUB", nullptr, 0) != 0;
}
// Marks the Ctrl key as held (or not) for this thread's key handling.
void holdControl(bool down);

} // namespace fronttest
