// The application object and its entry point, message boxes, and the rectangle's edges.
#include <gtest/gtest.h>

#include "framework/CFrameWnd.h"
#include "framework/CWinApp.h"
#include "framework_test_support.h"

namespace {

class TestApp : public CWinApp {
public:
    BOOL initResult = TRUE;
    std::vector<std::string> log;
    CWnd* preTranslated = nullptr;

    BOOL InitInstance() override {
        log.push_back("init");
        if (initResult)
            AfxPostQuitMessage(3);
        return initResult;
    }
    int ExitInstance() override {
        log.push_back("exit");
        return CWinApp::ExitInstance() + 100;
    }
};

TEST(Application, FailedStartEndsWithExitInstance) {
    TestApp app;
    app.initResult = FALSE;
    EXPECT_EQ(AfxGetApp(), &app);

    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW), 100);
    EXPECT_EQ(app.log, (std::vector<std::string>{"init", "exit"}));
    EXPECT_EQ(app.m_hInstance, ::GetModuleHandleW(nullptr));
}

TEST(Application, RunEndsOnQuitWithItsCode) {
    TestApp app;
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW), 103);
    EXPECT_EQ(app.log, (std::vector<std::string>{"init", "exit"}));
}

// The program's message boxes: its name as the caption, texts and string resources shown as
// UTF-8, owned by the main window, closed by OK.
TEST(MessageBoxes, CaptionIsTheAppNameAndTheOwnerTheMainWindow) {
    CWinApp app;
    CFrameWnd frame;
    ASSERT_TRUE(frame.Create(nullptr, "main"));
    app.m_pMainWnd = &frame;
    wintest::MessageBoxCloser closer;
    EXPECT_EQ(AfxMessageBox("Gr\xC3\xBC\xC3\x9F"
                            "e"),
              IDOK);
    EXPECT_EQ(AfxMessageBox(103, MB_OK | MB_ICONSTOP), IDOK);

    ASSERT_EQ(closer.seen.size(), 2u);
    EXPECT_EQ(closer.seen[0].caption, "Corvantile");
    EXPECT_EQ(closer.seen[0].text, "Gr\xC3\xBC\xC3\x9F"
                                   "e");
    EXPECT_EQ(closer.seen[0].owner, frame.m_hWnd);
    EXPECT_EQ(closer.seen[1].text, "Windows sockets initialization failed.");
}

// Hit tests rely on the edges: the right and bottom ones are outside the rectangle.
TEST(Rect, RightAndBottomEdgesAreOutside) {
    const CRect rect(10, 20, 30, 60);
    EXPECT_TRUE(rect.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rect.PtInRect(CPoint(30, 20)));
    EXPECT_FALSE(rect.PtInRect(CPoint(10, 60)));
    EXPECT_TRUE(CRect(10, 10, 0, 5).IsRectEmpty());
    EXPECT_TRUE(CRect(3, 3, 3, 9).IsRectEmpty());
}

} // namespace
