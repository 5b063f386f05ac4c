// What the user launched, learnt per query: a result chosen for a query ranks higher the next
// time for that query and for its prefixes, more so the more often and the more recently it
// was chosen. The boost is bounded (see ranking.h).
#pragma once

#include "core/engine/catalog/segment.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace corvantile::engine {

using UsageTime = std::chrono::sys_seconds;

// The key under which usage of a catalog item is recorded: its source and its payload (or
// path, or name, when it has none).
std::string usage_key(const ItemView& item);

// 64-bit hash of a usage key (FNV-1a), computed without building the key.
std::uint64_t usage_key_hash(std::string_view key);
std::uint64_t usage_key_hash(const ItemView& item);

// The boosts that apply to one query, by usage key hash.
class UsageBoosts {
public:
    void add(std::uint64_t key_hash, std::int32_t boost);
    bool empty() const { return boosts_.empty(); }
    std::int32_t max() const { return max_; }
    std::int32_t boost(std::uint64_t key_hash) const;
    bool operator==(const UsageBoosts&) const = default;

private:
    std::unordered_map<std::uint64_t, std::int32_t> boosts_;
    std::int32_t max_ = 0;
};

class UsageStore {
public:
    // Remembers that item_key was chosen for query at the given time.
    void record(std::string_view query, std::string_view item_key, UsageTime when);

    // Score boost of item_key for query, between 0 and kMaxUsageBoost.
    std::int32_t boost(std::string_view query, std::string_view item_key, UsageTime now) const;

    // All boosts that apply to query.
    UsageBoosts boosts_for(std::string_view query, UsageTime now) const;

    // A text form for the preferences: a header line, then one line per entry.
    std::string serialize() const;
    // Replaces the contents from serialize()'s form; lines that do not parse are skipped.
    // Returns the number of entries read.
    std::size_t deserialize(std::string_view text);

    std::size_t size() const;
    void clear();

    static constexpr std::size_t kMaxEntries = 4000;
    static constexpr std::chrono::hours kHalfLife{24 * 14};

private:
    struct Entry {
        double weight = 0;     // decayed count at `last`
        std::int64_t last = 0; // seconds since the epoch
    };
    using Key = std::pair<std::string, std::string>; // normalised query, item key

    static double decayed(const Entry& entry, std::int64_t now);
    std::unordered_map<std::string, double> weights_for(std::string_view query,
                                                        std::int64_t now) const;
    void trim();

    mutable std::mutex mutex_;
    std::map<Key, Entry> entries_;
};

} // namespace corvantile::engine
