// Folder identities of one drop: the same folder by any spelling of its path
// is walked once, whichever way its identity was read.
#include "VisitedFolders.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace
{
std::string Slashed(const CString& path)
{
    std::string text(static_cast<const char*>(path));
    for (char& c : text)
        if (c == '\\')
            c = '/';
    return text;
}
} // namespace

TEST(VisitedFoldersTest, SubfolderOfAWalkedFolderKeepsItsIdentityUnderAnySpelling)
{
    TempDir dir;
    ASSERT_TRUE(dir.IsValid());
    CString strA = dir.MakeDir("a");
    CString strB = strA + "\\b";
    ASSERT_TRUE(CreateDirectoryA(strB, nullptr));
    CString strC = strA + "\\c";
    ASSERT_TRUE(CreateDirectoryA(strC, nullptr));

    CVisitedFolders visited;
    EXPECT_TRUE(visited.Enter(strA));
    EXPECT_TRUE(visited.Enter(strB));
    EXPECT_TRUE(visited.Enter(strC));
    // Spellings that share no walked parent are identified the long way;
    // they must still meet the identities read from under the parent.
    EXPECT_FALSE(visited.Enter((Slashed(strB) + "/").c_str()));
    EXPECT_FALSE(visited.Enter((strA + "\\c\\..\\c")));
    EXPECT_FALSE(visited.Enter(strA + "\\"));
    EXPECT_FALSE(visited.Enter(strB));

    visited.Clear();
    EXPECT_TRUE(visited.Enter(strB));
    EXPECT_TRUE(visited.Enter(strA));
    // Now the subfolder comes under a walked parent, after its long-way identity.
    EXPECT_FALSE(visited.Enter(strB));
    EXPECT_TRUE(visited.Enter(strC));
    EXPECT_FALSE(visited.Enter(Slashed(strC).c_str()));
}

TEST(VisitedFoldersTest, DotsAndMissingFolders)
{
    TempDir dir;
    ASSERT_TRUE(dir.IsValid());
    CString strA = dir.MakeDir("a");
    CString strB = strA + "\\b";
    ASSERT_TRUE(CreateDirectoryA(strB, nullptr));

    CVisitedFolders visited;
    EXPECT_TRUE(visited.Enter(strB));
    // "b\.." is the folder above b, not a folder inside it.
    EXPECT_TRUE(visited.Enter(strB + "\\.."));
    EXPECT_FALSE(visited.Enter(strA));
    EXPECT_FALSE(visited.Enter(strB + "\\."));
    // A folder that cannot be opened counts as new every time.
    EXPECT_TRUE(visited.Enter(strA + "\\missing"));
    EXPECT_TRUE(visited.Enter(strA + "\\missing"));
}
