// The index cache's form of a segment: its tables and text written out as they are in memory,
// and read back with a check that every item's texts lie within the buffer.
#include "core/engine/catalog/segment.h"

#include <cstring>

namespace corvantile::engine {
namespace {

// Tables start at multiples of this many bytes from the segment's start, so that a segment
// read into an aligned buffer can leave its tables where they are.
constexpr std::size_t kAlignment = 8;

void put_raw(std::string& out, const void* data, std::size_t bytes) {
    out.append(static_cast<const char*>(data), bytes);
}

template <class T> void put_value(std::string& out, T value) {
    // The cache is read by the same program on the same (little-endian) machines.
    put_raw(out, &value, sizeof value);
}

void pad(std::string& out, std::size_t start) {
    out.append((kAlignment - (out.size() - start) % kAlignment) % kAlignment, '\0');
}

template <class T>
void put_column(std::string& out, std::size_t start, const T* values, std::size_t count) {
    pad(out, start);
    put_raw(out, values, count * sizeof(T));
}

// Takes fixed-size values and tables from the front of a segment's bytes; fails past the end.
class Taker {
public:
    Taker(std::string_view bytes, bool in_place) : bytes_(bytes), in_place_(in_place) {}

    template <class T> bool value(T& out) {
        if (bytes_.size() - at_ < sizeof out)
            return false;
        std::memcpy(&out, bytes_.data() + at_, sizeof out);
        at_ += sizeof out;
        return true;
    }

    template <class T> bool column(Column<T>& out, std::size_t count) {
        at_ += (kAlignment - at_ % kAlignment) % kAlignment;
        if (at_ > bytes_.size() || count > (bytes_.size() - at_) / sizeof(T))
            return false;
        out.read(bytes_.data() + at_, count, in_place_);
        at_ += count * sizeof(T);
        return true;
    }

    bool text(std::string_view& out, std::size_t count) {
        if (count > bytes_.size() - at_)
            return false;
        out = bytes_.substr(at_, count);
        at_ += count;
        return true;
    }

    bool at_end() const { return at_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
    bool in_place_;
};

} // namespace

void Segment::append_to(std::string& out) const {
    const std::size_t start = out.size();
    const std::uint64_t count = size();
    put_value(out, count);
    put_column(out, start, masks_.data(), count);
    put_column(out, start, heads_.data(), count);
    put_column(out, start, begin_.data(), count + 1);
    put_column(out, start, name_lengths_.data(), count);
    for (const SparseColumn* column : {&path_lengths_, &folded_path_lengths_, &source_kinds_}) {
        put_value(out, std::uint8_t(column->any()));
        if (column->any())
            put_column(out, start, column->data(), count);
    }
    put_value(out, std::uint64_t(text_.size()));
    out.append(text_);
    put_value(out, uniform_source_);
}

std::shared_ptr<const Segment> Segment::from_bytes(std::string_view bytes,
                                                   std::shared_ptr<const void> buffer,
                                                   std::size_t buffer_bytes) {
    auto segment = std::make_shared<Segment>();
    Segment& s = *segment;
    Taker take(bytes, buffer != nullptr);
    std::uint64_t count = 0;
    if (!take.value(count) || count > bytes.size() / sizeof(std::uint64_t) ||
        !take.column(s.masks_, count) || !take.column(s.heads_, count) ||
        !take.column(s.begin_, count + 1) || !take.column(s.name_lengths_, count))
        return nullptr;
    for (SparseColumn* column : {&s.path_lengths_, &s.folded_path_lengths_, &s.source_kinds_}) {
        std::uint8_t any = 0;
        if (!take.value(any) || any > 1)
            return nullptr;
        if (any) {
            if (!take.column(column->values_, count))
                return nullptr;
            column->stored_ = true;
        }
    }
    std::uint64_t text_size = 0;
    if (!take.value(text_size) || !take.text(s.text_, text_size) ||
        !take.value(s.uniform_source_) || !take.at_end())
        return nullptr;
    if (buffer) {
        s.buffer_ = std::move(buffer);
        s.buffer_bytes_ = buffer_bytes;
    } else {
        s.built_text_.assign(s.text_);
        s.text_ = s.built_text_;
    }
    // The items' parts of the buffer follow each other within it; checked in full before any
    // item's texts are read, since reading a name may take its folded length.
    if (s.begin_.front() != 0 || s.begin_.back() != s.text_.size())
        return nullptr;
    for (std::size_t i = 0; i < count; ++i)
        if (s.begin_[i] > s.begin_[i + 1])
            return nullptr;
    // Every item's texts must lie within its part, and a file that shares its folder must
    // have a folder to share: a first file before it whose path holds the folder.
    std::size_t head = count;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t flags = s.path_lengths_[i];
        const std::size_t folded_path_length = flags & (kSelfFolded | kFoldOnRead)
                                                   ? s.path_length(i)
                                                   : std::size_t(s.folded_path_lengths_[i]);
        if ((s.name_lengths_[i] & kNameInPath) &&
            (s.name_length(i) > s.path_length(i) || s.name_length(i) > folded_path_length))
            return nullptr;
        const std::size_t room = s.begin_[i + 1] - s.begin_[i];
        if (s.name_length(i) > room)
            return nullptr;
        if (std::size_t(s.path_offset(i)) + s.stored_path_length(i) +
                s.stored_folded_path_length(i) >
            room)
            return nullptr;
        // Files of one folder, this one and the one before, have folder parts: their names end
        // their paths.
        if ((flags & kSameFolder) && (i == 0 || s.name_length(i) > s.path_length(i) ||
                                      s.name_length(i - 1) > s.path_length(i - 1)))
            return nullptr;
        if (!(flags & kSameFolder))
            head = i;
        constexpr std::uint32_t kShared = kFolderShared | kSameFolder | kFoldOnRead;
        if ((flags & kFolderShared) &&
            ((flags & kShared) != kShared || !(s.name_lengths_[i] & kNameInPath) || head == count ||
             s.path_length(i) - s.name_length(i) > s.path_length(head) ||
             (s.path_lengths_[head] & kFolderShared)))
            return nullptr;
    }
    return segment;
}

} // namespace corvantile::engine
