// The program's log: one UTF-8 line per event with its local time, appended to a file by a
// thread of its own so that whoever records an event never waits for the disk. The file is kept
// under a size cap: when a line would take it past the cap it becomes "<name>.1" (replacing the
// previous one) and a new file is begun.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace corvantile::support {

class LogFile {
public:
    static constexpr std::size_t kDefaultMaxBytes = 1024 * 1024;
    // Lines waiting beyond this many are dropped, and their number is written once the writer
    // catches up.
    static constexpr std::size_t kMaxQueuedLines = 10000;

    explicit LogFile(std::filesystem::path path, std::size_t max_bytes = kDefaultMaxBytes);
    // Writes what is still queued, then ends the writer thread.
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Queues one event; returns at once. Line breaks in text become spaces.
    void write(std::string_view text);
    // Waits until every line queued before the call has been written or given up on.
    void flush();

    const std::filesystem::path& path() const { return path_; }
    // "<path>.1", where the older half of the log goes.
    std::filesystem::path rotated_path() const;
    // How many writes failed since the start (the file could not be opened or written).
    std::uint64_t failed_writes() const;

private:
    struct Entry {
        std::chrono::system_clock::time_point time;
        std::string text;
    };

    void run();
    void writeBatch(const std::vector<Entry>& batch, std::size_t dropped);
    void rotate();
    bool append(const std::string& bytes);

    const std::filesystem::path path_;
    const std::size_t max_bytes_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::vector<Entry> queue_;
    std::size_t dropped_ = 0;
    std::uint64_t queued_total_ = 0;
    std::uint64_t written_total_ = 0;
    std::uint64_t failed_writes_ = 0;
    bool stopping_ = false;
    std::thread writer_;
};

// "2026-12-08 09:41:07.250 " in local time: the prefix of every log line.
std::string log_timestamp(std::chrono::system_clock::time_point time);

// text on one line: CR, LF and other control characters become spaces.
std::string log_single_line(std::string_view text);

// Appends one time-stamped line to the file at path directly, on the calling thread, for the
// moment the program is about to end abnormally and no writer thread can be trusted.
bool append_log_line_now(const std::filesystem::path& path, std::string_view text);

} // namespace corvantile::support
