// Path pieces and tokens through the program's interface: what the wrappers add to the
// splitting that the engine's own tests cover (out-of-range pieces, null texts, stale tokens).
#include <gtest/gtest.h>

#include "core_iface/CPath.h"
#include "core_iface/XTokenString.h"

TEST(SupportCPath, GivesThePiecesFileBrowsingUses) {
    const CPath folder("C:\\A\\B\\", 0, 0);
    EXPECT_EQ(folder.GetDrive(), "C:");
    EXPECT_EQ(folder.GetDirCount(), 2);
    EXPECT_EQ(folder.GetDir(1), "B");
    EXPECT_EQ(folder.GetDir(2), "");
    EXPECT_EQ(folder.GetDir(-1), "");
    EXPECT_EQ(folder.GetLocation(), "C:\\A\\B\\");

    CPath path;
    EXPECT_EQ(path.GetLocation(), "");
    path = CPath("\\\\server\\share\\Zoë\\f.txt");
    const CPath copy(path);
    EXPECT_EQ(copy.GetFileName(), "f.txt");
    EXPECT_EQ(copy.GetLocation(), "\\\\server\\share\\Zoë\\");
    EXPECT_EQ(copy.GetPath(), "\\\\server\\share\\Zoë\\f.txt");

    EXPECT_EQ(CPath::AddBackSlash("C:\\Users\\me", 0), "C:\\Users\\me\\");
    EXPECT_EQ(CPath::AddBackSlash(nullptr), "");
}

TEST(SupportXTokenString, SplitsVersionsIntoFieldsReplacingWhatWasThere) {
    CStringArray tokens;
    tokens.Add("stale");
    EXPECT_EQ(XTokenString("1.2.3.4", ".", tokens, 4, 0, 0, 0, 0), 4);
    ASSERT_EQ(tokens.GetSize(), 4);
    EXPECT_EQ(tokens[0], "1");
    EXPECT_EQ(tokens[3], "4");
    EXPECT_EQ(XTokenString("1.2.3.4.5", ".", tokens), 5) << "the maximum is not applied";
    EXPECT_EQ(XTokenString(nullptr, nullptr, tokens), 0);
    EXPECT_EQ(tokens.GetSize(), 0);
}
