#include "support/prefs_file.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>

#include "support/prefs_xml.h"

namespace corvantile::support {

namespace fs = std::filesystem;

namespace {

fs::path with_suffix(const fs::path& path, const std::string& suffix) {
    fs::path result = path;
    result += path_from_utf8(suffix);
    return result;
}

// Reads path into document; false (document empty) when the file is missing, too large,
// unreadable or not a preferences document.
bool read_into(const fs::path& path, PrefsNode& document) {
    document.clear();
    const auto text = read_file(path, kPrefsMaxBytes);
    return text && read_prefs_xml(*text, document);
}

// UTC "YYYYMMDD-HHMMSS" for the name of a file set aside.
std::string timestamp() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u-%02d%02d%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

// Renames a damaged file to a fresh "<path>.corrupt-<stamp>[-n]"; the new name, or nullopt when
// the file could not be moved (it is then left where it is).
std::optional<fs::path> set_aside(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    const std::string stem = ".corrupt-" + timestamp();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const fs::path target =
            with_suffix(path, attempt == 1 ? stem : stem + "-" + std::to_string(attempt));
        if (fs::exists(target, error))
            continue;
        fs::rename(path, target, error);
        if (error)
            return std::nullopt;
        return target;
    }
    return std::nullopt;
}

} // namespace

fs::path prefs_backup_path(const fs::path& path) {
    return with_suffix(path, ".bak");
}

PrefsLoadResult load_prefs_file(const fs::path& path, PrefsNode& document) {
    PrefsLoadResult result;
    std::error_code error;
    document.clear();
    if (!fs::exists(path, error))
        return result;
    if (read_into(path, document)) {
        result.status = PrefsLoadStatus::Loaded;
        return result;
    }
    result.set_aside = set_aside(path);
    result.status = read_into(prefs_backup_path(path), document) ? PrefsLoadStatus::FromBackup
                                                                 : PrefsLoadStatus::Unusable;
    return result;
}

bool save_prefs_file(const fs::path& path, const PrefsNode& root, std::optional<SaveStep> fail_at) {
    const auto text = write_prefs_xml(root);
    if (!text)
        return false;
    AtomicSaveOptions options;
    options.fail_at = fail_at;
    std::error_code error;
    if (fs::exists(path, error)) {
        const auto current = read_file(path, kPrefsMaxBytes);
        // Saved again and again while the program runs: an unchanged file is left alone, so
        // that the backup stays the last different version.
        if (current && *current == *text && !fail_at)
            return true;
        PrefsNode previous("");
        options.keep_backup = current && read_prefs_xml(*current, previous);
        if (!options.keep_backup)
            set_aside(path);
    }
    return write_file_atomically(path, *text, options);
}

} // namespace corvantile::support
