#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/CorvantileApp.h"
#include "app/SingleInstance.h"
#include "common/win_test_support.h"
#include "framework/CWnd.h"

namespace {

// Start-up with the system steps replaced, recording what the application did.
class ProbeApp : public CCorvantileApp {
public:
    HANDLE mutexResult = nullptr;
    DWORD mutexError = ERROR_SUCCESS;
    bool socketsWork = true;
    bool oleWorks = true;

    std::vector<std::string> steps;
    HWND ownerOfMainWindow = nullptr;

    bool did(const std::string& step) const {
        return std::find(steps.begin(), steps.end(), step) != steps.end();
    }

protected:
    HANDLE CreateInstanceMutex(const CString& name, DWORD& lastError) override {
        steps.push_back("mutex " + name.str());
        lastError = mutexError;
        return mutexResult;
    }
    void StartLog() override { steps.push_back("log"); }
    bool InitSockets() override {
        steps.push_back("sockets");
        return socketsWork;
    }
    bool InitOle() override {
        steps.push_back("ole");
        return oleWorks;
    }
    void SignalRunningCopy(bool exitRequested) override {
        steps.push_back(exitRequested ? "ask running copy to exit" : "show running copy");
    }
    INT_PTR RunMainWindow(CWnd* owner) override {
        steps.push_back("main window");
        ownerOfMainWindow = owner ? owner->GetSafeHwnd() : nullptr;
        if (ownerOfMainWindow) {
            EXPECT_FALSE(::IsWindowVisible(ownerOfMainWindow)) << "the owner frame is never shown";
            EXPECT_EQ(::GetParent(ownerOfMainWindow), nullptr);
        }
        return IDCANCEL;
    }
};

} // namespace

TEST(AppStartup, AsksForTheSessionScopedMutexFirst) {
    ProbeApp app;
    app.InitInstance();
    ASSERT_FALSE(app.steps.empty());
    EXPECT_EQ(app.steps.front(),
              "mutex " + CreateUniqueName(kSingleInstanceBase, kScopeSession).str());
}

TEST(AppStartup, AFailedMutexDoesNotStopStartUp) {
    ProbeApp app;
    app.mutexResult = nullptr;
    app.mutexError = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(app.InitInstance()) << "the program has no message pump of its own";
    EXPECT_TRUE(app.did("main window"));
    ASSERT_GE(app.steps.size(), 3u);
    EXPECT_EQ(app.steps[1], "log") << "the log is open before anything can fail";
    EXPECT_NE(app.ownerOfMainWindow, nullptr);
    EXPECT_FALSE(::IsWindow(app.ownerOfMainWindow)) << "the owner frame is gone afterwards";
}

TEST(AppStartup, ARunningCopyIsShownAndThisOneEnds) {
    ProbeApp app;
    app.mutexResult = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    app.mutexError = ERROR_ALREADY_EXISTS;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.steps.size(), 2u);
    EXPECT_TRUE(app.did("show running copy"));
    EXPECT_FALSE(app.did("log")) << "the running copy's log is its own";
    CloseHandle(app.mutexResult);
}

TEST(AppStartup, LibraryFailuresSayWhatFailedAndEnd) {
    const struct {
        bool socketsWork, oleWorks;
        const char* message;
    } cases[] = {
        {false, true, "Windows sockets initialization failed."},
        {true, false,
         "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ProbeApp app;
        app.socketsWork = c.socketsWork;
        app.oleWorks = c.oleWorks;
        wintest::MessageBoxCloser closer;
        EXPECT_FALSE(app.InitInstance());
        ASSERT_EQ(closer.seen.size(), 1u);
        EXPECT_EQ(closer.seen[0].text, c.message);
        EXPECT_EQ(app.did("ole"), c.socketsWork) << "no OLE after a sockets failure";
        EXPECT_FALSE(app.did("main window"));
    }
}
