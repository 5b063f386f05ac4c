#include "core/engine/segment.h"

#include "core/engine/text_fold.h"

#include <algorithm>

namespace corvantile::engine {

namespace {

constexpr std::size_t kMaxBuffer = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t kSaturatedLength = 0xFFFFFF;

template <class T> std::size_t vector_bytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

} // namespace

bool Segment::non_ascii(std::size_t i) const {
    return (masks_[i] & kNonAsciiMarker) != 0;
}

std::string_view Segment::payload(std::size_t i) const {
    const std::size_t begin = text_begin_[i] + name_lengths_[i] + path_lengths_[i];
    return {text_.data() + begin, text_begin_[i + 1] - begin};
}

std::size_t Segment::folded_name_length(std::size_t i) const {
    const std::uint32_t length = heads_[i] >> 8;
    if (length != kSaturatedLength)
        return length;
    return folded(name(i)).size();
}

std::string_view Segment::folded_name(std::size_t i) const {
    return {folded_.data() + folded_begin_[i], folded_name_length(i)};
}

std::string_view Segment::folded_path(std::size_t i) const {
    const std::size_t begin = folded_begin_[i] + folded_name_length(i);
    return {folded_.data() + begin, folded_begin_[i + 1] - begin};
}

std::size_t Segment::memory_bytes() const {
    return vector_bytes(masks_) + vector_bytes(heads_) + vector_bytes(folded_begin_) +
           vector_bytes(text_begin_) + vector_bytes(name_lengths_) + vector_bytes(path_lengths_) +
           vector_bytes(source_kinds_) + text_.capacity() + folded_.capacity() + sizeof(*this);
}

SegmentBuilder::SegmentBuilder(std::size_t expected_items, std::size_t expected_text_bytes)
    : segment_(std::make_unique<Segment>()) {
    Segment& s = *segment_;
    s.masks_.reserve(expected_items);
    s.heads_.reserve(expected_items);
    s.folded_begin_.reserve(expected_items + 1);
    s.text_begin_.reserve(expected_items + 1);
    s.name_lengths_.reserve(expected_items);
    s.path_lengths_.reserve(expected_items);
    s.source_kinds_.reserve(expected_items);
    s.text_.reserve(std::min(expected_text_bytes, kMaxBuffer));
    s.folded_.reserve(std::min(expected_text_bytes, kMaxBuffer));
    s.folded_begin_.push_back(0);
    s.text_begin_.push_back(0);
}

bool SegmentBuilder::add(const ItemData& item, SourceId source) {
    Segment& s = *segment_;
    const std::size_t text_size = item.name.size() + item.path.size() + item.payload.size();
    const std::size_t searched_size = item.name.size() + item.path.size();
    // Folding maps a code point to one code point; a stray byte may become three bytes.
    if (text_size > kMaxBuffer - s.text_.size() ||
        3 * searched_size > kMaxBuffer - s.folded_.size())
        return false;

    s.text_.append(item.name);
    s.text_.append(item.path);
    s.text_.append(item.payload);

    const std::size_t folded_start = s.folded_.size();
    bool non_ascii = fold_text(item.name, s.folded_);
    const std::size_t folded_name_length = s.folded_.size() - folded_start;
    non_ascii = fold_text(item.path, s.folded_) || non_ascii;

    const std::string_view folded_text(s.folded_.data() + folded_start,
                                       s.folded_.size() - folded_start);
    std::uint64_t mask = char_mask(folded_text);
    if (non_ascii)
        mask |= kNonAsciiMarker;
    const std::uint32_t first =
        folded_name_length == 0 ? 0 : static_cast<unsigned char>(s.folded_[folded_start]);
    const auto length =
        static_cast<std::uint32_t>(std::min<std::size_t>(folded_name_length, kSaturatedLength));

    s.masks_.push_back(mask);
    s.heads_.push_back(first | (length << 8));
    s.folded_begin_.push_back(static_cast<std::uint32_t>(s.folded_.size()));
    s.text_begin_.push_back(static_cast<std::uint32_t>(s.text_.size()));
    s.name_lengths_.push_back(static_cast<std::uint32_t>(item.name.size()));
    s.path_lengths_.push_back(static_cast<std::uint32_t>(item.path.size()));
    s.source_kinds_.push_back((std::uint32_t(source) << 16) | item.kind);

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
    trim(s.folded_begin_);
    trim(s.text_begin_);
    trim(s.name_lengths_);
    trim(s.path_lengths_);
    trim(s.source_kinds_);
    trim(s.text_);
    trim(s.folded_);
    std::shared_ptr<const Segment> done = std::move(segment_);
    segment_ = std::make_unique<Segment>();
    segment_->folded_begin_.push_back(0);
    segment_->text_begin_.push_back(0);
    first_ = true;
    return done;
}

} // namespace corvantile::engine
