// Path pieces, tokens and the reader/writer lock through the program's interface.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "core_iface/CPath.h"
#include "core_iface/VReaderWriterLock.h"
#include "core_iface/XTokenString.h"

TEST(SupportCPath, GivesThePiecesFileBrowsingUses) {
    const CPath folder("C:\\A\\B\\", 0, 0);
    EXPECT_EQ(folder.GetDrive(), "C:");
    EXPECT_EQ(folder.GetDirCount(), 2);
    EXPECT_EQ(folder.GetDir(0), "A");
    EXPECT_EQ(folder.GetDir(1), "B");
    EXPECT_EQ(folder.GetDir(2), "");
    EXPECT_EQ(folder.GetDir(-1), "");
    EXPECT_EQ(folder.GetFileName(), "");
    EXPECT_EQ(folder.GetLocation(), "C:\\A\\B\\");

    CPath path;
    EXPECT_EQ(path.GetLocation(), "");
    path = CPath("c:\\Win");
    const CPath copy(path);
    EXPECT_EQ(copy.GetFileName(), "Win");
    EXPECT_EQ(copy.GetLocation(), "c:\\");
    EXPECT_EQ(copy.GetDirCount(), 0);
    EXPECT_EQ(copy.GetPath(), "c:\\Win");

    const CPath unc("\\\\server\\share\\Zoë\\f.txt");
    EXPECT_EQ(unc.GetDrive(), "\\\\server\\share");
    EXPECT_EQ(unc.GetLocation(), "\\\\server\\share\\Zoë\\");

    EXPECT_EQ(CPath::AddBackSlash("C:\\Users\\me", 0), "C:\\Users\\me\\");
    EXPECT_EQ(CPath::AddBackSlash("C:\\Users\\me\\"), "C:\\Users\\me\\");
    EXPECT_EQ(CPath::AddBackSlash(nullptr), "");
}

TEST(SupportXTokenString, SplitsVersionsIntoFields) {
    CStringArray tokens;
    tokens.Add("stale");
    EXPECT_EQ(XTokenString("1.2.3.4", ".", tokens, 4, 0, 0, 0, 0), 4);
    ASSERT_EQ(tokens.GetSize(), 4);
    EXPECT_EQ(tokens[0], "1");
    EXPECT_EQ(tokens[3], "4");
    EXPECT_EQ(XTokenString("1.2.3.4.5", ".", tokens), 5);
    EXPECT_EQ(XTokenString("1..3", ".", tokens), 3);
    EXPECT_EQ(tokens[1], "");
    EXPECT_EQ(XTokenString("", ".", tokens), 0);
    EXPECT_EQ(tokens.GetSize(), 0);
    EXPECT_EQ(XTokenString(nullptr, nullptr, tokens), 0);
}

namespace {

// A reader of shared data through a const member, as the list's painting reads its elements.
class Shared {
public:
    void write() {
        m_lock.AcquireWriterLock();
        ++m_first;
        m_lock.AcquireReaderLock(); // the writer reads again, nested
        const bool consistent = m_first == m_second + 1;
        m_lock.ReleaseReaderLock();
        ++m_second;
        m_lock.ReleaseWriterLock();
        m_inconsistent += !consistent;
    }
    bool read() const {
        m_lock.AcquireReaderLock();
        const bool consistent = m_first == m_second;
        m_lock.ReleaseReaderLock();
        return consistent;
    }
    long total() const { return m_first; }
    int inconsistent() const { return m_inconsistent; }

private:
    VReaderWriterLock m_lock;
    long m_first = 0;
    long m_second = 0;
    std::atomic<int> m_inconsistent{0};
};

} // namespace

TEST(SupportVReaderWriterLock, KeepsWritersApartFromReaders) {
    Shared shared;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 2; ++i) {
        threads.emplace_back([&] {
            for (int round = 0; round < 2000; ++round)
                shared.write();
        });
        threads.emplace_back([&] {
            for (int round = 0; round < 2000; ++round)
                failures += !shared.read();
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(shared.inconsistent(), 0);
    EXPECT_EQ(shared.total(), 4000);
}
