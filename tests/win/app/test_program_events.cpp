// The program's log as the program feeds it: notes from before it opened, notes from other
// threads, exceptions that a window procedure or a worker caught, and what is told to the user.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "common/win_test_support.h"
#include "framework/CWnd.h"
#include "support/event_report.h"
#include "ui/ProgramEvents.h"

namespace {

class ThrowingWnd : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP + 7)
            throw std::runtime_error("Ångström Daten is gone");
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(ProgramEvents, EverythingRecordedReachesTheLogBesideTheSettings) {
    wintest::TempFolder folder("Фото 2024 a&b");
    ProgramEvents::record("noted before the log was open");
    ProgramEvents::openLog(folder.text() + "\\");
    EXPECT_EQ(ProgramEvents::logPath(), folder.file("Corvantile.log"));

    std::thread([] {
        ProgramEvents::record("from an indexing thread");
        try {
            throw std::length_error("naïve café");
        } catch (...) {
            corvantile::support::report_caught("a worker");
        }
    }).join();
    ThrowingWnd wnd;
    CWnd::CreateArgs args;
    args.style = WS_POPUP;
    ASSERT_TRUE(wnd.CreateEx(args));
    EXPECT_EQ(::SendMessageW(wnd.m_hWnd, WM_APP + 7, 0, 0), 0);
    wnd.DestroyWindow();
    ProgramEvents::closeLog();
    ProgramEvents::record("after the log closed");

    const std::string log = readAll(folder.path() / "Corvantile.log");
    const auto before = log.find("noted before the log was open");
    EXPECT_NE(before, std::string::npos) << log;
    EXPECT_LT(before, log.find("from an indexing thread")) << log;
    EXPECT_NE(log.find("Caught at a worker: naïve café"), std::string::npos) << log;
    EXPECT_NE(log.find("Caught at window message 32775: Ångström Daten is gone"), std::string::npos)
        << log;
    EXPECT_EQ(log.find("after the log closed"), std::string::npos) << log;
    EXPECT_TRUE(ProgramEvents::logPath().IsEmpty());
}

TEST(ProgramEvents, ANoticeForTheUserIsHandedOutOnce) {
    ProgramEvents::tellUser("A crash report is waiting in C:\\Фото 2024\\x.dmp");
    const std::vector<std::string> notices = ProgramEvents::takeUserNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], "A crash report is waiting in C:\\Фото 2024\\x.dmp");
    EXPECT_TRUE(ProgramEvents::takeUserNotices().empty());
}
