#include "core_test_support.h"

#include <fstream>
#include <random>

#include "core/engine/file_io.h"

namespace core_test {

constexpr auto kDeadline = std::chrono::seconds(60);

TempFolder::TempFolder() {
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() /
             ("corvantile-core-test-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(random()));
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

CString TempFolder::text() const {
    return CString(corvantile::engine::path_to_utf8(m_path));
}

CString TempFolder::write(const std::string& relative, const std::string& contents) const {
    const std::filesystem::path file = m_path / corvantile::engine::path_from_utf8(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
    return CString(corvantile::engine::path_to_utf8(file));
}

void FixedPlugin::scan(VItemSink& sink) {
    ++scans;
    if (beforeScan)
        beforeScan();
    for (const VItem& item : m_items) {
        if (sink.cancelled())
            return;
        sink.add(item);
    }
}

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
    m_arrived.notify_all();
}

bool RecordingListener::waitFor(DWORD searchId, std::size_t count) {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, kDeadline, [&] {
        std::size_t found = 0;
        for (const Received& entry : m_received)
            found += entry.searchId == searchId;
        return found >= count;
    });
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

void CoreFixture::SetUp() {
    cacheFolder = std::make_unique<TempFolder>();
}

void CoreFixture::TearDown() {
    if (core) {
        core->unregisterResultListener(&results);
        core->unregisterActionListener(&actions);
        core->shutDown();
        core->deleteThis();
        core = nullptr;
    }
    cacheFolder.reset();
}

VCorvantileCore* CoreFixture::startCore(std::vector<std::unique_ptr<VPlugin>> plugins,
                                        std::vector<std::unique_ptr<VAction>> extraActions,
                                        bool buildIndex) {
    core = VCorvantileCore::instance();
    core->setBuiltInPlugins(false);
    core->setBackgroundRefresh(false);
    core->setCacheFolder(cacheFolder->text());
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

VItem fileItem(const char* name, const char* path) {
    return {VItemKind::File, name, path, CString()};
}

VItem textItem(const char* name, const char* value) {
    return {VItemKind::Text, name, value, CString()};
}

} // namespace core_test
