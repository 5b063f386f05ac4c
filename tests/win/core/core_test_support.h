// What the core's tests share: a plug-in with fixed items, listeners that record what they
// receive, a temporary folder, and a fixture that runs a core made of test plug-ins only.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/CoreImpl.h"
#include "core_iface/VCorvantileCore.h"
#include "core_iface/VElement.h"
#include "core_iface/VListener.h"
#include "core_iface/VPlugin.h"

namespace core_test {

// A folder that exists for one test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The folder as UTF-8 text, without a trailing backslash.
    CString text() const;
    // Writes a file below the folder (creating its folders); returns its full path.
    CString write(const std::string& relative, const std::string& contents) const;

private:
    std::filesystem::path m_path;
};

// A plug-in whose scan gives the same items every time.
class FixedPlugin : public VPlugin {
public:
    explicit FixedPlugin(std::vector<VItem> items, CString id = "Fixed")
        : m_items(std::move(items)), m_id(std::move(id)) {}

    CString getName() override { return m_id; }
    CString getDescription() override { return "Fixed items for tests"; }
    CString getAuthor() override { return "Tests"; }
    CString getId() override { return m_id; }
    void scan(VItemSink& sink) override;

    std::atomic<int> scans{0};
    // While set, a scan waits here before its first item.
    std::function<void()> beforeScan;

private:
    std::vector<VItem> m_items;
    CString m_id;
};

// Records the elements of searches and the threads they came on; frees results at once
// unless told to keep them.
class RecordingListener : public VResultListener {
public:
    struct Received {
        DWORD searchId;
        CString title;
        bool result;
        DWORD thread;
    };

    void deleteThis() override {}
    void elementFound(DWORD searchId, VElement* element) override;
    void elementsFound(DWORD searchId, VElement** elements, int count) override;

    // Waits until at least count elements of the search arrived; false after a generous
    // deadline (which only guards against a hang).
    bool waitFor(DWORD searchId, std::size_t count);
    std::vector<Received> received(DWORD searchId) const;
    std::vector<CString> titles(DWORD searchId) const;
    std::size_t total() const;
    // Results kept (keepResults) in arrival order; the listener frees them at the end.
    std::vector<VResult*> keptResults(DWORD searchId) const;
    ~RecordingListener();

    bool keepResults = false;
    // Called at the start of every batch (on the worker thread).
    std::function<void()> onBatch;

private:
    void take(DWORD searchId, VElement* element);

    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Received> m_received;
    std::vector<std::pair<DWORD, VResult*>> m_kept;
};

class ActionRecorder : public VActionListener {
public:
    void deleteThis() override {}
    void elementFound(DWORD searchId, VElement* element) override {
        listener.elementFound(searchId, element);
    }
    RecordingListener listener;
};

// A core made of the given plug-ins only, with its cache in a temporary folder.
class CoreFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes and starts the core with these plug-ins (taken over) and actions, and builds its
    // index unless told not to.
    VCorvantileCore* startCore(std::vector<std::unique_ptr<VPlugin>> plugins,
                               std::vector<std::unique_ptr<VAction>> actions = {},
                               bool buildIndex = true);
    // Searches and waits until the search has ended; returns its id.
    DWORD searchAndWait(const CString& text);
    bool waitIdle();

    VCorvantileCore* core = nullptr;
    std::unique_ptr<TempFolder> cacheFolder;
    RecordingListener results;
    ActionRecorder actions;
};

// Items for tests.
VItem fileItem(const char* name, const char* path);
VItem textItem(const char* name, const char* value);

// A list of plug-ins made of one.
template <class Plugin> std::vector<std::unique_ptr<VPlugin>> only(std::unique_ptr<Plugin> plugin) {
    std::vector<std::unique_ptr<VPlugin>> plugins;
    plugins.push_back(std::move(plugin));
    return plugins;
}

} // namespace core_test
