#include "core/engine/search/usage.h"

#include "core/engine/match/query.h"
#include "core/engine/match/ranking.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace corvantile::engine {

namespace {

constexpr std::string_view kHeader = "corvantile-usage 1";
constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;
constexpr double kMaxWeight = 1e6;

std::uint64_t fnv(std::uint64_t hash, std::string_view bytes) {
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
    return hash;
}

std::string_view key_part(const ItemView& item) {
    if (!item.payload.empty())
        return item.payload;
    return item.path.empty() ? item.name : item.path;
}

std::string normalise(std::string_view query) {
    return Query(query, {}).joined_folded();
}

std::string escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

bool unescape(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out.push_back('\\');
            break;
        case 't':
            out.push_back('\t');
            break;
        case 'n':
            out.push_back('\n');
            break;
        case 'r':
            out.push_back('\r');
            break;
        default:
            return false;
        }
    }
    return true;
}

template <class T> bool parse_number(std::string_view text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Splits a line into exactly four tab-separated fields.
bool split_fields(std::string_view line, std::string_view (&fields)[4]) {
    for (int f = 0; f < 3; ++f) {
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos)
            return false;
        fields[f] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    if (line.find('\t') != std::string_view::npos)
        return false;
    fields[3] = line;
    return true;
}

// Maps an accumulated weight to a boost that grows quickly at first and saturates.
std::int32_t boost_of(double weight) {
    if (!(weight > 0))
        return 0;
    return static_cast<std::int32_t>(kMaxUsageBoost * (1.0 - std::exp(-weight / 2.0)));
}

} // namespace

std::string usage_key(const ItemView& item) {
    std::string key(item.source);
    key.push_back('|');
    key += key_part(item);
    return key;
}

std::uint64_t usage_key_hash(std::string_view key) {
    return fnv(kFnvOffset, key);
}

std::uint64_t usage_key_hash(const ItemView& item) {
    return fnv(fnv(fnv(kFnvOffset, item.source), "|"), key_part(item));
}

void UsageBoosts::add(std::uint64_t key_hash, std::int32_t boost) {
    if (boost <= 0)
        return;
    auto& slot = boosts_[key_hash];
    slot = std::max(slot, boost);
    max_ = std::max(max_, boost);
}

std::int32_t UsageBoosts::boost(std::uint64_t key_hash) const {
    const auto found = boosts_.find(key_hash);
    return found == boosts_.end() ? 0 : found->second;
}

double UsageStore::decayed(const Entry& entry, std::int64_t now) {
    const double age = static_cast<double>(std::max<std::int64_t>(0, now - entry.last));
    const double half_life = std::chrono::duration<double>(kHalfLife).count();
    return entry.weight * std::exp2(-age / half_life);
}

void UsageStore::record(std::string_view query, std::string_view item_key, UsageTime when) {
    std::string normal = normalise(query);
    if (normal.empty() || item_key.empty())
        return;
    const std::int64_t now = when.time_since_epoch().count();
    std::lock_guard lock(mutex_);
    Entry& entry = entries_[Key{std::move(normal), std::string(item_key)}];
    entry.weight = std::min(kMaxWeight, decayed(entry, now) + 1.0);
    entry.last = std::max(entry.last, now);
    if (entries_.size() > kMaxEntries + kMaxEntries / 8)
        trim();
}

// Weight of each item key for query: choices made for the query itself count fully, choices
// made for longer queries that it begins count by the share of the longer query it covers.
std::unordered_map<std::string, double> UsageStore::weights_for(std::string_view query,
                                                                std::int64_t now) const {
    std::unordered_map<std::string, double> weights;
    const std::string normal = normalise(query);
    if (normal.empty())
        return weights;
    for (auto it = entries_.lower_bound(Key{normal, std::string()});
         it != entries_.end() && it->first.first.starts_with(normal); ++it) {
        const double share = double(normal.size()) / double(it->first.first.size());
        weights[it->first.second] += decayed(it->second, now) * share;
    }
    return weights;
}

std::int32_t UsageStore::boost(std::string_view query, std::string_view item_key,
                               UsageTime now) const {
    std::lock_guard lock(mutex_);
    const auto weights = weights_for(query, now.time_since_epoch().count());
    const auto found = weights.find(std::string(item_key));
    return found == weights.end() ? 0 : boost_of(found->second);
}

UsageBoosts UsageStore::boosts_for(std::string_view query, UsageTime now) const {
    UsageBoosts boosts;
    std::lock_guard lock(mutex_);
    for (const auto& [key, weight] : weights_for(query, now.time_since_epoch().count()))
        boosts.add(usage_key_hash(key), boost_of(weight));
    return boosts;
}

void UsageStore::trim() {
    std::vector<std::pair<double, Key>> ranked;
    std::int64_t newest = 0;
    for (const auto& [key, entry] : entries_)
        newest = std::max(newest, entry.last);
    for (const auto& [key, entry] : entries_)
        ranked.emplace_back(decayed(entry, newest), key);
    std::sort(ranked.begin(), ranked.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = kMaxEntries; i < ranked.size(); ++i)
        entries_.erase(ranked[i].second);
}

std::string UsageStore::serialize() const {
    std::lock_guard lock(mutex_);
    std::string out(kHeader);
    out.push_back('\n');
    char number[64];
    for (const auto& [key, entry] : entries_) {
        auto end = std::to_chars(number, number + sizeof number, entry.last).ptr;
        out.append(number, end);
        out.push_back('\t');
        end = std::to_chars(number, number + sizeof number, entry.weight).ptr;
        out.append(number, end);
        out.push_back('\t');
        out += escape(key.first);
        out.push_back('\t');
        out += escape(key.second);
        out.push_back('\n');
    }
    return out;
}

std::size_t UsageStore::deserialize(std::string_view text) {
    std::map<Key, Entry> loaded;
    std::size_t pos = 0;
    bool header = true;
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (header) {
            if (line != kHeader)
                break;
            header = false;
            continue;
        }
        std::string_view fields[4];
        Entry entry;
        std::string query, item_key;
        if (!split_fields(line, fields) || !parse_number(fields[0], entry.last) ||
            !parse_number(fields[1], entry.weight) || !(entry.weight > 0) ||
            !unescape(fields[2], query) || !unescape(fields[3], item_key) || item_key.empty())
            continue;
        query = normalise(query);
        if (query.empty())
            continue;
        entry.weight = std::min(entry.weight, kMaxWeight);
        loaded[Key{std::move(query), std::move(item_key)}] = entry;
        if (loaded.size() > kMaxEntries * 2)
            break;
    }
    std::lock_guard lock(mutex_);
    entries_ = std::move(loaded);
    if (entries_.size() > kMaxEntries)
        trim();
    return entries_.size();
}

std::size_t UsageStore::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void UsageStore::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

} // namespace corvantile::engine
