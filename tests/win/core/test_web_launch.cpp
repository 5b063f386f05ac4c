// Running a web search through the shell. It opens a browser, so it runs only from
// web_search.sh, which puts a recording stand-in for the browser on the PATH.
#include "core/plugins/WebSearchPlugin.h"
#include "core_test_support.h"

using namespace core_test;

namespace {

class WebLaunch : public CoreFixture {};

TEST_F(WebLaunch, GoogleShortcutOpensTheAddressForTheText) {
    if (GetEnvironmentVariableW(L"CORVANTILE_BROWSER_STUB", nullptr, 0) == 0)
        GTEST_SKIP() << "run by web_search.sh";
    startCore(only(std::make_unique<corvantile::core::WebSearchPlugin>()), {}, false);
    VAction* google = core->getAction("g", true);
    ASSERT_NE(google, nullptr);
    EXPECT_TRUE(google->runWithText("x y"));
}

} // namespace
