// Shell links written and read back through the shell's own link object.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <objbase.h>

#include "core/engine/file_io.h"
#include "core_iface/CShellLink.h"

namespace fs = std::filesystem;
using corvantile::engine::path_from_utf8;
using corvantile::engine::path_to_utf8;

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
    void SetUp() override {
        m_com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        m_dir = fs::temp_directory_path() / path_from_utf8("corvantile links Zoë");
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        fs::remove_all(m_dir);
        if (m_com)
            CoUninitialize();
    }

    CString inDir(const char* name) const { return CString(path_to_utf8(m_dir / name)); }

    bool m_com = false;
    fs::path m_dir;
};

} // namespace

TEST_F(SupportShellLink, SavedLinkReadsBack) {
    CShellLink link;
    ASSERT_TRUE(link.Create(sampleInfo()));
    const CString file = inDir("Corvantile Übersicht.lnk");
    ASSERT_TRUE(link.Save(file));
    // Saving again replaces the file.
    ASSERT_TRUE(link.Save(file));

    CShellLinkInfo read;
    ASSERT_TRUE(readShellLink(file, read));
    EXPECT_EQ(read.m_strTarget.str(), sampleInfo().m_strTarget.str());
    EXPECT_EQ(read.m_strDescription, sampleInfo().m_strDescription);
    EXPECT_EQ(read.m_strWorkingDir, sampleInfo().m_strWorkingDir);
}

TEST_F(SupportShellLink, FailuresAreReported) {
    CShellLink link;
    EXPECT_FALSE(link.Save(inDir("never created.lnk")));
    ASSERT_TRUE(link.Create(sampleInfo()));
    EXPECT_FALSE(link.Save(inDir("missing folder\\x.lnk")));
    EXPECT_FALSE(link.Save(""));

    CShellLinkInfo read;
    read.m_strTarget = "unchanged";
    EXPECT_FALSE(readShellLink(inDir("missing.lnk"), read));
    std::ofstream(m_dir / "text.lnk") << "not a link";
    EXPECT_FALSE(readShellLink(inDir("text.lnk"), read));
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
