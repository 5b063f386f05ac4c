#include "support/file_io.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace corvantile::support {

namespace fs = std::filesystem;

fs::path path_from_utf8(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string path_to_utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::optional<std::string> read_file(const fs::path& path, std::size_t max_bytes) {
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    const auto size = fs::file_size(path, error);
    if (error || size > max_bytes)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string content(static_cast<std::size_t>(size), '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (static_cast<std::size_t>(in.gcount()) != content.size())
        return std::nullopt;
    return content;
}

namespace {

// Writes and flushes to stable storage; false on any failure.
bool write_and_flush(const fs::path& path, std::string_view bytes, bool flush) {
#ifdef _WIN32
    FILE* file = _wfopen(path.c_str(), L"wb");
#else
    FILE* file = std::fopen(path.c_str(), "wb");
#endif
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    if (ok && flush) {
#ifdef _WIN32
        ok = _commit(_fileno(file)) == 0;
#else
        ok = fsync(fileno(file)) == 0;
#endif
    }
    return std::fclose(file) == 0 && ok;
}

} // namespace

bool write_file_atomically(const fs::path& path, std::string_view bytes,
                           const AtomicSaveOptions& options) {
    const auto failing = [&](SaveStep step) { return options.fail_at == step; };
    fs::path temp = path;
    temp += ".tmp";
    std::error_code error;

    if (failing(SaveStep::WriteTemp))
        return false;
    if (failing(SaveStep::FlushTemp)) {
        // A crash half-way through writing: a partial temporary file is all that is left.
        write_and_flush(temp, bytes.substr(0, bytes.size() / 2), false);
        return false;
    }
    if (!write_and_flush(temp, bytes, true)) {
        fs::remove(temp, error);
        return false;
    }
    if (failing(SaveStep::KeepBackup))
        return false;
    if (options.keep_backup && fs::exists(path, error)) {
        // The backup is replaced atomically too: copied beside it, then renamed over it.
        fs::path backup = path;
        backup += ".bak";
        fs::path backup_temp = backup;
        backup_temp += ".tmp";
        fs::copy_file(path, backup_temp, fs::copy_options::overwrite_existing, error);
        if (!error)
            fs::rename(backup_temp, backup, error);
        if (error)
            fs::remove(backup_temp, error);
    }
    if (failing(SaveStep::Replace))
        return false;
    fs::rename(temp, path, error);
    if (error && options.move_aside_in_use) {
        fs::path aside = path;
        aside += ".old";
        fs::rename(path, aside, error);
        if (!error)
            fs::rename(temp, path, error);
    }
    if (error) {
        fs::remove(temp, error);
        return false;
    }
    return true;
}

} // namespace corvantile::support
