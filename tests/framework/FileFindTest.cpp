#include <gtest/gtest.h>

#include "framework/CFileFind.h"
#include "tests/support/TempDir.h"

#include <map>
#include <string>

namespace
{
struct Entry
{
    CString path;
    bool bDots;
    bool bDirectory;
    bool bHidden;
};

// The entry's name: its path after the folder.
std::string NameOf(const CString& path)
{
    return std::string(path.Mid(path.ReverseFind('\\') + 1));
}

// The walk as the program does it: handle the current entry after every call.
std::map<std::string, Entry> Walk(const char* pattern, int* pCalls = nullptr)
{
    std::map<std::string, Entry> entries;
    CFileFind finder;
    BOOL bMore = finder.FindFile(pattern);
    int nCalls = 0;
    while (bMore)
    {
        bMore = finder.FindNextFile();
        ++nCalls;
        entries[NameOf(finder.GetFilePath())] = {finder.GetFilePath(), finder.IsDots() != FALSE,
                                                 finder.IsDirectory() != FALSE,
                                                 finder.MatchesMask(FILE_ATTRIBUTE_HIDDEN) != FALSE};
    }
    if (pCalls)
        *pCalls = nCalls;
    return entries;
}
} // namespace

TEST(FileFindTest, WalksEveryEntryIncludingHiddenAndDots)
{
    TempDir dir;
    dir.Write("a.jpg", "1");
    CString hidden = dir.Write("hidden.jpg", "2");
    ASSERT_TRUE(SetFileAttributesA(hidden, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    dir.MakeDir("sub");
    dir.Write("sub\\deep.jpg", "3");

    int nCalls = 0;
    std::map<std::string, Entry> entries = Walk(dir.Path() + "\\*", &nCalls);
    ASSERT_EQ(5u, entries.size());
    EXPECT_EQ(5, nCalls) << "each entry once, the last one too";
    ASSERT_TRUE(entries.count(".") && entries.count("..") && entries.count("a.jpg") &&
                entries.count("hidden.jpg") && entries.count("sub"));

    EXPECT_TRUE(entries["."].bDots && entries["."].bDirectory);
    EXPECT_TRUE(entries[".."].bDots && entries[".."].bDirectory);
    EXPECT_TRUE(entries["sub"].bDirectory);
    EXPECT_FALSE(entries["sub"].bDots);
    EXPECT_FALSE(entries["a.jpg"].bDirectory);
    EXPECT_FALSE(entries["a.jpg"].bDots);
    EXPECT_FALSE(entries["a.jpg"].bHidden);
    EXPECT_TRUE(entries["hidden.jpg"].bHidden);
    EXPECT_STREQ(dir.Path() + "\\a.jpg", entries["a.jpg"].path);
    EXPECT_STREQ(dir.Path() + "\\sub", entries["sub"].path);
    EXPECT_EQ(0u, entries.count("deep.jpg")) << "no descent on its own";
}

TEST(FileFindTest, FindNextFileTellsWhetherAnotherFollows)
{
    TempDir dir;
    dir.Write("one.jpg", "1");
    dir.Write("two.jpg", "2");
    dir.Write("other.txt", "3");

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(dir.File("one.jpg")));
    EXPECT_STREQ("", finder.GetFilePath()) << "no current entry before the first FindNextFile";
    EXPECT_FALSE(finder.FindNextFile());                     // nothing follows...
    EXPECT_STREQ(dir.File("one.jpg"), finder.GetFilePath()); // ...but this one is current
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_STREQ(dir.File("one.jpg"), finder.GetFilePath());

    ASSERT_TRUE(finder.FindFile(dir.File("*.jpg")));
    EXPECT_TRUE(finder.FindNextFile());
    std::string first = NameOf(finder.GetFilePath());
    EXPECT_FALSE(finder.FindNextFile());
    std::string second = NameOf(finder.GetFilePath());
    EXPECT_NE(first, second);
    EXPECT_TRUE((first == "one.jpg" && second == "two.jpg") || (first == "two.jpg" && second == "one.jpg"));

    finder.Close();
    EXPECT_STREQ("", finder.GetFilePath());
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_FALSE(finder.IsDirectory());
}

TEST(FileFindTest, NothingToFind)
{
    TempDir dir;
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile(dir.File("*.jpg")));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_FALSE(finder.FindFile(dir.File("missing\\*")));
    EXPECT_FALSE(finder.IsDots());
    EXPECT_FALSE(finder.MatchesMask(0xFFFFFFFF));

    // An empty folder still holds its dot entries.
    dir.MakeDir("empty");
    std::map<std::string, Entry> entries = Walk(dir.File("empty\\*"));
    EXPECT_EQ(2u, entries.size());
    EXPECT_TRUE(entries["."].bDots);
}

TEST(FileFindTest, PathsOfRootAndBarePatterns)
{
    TempDir dir;
    dir.Write("bare.jpg", "1");
    char szOld[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szOld);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path()));
    std::map<std::string, Entry> entries = Walk("*.jpg");
    std::map<std::string, Entry> defaults = Walk(nullptr);
    SetCurrentDirectoryA(szOld);
    ASSERT_EQ(1u, entries.count("bare.jpg"));
    EXPECT_STREQ(dir.File("bare.jpg"), entries["bare.jpg"].path);
    EXPECT_EQ(1u, defaults.count("bare.jpg"));

    // A drive root: no doubled separator.
    WIN32_FIND_DATAA first;
    HANDLE hFind = FindFirstFileA("C:\\*", &first);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFind);
    FindClose(hFind);
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile("C:\\*"));
    finder.FindNextFile();
    EXPECT_STREQ(CString("C:\\") + first.cFileName, finder.GetFilePath());
}
