#include "core/engine/catalog/segment.h"

#include "core/engine/catalog/memory_hint.h"
#include "core/engine/text/text_fold.h"
#include "core/engine/text/simd.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace corvantile::engine {

namespace {

constexpr std::size_t kMaxBuffer = std::numeric_limits<std::uint32_t>::max();

template <class T> void reserve_large(Column<T>& column, std::size_t count) {
    column.reserve(count);
    prefer_large_pages(column.owned_data(), column.owned_capacity() * sizeof(T));
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
    if (folded_path_lengths_.any())
        prefetch(folded_path_lengths_.data() + i);
}

void Segment::prefetch_texts(std::size_t i) const {
    prefetch(at(i));
}

std::uint64_t Segment::admitted(std::size_t first, std::size_t count, std::uint32_t mask,
                                std::uint64_t* by_name) const {
    std::uint64_t bits = 0, name_bits = 0;
    const std::uint64_t* masks = masks_.data() + first;
    std::size_t j = 0;
#if CORVANTILE_SSE2
    // Four items at a time: their name and path masks are gathered into two vectors.
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(mask));
    for (; j + 4 <= count; j += 4) {
        const __m128 a =
            _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(masks + j)));
        const __m128 b =
            _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(masks + j + 2)));
        const __m128i names = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
        const __m128i paths = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
        const __m128i keys = _mm_and_si128(_mm_or_si128(names, paths), wanted);
        const int hits = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(keys, wanted)));
        bits |= std::uint64_t(unsigned(hits)) << j;
        const __m128i in_names = _mm_cmpeq_epi32(_mm_and_si128(names, wanted), wanted);
        name_bits |= std::uint64_t(unsigned(_mm_movemask_ps(_mm_castsi128_ps(in_names)))) << j;
    }
#endif
    for (; j < count; ++j) {
        const auto name = std::uint32_t(masks[j]);
        const auto key = name | std::uint32_t(masks[j] >> 32);
        bits |= std::uint64_t((key & mask) == mask) << j;
        name_bits |= std::uint64_t((name & mask) == mask) << j;
    }
    if (by_name)
        *by_name = name_bits;
    return bits;
}

std::uint64_t Segment::beginning_with(std::size_t first, std::size_t count, unsigned char c) const {
    static_assert(sizeof(NameHead) == 4);
    std::uint64_t bits = 0;
    const NameHead* heads = heads_.data() + first;
    std::size_t j = 0;
#if CORVANTILE_SSE2
    const __m128i wanted = _mm_set1_epi32(c);
    const __m128i first_byte = _mm_set1_epi32(0xFF);
    for (; j + 4 <= count; j += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(heads + j));
        const __m128i equal = _mm_cmpeq_epi32(_mm_and_si128(four, first_byte), wanted);
        bits |= std::uint64_t(unsigned(_mm_movemask_ps(_mm_castsi128_ps(equal)))) << j;
    }
#endif
    for (; j < count; ++j)
        bits |= std::uint64_t(static_cast<unsigned char>(heads[j].first()) == c) << j;
    return bits;
}

std::uint64_t Segment::folder_starts(std::size_t first, std::size_t count) const {
    if (!path_lengths_.any())
        return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
    std::uint64_t same = 0;
    std::size_t j = 0;
#if CORVANTILE_SSE2
    // Four items at a time: the flag's bit is moved to the sign, which movemask gathers.
    static_assert(kSameFolder == std::uint32_t{1} << 30);
    for (; j + 4 <= count; j += 4) {
        const __m128i four =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(path_lengths_.data() + first + j));
        same |= std::uint64_t(unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(four, 1)))))
                << j;
    }
#endif
    for (; j < count; ++j)
        same |= std::uint64_t(same_folder(first + j)) << j;
    const std::uint64_t all = count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
    return ~same & all;
}

void Segment::prefetch_item(std::size_t i) const {
    const std::size_t bytes = std::min<std::size_t>(begin_[i + 1] - begin_[i], 256);
    if (bytes == 0)
        return;
    const char* first = at(i);
    const char* last = first + bytes - 1;
    for (const char* line = first; line <= last; line += 64)
        prefetch(line);
    prefetch(last);
}

std::string_view Segment::payload(std::size_t i) const {
    const std::size_t offset =
        path_offset(i) + stored_path_length(i) + stored_folded_path_length(i);
    return {at(i) + offset, begin_[i + 1] - begin_[i] - offset};
}

std::string_view Segment::fold_in(std::string& room, std::string_view text) {
    room.assign(text);
    fold_ascii_in_place(room.data(), room.size());
    return room;
}

std::string_view Segment::fold_room(std::string& room) {
    fold_ascii_in_place(room.data(), room.size());
    return room;
}

std::size_t Segment::folder_head(std::size_t i) const {
    // Most folders hold a few files; some hold many thousands, whose marks are read 64 at a
    // time.
    for (int step = 0; step < 8 && i > 0 && same_folder(i); ++step)
        --i;
    while (i > 0 && same_folder(i)) {
        const std::size_t first = i >= 63 ? i - 63 : 0;
        const std::uint64_t starts = folder_starts(first, i - first + 1);
        if (starts != 0)
            return first + 63 - std::size_t(std::countl_zero(starts));
        i = first - 1;
    }
    return i;
}

std::string_view Segment::folder(std::size_t i) const {
    const std::size_t length = path_length(i) - name_length(i);
    if (!(path_lengths_[i] & kFolderShared))
        return {at(i) + path_offset(i), length};
    const std::size_t head = folder_head(i);
    return {at(head) + path_offset(head), length};
}

std::string_view Segment::compose_in(std::string& room, std::string_view folder_text,
                                     std::size_t i) const {
    room.resize(folder_text.size() + name_length(i));
    std::memcpy(room.data(), folder_text.data(), folder_text.size());
    std::memcpy(room.data() + folder_text.size(), at(i), name_length(i));
    return room;
}

std::size_t Segment::refolded_name_length(std::size_t i) const {
    return folded(name(i)).size();
}

std::size_t Segment::memory_bytes() const {
    return masks_.memory_bytes() + heads_.memory_bytes() + begin_.memory_bytes() +
           name_lengths_.memory_bytes() + path_lengths_.memory_bytes() +
           folded_path_lengths_.memory_bytes() + source_kinds_.memory_bytes() + built_text_.size() +
           buffer_bytes_ + sizeof(*this);
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
    reserve_large(s.built_text_, std::min(expected_text_bytes * 2, kMaxBuffer));
    s.begin_.push_back(0);
}

namespace {

bool is_ascii(std::string_view text) {
    // Eight bytes at a time, then the rest.
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        high |= word;
    }
    for (; i < text.size(); ++i)
        high |= static_cast<unsigned char>(text[i]);
    return (high & 0x8080808080808080ULL) == 0;
}

// True when the name can be read from the end of the path: it is that end, and ASCII, so
// that its folded form is the same end of the folded path.
bool name_ends_path(std::string_view name, std::string_view path) {
    if (name.empty() || name.size() > path.size())
        return false;
    const char* end = path.data() + path.size() - name.size();
    // Often the name is a view of the path itself.
    return (name.data() == end || std::memcmp(name.data(), end, name.size()) == 0) &&
           is_ascii(name);
}

} // namespace

bool SegmentBuilder::add(const ItemData& item, SourceId source) {
    Segment& s = *segment_;
    std::string& text = s.built_text_;
    // Folding maps a code point to one code point; a stray byte may become three bytes.
    const std::size_t worst_size = 4 * (item.name.size() + item.path.size()) + item.payload.size();
    if (worst_size > kMaxBuffer - text.size() || item.name.size() > Segment::kMaxTextLength ||
        item.path.size() > Segment::kMaxTextLength)
        return false;

    // A file of the last item's folder with an ASCII path keeps only its name.
    const bool file = is_file(item);
    const bool same = file && same_folder(item, folder_start_);
    // An ASCII path keeps only its original: its folded form is as long and made when read.
    const bool fold_on_read = !item.path.empty() && is_ascii(item.path);
    if (same && fold_on_read) {
        add_shared(item, source);
        return true;
    }

    // Each text is followed by its folded form, which is dropped again when it is the same.
    std::uint32_t name_length = static_cast<std::uint32_t>(item.name.size());
    auto path_length = static_cast<std::uint32_t>(item.path.size());
    std::uint32_t folded_path_length = 0, name_mask = 0, path_mask = 0;
    NameHead head;
    bool name_same = false, path_same = false;
    const std::size_t previous_folder = folder_start_;
    folder_mask_known_ = false;
    if (name_ends_path(item.name, item.path)) {
        // The path is folded in one go; the name is its last bytes, in both forms.
        folder_start_ = text.size();
        text.append(item.path);
        const std::size_t folded_start = text.size();
        fold_append(item.path, text, path_same);
        const std::string_view folded = std::string_view(text).substr(folded_start);
        const std::size_t name_start = folded.size() - name_length;
        const std::string_view folded_name = folded.substr(name_start);
        name_mask = char_mask(folded_name);
        folder_mask_ = char_mask(folded.substr(0, name_start));
        folder_mask_known_ = true;
        path_mask = folder_mask_ | name_mask;
        name_same = path_same;
        head = NameHead::of(folded_name);
        folded_path_length = static_cast<std::uint32_t>(folded.size());
        if (path_same || fold_on_read)
            text.resize(folded_start);
        name_length |= Segment::kNameInPath;
    } else {
        text.append(item.name);
        std::size_t folded_start = text.size();
        name_mask = fold_and_mask(item.name, text, name_same);
        head = NameHead::of(std::string_view(text).substr(folded_start));
        if (name_same)
            text.resize(folded_start);
        folder_start_ = text.size();
        text.append(item.path);
        folded_start = text.size();
        path_mask = fold_and_mask(item.path, text, path_same);
        folded_path_length = static_cast<std::uint32_t>(text.size() - folded_start);
        if (path_same || fold_on_read)
            text.resize(folded_start);
    }
    if (name_same)
        name_length |= Segment::kSelfFolded;
    // An empty path stays 0, so that a segment of items without paths keeps no path lengths.
    if (path_same && !item.path.empty())
        path_length |= Segment::kSelfFolded;
    else if (fold_on_read)
        path_length |= Segment::kFoldOnRead;
    if (path_length & (Segment::kSelfFolded | Segment::kFoldOnRead))
        folded_path_length = 0;
    // A file: its name ends its path, after a separator, and holds none.
    if (same) {
        path_length |= Segment::kSameFolder;
        folder_start_ = previous_folder;
    }
    folder_length_ = file ? item.path.size() - item.name.size() : 0;
    text.append(item.payload);
    push(item, source, {name_mask, path_mask, head, name_length, path_length, folded_path_length});
    return true;
}

bool SegmentBuilder::is_file(const ItemData& item) {
    // Its name ends its path, after a separator, and holds none.
    const std::size_t folder_length = item.path.size() - item.name.size();
    return !item.name.empty() && item.name.size() < item.path.size() &&
           (item.path[folder_length - 1] == '\\' || item.path[folder_length - 1] == '/') &&
           std::none_of(item.name.begin(), item.name.end(),
                        [](char c) { return c == '\\' || c == '/'; }) &&
           item.path.ends_with(item.name);
}

bool SegmentBuilder::same_folder(const ItemData& item, std::size_t folder_start) const {
    const std::size_t folder_length = item.path.size() - item.name.size();
    return folder_length_ != 0 && folder_length == folder_length_ &&
           std::memcmp(segment_->built_text_.data() + folder_start, item.path.data(),
                       folder_length) == 0;
}

void SegmentBuilder::add_shared(const ItemData& item, SourceId source) {
    std::string& text = segment_->built_text_;
    if (!folder_mask_known_) {
        fold_room_.assign(item.path.substr(0, folder_length_));
        fold_ascii_in_place(fold_room_.data(), fold_room_.size());
        folder_mask_ = char_mask(fold_room_);
        folder_mask_known_ = true;
    }
    fold_room_.assign(item.name);
    fold_ascii_in_place(fold_room_.data(), fold_room_.size());
    const std::uint32_t name_mask = char_mask(fold_room_);
    std::uint32_t name_length = static_cast<std::uint32_t>(item.name.size()) | Segment::kNameInPath;
    if (fold_room_ == item.name)
        name_length |= Segment::kSelfFolded;
    const std::uint32_t path_length = static_cast<std::uint32_t>(item.path.size()) |
                                      Segment::kSameFolder | Segment::kFoldOnRead |
                                      Segment::kFolderShared;
    text.append(item.name);
    text.append(item.payload);
    push(item, source,
         {name_mask, folder_mask_ | name_mask, NameHead::of(fold_room_), name_length, path_length,
          0});
}

void SegmentBuilder::push(const ItemData& item, SourceId source, const Entry& entry) {
    Segment& s = *segment_;
    s.masks_.push_back(entry.name_mask | std::uint64_t(entry.path_mask) << 32);
    s.heads_.push_back(entry.head);
    s.begin_.push_back(static_cast<std::uint32_t>(s.built_text_.size()));
    s.name_lengths_.push_back(entry.name_length);
    const std::size_t index = s.name_lengths_.size() - 1;
    s.path_lengths_.push(index, entry.path_length);
    s.folded_path_lengths_.push(index, entry.folded_path_length);
    s.source_kinds_.push(index, (std::uint32_t(source) << 16) | item.kind);
    if (first_)
        s.uniform_source_ = source;
    else if (s.uniform_source_ != source)
        s.uniform_source_ = Segment::kMixedSources;
    first_ = false;
}

std::shared_ptr<const Segment> SegmentBuilder::finish() {
    Segment& s = *segment_;
    s.masks_.trim();
    s.heads_.trim();
    s.begin_.trim();
    s.name_lengths_.trim();
    s.path_lengths_.shrink_to_fit();
    s.folded_path_lengths_.shrink_to_fit();
    s.source_kinds_.shrink_to_fit();
    // The text buffer keeps its reserve: pages never written take no memory, and shrinking
    // would copy every byte.
    s.text_ = s.built_text_;
    std::shared_ptr<const Segment> done = std::move(segment_);
    segment_ = std::make_unique<Segment>();
    segment_->begin_.push_back(0);
    first_ = true;
    folder_length_ = 0;
    folder_mask_known_ = false;
    return done;
}

} // namespace corvantile::engine
