#include "core_test_support.h"

namespace core_test {

constexpr auto kDeadline = std::chrono::seconds(60);

void RecordingListener::elementFound(DWORD searchId, VElement* element) {
    if (onBatch)
        onBatch();
    take(searchId, element);
}

void RecordingListener::elementsFound(DWORD searchId, VElement** elements, int count) {
    if (onBatch)
        onBatch();
    for (int i = 0; i < count; ++i)
        take(searchId, elements[i]);
}

void RecordingListener::take(DWORD searchId, VElement* element) {
    Received entry{searchId, CString(), element->getElementType() == VElement::kResult,
                   GetCurrentThreadId()};
    if (auto* result = dynamic_cast<VResult*>(element))
        entry.title = result->getTitle();
    else if (auto* action = dynamic_cast<VAction*>(element))
        entry.title = action->name;
    std::lock_guard lock(m_mutex);
    m_received.push_back(entry);
    if (entry.result) {
        if (keepResults)
            m_kept.emplace_back(searchId, static_cast<VResult*>(element));
        else
            element->deleteThis();
    }
}

std::vector<RecordingListener::Received> RecordingListener::received(DWORD searchId) const {
    std::vector<Received> chosen;
    std::lock_guard lock(m_mutex);
    for (const Received& entry : m_received) {
        if (entry.searchId == searchId)
            chosen.push_back(entry);
    }
    return chosen;
}

std::vector<CString> RecordingListener::titles(DWORD searchId) const {
    std::vector<CString> titles;
    for (const Received& entry : received(searchId))
        titles.push_back(entry.title);
    return titles;
}

std::size_t RecordingListener::total() const {
    std::lock_guard lock(m_mutex);
    return m_received.size();
}

std::vector<VResult*> RecordingListener::keptResults(DWORD searchId) const {
    std::vector<VResult*> kept;
    std::lock_guard lock(m_mutex);
    for (const auto& [id, result] : m_kept) {
        if (id == searchId)
            kept.push_back(result);
    }
    return kept;
}

RecordingListener::~RecordingListener() {
    for (const auto& [id, result] : m_kept)
        result->deleteThis();
}

void CoreFixture::stopCore() {
    if (core) {
        core->unregisterResultListener(&results);
        core->unregisterActionListener(&actions);
        core->shutDown();
        core->deleteThis();
        core = nullptr;
    }
}

VCorvantileCore* CoreFixture::startCore(std::vector<std::unique_ptr<VPlugin>> plugins,
                                        std::vector<std::unique_ptr<VAction>> extraActions,
                                        bool buildIndex) {
    core = wintest::testCore(cacheFolder.text());
    for (auto& plugin : plugins)
        core->registerPlugin(std::move(plugin));
    for (auto& action : extraActions)
        core->registerAction(std::move(action));
    core->startUp();
    core->registerResultListener(&results);
    core->registerActionListener(&actions);
    if (buildIndex)
        core->updateCache();
    return core;
}

bool CoreFixture::waitIdle() {
    return core->impl().search.waitIdle(kDeadline);
}

DWORD CoreFixture::searchAndWait(const CString& text) {
    DWORD id = 0;
    core->startSeach(text, id);
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(waitIdle());
    return id;
}

} // namespace core_test
