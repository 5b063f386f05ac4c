// corvantile-filter QUERY: reads lines from standard input and prints those that match the
// query, best first. Exit status 0 when something matched, 1 when nothing did, 2 on bad usage.
#include "core/engine/catalog/catalog.h"
#include "core/engine/catalog/memory_hint.h"
#include "core/engine/match/raw_screen.h"
#include "core/engine/search/search_executor.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#if defined(__unix__)
#define CORVANTILE_FILTER_MMAP 1
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace engine = corvantile::engine;

namespace {

struct Options {
    std::string query;
    engine::MatchOptions match;
    std::size_t limit = 0;
    unsigned threads = 0;
};

constexpr std::string_view kUsage =
    "usage: corvantile-filter [options] QUERY\n"
    "Prints the lines of standard input that match QUERY, best first.\n"
    "  -i                  ignore case (the default)\n"
    "  +i, --case-sensitive  match case\n"
    "  --start             the query must match at the start of the line\n"
    "  --limit N           print at most N lines\n"
    "  --threads N         use N threads (default: all)\n";

bool parse_count(std::string_view text, std::size_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Parses the command line; false (with a message printed) when it is not understood.
bool parse(int argc, char** argv, Options& options) {
    bool have_query = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&](std::size_t& out) {
            return i + 1 < argc && parse_count(argv[++i], out);
        };
        std::size_t number = 0;
        if (arg == "-i") {
            options.match.case_sensitive = false;
        } else if (arg == "+i" || arg == "--case-sensitive") {
            options.match.case_sensitive = true;
        } else if (arg == "--start") {
            options.match.match_start_only = true;
        } else if (arg == "--limit") {
            if (!value(options.limit))
                return false;
        } else if (arg == "--threads") {
            if (!value(number) || number == 0 || number > 1024)
                return false;
            options.threads = static_cast<unsigned>(number);
        } else if (arg == "-h" || arg == "--help") {
            return false;
        } else if (arg == "--" && i + 1 < argc && !have_query) {
            options.query = argv[++i];
            have_query = true;
        } else if (!have_query) {
            options.query = std::string(arg);
            have_query = true;
        } else {
            return false;
        }
    }
    return have_query;
}

// All of the standard input in one place: mapped when it is a regular file (no copy and no
// fresh pages), otherwise read in large blocks into one buffer without zero-filling.
class Input {
public:
    Input() = default;
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    ~Input() {
#ifdef CORVANTILE_FILTER_MMAP
        if (mapped_)
            munmap(mapped_, size_);
#endif
        std::free(data_);
    }

    bool read(std::FILE* in) {
        if (map(in))
            return true;
        std::size_t capacity = std::size_t{1} << 24;
        for (;;) {
            if (size_ == capacity_ && !grow(std::max(capacity, capacity_ * 2)))
                return false;
            const std::size_t got = std::fread(data_ + size_, 1, capacity_ - size_, in);
            if (got == 0)
                return !std::ferror(in);
            size_ += got;
        }
    }

    std::string_view view() const {
        return {mapped_ ? static_cast<const char*>(mapped_) : data_, size_};
    }

private:
    bool map(std::FILE* in) {
#ifdef CORVANTILE_FILTER_MMAP
        struct stat info {};
        const int fd = fileno(in);
        if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
            return false;
        const off_t offset = lseek(fd, 0, SEEK_CUR);
        if (offset != 0)
            return false;
        void* mapped = mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ,
                            MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapped == MAP_FAILED)
            return false;
        mapped_ = mapped;
        size_ = static_cast<std::size_t>(info.st_size);
        return true;
#else
        (void)in;
        return false;
#endif
    }

    bool grow(std::size_t capacity) {
        // realloc moves large blocks by remapping pages, without copying them.
        void* grown = std::realloc(data_, capacity);
        if (!grown)
            return false;
        data_ = static_cast<char*>(grown);
        engine::prefer_large_pages(data_ + size_, capacity - size_);
        capacity_ = capacity;
        return true;
    }

    void* mapped_ = nullptr;
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

std::size_t count_lines(std::string_view text) {
    std::size_t lines = 1;
    for (const char* p = text.data();
         const void* newline =
             std::memchr(p, '\n', static_cast<std::size_t>(text.data() + text.size() - p));
         p = static_cast<const char*>(newline) + 1)
        ++lines;
    return lines;
}

// Builds one segment per part of the input, in parallel; each part starts at a line start.
// Lines the screen shows the query cannot match are left out: when few lines match, most of
// the input is never folded or stored.
std::shared_ptr<const engine::CatalogSnapshot> build_catalog(std::string_view input, unsigned parts,
                                                             const engine::RawScreen& screen) {
    std::vector<std::size_t> bounds{0};
    for (unsigned p = 1; p < parts; ++p) {
        std::size_t at = std::max(bounds.back(), input.size() * p / parts);
        const auto newline = input.find('\n', at);
        at = newline == std::string_view::npos ? input.size() : newline + 1;
        bounds.push_back(at);
    }
    bounds.push_back(input.size());
    std::vector<std::vector<engine::SegmentSlot>> built(parts);
    const auto build = [&](unsigned p) {
        std::string_view text = input.substr(bounds[p], bounds[p + 1] - bounds[p]);
        engine::SegmentBuilder builder(count_lines(text), text.size());
        std::string_view line;
        for (std::size_t from = 0; screen.next_line(text, from, line);) {
            if (!builder.add(engine::ItemData{line, {}, {}, {}, 0}, 0)) {
                built[p].push_back({builder.finish(), nullptr, 0});
                builder.add(engine::ItemData{line, {}, {}, {}, 0}, 0);
            }
        }
        if (!builder.empty())
            built[p].push_back({builder.finish(), nullptr, 0});
    };
    std::vector<std::thread> threads;
    for (unsigned p = 1; p < parts; ++p)
        threads.emplace_back(build, p);
    build(0);
    for (std::thread& thread : threads)
        thread.join();
    std::vector<engine::SegmentSlot> slots;
    for (auto& part : built)
        for (auto& slot : part)
            slots.push_back(std::move(slot));
    return std::make_shared<const engine::CatalogSnapshot>(
        std::move(slots), std::make_shared<const std::vector<std::string>>(1));
}

// Collects output lines and writes them in large blocks.
class Output {
public:
    ~Output() { flush(); }
    void line(std::string_view text) {
        buffer_.append(text);
        buffer_.push_back('\n');
        if (buffer_.size() >= kBlock)
            flush();
    }
    void flush() {
        if (!buffer_.empty())
            std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
        buffer_.clear();
    }

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    std::string buffer_;
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs(kUsage.data(), stderr);
        return 2;
    }
    const unsigned threads =
        options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    Input input;
    if (!input.read(stdin)) {
        std::fputs("corvantile-filter: cannot read the standard input\n", stderr);
        return 2;
    }
    const engine::Query query(options.query, options.match);
    const auto catalog = build_catalog(input.view(), threads, engine::RawScreen(query));

    Output output;
    std::size_t printed = 0;
    if (query.empty()) {
        // An empty query matches every line, in input order.
        catalog->for_each([&](std::uint32_t, const engine::ItemView& item) {
            if (options.limit == 0 || printed < options.limit) {
                output.line(item.name);
                ++printed;
            }
        });
        output.flush();
        return printed > 0 ? 0 : 1;
    }

    engine::SearchExecutor executor(threads);
    std::latch done(1);
    engine::SearchRequest request;
    request.text = options.query;
    request.match = options.match;
    request.min_chars = 0;
    request.max_results = options.limit;
    request.batch_size = 4096;
    request.positions = false;
    request.catalog = catalog;
    request.callbacks.on_batch = [&](engine::SearchId, std::span<const engine::SearchHit> hits) {
        for (const engine::SearchHit& hit : hits)
            output.line(hit.item.name);
        printed += hits.size();
    };
    request.callbacks.on_done = [&](engine::SearchId) { done.count_down(); };
    executor.start(std::move(request));
    done.wait();
    output.flush();
    std::fflush(stdout);
    return printed > 0 ? 0 : 1;
}
