// The update check: comparing versions, reading the version file from a web server (a small
// one on this machine), and the dialog's outcomes in both of its modes.
#include <gtest/gtest.h>

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core_iface/XTokenString.h"
#include "dialogs/UpdateCheckDlg.h"
#include "front_test_support.h"
#include "res/resource.h"

using namespace fronttest;

namespace {

// How a server sends its answer's body after the headers: all at once, a byte at a time with a
// pause after each, or an endless line (until the client goes or the test ends).
enum class Pace { AtOnce, Drip, Endless };

// Answers every HTTP request on 127.0.0.1 with one status and body, on a thread of its own.
class VersionServer {
public:
    explicit VersionServer(std::string body, int status = 200, Pace pace = Pace::AtOnce)
        : m_body(std::move(body)), m_status(status), m_pace(pace) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_listener, 4);
        int size = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~VersionServer() {
        m_stop = true;
        m_thread.join();
        closesocket(m_listener);
        WSACleanup();
    }

    CString url() const {
        CString text;
        text.Format("http://127.0.0.1:%d/curversion.dat", m_port);
        return text;
    }
    std::string lastRequest() const {
        const std::lock_guard lock(m_mutex);
        return m_request;
    }

private:
    void serve() {
        while (!m_stop) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(m_listener, &ready);
            timeval wait{0, 50'000};
            if (select(0, &ready, nullptr, nullptr, &wait) != 1)
                continue;
            const SOCKET client = accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                continue;
            std::string request;
            char chunk[1024];
            int got = 0;
            while (request.find("\r\n\r\n") == std::string::npos &&
                   (got = recv(client, chunk, sizeof chunk, 0)) > 0)
                request.append(chunk, got);
            {
                const std::lock_guard lock(m_mutex);
                m_request = request;
            }
            std::string head =
                "HTTP/1.0 " + std::to_string(m_status) + " X\r\nContent-Type: text/plain\r\n";
            if (m_pace == Pace::AtOnce)
                head += "Content-Length: " + std::to_string(m_body.size()) + "\r\n";
            head += "\r\n";
            send(client, head.data(), int(head.size()), 0);
            sendBody(client);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    void sendBody(SOCKET client) {
        if (m_pace == Pace::AtOnce) {
            send(client, m_body.data(), int(m_body.size()), 0);
            return;
        }
        const std::string chunk(m_pace == Pace::Endless ? 64 * 1024 : 1, 'x');
        for (std::size_t sent = 0; !m_stop; ++sent) {
            const char* bytes =
                m_pace == Pace::Drip && sent < m_body.size() ? &m_body[sent] : chunk.data();
            if (send(client, bytes, int(chunk.size()), 0) <= 0)
                return;
            if (m_pace == Pace::Drip)
                Sleep(400);
        }
    }

    std::string m_body;
    int m_status;
    Pace m_pace;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::string m_request;
    std::thread m_thread;
};

// The program's own version with its third number raised or lowered.
CString ownWithThird(int change) {
    CStringArray fields;
    XTokenString(UpdateCheckDlg::ownVersion(), ".", fields, 4);
    CString text;
    text.Format("%s.%s.%d.0", fields[0].GetString(), fields[1].GetString(),
                std::atoi(fields[2]) + change);
    return text;
}

// What a modal window showed, read by a timer while it ran.
struct Shown {
    bool seen = false;
    CString message, yourVersion, latestVersion, okText;
    bool noEnabled = false;
};

// Reads the update check dialog once it shows, then sets its box and presses a button.
std::function<bool()> answer(Shown& shown, int button, bool tick) {
    return [&shown, button, tick] {
        // Yes or OK is enabled once the version file has been read.
        const HWND box = shownDialog(L"Update Check");
        if (!box || !IsWindowEnabled(GetDlgItem(box, IDOK)))
            return false;
        shown.seen = true;
        shown.message = dialogItemText(box, IDC_UPDATE_MESSAGE);
        shown.yourVersion = dialogItemText(box, IDC_YOUR_VERSION);
        shown.latestVersion = dialogItemText(box, IDC_LATEST_VERSION);
        shown.okText = dialogItemText(box, IDOK);
        shown.noEnabled = IsWindowEnabled(GetDlgItem(box, IDCANCEL));
        CheckDlgButton(box, IDC_CHECK_AT_STARTUP, tick ? BST_CHECKED : BST_UNCHECKED);
        PostMessageW(box, WM_COMMAND, button, 0);
        return true;
    };
}

struct Outcome {
    INT_PTR result;
    Shown shown;
    int checkAtStartup;
};

// Runs the dialog against a server with this body, answering it as given.
Outcome runDialog(BOOL atStartup, const CString& url, int button, bool tick) {
    Outcome outcome{};
    UpdateCheckDlg dialog(atStartup, nullptr);
    dialog.setVersionFileUrl(url);
    const ModalDriver driver(answer(outcome.shown, button, tick));
    outcome.result = dialog.DoModal();
    outcome.checkAtStartup = dialog.m_checkAtStartup;
    return outcome;
}

TEST(UpdateCheck, VersionsCompareByTheirFirstThreeNumbers) {
    const struct {
        const char* own;
        const char* latest;
        int order;
    } cases[] = {
        {"1.5.1.0", "1.5.2.0", -1},  {"1.5.1.0", "1.5.1.9", 0}, {"1.10.0.0", "1.9.0.0", 1},
        {"1.5.1.0", "2.0.0.0", -1},  {"1.5.1.0", "1.6", 0},     {"1.5", "1.6.0.0", 0},
        {"1.5.1.0", "1.5.1.0.1", 0}, {"1.5.1.0", "x.5.1.0", 1}, {"0.9.1.0", "0.9.1a.0", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateCheckDlg::compareVersions(c.own, c.latest), c.order)
            << c.own << " against " << c.latest;
}

TEST(UpdateCheck, ReadsTheFirstLineOfAVersionFileAndNothingElse) {
    {
        VersionServer server("1.5.2.0\r\nsecond line\r\n");
        EXPECT_EQ(UpdateCheckDlg::fetchLatestVersion(server.url()), "1.5.2.0");
        EXPECT_NE(server.lastRequest().find("User-Agent: CorvantileUpdater/" +
                                            UpdateCheckDlg::ownVersion().str()),
                  std::string::npos)
            << server.lastRequest();
    }
    for (const auto& [body, status] :
         {std::pair{"<html>Not found</html>\n", 404}, std::pair{"", 200}}) {
        VersionServer server(body, status);
        EXPECT_EQ(UpdateCheckDlg::fetchLatestVersion(server.url()), "") << status;
    }
    EXPECT_EQ(UpdateCheckDlg::fetchLatestVersion("http://127.0.0.1:9/curversion.dat"), "");
}

// Whatever a server says with status 200 is no version unless it is four numbers: a captive
// portal's login page, a file saved with a byte-order mark, a blank answer.
TEST(UpdateCheck, OnlyFourDottedNumbersAreAVersion) {
    for (const char* body : {"<!DOCTYPE html>\n<html><title>Sign in to the network</title>\n",
                             "\xEF\xBB\xBF"
                             "1.5.2.0\r\n",
                             "\r\n1.5.2.0\n", " 1.5.2.0\n", "1.5.2\n", "1.5.2.0.1\n", "1..2.0\n",
                             "1.5.2.0 beta\n", "1.5.2.\n", ""}) {
        VersionServer server(body);
        EXPECT_EQ(UpdateCheckDlg::fetchLatestVersion(server.url()), "") << body;
    }
    VersionServer unixEnd("10.0.31.4\n");
    EXPECT_EQ(UpdateCheckDlg::fetchLatestVersion(unixEnd.url()), "10.0.31.4");
    VersionServer noEnd("1.5.2.0");
    EXPECT_EQ(UpdateCheckDlg::fetchLatestVersion(noEnd.url()), "1.5.2.0");
}

// An endless first line is given up after a few KiB, and a server that sends a byte now and
// then is given up at the deadline although no single wait for data times out.
TEST(UpdateCheck, AnEndlessLineOrADripIsGivenUpAtTheLimits) {
    const VersionFetch::Limits limits{1500, 4096};
    for (const Pace pace : {Pace::Endless, Pace::Drip}) {
        VersionServer server("1.5.2.0\n", 200, pace);
        const DWORD start = GetTickCount();
        EXPECT_EQ(UpdateCheckDlg::fetchLatestVersion(server.url(), limits), "") << int(pace);
        EXPECT_LT(GetTickCount() - start, 4000u) << int(pace);
    }
    // Slow but in time is still an answer.
    VersionServer slow("1.5.2.0\n", 200, Pace::Drip);
    EXPECT_EQ(UpdateCheckDlg::fetchLatestVersion(slow.url(), {5000, 4096}), "1.5.2.0");
}

// Asked for, the check shows each outcome with both versions; No keeps the setting to check at
// start-up, Yes and OK take the box as it is.
TEST(UpdateCheck, AskedForItShowsEveryOutcomeAndOnlyYesOrOkTakesTheBox) {
    const CString own = UpdateCheckDlg::ownVersion();
    const struct {
        CString latest;
        int button;
        bool tick;
        const char* message;
        const char* okText;
        bool noEnabled;
    } cases[] = {
        {ownWithThird(+1), IDCANCEL, false, "Would you like to download the latest version?", "Yes",
         true},
        {own + "7", IDOK, false, "You already have the latest version", "OK", false},
        {"0.0.0.0", IDOK, true, "Your version is newer than the latest version!", "OK", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.latest.GetString());
        VersionServer server(c.latest.str());
        const Outcome outcome = runDialog(FALSE, server.url(), c.button, c.tick);
        EXPECT_EQ(outcome.shown.message, c.message);
        EXPECT_EQ(outcome.shown.yourVersion, own);
        EXPECT_EQ(outcome.shown.latestVersion, c.latest);
        EXPECT_EQ(outcome.shown.okText, c.okText);
        EXPECT_EQ(outcome.shown.noEnabled, c.noEnabled);
        EXPECT_EQ(outcome.result, c.button);
        EXPECT_EQ(outcome.checkAtStartup, c.button == IDOK ? c.tick : TRUE);
    }
}

TEST(UpdateCheck, AFailureIsSaidWhenAskedForAndSilentAtStartUp) {
    {
        wintest::MessageBoxCloser closer;
        UpdateCheckDlg asked(FALSE, nullptr);
        asked.setVersionFileUrl("http://127.0.0.1:9/curversion.dat");
        EXPECT_EQ(asked.DoModal(), IDOK);
        ASSERT_EQ(closer.seen.size(), 1u);
        EXPECT_EQ(closer.seen[0].text, "Could not get latest version info");
    }

    const Outcome atStartup = runDialog(TRUE, "http://127.0.0.1:9/curversion.dat", IDOK, false);
    EXPECT_FALSE(atStartup.shown.seen);
    EXPECT_EQ(atStartup.result, IDOK);
    EXPECT_EQ(atStartup.checkAtStartup, TRUE);
    VersionServer same(UpdateCheckDlg::ownVersion().str());
    EXPECT_FALSE(runDialog(TRUE, same.url(), IDOK, false).shown.seen);
}

class UpdateCheckAtStartUp : public SearchBarTest {};

// The bar reads the version file in the background and asks only about a newer version; the
// unticked box and No leave the setting on.
TEST_F(UpdateCheckAtStartUp, ANewerVersionIsOfferedOnceTheBarIsUp) {
    VersionServer server(ownWithThird(+1).str());
    versionFileUrl = server.url();
    Shown shown;
    const ModalDriver driver(answer(shown, IDCANCEL, false));
    open();
    ASSERT_TRUE(bar->isCheckForUpdates());
    EXPECT_TRUE(pumpUntil([&] { return shown.seen; }));
    EXPECT_EQ(shown.latestVersion, ownWithThird(+1));
    pumpFor(100);
    EXPECT_TRUE(bar->isCheckForUpdates());
}

TEST_F(UpdateCheckAtStartUp, FromTheMenuTheBoxSwitchesTheCheckOff) {
    VersionServer server(UpdateCheckDlg::ownVersion().str());
    open();
    pumpFor(100);
    bar->setVersionFileUrl(server.url());
    Shown shown;
    const ModalDriver driver(answer(shown, IDOK, false));
    bar->SendMessage(WM_COMMAND, ID_CHECK_FOR_UPDATES, 0);
    EXPECT_TRUE(shown.seen);
    EXPECT_FALSE(bar->isCheckForUpdates());
}

// From the menu the file is read while the dialog shows: the bar keeps answering, Cancel ends
// the wait at once, and a server too slow for the deadline is a failure said in time.
TEST_F(UpdateCheckAtStartUp, FromTheMenuTheWaitAnswersAndEndsInTime) {
    VersionServer server("1.5.2.0\n", 200, Pace::Drip);
    open();
    pumpFor(100);
    bar->setVersionFileUrl(server.url());
    bar->setUpdateLimits({1500, 4096});
    CString waiting;
    std::atomic<bool> dialogUp{false}, barAnswered{false};
    const HWND barWindow = bar->GetSafeHwnd();
    // Another thread's message gets an answer only while the window thread is free.
    std::thread asker([&] {
        for (int i = 0; i < 200 && !dialogUp; ++i)
            Sleep(10);
        DWORD_PTR result = 0;
        barAnswered =
            SendMessageTimeoutW(barWindow, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
    });
    int ticks = 0;
    const ModalDriver cancel([&] {
        const HWND box = shownDialog(L"Update Check");
        if (!box)
            return false;
        waiting = dialogItemText(box, IDC_UPDATE_MESSAGE);
        dialogUp = true;
        if (!barAnswered && ++ticks < 20)
            return false;
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    DWORD start = GetTickCount();
    bar->SendMessage(WM_COMMAND, ID_CHECK_FOR_UPDATES, 0);
    asker.join();
    EXPECT_LT(GetTickCount() - start, 1200u);
    EXPECT_EQ(waiting, "Checking for the latest version...");
    EXPECT_TRUE(barAnswered);
    EXPECT_TRUE(bar->isCheckForUpdates());

    wintest::MessageBoxCloser closer;
    start = GetTickCount();
    bar->SendMessage(WM_COMMAND, ID_CHECK_FOR_UPDATES, 0);
    EXPECT_LT(GetTickCount() - start, 4000u);
    ASSERT_EQ(closer.seen.size(), 1u);
    EXPECT_EQ(closer.seen[0].text, "Could not get latest version info");
}

TEST(UpdateCheck, YesOpensTheHomePage) {
    if (!browserStubbed())
        GTEST_SKIP() << "run by browser_pages.sh";
    VersionServer server(ownWithThird(+1).str());
    EXPECT_EQ(runDialog(FALSE, server.url(), IDOK, true).result, IDOK);
}

} // namespace
