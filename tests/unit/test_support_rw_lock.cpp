// The reader/writer lock under contention; run under ThreadSanitizer, a broken exclusion shows
// as a data race on the plain fields below as well as a failed check.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "support/rw_lock.h"

using namespace corvantile::support;

namespace {

// Guarded data: writers keep both fields equal; nobody else may see them differ.
struct Guarded {
    long first = 0;
    long second = 0;
};

} // namespace

TEST(SupportRwLock, ReadersAndWritersExcludeEachOtherUnderStress) {
    constexpr int kWriters = 3;
    constexpr int kReaders = 4;
    constexpr int kRounds = 3000;
    RwLock lock;
    Guarded data;
    std::atomic<int> readers_inside{0};
    std::atomic<int> writers_inside{0};
    std::atomic<int> failures{0};

    std::vector<std::thread> threads;
    for (int w = 0; w < kWriters; ++w) {
        threads.emplace_back([&] {
            for (int round = 0; round < kRounds; ++round) {
                WriteGuard write(lock);
                failures += writers_inside.fetch_add(1) != 0;
                failures += readers_inside.load() != 0;
                ++data.first;
                {
                    // The writer reads its own data again, nested, and writes again.
                    ReadGuard read_again(lock);
                    failures += data.first != data.second + 1;
                    WriteGuard write_again(lock);
                    ++data.second;
                }
                writers_inside.fetch_sub(1);
            }
        });
    }
    for (int r = 0; r < kReaders; ++r) {
        threads.emplace_back([&] {
            for (int round = 0; round < kRounds; ++round) {
                ReadGuard read(lock);
                readers_inside.fetch_add(1);
                failures += writers_inside.load() != 0;
                {
                    ReadGuard nested(lock);
                    failures += data.first != data.second;
                }
                readers_inside.fetch_sub(1);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(data.first, long{kWriters} * kRounds);
    EXPECT_EQ(data.second, data.first);
}

// A writer gets in while readers keep overlapping, and a reader gets in while writers keep
// queueing; a lock that let one side starve would hang here until the test times out.
TEST(SupportRwLock, NeitherSideStarves) {
    RwLock lock;
    std::atomic<bool> done{false};
    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r) {
        readers.emplace_back([&] {
            while (!done) {
                ReadGuard read(lock);
                std::this_thread::yield();
            }
        });
    }
    {
        WriteGuard write(lock);
        done = true;
    }
    for (auto& thread : readers)
        thread.join();

    done = false;
    std::vector<std::thread> writers;
    for (int w = 0; w < 3; ++w) {
        writers.emplace_back([&] {
            while (!done) {
                WriteGuard write(lock);
                std::this_thread::yield();
            }
        });
    }
    {
        ReadGuard read(lock);
        done = true;
    }
    for (auto& thread : writers)
        thread.join();
}

TEST(SupportRwLock, WriterThatKeepsReadingBecomesAPlainReader) {
    RwLock lock;
    long value = 0;
    lock.acquire_write();
    lock.acquire_read();
    value = 1;
    lock.release_write();

    // Other readers may now come in beside it, and a writer has to wait for its last read.
    std::thread([&] {
        ReadGuard read(lock);
        EXPECT_EQ(value, 1);
    }).join();
    std::atomic<bool> written{false};
    std::thread writer([&] {
        WriteGuard write(lock);
        value = 2;
        written = true;
    });
    EXPECT_EQ(value, 1);
    lock.release_read();
    writer.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(value, 2);

    // Releases without an acquire are ignored rather than corrupting the lock.
    lock.release_read();
    lock.release_write();
    WriteGuard write(lock);
}
