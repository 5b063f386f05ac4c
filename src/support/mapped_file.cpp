#include "support/mapped_file.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace corvantile::support {

#ifdef _WIN32

std::shared_ptr<const MappedFile> MappedFile::open(const std::filesystem::path& path,
                                                   std::size_t max_bytes) {
    // Shared for deleting, so that the file can be renamed aside while it is mapped.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size{};
    const void* view = nullptr;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) <= max_bytes) {
        // The view keeps the mapping (and the file) open once their handles are closed.
        if (const HANDLE mapping =
                CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr)) {
            view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
            CloseHandle(mapping);
        }
    }
    CloseHandle(file);
    if (!view)
        return nullptr;
    return std::shared_ptr<const MappedFile>(
        new MappedFile(static_cast<const char*>(view), static_cast<std::size_t>(size.QuadPart)));
}

MappedFile::~MappedFile() {
    UnmapViewOfFile(m_data);
}

#else

std::shared_ptr<const MappedFile> MappedFile::open(const std::filesystem::path& path,
                                                   std::size_t max_bytes) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return nullptr;
    struct stat status {};
    void* view = MAP_FAILED;
    if (fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
        static_cast<unsigned long long>(status.st_size) <= max_bytes)
        view = mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, file,
                    0);
    ::close(file);
    if (view == MAP_FAILED)
        return nullptr;
    return std::shared_ptr<const MappedFile>(
        new MappedFile(static_cast<const char*>(view), static_cast<std::size_t>(status.st_size)));
}

MappedFile::~MappedFile() {
    munmap(const_cast<char*>(m_data), m_size);
}

#endif

} // namespace corvantile::support
