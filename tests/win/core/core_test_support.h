// What the core's tests share: listeners that record what they receive, and a fixture that
// runs a core made of test plug-ins only.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/CoreImpl.h"
#include "core_iface/VCorvantileCore.h"
#include "core_iface/VElement.h"
#include "core_iface/VListener.h"
#include "core_iface/VPlugin.h"
#include "common/win_test_support.h"

namespace core_test {

using wintest::ItemsPlugin;
using wintest::TempFolder;
using wintest::TestAction;

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
    void TearDown() override { stopCore(); }

    // Makes and starts the core with these plug-ins (taken over) and actions, and builds its
    // index unless told not to.
    VCorvantileCore* startCore(std::vector<std::unique_ptr<VPlugin>> plugins,
                               std::vector<std::unique_ptr<VAction>> actions = {},
                               bool buildIndex = true);
    // Shuts the core down and frees it, if there is one.
    void stopCore();
    // Searches and waits until the search has ended; returns its id.
    DWORD searchAndWait(const CString& text);
    bool waitIdle();

    VCorvantileCore* core = nullptr;
    TempFolder cacheFolder;
    RecordingListener results;
    ActionRecorder actions;
};

// Items for tests.
inline VItem fileItem(const char* name, const char* path) {
    return {VItemKind::File, name, path, CString()};
}
inline VItem textItem(const char* name, const char* value) {
    return {VItemKind::Text, name, value, CString()};
}

// A list of plug-ins made of one.
template <class Plugin> std::vector<std::unique_ptr<VPlugin>> only(std::unique_ptr<Plugin> plugin) {
    std::vector<std::unique_ptr<VPlugin>> plugins;
    plugins.push_back(std::move(plugin));
    return plugins;
}

} // namespace core_test
