// Benchmarks of the search engine: catalog building and queries over 100,000 and 1,000,000
// file items, on one thread and on all of them. Query latency is measured from start() to
// on_done, and reported with its median and 95th percentile.
#include "corpus.h"

#include "core/engine/catalog/catalog.h"
#include "core/engine/catalog/index_cache.h"
#include "core/engine/search/search_executor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace corvantile::bench {
namespace {

const Corpus& corpus(std::size_t count) {
    static std::map<std::size_t, std::unique_ptr<Corpus>> cache;
    auto& slot = cache[count];
    if (!slot)
        slot = std::make_unique<Corpus>(count);
    return *slot;
}

std::shared_ptr<const engine::CatalogSnapshot> catalog(std::size_t count) {
    static std::map<std::size_t, std::shared_ptr<const engine::CatalogSnapshot>> cache;
    auto& slot = cache[count];
    if (!slot)
        slot = engine::build_snapshot(corpus(count).items());
    return slot;
}

engine::SearchExecutor& executor(unsigned threads) {
    static std::map<unsigned, std::unique_ptr<engine::SearchExecutor>> cache;
    auto& slot = cache[threads];
    if (!slot)
        slot = std::make_unique<engine::SearchExecutor>(threads);
    return *slot;
}

void BM_CatalogBuild(benchmark::State& state) {
    const Corpus& items = corpus(static_cast<std::size_t>(state.range(0)));
    std::size_t overhead = 0;
    for (auto _ : state) {
        auto built = engine::build_snapshot(items.items());
        std::size_t text = 0;
        for (std::size_t s = 0; s < built->slot_count(); ++s)
            text += built->slot(s).segment->text_bytes();
        overhead = built->memory_bytes() - text;
        benchmark::DoNotOptimize(built);
        // Freeing the catalog is not part of building it.
        state.PauseTiming();
        built.reset();
        state.ResumeTiming();
    }
    const double count = double(items.items().size());
    state.SetItemsProcessed(std::int64_t(state.iterations() * items.items().size()));
    state.counters["ns_per_item"] = benchmark::Counter(
        count * double(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    state.counters["bytes_per_item_beyond_text"] = double(overhead) / count;
}
BENCHMARK(BM_CatalogBuild)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

// Loading the index cache of the catalog from a file (in the page cache, as on a warm start):
// reading each segment, checking it and its tables, without parsing items.
void BM_CacheLoad(benchmark::State& state) {
    const Corpus& items = corpus(static_cast<std::size_t>(state.range(0)));
    const auto file = std::filesystem::temp_directory_path() / "corvantile_bench_index.cache";
    if (!engine::save_index_cache(file, *engine::build_snapshot(items.items()))) {
        state.SkipWithError("the cache could not be written");
        return;
    }
    for (auto _ : state) {
        auto loaded = engine::load_index_cache(file);
        if (!loaded || loaded->size() != items.items().size()) {
            state.SkipWithError("the cache did not load");
            break;
        }
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    state.counters["file_mb"] = double(std::filesystem::file_size(file)) / 1e6;
    std::filesystem::remove(file);
}
BENCHMARK(BM_CacheLoad)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

// Runs one search to its end and returns its duration and match count.
struct Outcome {
    double milliseconds = 0;
    std::size_t results = 0;
};

Outcome run_search(engine::SearchExecutor& pool,
                   const std::shared_ptr<const engine::CatalogSnapshot>& snapshot,
                   const std::string& text) {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::size_t results = 0;
    engine::SearchRequest request;
    request.text = text;
    request.catalog = snapshot;
    request.max_results = 100;
    request.callbacks.on_batch = [&](engine::SearchId, std::span<const engine::SearchHit> hits) {
        results += hits.size();
    };
    request.callbacks.on_done = [&](engine::SearchId) {
        std::lock_guard lock(mutex);
        done = true;
        finished.notify_one();
    };
    const auto begin = std::chrono::steady_clock::now();
    pool.start(std::move(request));
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return done; });
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(end - begin).count(), results};
}

// The q-th percentile of sorted values by nearest rank: the smallest value that at least a
// fraction q of the values do not exceed (of 20 values, the 95th percentile is the 19th).
double percentile(const std::vector<double>& sorted, double q) {
    const auto rank = std::size_t(std::ceil(q * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

const std::map<std::string, std::vector<std::string>>& query_sets() {
    static const std::map<std::string, std::vector<std::string>> sets{
        {"1_letter", {"r", "s", "m", "t", "p"}},
        {"3_letters", {"rep", "mgr", "cfg", "ses", "doc"}},
        {"5_letters", {"invce", "setup", "mtngs", "profl", "rdrfn"}},
        {"no_match", {"zqxj", "qqzzx", "jjjkq"}},
        {"path_like", {"docs\\rep", "users/bob/src", "proj/main.c", "music mp3"}},
        {"non_ascii", {"café", "Café rep", "cafe"}},
    };
    return sets;
}

void BM_Query(benchmark::State& state, std::string kind, std::size_t count, unsigned threads) {
    const auto snapshot = catalog(count);
    engine::SearchExecutor& pool = executor(threads);
    const auto& queries = query_sets().at(kind);
    std::vector<double> latencies;
    std::size_t next = 0, results = 0;
    for (auto _ : state) {
        const Outcome outcome = run_search(pool, snapshot, queries[next++ % queries.size()]);
        state.SetIterationTime(outcome.milliseconds / 1000.0);
        latencies.push_back(outcome.milliseconds);
        results += outcome.results;
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["p50_ms"] = percentile(latencies, 0.50);
    state.counters["p95_ms"] = percentile(latencies, 0.95);
    state.counters["results"] = double(results) / double(latencies.size());
}

// Typing a word letter by letter: each search extends the previous one.
void BM_Typing(benchmark::State& state) {
    const auto snapshot = catalog(1'000'000);
    engine::SearchExecutor& pool = executor(0);
    const std::vector<std::string> steps{"r", "re", "rep", "repo", "repor", "report"};
    std::vector<double> latencies;
    for (auto _ : state) {
        double total = 0;
        for (const auto& text : steps) {
            const double ms = run_search(pool, snapshot, text).milliseconds;
            latencies.push_back(ms);
            total += ms;
        }
        state.SetIterationTime(total / 1000.0);
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["p95_ms_per_key"] = percentile(latencies, 0.95);
}

void register_queries() {
    for (const std::size_t count : {std::size_t{100'000}, std::size_t{1'000'000}})
        for (const unsigned threads : {1u, 0u})
            for (const auto& [kind, unused] : query_sets()) {
                const std::string name = "BM_Query/" + kind + "/" + std::to_string(count) +
                                         (threads == 1 ? "/1_thread" : "/all_threads");
                // Enough searches for a meaningful 95th percentile, whatever the minimum time.
                const int searches = count > 100'000 ? 40 : 60;
                benchmark::RegisterBenchmark(name.c_str(), BM_Query, kind, count, threads)
                    ->UseManualTime()
                    ->Iterations(searches)
                    ->Unit(benchmark::kMillisecond);
            }
    benchmark::RegisterBenchmark("BM_Typing/1000000/all_threads", BM_Typing)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
}

} // namespace
} // namespace corvantile::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    corvantile::bench::register_queries();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
