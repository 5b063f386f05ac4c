// A whole file mapped into memory, read-only: its pages come straight from the system's file
// cache, so that a large file is usable at once without being copied.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

namespace corvantile::support {

class MappedFile {
public:
    // The file mapped, or null when it is missing, empty, larger than max_bytes or cannot be
    // mapped. The file may be renamed while mapped, but (on Windows) not replaced or deleted.
    static std::shared_ptr<const MappedFile> open(const std::filesystem::path& path,
                                                  std::size_t max_bytes);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const { return {m_data, m_size}; }

private:
    MappedFile(const char* data, std::size_t size) : m_data(data), m_size(size) {}

    const char* m_data;
    std::size_t m_size;
};

} // namespace corvantile::support
