// Shell links through the shell's own link object: failures, and a link for an outside reader.
// (A link written and read back is checked by the Start Menu test of the core.)
#include <gtest/gtest.h>

#include <cstdlib>

#include <objbase.h>

#include "common/win_test_support.h"
#include "core_iface/CShellLink.h"

namespace {

// The contents the outside check (lnk_check.sh) expects as well.
CShellLinkInfo sampleInfo() {
    CShellLinkInfo info;
    info.m_strTarget = "C:\\windows\\system32\\notepad.exe";
    info.m_strDescription = "Corvantile – Schnellstart für Zoë";
    info.m_strWorkingDir = "C:\\windows\\system32";
    return info;
}

class SupportShellLink : public testing::Test {
protected:
    void SetUp() override { m_com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override {
        if (m_com)
            CoUninitialize();
    }

    bool m_com = false;
    wintest::TempFolder m_dir{"corvantile links Zoë"};
};

} // namespace

TEST_F(SupportShellLink, FailuresAreReported) {
    CShellLink link;
    EXPECT_FALSE(link.Save(m_dir.file("never created.lnk")));
    ASSERT_TRUE(link.Create(sampleInfo()));
    EXPECT_FALSE(link.Save(m_dir.file("missing folder\\x.lnk")));
    EXPECT_FALSE(link.Save(""));

    CShellLinkInfo read;
    read.m_strTarget = "unchanged";
    EXPECT_FALSE(readShellLink(m_dir.file("missing.lnk"), read));
    m_dir.write("text.lnk", "not a link");
    EXPECT_FALSE(readShellLink(m_dir.file("text.lnk"), read));
    EXPECT_EQ(read.m_strTarget, "unchanged");
}

// Writes the sample link where CORVANTILE_LNK_OUT says, for lnk_check.sh to read with an outside
// reader; skipped when the variable is not set.
TEST_F(SupportShellLink, WritesLinkForOutsideReader) {
    const char* target = std::getenv("CORVANTILE_LNK_OUT");
    if (!target)
        GTEST_SKIP() << "CORVANTILE_LNK_OUT not set";
    CShellLink link;
    ASSERT_TRUE(link.Create(sampleInfo()));
    EXPECT_TRUE(link.Save(target));
}
