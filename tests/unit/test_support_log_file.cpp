// The log file: its size cap and rotation, lines from many threads, a disk that refuses writes,
// and the reports of exceptions caught at thread and message boundaries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "support/event_report.h"
#include "support/log_file.h"

using namespace corvantile::support;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> readLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The text of a log line, after its time stamp; fails the test when the stamp is malformed.
std::string textOf(const std::string& line) {
    static const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )");
    EXPECT_TRUE(std::regex_search(line, stamp)) << line;
    return line.size() > 24 ? line.substr(24) : std::string();
}

class SupportLogFile : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                ("corvantile_log_" + std::to_string(getpid()) + "_" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = m_dir / "Corvantile.log";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    fs::path m_file;
};

TEST_F(SupportLogFile, KeepsUnderItsCapWithOneRotationHoldingTheNewestLines) {
    constexpr std::size_t cap = 2000;
    {
        std::ofstream(m_file.string() + ".1") << "an old rotation that must go\n";
        LogFile log(m_file, cap);
        for (int i = 0; i < 300; ++i) {
            log.write("event " + std::to_string(i) + " in \xC3\x85ngstr\xC3\xB6m Daten");
            if (i % 37 == 0)
                log.flush();
        }
    }
    ASSERT_TRUE(fs::exists(m_file));
    ASSERT_TRUE(fs::exists(fs::path(m_file.string() + ".1")));
    EXPECT_LE(fs::file_size(m_file), cap);
    EXPECT_LE(fs::file_size(fs::path(m_file.string() + ".1")), cap);

    // The two files together hold an unbroken run of the latest events, oldest first.
    std::vector<std::string> lines = readLines(fs::path(m_file.string() + ".1"));
    const std::vector<std::string> current = readLines(m_file);
    lines.insert(lines.end(), current.begin(), current.end());
    ASSERT_GT(lines.size(), 20u);
    const int first = 300 - static_cast<int>(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(textOf(lines[i]), "event " + std::to_string(first + static_cast<int>(i)) +
                                        " in \xC3\x85ngstr\xC3\xB6m Daten");
}

TEST_F(SupportLogFile, LinesFromManyThreadsArriveWholeOnceEachAndInOrder) {
    constexpr int threads = 8;
    constexpr int perThread = 400;
    {
        LogFile log(m_file);
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t)
            writers.emplace_back([&log, t] {
                for (int i = 0; i < perThread; ++i)
                    log.write("thread " + std::to_string(t) + " line " + std::to_string(i) +
                              (i % 50 == 0 ? "\r\nwith a break" : ""));
            });
        for (std::thread& writer : writers)
            writer.join();
        log.flush();
        EXPECT_EQ(readLines(m_file).size(), static_cast<std::size_t>(threads * perThread));
        EXPECT_EQ(log.failed_writes(), 0u);
    }
    std::map<int, int> next;
    for (const std::string& line : readLines(m_file)) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(textOf(line).c_str(), "thread %d line %d", &t, &i), 2) << line;
        EXPECT_EQ(i, next[t]++) << line;
    }
    for (int t = 0; t < threads; ++t)
        EXPECT_EQ(next[t], perThread);
}

TEST_F(SupportLogFile, AFolderThatCannotBeWrittenCostsTheLinesOnlyUntilItCanBe) {
    const fs::path missing = m_dir / "not yet" / "Corvantile.log";
    LogFile log(missing, 500);
    log.write("lost: the folder is not there");
    log.flush();
    EXPECT_GE(log.failed_writes(), 1u);
    EXPECT_FALSE(fs::exists(missing));

    fs::create_directories(missing.parent_path());
    log.write("naïve café, a&b");
    log.flush();
    const std::vector<std::string> lines = readLines(missing);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(textOf(lines[0]), "naïve café, a&b");

    // A folder standing where the log would be: the writes fail, the program goes on.
    fs::remove(missing);
    fs::create_directory(missing);
    log.write("into a folder");
    log.flush();
    EXPECT_GE(log.failed_writes(), 2u);
}

TEST_F(SupportLogFile, ALineWrittenAtOnceJoinsTheQueuedOnes) {
    {
        LogFile log(m_file);
        log.write("queued");
        log.flush();
        EXPECT_TRUE(append_log_line_now(m_file, "at once\nno break"));
    }
    const std::vector<std::string> lines = readLines(m_file);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(textOf(lines[1]), "at once no break");
    EXPECT_FALSE(append_log_line_now(m_dir / "missing" / "x.log", "nowhere"));
}

std::vector<std::string> g_reports;
void collect(std::string_view line) {
    g_reports.emplace_back(line);
}

TEST(SupportEventReport, CaughtExceptionsAreReportedWithWhereAndWhatOnceAReporterIsSet) {
    g_reports.clear();
    try {
        throw std::runtime_error("ignored");
    } catch (...) {
        report_caught("nowhere");
    }
    set_event_reporter(&collect);
    try {
        throw std::runtime_error("\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE 2024");
    } catch (...) {
        report_caught("the scan of Files");
    }
    try {
        throw 42;
    } catch (...) {
        report_caught("a window message");
    }
    set_event_reporter(nullptr);
    ASSERT_EQ(g_reports.size(), 2u);
    EXPECT_EQ(g_reports[0], "Caught at the scan of Files: \xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE 2024");
    EXPECT_EQ(g_reports[1],
              "Caught at a window message: an exception of a type that is not a standard one");
}

} // namespace
