// The preferences file on disk: loading with recovery from a damaged file, and atomic saving
// that keeps the previous good file as "<name>.bak".
#pragma once

#include <filesystem>
#include <optional>

#include "support/file_io.h"
#include "support/prefs_tree.h"

namespace corvantile::support {

enum class PrefsLoadStatus {
    Missing,    // no file: a first run
    Loaded,     // the file was read
    FromBackup, // the file was damaged and set aside; the backup was read instead
    Unusable,   // the file was damaged and set aside, and there was no usable backup
};

struct PrefsLoadResult {
    PrefsLoadStatus status = PrefsLoadStatus::Missing;
    // Where a damaged file was moved, so that the next save cannot destroy it.
    std::optional<std::filesystem::path> set_aside;

    bool loaded() const {
        return status == PrefsLoadStatus::Loaded || status == PrefsLoadStatus::FromBackup;
    }
};

// "<path>.bak", the copy of the last good file that a save keeps.
std::filesystem::path prefs_backup_path(const std::filesystem::path& path);

// Reads the document at path into `document` (see read_prefs_xml). A file that cannot be read
// as preferences is renamed to "<path>.corrupt-<date>-<time>" and the backup, when it is good,
// is read instead; the backup itself is never changed. `document` is empty unless loaded().
PrefsLoadResult load_prefs_file(const std::filesystem::path& path, PrefsNode& document);

// Writes the document holding `root` to path atomically. The file being replaced becomes the
// backup only when it is itself a good preferences file; a damaged one is set aside instead,
// so the backup always stays loadable. A file that already holds exactly this document is left
// as it is. False when the file was not replaced. fail_at lets a
// test stop the save half-way, as a crash would.
bool save_prefs_file(const std::filesystem::path& path, const PrefsNode& root,
                     std::optional<SaveStep> fail_at = std::nullopt);

} // namespace corvantile::support
