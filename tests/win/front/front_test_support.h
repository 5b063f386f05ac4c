// Helpers of the front end's window tests: elements with known contents that record how they
// were drawn, a host for the results list (an owner window with an edit box), and message
// pumping with a bound on time.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "core_iface/VElement.h"
#include "core_iface/VPlugin.h"
#include "framework/CEdit.h"
#include "mainwnd/CorvantileDlg.h"
#include "resultlist/VElementListCtrl.h"

class VCorvantileCore;

namespace fronttest {

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

// A result (element type 1) whose first property is a path; freed by deleteThis.
class TestResult : public VResult {
public:
    static TestResult* create(const char* title, const char* path = "C:\\x.txt");

    // Shared between the window thread that paints and the test that reads.
    DrawCall lastDraw() const;

    void drawTwoLines(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                      const RECT* line1, bool selected, bool showIcons) override;
    void drawOneLine(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0, bool selected,
                     bool showIcons) override;

protected:
    TestResult(const char* title, const char* path);
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

// A top-level window standing in for the search bar, with an edit box, and a results list
// created below it. The list starts in one-line mode with rows of 18 pixels (16-pixel icons).
class ListHost {
public:
    explicit ListHost(bool twoLines = false);
    ~ListHost();

    CWnd owner;
    CEdit edit;
    VElementListCtrl list;

    CRect ownerRect() const;
    CRect listRect() const;
    CRect listClient() const;
};

// A plug-in whose scan gives the same items every time.
class ItemsPlugin : public VPlugin {
public:
    explicit ItemsPlugin(std::vector<VItem> items) : m_items(std::move(items)) {}

    CString getName() override { return "Test items"; }
    CString getDescription() override { return "Items for the front end's tests"; }
    CString getAuthor() override { return "Tests"; }
    void scan(VItemSink& sink) override;

private:
    std::vector<VItem> m_items;
};

// An action found by its name, which records the text it ran with.
class TestAction : public VAction {
public:
    explicit TestAction(const char* name) : VAction(name, "An action for tests", {PropertyText}) {}
    bool runWithText(const CString& text) override {
        ranWith = text;
        return true;
    }
    CString ranWith;
};

// A folder that exists for one test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, ending in a backslash.
    const CString& path() const { return m_path; }
    void write(const char* name, const std::string& contents) const;

private:
    CString m_path;
};

// The search bar, counting the text changes its edit box reports.
class TestSearchBar : public CCorvantileDlg {
public:
    int textChanges = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
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
    CString settingsFile() const { return folder.path() + "Corvantile.xml"; }
    CString text();
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

// Calls onTick every 30 ms from whatever message loop runs (a modal dialog's, a message box's)
// until it returns true: tests answer modal windows with it. One at a time.
class ModalDriver {
public:
    explicit ModalDriver(std::function<bool()> onTick);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

private:
    UINT_PTR m_timer;
};

// The text of a control of a dialog.
CString dialogItemText(HWND dialog, int id);

// Handles this thread's pending messages, offering key messages to PreTranslateMessage first
// as the program's modal loop does.
void pumpMessages();
// Pumps until done() holds or the time is up; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000);
// Pumps for about this long.
void pumpFor(DWORD milliseconds);

} // namespace fronttest
