#include "core/search/SearchService.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "core/bookmarks/BookmarkFiles.h"
#include "core/elements/ItemResult.h"
#include "core/engine/catalog/index_cache.h"
#include "core/shell/Shell.h"
#include "support/event_report.h"
#include "support/file_io.h"

namespace corvantile::core {
namespace {

constexpr std::size_t kMaxResults = 100;
constexpr std::size_t kBatchSize = 25;

engine::UsageTime now() {
    return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

// Characters typed, blanks not counted, as the engine counts them for the minimum.
int typedCharacters(const CString& text) {
    int count = 0;
    for (const char ch : text.str()) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte & 0xC0) != 0x80 && byte != ' ' && byte != '\t' && byte != '\r' && byte != '\n')
            ++count;
    }
    return count;
}

std::vector<std::uint32_t> toVector(std::span<const std::uint32_t> positions) {
    return {positions.begin(), positions.end()};
}

// Waits for done while still handling the messages other threads send to this thread's windows.
void waitPumping(const std::atomic<bool>& done) {
    while (!done.load()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_SENDMESSAGE, 0);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

struct SearchService::Search {
    CString query;
    SearchOptions options;
    std::vector<std::pair<VPlugin*, VItem>> textItems; // shown before the index's hits
    std::atomic<bool> textDelivered{false};
};

// Collects a scan's items for the catalog. On a first index (the source has nothing in it
// yet) the items found so far are searchable meanwhile, published at doubling counts.
class SearchService::ScanSink final : public VItemSink {
public:
    ScanSink(SearchService& service, std::string source, bool firstIndex)
        : m_service(service), m_source(std::move(source)), m_firstIndex(firstIndex) {}
    void add(const VItem& item) override {
        items.push_back(encodeItem(item));
        ++m_service.m_found;
        if (m_firstIndex && items.size() >= m_nextPublish) {
            m_nextPublish *= 2;
            m_service.m_catalog.replace_source(m_source, data());
        }
    }
    bool cancelled() const override { return m_service.m_stopping.load(); }
    void notice(const CString& text) override {
        std::lock_guard lock(m_service.m_noticeMutex);
        m_service.m_notices.push_back(text);
    }

    std::vector<engine::ItemData> data() const {
        std::vector<engine::ItemData> data;
        data.reserve(items.size());
        for (const EncodedItem& item : items)
            data.push_back(item.data(m_source));
        return data;
    }

    std::vector<EncodedItem> items;

private:
    SearchService& m_service;
    std::string m_source;
    bool m_firstIndex;
    std::size_t m_nextPublish = 16384;
};

// A plug-in's way to change its part of the index between scans.
class SearchService::PluginUpdates final : public VItemUpdates {
public:
    PluginUpdates(SearchService& service, std::string source)
        : m_service(service), m_source(std::move(source)) {}
    void update(const std::vector<VItem>& added, const std::vector<CString>& removed) override {
        m_service.applyUpdate(m_source, added, removed);
    }

private:
    SearchService& m_service;
    std::string m_source;
};

namespace {

// Hands a real-time scan's items straight to the engine.
class LiveSink final : public VItemSink {
public:
    LiveSink(const std::function<void(const engine::ItemData&)>& emit,
             const engine::CancelToken& token, std::string source)
        : m_emit(emit), m_token(token), m_source(std::move(source)) {}
    void add(const VItem& item) override { m_emit(encodeItem(item).data(m_source)); }
    bool cancelled() const override { return m_token.cancelled(); }

private:
    const std::function<void(const engine::ItemData&)>& m_emit;
    const engine::CancelToken& m_token;
    std::string m_source;
};

} // namespace

SearchService::SearchService(ListenerHub& listeners, engine::UsageStore& usage,
                             std::atomic<long>& busy)
    : m_listeners(listeners), m_usage(usage), m_busy(busy) {}

SearchService::~SearchService() {
    stop();
}

void SearchService::start(std::vector<VPlugin*> plugins, std::vector<VAction*> searchableActions,
                          std::filesystem::path cacheFile) {
    stop();
    m_stopping = false;
    {
        std::lock_guard lock(m_threadMutex);
        m_refreshAgain = false;
    }
    m_listeners.setClosed(false);
    m_plugins = std::move(plugins);
    m_actions = std::move(searchableActions);
    m_pluginsBySource.clear();
    for (VPlugin* plugin : m_plugins)
        m_pluginsBySource[plugin->getId().str()] = plugin;
    m_cacheFile = std::move(cacheFile);
    m_executor = std::make_unique<engine::SearchExecutor>();

    m_catalog.clear();
    if (!m_cacheFile.empty()) {
        if (auto cached = engine::load_index_cache(m_cacheFile)) {
            support::report_event("Index cache read: " + std::to_string(cached->size()) +
                                  " items from " + support::path_to_utf8(m_cacheFile));
            m_catalog.reset(std::move(cached));
        }
    }
    // Sources of plug-ins that are gone stay out of the results.
    const auto snapshot = m_catalog.snapshot();
    if (snapshot->sources()) {
        for (const std::string& source : *snapshot->sources()) {
            if (source != kActionSource && !m_pluginsBySource.contains(source))
                m_catalog.remove_source(source);
        }
    }
    publishActions();

    {
        std::lock_guard lock(m_saveMutex);
        m_saverStopping = false;
        m_unsavedUpdates = 0;
    }
    m_saveThread = std::thread(
        [this] { support::run_reporting("the index cache saver", [this] { saveUpdates(); }); });
    for (VPlugin* plugin : m_plugins) {
        m_pluginUpdates.push_back(std::make_unique<PluginUpdates>(*this, plugin->getId().str()));
        plugin->startWatching(*m_pluginUpdates.back());
    }
}

void SearchService::stopWatches() {
    for (VPlugin* plugin : m_plugins)
        plugin->stopWatching();
    {
        std::lock_guard lock(m_saveMutex);
        m_saverStopping = true;
    }
    m_saveWake.notify_all();
    if (m_saveThread.joinable())
        m_saveThread.join();
    m_pluginUpdates.clear();
}

void SearchService::stop() {
    m_stopping = true;
    stopWatches();
    std::thread refreshing;
    {
        std::lock_guard lock(m_threadMutex);
        refreshing = std::move(m_refreshThread);
    }
    if (refreshing.joinable())
        refreshing.join();
    if (!m_executor)
        return;
    m_listeners.setClosed(true);
    m_executor->cancel_all();
    m_listeners.waitIdle();
    m_executor.reset();
}

void SearchService::refreshInBackground() {
    std::lock_guard lock(m_threadMutex);
    if (m_stopping)
        return;
    if (m_refreshRunning) {
        m_refreshAgain = true;
        return;
    }
    // The previous thread has finished its work: joining it takes no time.
    if (m_refreshThread.joinable())
        m_refreshThread.join();
    m_refreshRunning = true;
    m_refreshThread = std::thread([this] {
        for (;;) {
            support::run_reporting("the index refresh", [this] { refresh(); });
            std::lock_guard again(m_threadMutex);
            if (!m_refreshAgain || m_stopping) {
                m_refreshRunning = false;
                return;
            }
            m_refreshAgain = false;
        }
    });
}

void SearchService::refreshNow() {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        support::run_reporting("the index refresh", [this] { refresh(); });
        done = true;
    });
    waitPumping(done);
    worker.join();
}

void SearchService::refresh() {
    std::lock_guard lock(m_refreshMutex);
    struct BusyScope {
        std::atomic<long>& busy;
        explicit BusyScope(std::atomic<long>& b) : busy(b) { ++busy; }
        ~BusyScope() { --busy; }
    } busyScope(m_busy);
    struct IndexingScope {
        SearchService& service;
        explicit IndexingScope(SearchService& s) : service(s) {
            service.m_found = 0;
            service.m_indexing = true;
        }
        ~IndexingScope() { service.m_indexing = false; }
    } indexingScope(*this);
    ComScope com;
    for (VPlugin* plugin : m_plugins) {
        if (m_stopping)
            return;
        if (!plugin->searchesLive())
            scanPlugin(plugin);
    }
    publishActions();
    ++m_scans;
    {
        // The save below takes in what the watches changed until now.
        std::lock_guard saving(m_saveMutex);
        m_unsavedUpdates = 0;
    }
    if (!m_cacheFile.empty() && !m_stopping)
        saveCache();
}

void SearchService::scanPlugin(VPlugin* plugin) {
    const auto started = std::chrono::steady_clock::now();
    const std::string source = plugin->getId().str();
    const auto before = m_catalog.snapshot();
    const auto id = before->find_source(source);
    bool known = false;
    if (id)
        for (std::size_t s = 0; s < before->slot_count() && !known; ++s)
            known = before->slot(s).live_count() != 0 &&
                    (before->slot(s).segment->uniform_source() == *id ||
                     before->slot(s).segment->uniform_source() == engine::Segment::kMixedSources);
    ScanSink sink(*this, source, !known);
    try {
        plugin->scan(sink);
    } catch (...) {
        corvantile::support::report_caught("the index scan of plug-in " + plugin->getId().str());
        // A plug-in that fails keeps what the index held of it.
        return;
    }
    if (sink.cancelled())
        return;
    const auto data = sink.data();
    m_catalog.replace_source(source, data);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    support::report_event("Index of " + source + ": " + std::to_string(data.size()) + " items in " +
                          std::to_string(took.count()) + " ms");
}

void SearchService::publishActions() {
    std::vector<EncodedItem> items;
    for (VAction* action : m_actions)
        items.push_back(encodeItem({VItemKind::Action, action->name, action->getId(), CString()}));
    std::vector<engine::ItemData> data;
    for (const EncodedItem& item : items)
        data.push_back(item.data(kActionSource));
    m_catalog.replace_source(kActionSource, data);
}

std::vector<engine::LiveSource> SearchService::liveSources(bool livePluginsOnly) {
    std::vector<engine::LiveSource> sources;
    for (VPlugin* plugin : m_plugins) {
        if (livePluginsOnly && !plugin->searchesLive())
            continue;
        sources.push_back([plugin](const std::function<void(const engine::ItemData&)>& emit,
                                   const engine::CancelToken& token) {
            ComScope com;
            LiveSink sink(emit, token, plugin->getId().str());
            try {
                plugin->scan(sink);
            } catch (...) {
                corvantile::support::report_caught("the live search of plug-in " +
                                                   plugin->getId().str());
            }
        });
    }
    if (livePluginsOnly)
        return sources;
    std::vector<EncodedItem> actions;
    for (VAction* action : m_actions)
        actions.push_back(
            encodeItem({VItemKind::Action, action->name, action->getId(), CString()}));
    sources.push_back(
        [actions = std::move(actions)](const std::function<void(const engine::ItemData&)>& emit,
                                       const engine::CancelToken& token) {
            for (const EncodedItem& item : actions) {
                if (token.cancelled())
                    return;
                emit(item.data(kActionSource));
            }
        });
    return sources;
}

engine::SearchRequest SearchService::engineRequest(const CString& text,
                                                   const SearchOptions& options) const {
    engine::SearchRequest request;
    request.text = text.str();
    request.match.case_sensitive = options.caseSensitive;
    request.match.match_start_only = options.matchStartOnly;
    request.min_chars = static_cast<std::size_t>(std::max(options.minChars, 1));
    request.max_results = kMaxResults;
    request.batch_size = kBatchSize;
    request.positions = true;
    if (!options.live)
        request.catalog = m_catalog.snapshot();
    request.boosts = m_usage.boosts_for(request.text, now());
    return request;
}

void SearchService::searchAhead(const CString& text, const SearchOptions& options) {
    if (!m_executor || options.live)
        return;
    cancel(std::exchange(m_aheadId, 0));
    m_aheadId = m_executor->start(engineRequest(text, options));
}

DWORD SearchService::startSearch(const CString& text, const SearchOptions& options) {
    if (!m_executor)
        return 0;
    auto search = std::make_shared<Search>();
    search->query = text;
    search->options = options;
    if (typedCharacters(text) >= options.minChars) {
        for (VPlugin* plugin : m_plugins) {
            std::vector<VItem> items;
            plugin->itemsForText(text, items);
            for (VItem& item : items)
                search->textItems.emplace_back(plugin, std::move(item));
        }
    }

    // The search the user waited for takes the workers: one run ahead of it is of no use now,
    // unless it has finished (then its results are reported without a new scan).
    cancel(std::exchange(m_aheadId, 0));
    engine::SearchRequest request = engineRequest(text, options);
    if (options.live)
        request.sources = liveSources(false);
    request.callbacks.on_batch = [this, search](engine::SearchId id,
                                                std::span<const engine::SearchHit> hits) {
        onBatch(*search, id, hits);
    };
    request.callbacks.on_done = [this, search](engine::SearchId id) { onDone(*search, id); };

    // Plug-ins whose items change by the second (the open windows) are walked by a companion
    // search beside the index's, with the same matcher and ranking, under the same id.
    std::optional<engine::SearchRequest> companion;
    if (!options.live && std::any_of(m_plugins.begin(), m_plugins.end(),
                                     [](VPlugin* plugin) { return plugin->searchesLive(); })) {
        companion = request;
        companion->catalog = nullptr;
        companion->sources = liveSources(true);
        companion->callbacks.on_done = nullptr;
    }
    const DWORD id = m_executor->start(std::move(request));
    if (companion) {
        companion->callbacks.on_batch =
            [this, search, id](engine::SearchId, std::span<const engine::SearchHit> hits) {
                onBatch(*search, id, hits);
            };
        const DWORD companionId = m_executor->start(std::move(*companion));
        std::lock_guard lock(m_companionMutex);
        // Finished searches' entries go, oldest first, to keep the table small.
        while (m_companions.size() >= kCompanionsKept)
            m_companions.erase(m_companions.begin());
        m_companions[id] = companionId;
    }
    return id;
}

void SearchService::cancel(DWORD searchId) {
    if (!m_executor || searchId == 0)
        return;
    m_executor->cancel(searchId);
    std::lock_guard lock(m_companionMutex);
    if (const auto found = m_companions.find(searchId); found != m_companions.end()) {
        m_executor->cancel(found->second);
        m_companions.erase(found);
    }
}

bool SearchService::waitIdle(std::chrono::milliseconds timeout) {
    return !m_executor || m_executor->wait_idle(timeout);
}

std::size_t SearchService::itemCount() const {
    return m_catalog.snapshot()->size();
}

bool SearchService::keepHit(const Search& search, const engine::SearchHit& hit) const {
    if (!isKnownKind(hit.item.kind))
        return false;
    if (hit.item.kind != static_cast<std::uint16_t>(VItemKind::Bookmark) ||
        hit.path_positions.empty())
        return true;
    if (search.options.webTitlesOnly)
        return false;
    if (search.options.urlDomainsOnly) {
        const auto [first, last] = urlHostRange(hit.item.path);
        return std::all_of(hit.path_positions.begin(), hit.path_positions.end(),
                           [&](std::uint32_t p) { return p >= first && p < last; });
    }
    return true;
}

VAction* SearchService::actionOf(const engine::ItemView& item) const {
    const VItem decoded = decodeItem(item);
    for (VAction* action : m_actions) {
        if (action->getId() == decoded.target)
            return action;
    }
    return nullptr;
}

VElement* SearchService::makeResult(const Search& search, const engine::SearchHit& hit) {
    const auto plugin = m_pluginsBySource.find(hit.item.source);
    ResultMatch match{search.query, toVector(hit.name_positions), toVector(hit.path_positions),
                      engine::usage_key(hit.item)};
    return ItemResult::create(plugin == m_pluginsBySource.end() ? nullptr : plugin->second,
                              decodeItem(hit.item), std::move(match));
}

void SearchService::onBatch(Search& search, DWORD id, std::span<const engine::SearchHit> hits) {
    deliverTextItems(search, id);
    // Results and actions reach the listeners in the order of their rank.
    std::vector<const engine::SearchHit*> run;
    const auto flush = [&] {
        if (run.empty())
            return;
        m_listeners.deliverResults(id, [&] {
            std::vector<VElement*> elements;
            for (const engine::SearchHit* hit : run)
                elements.push_back(makeResult(search, *hit));
            return elements;
        });
        run.clear();
    };
    for (const engine::SearchHit& hit : hits) {
        if (!keepHit(search, hit))
            continue;
        if (hit.item.kind != static_cast<std::uint16_t>(VItemKind::Action)) {
            run.push_back(&hit);
            continue;
        }
        flush();
        if (VAction* action = actionOf(hit.item)) {
            action->setNameMatches(toVector(hit.name_positions));
            m_listeners.deliverAction(id, action);
        }
    }
    flush();
}

void SearchService::onDone(Search& search, DWORD id) {
    deliverTextItems(search, id);
}

void SearchService::deliverTextItems(Search& search, DWORD id) {
    if (search.textItems.empty() || search.textDelivered.exchange(true))
        return;
    m_listeners.deliverResults(id, [&] {
        std::vector<VElement*> elements;
        for (const auto& [plugin, item] : search.textItems)
            elements.push_back(ItemResult::create(plugin, item, {search.query, {}, {}, {}}));
        return elements;
    });
}

} // namespace corvantile::core
