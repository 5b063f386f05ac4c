#include "core/engine/catalog/catalog.h"

#include <algorithm>
#include <future>
#include <thread>
#include <unordered_map>

namespace corvantile::engine {

namespace {

using SourceTable = std::vector<std::string>;

std::size_t text_size(std::span<const ItemData> items) {
    std::size_t total = 0;
    for (const ItemData& item : items)
        total += item.name.size() + item.path.size() + item.payload.size();
    return total;
}

// Maps source names to ids, growing a copy of the table when a new name appears.
class SourceMapper {
public:
    explicit SourceMapper(std::shared_ptr<const SourceTable> table) : table_(std::move(table)) {
        for (std::size_t i = 0; i < table_->size(); ++i)
            ids_.emplace((*table_)[i], SourceId(i));
    }

    SourceId id(std::string_view name) {
        // Items mostly come in runs from one source, often all naming it with the same
        // string: the items of one build stay unchanged while it runs.
        if (last_ && name.data() == last_asked_.data() && name.size() == last_asked_.size())
            return last_id_;
        last_asked_ = name;
        if (last_ && *last_ == name)
            return last_id_;
        if (const auto found = ids_.find(std::string(name)); found != ids_.end()) {
            last_ = &found->first;
            last_id_ = found->second;
            return found->second;
        }
        if (!grown_)
            grown_ = std::make_shared<SourceTable>(*table_);
        // The last id marks segments of mixed sources; names past it share the id before it.
        const auto id = SourceId(std::min<std::size_t>(grown_->size(), Segment::kMixedSources - 1));
        if (id == grown_->size())
            grown_->emplace_back(name);
        last_ = &ids_.emplace(std::string(name), id).first->first;
        last_id_ = id;
        return id;
    }

    std::shared_ptr<const SourceTable> table() const {
        return grown_ ? std::shared_ptr<const SourceTable>(grown_) : table_;
    }

private:
    std::shared_ptr<const SourceTable> table_;
    std::shared_ptr<SourceTable> grown_;
    std::unordered_map<std::string, SourceId> ids_;
    const std::string* last_ = nullptr; // the name looked up last (keys never move)
    std::string_view last_asked_;       // the text it was last asked for, as given
    SourceId last_id_ = 0;
};

constexpr std::size_t kFetchAhead = 8;

void fetch_texts(const ItemData& item) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(item.name.data());
    if (!item.path.empty()) {
        __builtin_prefetch(item.path.data());
        __builtin_prefetch(item.path.data() + item.path.size() - 1);
    }
#else
    (void)item;
#endif
}

// Builds segments from items, starting a new one whenever a segment's buffers fill up.
void build_part(std::span<const ItemData> items, std::span<const SourceId> ids,
                std::vector<SegmentSlot>& out) {
    if (items.empty())
        return;
    SegmentBuilder builder(items.size(), text_size(items));
    for (std::size_t i = 0; i < items.size(); ++i) {
        // The texts are read once, from wherever the caller keeps them: ask for them early.
        if (i + kFetchAhead < items.size())
            fetch_texts(items[i + kFetchAhead]);
        if (!builder.add(items[i], ids[i])) {
            if (!builder.empty())
                out.push_back({builder.finish(), nullptr, 0});
            if (!builder.add(items[i], ids[i]))
                continue; // a single item too large for any segment is left out
        }
    }
    if (!builder.empty())
        out.push_back({builder.finish(), nullptr, 0});
}

// Items per part below which building side by side does not pay for its threads.
constexpr std::size_t kMinPartItems = std::size_t{1} << 15;

// Builds segments from items. Many items are cut into parts, one per hardware thread, built
// side by side into segments of their own.
void build_segments(std::span<const ItemData> items, SourceMapper& sources,
                    std::vector<SegmentSlot>& out) {
    std::vector<SourceId> ids(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        ids[i] = sources.id(items[i].source);
    const std::size_t parts =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()),
                              std::max<std::size_t>(1, items.size() / kMinPartItems));
    if (parts == 1) {
        build_part(items, ids, out);
        return;
    }
    std::vector<std::vector<SegmentSlot>> built(parts);
    const auto slice = [&](std::size_t p) {
        const std::size_t begin = items.size() * p / parts, end = items.size() * (p + 1) / parts;
        build_part(items.subspan(begin, end - begin),
                   std::span<const SourceId>(ids).subspan(begin, end - begin), built[p]);
    };
    std::vector<std::future<void>> running;
    for (std::size_t p = 1; p < parts; ++p)
        running.push_back(std::async(std::launch::async, slice, p));
    slice(0);
    for (std::future<void>& part : running)
        part.get(); // passes on a part's failure (out of memory)
    for (std::vector<SegmentSlot>& part : built)
        out.insert(out.end(), part.begin(), part.end());
}

// A new segment holding the live items of the given slots, in order.
SegmentSlot rebuild(std::span<const SegmentSlot> slots, const SourceTable& table) {
    std::size_t count = 0, bytes = 0;
    for (const SegmentSlot& slot : slots) {
        count += slot.live_count();
        bytes += slot.segment->text_bytes() / 2;
    }
    SegmentBuilder builder(count, bytes);
    std::string room;
    for (const SegmentSlot& slot : slots) {
        const Segment& segment = *slot.segment;
        for (std::size_t i = 0; i < segment.size(); ++i) {
            if (slot.is_removed(i))
                continue;
            const ItemData item{segment.name(i), segment.path(i, room), segment.payload(i),
                                table[segment.source(i)], segment.kind(i)};
            builder.add(item, segment.source(i));
        }
    }
    return {builder.finish(), nullptr, 0};
}

// Drops empty slots, rebuilds mostly-removed ones, and merges the smallest while too many.
void tidy(std::vector<SegmentSlot>& slots, const SourceTable& table) {
    std::erase_if(slots, [](const SegmentSlot& slot) { return slot.live_count() == 0; });
    for (SegmentSlot& slot : slots)
        if (slot.removed_count * 2 > slot.segment->size())
            slot = rebuild(std::span(&slot, 1), table);
    while (slots.size() > Catalog::kMaxSegments) {
        // Merge the adjacent pair with the fewest items, which keeps the item order.
        std::size_t best = 0;
        for (std::size_t i = 1; i + 1 < slots.size(); ++i)
            if (slots[i].live_count() + slots[i + 1].live_count() <
                slots[best].live_count() + slots[best + 1].live_count())
                best = i;
        SegmentSlot merged = rebuild(std::span(slots).subspan(best, 2), table);
        slots.erase(slots.begin() + std::ptrdiff_t(best) + 1);
        slots[best] = std::move(merged);
    }
}

// Marks the items of a slot for which remove(i) holds; returns how many were newly marked.
template <class Predicate> std::size_t mark_removed(SegmentSlot& slot, Predicate remove) {
    const Segment& segment = *slot.segment;
    std::shared_ptr<std::vector<std::uint64_t>> bits;
    std::size_t marked = 0;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        if (slot.is_removed(i) || !remove(i))
            continue;
        if (!bits)
            bits =
                slot.removed
                    ? std::make_shared<std::vector<std::uint64_t>>(*slot.removed)
                    : std::make_shared<std::vector<std::uint64_t>>((segment.size() + 63) / 64, 0);
        (*bits)[i / 64] |= std::uint64_t{1} << (i % 64);
        ++marked;
    }
    if (bits) {
        slot.removed = std::move(bits);
        slot.removed_count += marked;
    }
    return marked;
}

std::size_t remove_source_from(std::vector<SegmentSlot>& slots, SourceId id) {
    std::size_t removed = 0;
    for (SegmentSlot& slot : slots) {
        if (slot.segment->uniform_source() == id) {
            removed += slot.live_count();
            slot.removed_count = slot.segment->size();
        } else if (slot.segment->uniform_source() == Segment::kMixedSources) {
            const Segment& segment = *slot.segment;
            removed += mark_removed(slot, [&](std::size_t i) { return segment.source(i) == id; });
        }
    }
    return removed;
}

} // namespace

CatalogSnapshot::CatalogSnapshot() : starts_{0}, sources_(std::make_shared<const SourceTable>()) {}

CatalogSnapshot::CatalogSnapshot(std::vector<SegmentSlot> slots,
                                 std::shared_ptr<const SourceTable> sources)
    : slots_(std::move(slots)), sources_(std::move(sources)) {
    starts_.reserve(slots_.size() + 1);
    std::uint32_t start = 0;
    for (const SegmentSlot& slot : slots_) {
        starts_.push_back(start);
        start += static_cast<std::uint32_t>(slot.segment->size());
        live_count_ += slot.live_count();
    }
    starts_.push_back(start);
}

std::pair<std::size_t, std::size_t> CatalogSnapshot::locate(std::uint32_t index) const {
    const auto next = std::upper_bound(starts_.begin(), starts_.end(), index);
    const auto s = static_cast<std::size_t>(next - starts_.begin()) - 1;
    return {s, index - starts_[s]};
}

bool CatalogSnapshot::is_live(std::uint32_t index) const {
    if (index >= capacity())
        return false;
    const auto [s, i] = locate(index);
    return !slots_[s].is_removed(i);
}

ItemView CatalogSnapshot::view(std::uint32_t index, std::string& room) const {
    const auto [s, i] = locate(index);
    const Segment& segment = *slots_[s].segment;
    return {segment.name(i), segment.path(i, room), segment.payload(i),
            source_name(segment.source(i)), segment.kind(i)};
}

std::string_view CatalogSnapshot::source_name(SourceId id) const {
    return id < sources_->size() ? std::string_view((*sources_)[id]) : std::string_view();
}

std::optional<SourceId> CatalogSnapshot::find_source(std::string_view name) const {
    for (std::size_t i = 0; i < sources_->size(); ++i)
        if ((*sources_)[i] == name)
            return SourceId(i);
    return std::nullopt;
}

void CatalogSnapshot::for_each(const std::function<void(std::uint32_t, const ItemView&)>& f) const {
    std::string room;
    for (std::size_t s = 0; s < slots_.size(); ++s) {
        const SegmentSlot& slot = slots_[s];
        const Segment& segment = *slot.segment;
        for (std::size_t i = 0; i < segment.size(); ++i) {
            if (slot.is_removed(i))
                continue;
            f(starts_[s] + std::uint32_t(i),
              ItemView{segment.name(i), segment.path(i, room), segment.payload(i),
                       source_name(segment.source(i)), segment.kind(i)});
        }
    }
}

std::size_t CatalogSnapshot::memory_bytes() const {
    std::size_t total = 0;
    for (const SegmentSlot& slot : slots_)
        total += slot.segment->memory_bytes() +
                 (slot.removed ? slot.removed->capacity() * sizeof(std::uint64_t) : 0);
    return total;
}

std::shared_ptr<const CatalogSnapshot> build_snapshot(std::span<const ItemData> items) {
    SourceMapper sources(std::make_shared<const SourceTable>());
    std::vector<SegmentSlot> slots;
    build_segments(items, sources, slots);
    return std::make_shared<const CatalogSnapshot>(std::move(slots), sources.table());
}

Catalog::Catalog() : current_(std::make_shared<const CatalogSnapshot>()) {}

std::shared_ptr<const CatalogSnapshot> Catalog::snapshot() const {
    std::lock_guard lock(snapshot_mutex_);
    return current_;
}

void Catalog::publish(std::shared_ptr<const CatalogSnapshot> next) {
    std::lock_guard lock(snapshot_mutex_);
    current_.swap(next);
    // The old snapshot is released here, outside of any search, or later by its last reader.
}

void Catalog::add(std::span<const ItemData> items) {
    replace_source({}, items);
}

void Catalog::replace_source(std::string_view source, std::span<const ItemData> items) {
    std::lock_guard lock(update_mutex_);
    const auto old = snapshot();
    std::vector<SegmentSlot> slots;
    for (std::size_t s = 0; s < old->slot_count(); ++s)
        slots.push_back(old->slot(s));
    if (!source.empty())
        if (const auto id = old->find_source(source))
            remove_source_from(slots, *id);
    SourceMapper sources(old->sources());
    build_segments(items, sources, slots);
    const auto table = sources.table();
    tidy(slots, *table);
    publish(std::make_shared<const CatalogSnapshot>(std::move(slots), table));
}

std::size_t Catalog::remove_source(std::string_view source) {
    std::lock_guard lock(update_mutex_);
    const auto old = snapshot();
    const auto id = old->find_source(source);
    if (!id)
        return 0;
    std::vector<SegmentSlot> slots;
    for (std::size_t s = 0; s < old->slot_count(); ++s)
        slots.push_back(old->slot(s));
    const std::size_t removed = remove_source_from(slots, *id);
    if (removed == 0)
        return 0;
    tidy(slots, *old->sources());
    publish(std::make_shared<const CatalogSnapshot>(std::move(slots), old->sources()));
    return removed;
}

std::size_t Catalog::remove_if(const std::function<bool(const ItemView&)>& remove) {
    return update(remove, {});
}

std::size_t Catalog::update(const std::function<bool(const ItemView&)>& remove,
                            std::span<const ItemData> items) {
    std::lock_guard lock(update_mutex_);
    const auto old = snapshot();
    std::vector<SegmentSlot> slots;
    std::size_t removed = 0;
    std::string room;
    for (std::size_t s = 0; s < old->slot_count(); ++s) {
        SegmentSlot slot = old->slot(s);
        const Segment& segment = *slot.segment;
        removed += mark_removed(slot, [&](std::size_t i) {
            return remove(ItemView{segment.name(i), segment.path(i, room), segment.payload(i),
                                   old->source_name(segment.source(i)), segment.kind(i)});
        });
        slots.push_back(std::move(slot));
    }
    if (removed == 0 && items.empty())
        return 0;
    SourceMapper sources(old->sources());
    build_segments(items, sources, slots);
    const auto table = sources.table();
    tidy(slots, *table);
    publish(std::make_shared<const CatalogSnapshot>(std::move(slots), table));
    return removed;
}

void Catalog::reset(std::shared_ptr<const CatalogSnapshot> snapshot) {
    std::lock_guard lock(update_mutex_);
    publish(snapshot ? std::move(snapshot) : std::make_shared<const CatalogSnapshot>());
}

void Catalog::clear() {
    reset(nullptr);
}

} // namespace corvantile::engine
