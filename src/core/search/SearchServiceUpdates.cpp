// The index between rebuilds: the progress of a rebuild, what the scans ask to tell the user,
// and the plug-ins' own updates (their watches), which the cache file follows in the background.
#include <algorithm>

#include "core/engine/catalog/index_cache.h"
#include "core/search/SearchService.h"
#include "support/file_io.h"

namespace corvantile::core {
namespace {

// The cache is written once the updates have been quiet this long.
constexpr auto kSaveDelay = std::chrono::milliseconds(1500);

bool equalFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

// Whether path is target or lies below it; paths ignore case (ASCII letters).
bool isAtOrBelow(std::string_view path, std::string_view target) {
    if (path.size() < target.size() || !equalFolded(path.substr(0, target.size()), target))
        return false;
    return path.size() == target.size() || target.back() == '\\' || path[target.size()] == '\\';
}

} // namespace

bool SearchService::indexing(std::size_t& found) const {
    found = m_found.load();
    return m_indexing.load();
}

CString SearchService::takeNotice() {
    std::lock_guard lock(m_noticeMutex);
    if (m_notices.empty())
        return {};
    CString notice = std::move(m_notices.front());
    m_notices.pop_front();
    return notice;
}

void SearchService::applyUpdate(const std::string& source, const std::vector<VItem>& added,
                                const std::vector<CString>& removed) {
    std::vector<EncodedItem> encoded;
    encoded.reserve(added.size());
    for (const VItem& item : added)
        encoded.push_back(encodeItem(item));
    std::vector<engine::ItemData> data;
    data.reserve(encoded.size());
    for (const EncodedItem& item : encoded)
        data.push_back(item.data(source));
    std::vector<std::string> targets;
    for (const CString& target : removed)
        if (!target.IsEmpty())
            targets.push_back(target.str());
    m_catalog.update(
        [&](const engine::ItemView& item) {
            if (item.source != source || targets.empty())
                return false;
            const bool isPath = item.kind == static_cast<std::uint16_t>(VItemKind::File) ||
                                item.kind == static_cast<std::uint16_t>(VItemKind::Folder);
            const std::string_view target =
                isPath ? item.path : item.payload.substr(0, item.payload.find('\n'));
            return std::any_of(targets.begin(), targets.end(),
                               [&](const std::string& gone) { return isAtOrBelow(target, gone); });
        },
        data);
    const int count = ++m_updates;
    {
        std::lock_guard lock(m_saveMutex);
        m_unsavedUpdates = count;
    }
    m_saveWake.notify_all();
}

void SearchService::saveUpdates() {
    std::unique_lock lock(m_saveMutex);
    for (;;) {
        m_saveWake.wait(lock, [this] { return m_saverStopping || m_unsavedUpdates != 0; });
        if (m_saverStopping)
            return;
        // Waits for a quiet moment: each new update starts the wait again.
        const int pending = m_unsavedUpdates;
        if (m_saveWake.wait_for(lock, kSaveDelay,
                                [&] { return m_saverStopping || m_unsavedUpdates != pending; }))
            continue;
        lock.unlock();
        bool saved = m_cacheFile.empty();
        if (!saved) {
            // A rebuild saves the cache itself when it ends.
            std::unique_lock rebuilding(m_refreshMutex, std::try_to_lock);
            saved = !rebuilding.owns_lock() || saveCache();
        }
        lock.lock();
        if (saved && m_unsavedUpdates == pending)
            m_unsavedUpdates = 0;
        m_saveWake.notify_all();
        if (!saved) // tried again after the next quiet moment
            m_saveWake.wait_for(lock, kSaveDelay, [this] { return m_saverStopping; });
    }
}

bool SearchService::saveCache() {
    if (engine::save_index_cache(m_cacheFile, *m_catalog.snapshot())) {
        m_cacheFailureTold = false;
        return true;
    }
    if (!m_cacheFailureTold.exchange(true)) {
        std::lock_guard lock(m_noticeMutex);
        m_notices.push_back("The index could not be saved to " +
                            CString(support::path_to_utf8(m_cacheFile).c_str()) +
                            "; it is tried again after the next change.");
    }
    return false;
}

bool SearchService::waitCacheSaved(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_saveMutex);
    return m_saveWake.wait_for(lock, timeout, [this] { return m_unsavedUpdates == 0; });
}

} // namespace corvantile::core
