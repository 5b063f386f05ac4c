#include "support/log_file.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <system_error>

namespace corvantile::support {

namespace {

std::string formatLine(std::chrono::system_clock::time_point time, std::string_view text) {
    return log_timestamp(time) + log_single_line(text) + "\n";
}

bool appendBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

} // namespace

std::string log_timestamp(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() %
        1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%04d-%02d-%02d %02d:%02d:%02d.%03d ",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, static_cast<int>(millis < 0 ? 0 : millis));
    return buffer;
}

std::string log_single_line(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return line;
}

bool append_log_line_now(const std::filesystem::path& path, std::string_view text) {
    try {
        return appendBytes(path, formatLine(std::chrono::system_clock::now(), text));
    } catch (...) {
        return false;
    }
}

LogFile::LogFile(std::filesystem::path path, std::size_t max_bytes)
    : path_(std::move(path)), max_bytes_(max_bytes), writer_([this] { run(); }) {}

LogFile::~LogFile() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

std::filesystem::path LogFile::rotated_path() const {
    std::filesystem::path rotated = path_;
    rotated += ".1";
    return rotated;
}

std::uint64_t LogFile::failed_writes() const {
    std::lock_guard lock(mutex_);
    return failed_writes_;
}

void LogFile::write(std::string_view text) {
    Entry entry{std::chrono::system_clock::now(), std::string(text)};
    {
        std::lock_guard lock(mutex_);
        ++queued_total_;
        if (queue_.size() >= kMaxQueuedLines) {
            ++dropped_;
            ++written_total_;
            return;
        }
        queue_.push_back(std::move(entry));
    }
    wake_.notify_one();
}

void LogFile::flush() {
    std::unique_lock lock(mutex_);
    const std::uint64_t target = queued_total_;
    written_.wait(lock, [&] { return written_total_ >= target; });
}

void LogFile::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty() || dropped_ > 0; });
        if (queue_.empty() && dropped_ == 0 && stopping_)
            return;
        std::vector<Entry> batch;
        batch.swap(queue_);
        const std::size_t dropped = dropped_;
        dropped_ = 0;
        lock.unlock();
        try {
            writeBatch(batch, dropped);
        } catch (...) {
            // Out of memory while formatting: the batch is lost, the writer goes on.
            std::lock_guard count(mutex_);
            ++failed_writes_;
        }
        lock.lock();
        written_total_ += batch.size();
        written_.notify_all();
    }
}

void LogFile::writeBatch(const std::vector<Entry>& batch, std::size_t dropped) {
    std::vector<std::string> lines;
    lines.reserve(batch.size() + 1);
    for (const Entry& entry : batch)
        lines.push_back(formatLine(entry.time, entry.text));
    if (dropped > 0)
        lines.push_back(
            formatLine(std::chrono::system_clock::now(),
                       std::to_string(dropped) +
                           " log lines were dropped: they came faster than the disk took them."));

    std::size_t failures = 0;
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path_, error);
    if (error)
        size = 0;
    std::string pending;
    for (const std::string& line : lines) {
        if (size + pending.size() > 0 && size + pending.size() + line.size() > max_bytes_) {
            if (!pending.empty() && !append(pending))
                ++failures;
            pending.clear();
            rotate();
            size = 0;
        }
        pending += line;
    }
    if (!pending.empty() && !append(pending))
        ++failures;
    if (failures > 0) {
        std::lock_guard lock(mutex_);
        failed_writes_ += failures;
    }
}

void LogFile::rotate() {
    try {
        std::error_code error;
        std::filesystem::remove(rotated_path(), error);
        std::filesystem::rename(path_, rotated_path(), error);
        // Something holds the old file open: start it over rather than grow past the cap.
        if (error)
            std::filesystem::resize_file(path_, 0, error);
    } catch (...) {
    }
}

bool LogFile::append(const std::string& bytes) {
    try {
        return appendBytes(path_, bytes);
    } catch (...) {
        return false;
    }
}

} // namespace corvantile::support
