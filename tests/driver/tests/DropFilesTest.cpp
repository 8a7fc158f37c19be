// The drop handle the tests and the driver build reads back through the
// shell's own DragQueryFile exactly as a drop from Explorer would.
#include "tests/support/DropFiles.h"
#include "tests/driver/FullPath.h"

#include <shlobj.h>
#include <shellapi.h>

#include <gtest/gtest.h>

namespace
{
std::vector<std::string> ReadBack(HDROP hDrop)
{
    std::vector<std::string> paths;
    const UINT nCount = DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nCount; ++i)
    {
        const UINT cch = DragQueryFileA(hDrop, i, nullptr, 0);
        std::string path(cch + 1, '\0');
        EXPECT_EQ(cch, DragQueryFileA(hDrop, i, &path[0], cch + 1));
        path.resize(cch);
        paths.push_back(path);
    }
    return paths;
}
} // namespace

TEST(DropFiles, PathsComeBackInOrder)
{
    const std::vector<std::string> paths = {"C:\\pictures\\a.jpg", "C:\\pictures\\sub folder", "D:\\b.JPEG"};
    HDROP hDrop = BuildDropFiles(paths);
    ASSERT_NE(nullptr, hDrop);
    EXPECT_EQ(paths, ReadBack(hDrop));
    DragFinish(hDrop);
}

TEST(DropFiles, PathsLongerThanMaxPathStayWhole)
{
    std::string longPath = "C:\\";
    while (longPath.size() < 400)
        longPath += "a long folder name\\";
    longPath += "picture.jpg";
    HDROP hDrop = BuildDropFiles({longPath, "C:\\x.jpg"});
    ASSERT_NE(nullptr, hDrop);
    EXPECT_EQ((std::vector<std::string>{longPath, "C:\\x.jpg"}), ReadBack(hDrop));
    DragFinish(hDrop);
}

TEST(DropFiles, EightBitPathsAreNotWide)
{
    HDROP hDrop = BuildDropFiles({"C:\\caf\xc3\xa9.jpg"});
    ASSERT_NE(nullptr, hDrop);
    auto* pDrop = static_cast<DROPFILES*>(GlobalLock(hDrop));
    ASSERT_NE(nullptr, pDrop);
    EXPECT_FALSE(pDrop->fWide);
    EXPECT_EQ(sizeof(DROPFILES), pDrop->pFiles);
    const char* pList = reinterpret_cast<const char*>(pDrop) + pDrop->pFiles;
    EXPECT_STREQ("C:\\caf\xc3\xa9.jpg", pList);
    // The list ends with a second zero.
    EXPECT_EQ('\0', pList[strlen(pList) + 1]);
    GlobalUnlock(hDrop);
    DragFinish(hDrop);
}

TEST(DropFiles, AnEmptyListStillEndsWithTwoZeros)
{
    // Readers skip one string before they look for the end of the list.
    HDROP hDrop = BuildDropFiles({});
    ASSERT_NE(nullptr, hDrop);
    ASSERT_GE(GlobalSize(hDrop), sizeof(DROPFILES) + 2);
    auto* pDrop = static_cast<const char*>(GlobalLock(hDrop));
    ASSERT_NE(nullptr, pDrop);
    EXPECT_EQ('\0', pDrop[sizeof(DROPFILES)]);
    EXPECT_EQ('\0', pDrop[sizeof(DROPFILES) + 1]);
    GlobalUnlock(hDrop);
    GlobalFree(hDrop);
}

TEST(FullPath, RelativePathsBecomeAbsolute)
{
    char szCurrent[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(sizeof(szCurrent), szCurrent), 0u);
    std::string current = szCurrent;
    if (current.back() != '\\')
        current += '\\';
    EXPECT_EQ(current + "pictures\\a.jpg", FullPath("pictures\\a.jpg"));
    EXPECT_EQ("C:\\x\\b.jpg", FullPath("C:\\x\\y\\..\\b.jpg"));
}
