#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CorvantileApp.h"
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

protected:
    HANDLE CreateInstanceMutex(const CString& name, DWORD& lastError) override {
        steps.push_back("mutex " + name.str());
        lastError = mutexError;
        return mutexResult;
    }
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

// Closes the next message box of this thread from a timer, remembering its text.
std::string g_messageBoxText;

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (std::wstring(className) != L"#32770")
                return TRUE;
            wchar_t text[256] = {};
            GetDlgItemTextW(window, 0xFFFF, text, 256);
            g_messageBoxText = CString::FromW(text).str();
            PostMessageW(window, WM_COMMAND, IDOK, 0);
            return FALSE;
        },
        0);
    if (!g_messageBoxText.empty())
        KillTimer(nullptr, timer);
}

bool Contains(const std::vector<std::string>& steps, const std::string& step) {
    for (const auto& s : steps)
        if (s == step)
            return true;
    return false;
}

} // namespace

TEST(AppStartup, AsksForTheSessionScopedMutexFirst) {
    ProbeApp app;
    app.InitInstance();
    ASSERT_FALSE(app.steps.empty());
    const std::string& first = app.steps.front();
    EXPECT_EQ(first.rfind("mutex {3D1B7E20-95AC-4C6E-8F14-2B9D60A7C5E3}-", 0), 0u) << first;
    EXPECT_EQ(first.size(),
              std::string("mutex {3D1B7E20-95AC-4C6E-8F14-2B9D60A7C5E3}").size() + 17);
}

TEST(AppStartup, AFailedMutexDoesNotStopStartUp) {
    ProbeApp app;
    app.mutexResult = nullptr;
    app.mutexError = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(app.InitInstance()) << "the program has no message pump of its own";
    EXPECT_TRUE(Contains(app.steps, "main window"));
    EXPECT_NE(app.ownerOfMainWindow, nullptr);
    EXPECT_FALSE(::IsWindow(app.ownerOfMainWindow)) << "the owner frame is gone afterwards";
}

TEST(AppStartup, ARunningCopyIsShownAndThisOneEnds) {
    ProbeApp app;
    app.mutexResult = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    app.mutexError = ERROR_ALREADY_EXISTS;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.steps.size(), 2u);
    EXPECT_TRUE(Contains(app.steps, "show running copy"));
    EXPECT_FALSE(Contains(app.steps, "sockets"));
    EXPECT_FALSE(Contains(app.steps, "main window"));
    CloseHandle(app.mutexResult);
}

TEST(AppStartup, LibraryFailuresSayWhatFailedAndEnd) {
    {
        ProbeApp app;
        app.socketsWork = false;
        g_messageBoxText.clear();
        SetTimer(nullptr, 0, 100, CloseMessageBox);
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(g_messageBoxText, "Windows sockets initialization failed.");
        EXPECT_FALSE(Contains(app.steps, "ole"));
        EXPECT_FALSE(Contains(app.steps, "main window"));
    }
    {
        ProbeApp app;
        app.oleWorks = false;
        g_messageBoxText.clear();
        SetTimer(nullptr, 0, 100, CloseMessageBox);
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(g_messageBoxText, "OLE initialization failed.  Make sure that the OLE libraries "
                                    "are the correct version.");
        EXPECT_FALSE(Contains(app.steps, "main window"));
    }
}

TEST(AppStartup, TooltipsShowLabelAndDescriptionInTheProgramsColours) {
    ProbeApp app;
    app.InitInstance();
    ASSERT_NE(CBCGPWorkspace::GetTooltipManager(), nullptr);
    const CBCGPToolTipParams& look = CBCGPWorkspace::GetTooltipManager()->GetTooltipParams(1);
    EXPECT_FALSE(look.m_bDrawIcon);
    EXPECT_TRUE(look.m_bDrawDescription);
    EXPECT_EQ(look.m_nMaxDescrWidth, 100);
    EXPECT_FALSE(look.m_bRoundedCorners);
    EXPECT_EQ(look.m_clrFill, 0xFFFFFFu);
    EXPECT_EQ(look.m_clrFillGradient, 0xF0E4E4u);
    EXPECT_EQ(look.m_clrText, 0x50533Du);
    EXPECT_EQ(look.m_clrBorder, 0xA89590u);
    EXPECT_TRUE(look.m_bDrawSeparator);
}
