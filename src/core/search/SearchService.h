// The searching part of the core: the index (the engine's catalog, filled by the plug-ins'
// scans and kept in the cache file), the engine's searches on its worker threads, and the
// turning of their hits into the elements the listeners receive.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "core/engine/catalog/catalog.h"
#include "core/engine/search/search_executor.h"
#include "core/engine/search/usage.h"
#include "core/search/ItemCodec.h"
#include "core/search/ListenerHub.h"
#include "core_iface/VElement.h"
#include "core_iface/VPlugin.h"

namespace corvantile::core {

struct SearchOptions {
    int minChars = 1;
    bool caseSensitive = false;
    bool matchStartOnly = false;
    bool webTitlesOnly = false;
    bool urlDomainsOnly = false;
    bool live = false; // walk the sources instead of searching the index
};

class SearchService {
public:
    SearchService(ListenerHub& listeners, engine::UsageStore& usage, std::atomic<long>& busy);
    ~SearchService();
    SearchService(const SearchService&) = delete;
    SearchService& operator=(const SearchService&) = delete;

    // Starts the worker threads and loads the index from the cache file when it is good.
    void start(std::vector<VPlugin*> plugins, std::vector<VAction*> searchableActions,
               std::filesystem::path cacheFile);
    // Stops every search and scan, after the last listener call has ended.
    void stop();

    // Rebuilds the index on a thread of its own; returns at once. Asked while a rebuild runs,
    // it has that one start over when done.
    void refreshInBackground();
    // Rebuilds the index and saves the cache; returns when done. Meanwhile the calling thread
    // still handles messages sent to its windows.
    void refreshNow();

    // Starts a search; its elements go to the listeners. Returns its id (never 0).
    DWORD startSearch(const CString& text, const SearchOptions& options);
    // Searches the index for text without telling anyone, so that a search for the same text
    // started soon after (the typing delay over) only reports what this one found. Window
    // thread, like startSearch; a search ahead still running is cancelled.
    void searchAhead(const CString& text, const SearchOptions& options);
    void cancel(DWORD searchId);

    // Waits until no search is running; false on timeout.
    bool waitIdle(std::chrono::milliseconds timeout);

    // Number of items in the index.
    std::size_t itemCount() const;
    // Number of index rebuilds that scanned the plug-ins since start.
    int scanCount() const { return m_scans.load(); }
    // True while a rebuild runs; found is then the number of items its scans gave so far.
    bool indexing(std::size_t& found) const;
    // The oldest thing a scan asked to tell the user (empty: none), taken off the queue.
    CString takeNotice();
    // Number of updates the plug-ins made between scans (their watches) since start.
    int updateCount() const { return m_updates.load(); }
    // Waits until the index cache holds what the last update changed; false on timeout.
    bool waitCacheSaved(std::chrono::milliseconds timeout);

private:
    struct Search;
    class ScanSink;
    class PluginUpdates;

    void refresh();
    void scanPlugin(VPlugin* plugin);
    void publishActions();
    // The plug-ins' scans as real-time sources (and the actions, unless only the plug-ins that
    // search live are asked for).
    std::vector<engine::LiveSource> liveSources(bool livePluginsOnly);
    // A plug-in's update between scans (see VItemUpdates).
    void applyUpdate(const std::string& source, const std::vector<VItem>& added,
                     const std::vector<CString>& removed);
    // Saves the cache once the updates have been quiet for a moment (the saver thread).
    void saveUpdates();
    // Writes the cache file; a failure is told once, until a save succeeds again.
    bool saveCache();
    void stopWatches();
    // The engine's request for text, over the index unless options.live; no callbacks.
    engine::SearchRequest engineRequest(const CString& text, const SearchOptions& options) const;
    bool keepHit(const Search& search, const engine::SearchHit& hit) const;
    void onBatch(Search& search, DWORD id, std::span<const engine::SearchHit> hits);
    void onDone(Search& search, DWORD id);
    void deliverTextItems(Search& search, DWORD id);
    VElement* makeResult(const Search& search, const engine::SearchHit& hit);
    VAction* actionOf(const engine::ItemView& item) const;

    ListenerHub& m_listeners;
    engine::UsageStore& m_usage;
    std::atomic<long>& m_busy;

    engine::Catalog m_catalog;
    std::unique_ptr<engine::SearchExecutor> m_executor;
    std::vector<VPlugin*> m_plugins;
    std::map<std::string, VPlugin*, std::less<>> m_pluginsBySource;
    std::vector<VAction*> m_actions;
    std::filesystem::path m_cacheFile;

    std::mutex m_refreshMutex; // one rebuild at a time
    std::mutex m_threadMutex;  // guards the three below
    std::thread m_refreshThread;
    bool m_refreshRunning = false;
    bool m_refreshAgain = false;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_scans{0};

    static constexpr std::size_t kCompanionsKept = 16;
    std::mutex m_companionMutex;
    std::map<DWORD, DWORD> m_companions; // a search's id, its companion's
    DWORD m_aheadId = 0;                 // the last search ahead (window thread)
    std::atomic<bool> m_indexing{false};
    std::atomic<std::size_t> m_found{0}; // items the running rebuild's scans gave so far
    std::mutex m_noticeMutex;
    std::deque<CString> m_notices;

    std::vector<std::unique_ptr<PluginUpdates>> m_pluginUpdates;
    std::atomic<int> m_updates{0};
    std::atomic<bool> m_cacheFailureTold{false};
    std::mutex m_saveMutex; // guards the three below
    std::condition_variable m_saveWake;
    int m_unsavedUpdates = 0; // the value of m_updates the cache lags behind, or 0
    bool m_saverStopping = false;
    std::thread m_saveThread;
};

// The source name under which the actions found by name are indexed.
inline constexpr char kActionSource[] = "actions";

} // namespace corvantile::core
