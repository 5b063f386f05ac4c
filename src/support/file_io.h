// Whole-file reading and atomic replacement, with UTF-8 path names on every platform.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace corvantile::support {

// A filesystem path from UTF-8 text (on Windows the native form is UTF-16).
std::filesystem::path path_from_utf8(std::string_view utf8);

// The UTF-8 text of a filesystem path.
std::string path_to_utf8(const std::filesystem::path& path);

// The whole content of a file; nullopt when it is missing, unreadable or larger than max_bytes.
std::optional<std::string> read_file(const std::filesystem::path& path, std::size_t max_bytes);

// Steps of an atomic save, so that tests can stop one half-way as a crash would.
enum class SaveStep { WriteTemp, FlushTemp, KeepBackup, Replace };

struct AtomicSaveOptions {
    bool keep_backup = false;        // keep the previous file as "<name>.bak"
    std::optional<SaveStep> fail_at; // test seam: pretend a crash just before this step
    // When the file cannot be replaced (on Windows, while it is mapped), rename it to
    // "<name>.old" (replacing an earlier one) and put the new file in its place.
    bool move_aside_in_use = false;
};

// Writes bytes to "<path>.tmp", flushes it to disk, optionally copies the old file to
// "<path>.bak", then renames the temporary over the target. A crash at any point leaves
// either the old or the new content at path, never a truncated file. True on success.
bool write_file_atomically(const std::filesystem::path& path, std::string_view bytes,
                           const AtomicSaveOptions& options = {});

} // namespace corvantile::support
