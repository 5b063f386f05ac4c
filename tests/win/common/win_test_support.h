// What the Windows test suites share: a temporary folder, a plug-in with fixed items, an action
// that records its runs, a core made of test plug-ins only, message pumping with a bound on
// time, and the means to answer modal windows (message boxes, dialogs) from inside their
// message loops.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core_iface/VElement.h"
#include "core_iface/VPlugin.h"

class VCorvantileCore;

namespace wintest {

// A folder that exists for one test; its name starts with prefix, which may hold any
// characters.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "corvantile-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The folder as UTF-8 text, without a trailing backslash.
    CString text() const;
    // The full path of a file or folder below (the folder itself, with a backslash, for "").
    CString file(const std::string& relative) const { return text() + "\\" + relative.c_str(); }
    // Writes a file below the folder (creating its folders); returns its full path.
    CString write(const std::string& relative, const std::string& contents) const;

private:
    std::filesystem::path m_path;
};

// A plug-in whose scan gives the same items every time.
class ItemsPlugin : public VPlugin {
public:
    explicit ItemsPlugin(std::vector<VItem> items, CString name = "Test items")
        : m_items(std::move(items)), m_name(std::move(name)) {}

    CString getName() override { return m_name; }
    CString getDescription() override { return "Items for tests"; }
    CString getAuthor() override { return "Tests"; }
    void scan(VItemSink& sink) override;

    std::atomic<int> scans{0};
    // While set, a scan calls it before its first item.
    std::function<void()> beforeScan;

private:
    std::vector<VItem> m_items;
    CString m_name;
};

// An action for some property types (text by default) that records how it ran and succeeds
// as told.
class TestAction : public VAction {
public:
    explicit TestAction(const char* name, std::vector<PropertyType> types = {PropertyText})
        : VAction(name, "An action for tests", std::move(types)) {}

    bool run(VResult* result, VProperty* property, const CString& text) override;
    bool runWithText(const CString& text) override;
    CString getLabel(VProperty* property) override;

    bool succeed = true;
    int runs = 0;
    VResult* lastResult = nullptr;
    VProperty* lastProperty = nullptr;
    CString lastText;
    CString ranWith; // the text of the last runWithText
};

// The core, set to run on the test's plug-ins only, with no background refresh and its cache
// in this folder; not yet started.
VCorvantileCore* testCore(const CString& cacheFolder);

// Calls onTick every 30 ms from whatever message loop runs (a modal dialog's, a message box's)
// until it returns true: tests answer modal windows with it.
class ModalDriver {
public:
    explicit ModalDriver(std::function<bool()> onTick);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

private:
    UINT_PTR m_timer;
};

// What a message box showed.
struct MessageBoxSeen {
    std::string caption;
    std::string text;
    HWND owner;
};

// Answers the message boxes of this thread that show now with button, each once, and tells
// what they showed.
std::vector<MessageBoxSeen> answerMessageBoxes(int button = IDOK);

// While alive, answers every message box of this thread with OK as soon as it shows, and
// records what each showed.
class MessageBoxCloser {
public:
    MessageBoxCloser();
    std::vector<MessageBoxSeen> seen;

private:
    ModalDriver m_driver;
};

// Handles this thread's pending messages, offering key messages to PreTranslateMessage first
// as the program's modal loop does.
void pumpMessages();
// Pumps until done() holds or the time is up; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000);
// Pumps for about this long.
void pumpFor(DWORD milliseconds);

// The visible dialog of this thread with this title, or null.
HWND shownDialog(const wchar_t* title);
// The text of a control of a dialog.
CString dialogItemText(HWND dialog, int id);

} // namespace wintest
