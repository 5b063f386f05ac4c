#include "core/engine/segment.h"

#include "core/engine/memory_hint.h"
#include "core/engine/text_fold.h"

#include <algorithm>

namespace corvantile::engine {

namespace {

constexpr std::size_t kMaxBuffer = std::numeric_limits<std::uint32_t>::max();

template <class T> std::size_t vector_bytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

template <class T> void reserve_large(std::vector<T>& v, std::size_t count) {
    v.reserve(count);
    prefer_large_pages(v.data(), v.capacity() * sizeof(T));
}

void reserve_large(std::string& s, std::size_t count) {
    s.reserve(count);
    prefer_large_pages(s.data(), s.capacity());
}

} // namespace

NameHead NameHead::of(std::string_view folded_name) {
    const auto dot = folded_name.rfind('.');
    const std::size_t last_dot = dot == std::string_view::npos || dot > kFarDot ? 0 : dot;
    const std::size_t length = std::min(folded_name.size(), kLongName);
    const std::uint32_t first =
        folded_name.empty() ? 0 : static_cast<unsigned char>(folded_name[0]);
    return {first | std::uint32_t(last_dot) << 8 | std::uint32_t(length) << 14};
}

namespace {

inline void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

} // namespace

void Segment::prefetch_entries(std::size_t i) const {
    prefetch(&begin_[i]);
    prefetch(&name_lengths_[i]);
    prefetch(&heads_[i]);
}

void Segment::prefetch_texts(std::size_t i) const {
    prefetch(at(i));
}

std::string_view Segment::payload(std::size_t i) const {
    const std::size_t offset = path_offset(i) + (path_lengths_[i] & ~kSelfFolded) +
                               (path_lengths_[i] & kSelfFolded ? 0 : folded_path_lengths_[i]);
    return {at(i) + offset, begin_[i + 1] - begin_[i] - offset};
}

std::size_t Segment::refolded_name_length(std::size_t i) const {
    return folded(name(i)).size();
}

std::size_t Segment::memory_bytes() const {
    return vector_bytes(masks_) + vector_bytes(heads_) + vector_bytes(begin_) +
           vector_bytes(name_lengths_) + path_lengths_.memory_bytes() +
           folded_path_lengths_.memory_bytes() + source_kinds_.memory_bytes() + text_.size() +
           sizeof(*this);
}

SegmentBuilder::SegmentBuilder(std::size_t expected_items, std::size_t expected_text_bytes)
    : segment_(std::make_unique<Segment>()) {
    Segment& s = *segment_;
    reserve_large(s.masks_, expected_items);
    reserve_large(s.heads_, expected_items);
    reserve_large(s.begin_, expected_items + 1);
    reserve_large(s.name_lengths_, expected_items);
    s.path_lengths_.reserve(expected_items);
    s.folded_path_lengths_.reserve(expected_items);
    s.source_kinds_.reserve(expected_items);
    // Room for the texts and their folded copies (payloads are usually short).
    reserve_large(s.text_, std::min(expected_text_bytes * 2, kMaxBuffer));
    s.begin_.push_back(0);
}

bool SegmentBuilder::add(const ItemData& item, SourceId source) {
    Segment& s = *segment_;
    // Folding maps a code point to one code point; a stray byte may become three bytes.
    const std::size_t worst_size = 4 * (item.name.size() + item.path.size()) + item.payload.size();
    if (worst_size > kMaxBuffer - s.text_.size())
        return false;

    // Appends the folded form of a text just after it, unless it is the same text.
    const auto fold_after = [&](std::string_view text, std::uint32_t& length) {
        length = static_cast<std::uint32_t>(text.size());
        if (is_folded(text)) {
            length |= Segment::kSelfFolded;
            return text;
        }
        const std::size_t folded_start = s.text_.size();
        fold_text(text, s.text_);
        return std::string_view(s.text_).substr(folded_start);
    };
    s.text_.append(item.name);
    std::uint32_t name_length = 0, path_length = 0;
    const std::string_view folded_name = fold_after(item.name, name_length);
    const NameHead head = NameHead::of(folded_name);
    const std::uint32_t name_mask = char_mask(folded_name);
    s.text_.append(item.path);
    const std::string_view folded_path = fold_after(item.path, path_length);
    const std::uint32_t path_mask = char_mask(folded_path);
    const auto folded_path_length = static_cast<std::uint32_t>(folded_path.size());
    s.text_.append(item.payload);

    s.masks_.push_back(name_mask | std::uint64_t(path_mask) << 32);
    s.heads_.push_back(head);
    s.begin_.push_back(static_cast<std::uint32_t>(s.text_.size()));
    s.name_lengths_.push_back(name_length);
    const std::size_t index = s.name_lengths_.size() - 1;
    s.path_lengths_.push(index, path_length);
    s.folded_path_lengths_.push(index, folded_path_length);
    s.source_kinds_.push(index, (std::uint32_t(source) << 16) | item.kind);

    if (first_)
        s.uniform_source_ = source;
    else if (s.uniform_source_ != source)
        s.uniform_source_ = Segment::kMixedSources;
    first_ = false;
    return true;
}

std::shared_ptr<const Segment> SegmentBuilder::finish() {
    Segment& s = *segment_;
    const auto trim = [](auto& v) {
        if (v.capacity() > v.size() + v.size() / 16 + 64)
            v.shrink_to_fit();
    };
    trim(s.masks_);
    trim(s.heads_);
    trim(s.begin_);
    trim(s.name_lengths_);
    s.path_lengths_.shrink_to_fit();
    s.folded_path_lengths_.shrink_to_fit();
    s.source_kinds_.shrink_to_fit();
    // The text buffer keeps its reserve: pages never written take no memory, and shrinking
    // would copy every byte.
    std::shared_ptr<const Segment> done = std::move(segment_);
    segment_ = std::make_unique<Segment>();
    segment_->begin_.push_back(0);
    first_ = true;
    return done;
}

} // namespace corvantile::engine
