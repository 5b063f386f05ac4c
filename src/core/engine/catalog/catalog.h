// The in-memory catalog of searchable items.
//
// Searches read an immutable CatalogSnapshot, held by shared_ptr, so updates never disturb a
// running search. The Catalog publishes a new snapshot for each update: adding items builds a
// new segment beside the old ones, removing items marks them in a per-segment bitmap, and a
// segment that is mostly removed, or one of too many small ones, is rebuilt alone. Nothing
// rebuilds the whole index.
#pragma once

#include "core/engine/catalog/segment.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvantile::engine {

// A segment and the bitmap of its items removed since it was built.
struct SegmentSlot {
    std::shared_ptr<const Segment> segment;
    std::shared_ptr<const std::vector<std::uint64_t>> removed; // null when none is removed
    std::size_t removed_count = 0;

    bool is_removed(std::size_t i) const { return removed && ((*removed)[i / 64] >> (i % 64)) & 1; }
    std::size_t live_count() const { return segment->size() - removed_count; }
};

class CatalogSnapshot {
public:
    CatalogSnapshot();
    CatalogSnapshot(std::vector<SegmentSlot> slots,
                    std::shared_ptr<const std::vector<std::string>> sources);

    // Number of live items.
    std::size_t size() const { return live_count_; }
    // Number of item indexes, removed ones included: indexes run from 0 to capacity() - 1.
    std::size_t capacity() const { return starts_.back(); }

    std::size_t slot_count() const { return slots_.size(); }
    const SegmentSlot& slot(std::size_t s) const { return slots_[s]; }
    // Index of the first item of slot s.
    std::uint32_t slot_start(std::size_t s) const { return starts_[s]; }
    // The slot and the position in it of an item index (index < capacity()).
    std::pair<std::size_t, std::size_t> locate(std::uint32_t index) const;

    bool is_live(std::uint32_t index) const;
    // The item; a path put together from parts is made in room (see Segment::path).
    ItemView view(std::uint32_t index, std::string& room) const;

    std::string_view source_name(SourceId id) const;
    std::optional<SourceId> find_source(std::string_view name) const;
    const std::shared_ptr<const std::vector<std::string>>& sources() const { return sources_; }

    // Calls f(index, view) for every live item, in index order.
    void for_each(const std::function<void(std::uint32_t, const ItemView&)>& f) const;

    // Bytes held by the snapshot's segments and bitmaps.
    std::size_t memory_bytes() const;

private:
    std::vector<SegmentSlot> slots_;
    std::vector<std::uint32_t> starts_; // slot_count() + 1 entries
    std::shared_ptr<const std::vector<std::string>> sources_;
    std::size_t live_count_ = 0;
};

// Builds a snapshot from items in one go (several segments when the text is very large).
std::shared_ptr<const CatalogSnapshot> build_snapshot(std::span<const ItemData> items);

class Catalog {
public:
    Catalog();

    // The current contents; cheap, and safe to call from any thread.
    std::shared_ptr<const CatalogSnapshot> snapshot() const;

    void add(std::span<const ItemData> items);
    // Replaces all items of a source with new ones, in one update.
    void replace_source(std::string_view source, std::span<const ItemData> items);
    // Removes all items of a source; returns how many were removed.
    std::size_t remove_source(std::string_view source);
    // Removes the items for which remove returns true; returns how many were removed.
    std::size_t remove_if(const std::function<bool(const ItemView&)>& remove);
    // Removes the items for which remove returns true and adds items, in one update (a search
    // sees either neither or both); returns how many were removed.
    std::size_t update(const std::function<bool(const ItemView&)>& remove,
                       std::span<const ItemData> items);
    // Adopts a snapshot (for example one loaded from the index cache).
    void reset(std::shared_ptr<const CatalogSnapshot> snapshot);
    void clear();

    // Segments beyond this count get merged, smallest first.
    static constexpr std::size_t kMaxSegments = 16;

private:
    void publish(std::shared_ptr<const CatalogSnapshot> next);

    std::mutex update_mutex_; // serialises updates
    mutable std::mutex snapshot_mutex_;
    std::shared_ptr<const CatalogSnapshot> current_;
};

} // namespace corvantile::engine
