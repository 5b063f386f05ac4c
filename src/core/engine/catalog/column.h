// The columns of a segment's tables: values the segment built itself, or read back from the
// index cache and left where they were read (the segment keeps that buffer alive).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace corvantile::engine {

template <class T> class Column {
public:
    Column() = default;
    Column(const Column&) = delete;
    Column& operator=(const Column&) = delete;
    Column(Column&&) noexcept = default;
    Column& operator=(Column&&) noexcept = default;

    const T& operator[](std::size_t i) const { return data_[i]; }
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& front() const { return data_[0]; }
    const T& back() const { return data_[size_ - 1]; }

    // Building: the column's own values.
    void push_back(T value) {
        owned_.push_back(value);
        sync();
    }
    void reserve(std::size_t count) {
        owned_.reserve(count);
        sync();
    }
    void assign(std::size_t count, T value) {
        owned_.assign(count, value);
        sync();
    }
    // Gives back reserved room that was not used, when that is more than a little.
    void trim() {
        if (owned_.capacity() > owned_.size() + owned_.size() / 16 + 64)
            owned_.shrink_to_fit();
        sync();
    }
    void shrink_to_fit() {
        owned_.shrink_to_fit();
        sync();
    }
    // The values, for reserving them as large pages.
    T* owned_data() { return owned_.data(); }
    std::size_t owned_capacity() const { return owned_.capacity(); }

    // Takes count values read back: left in place when allowed and aligned, copied otherwise.
    void read(const void* values, std::size_t count, bool in_place) {
        if (in_place && reinterpret_cast<std::uintptr_t>(values) % alignof(T) == 0) {
            owned_ = {};
            data_ = static_cast<const T*>(values);
            size_ = count;
            return;
        }
        owned_.resize(count);
        if (count != 0)
            std::memcpy(owned_.data(), values, count * sizeof(T));
        sync();
    }

    // Bytes of the column's own values (values left in place are the segment's buffer).
    std::size_t memory_bytes() const { return owned_.capacity() * sizeof(T); }

private:
    void sync() {
        data_ = owned_.data();
        size_ = owned_.size();
    }

    std::vector<T> owned_;
    const T* data_ = nullptr;
    std::size_t size_ = 0;
};

// A column of 32-bit values that takes no memory while all its values are 0.
class SparseColumn {
public:
    std::uint32_t operator[](std::size_t i) const { return stored_ ? values_[i] : 0; }
    // Appends the value of item `index` (items are appended in order).
    void push(std::size_t index, std::uint32_t value) {
        if (stored_)
            values_.push_back(value);
        else if (value != 0)
            store_from(index, value);
    }
    void reserve(std::size_t count) { reserve_ = count; }
    // False while every value is 0.
    bool any() const { return stored_; }
    // The values, when any() is true.
    const std::uint32_t* data() const { return values_.data(); }
    void shrink_to_fit() { values_.shrink_to_fit(); }
    std::size_t memory_bytes() const { return values_.memory_bytes(); }

private:
    friend class Segment; // reads and writes the values for the index cache
    // Starts storing values: the first `index` items had 0.
    void store_from(std::size_t index, std::uint32_t value) {
        values_.reserve(index + 1 > reserve_ ? index + 1 : reserve_);
        values_.assign(index, 0);
        values_.push_back(value);
        stored_ = true;
    }

    Column<std::uint32_t> values_;
    std::size_t reserve_ = 0;
    bool stored_ = false;
};

} // namespace corvantile::engine
