#include <gtest/gtest.h>

#include "framework/CHeldFile.h"
#include "framework/FolderHandle.h"
#include "framework/LongPath.h"
#include "tests/support/TempDir.h"

#include <string>

namespace
{
// "Ünïcødé 写真.jpg" in the program's code page, UTF-8.
const char kUnicodeName[] = "\xC3\x9C"
                            "n\xC3\xAF"
                            "c\xC3\xB8"
                            "d\xC3\xA9 \xE5\x86\x99\xE7\x9C\x9F.jpg";

// What an entry opened through the folder holds ("" when it did not open);
// the handle is closed.
std::string EntryContent(const CFolderHandle& held, const std::string& path, DWORD dwAccess = GENERIC_READ)
{
    HANDLE hFile = held.OpenEntry(path.c_str(), dwAccess, kFileShareAll);
    if (hFile == INVALID_HANDLE_VALUE)
        return "";
    std::string content(64, '\0');
    DWORD nRead = 0;
    EXPECT_TRUE(::ReadFile(hFile, &content[0], static_cast<DWORD>(content.size()), &nRead, nullptr));
    ::CloseHandle(hFile);
    content.resize(nRead);
    return content;
}
} // namespace

TEST(FolderHandleTest, OpensTheEntriesOfItsOwnFolderAndNoOthers)
{
    TempDir dir;
    const std::string folder(dir.MakeDir("pics"));
    dir.MakeDir("pics2");
    dir.MakeDir("pics\\sub");
    dir.Write("pics\\a.jpg", "alpha");
    dir.Write("pics\\b.jpg", "beta");
    dir.Write((std::string("pics\\") + kUnicodeName).c_str(), "unicode");
    dir.Write("pics2\\a.jpg", "other");
    dir.Write("pics\\sub\\a.jpg", "deeper");

    CFolderHandle held;
    ASSERT_TRUE(held.Open(folder.c_str()));
    EXPECT_EQ("beta", EntryContent(held, folder + "\\b.jpg"));
    EXPECT_EQ("alpha", EntryContent(held, folder + "/a.jpg"));
    EXPECT_EQ("unicode", EntryContent(held, folder + "\\" + kUnicodeName));
    // Not entries of this folder: siblings whose names start with the
    // folder's, a file further down, the folder itself, a missing name.
    EXPECT_EQ("", EntryContent(held, folder + "xb.jpg"));
    EXPECT_EQ("", EntryContent(held, folder + "2\\a.jpg"));
    EXPECT_EQ("", EntryContent(held, folder + "\\sub\\a.jpg"));
    EXPECT_EQ("", EntryContent(held, folder + "\\"));
    EXPECT_EQ("", EntryContent(held, folder));
    EXPECT_EQ("", EntryContent(held, folder + "\\c.jpg"));
    EXPECT_EQ("", EntryContent(held, std::string(dir.Path()) + "\\pics2\\a.jpg"));

    // A folder given with its separator, as a drive root is.
    CFolderHandle root;
    ASSERT_TRUE(root.Open((folder + "\\").c_str()));
    EXPECT_EQ("alpha", EntryContent(root, folder + "\\a.jpg"));
    EXPECT_EQ("", EntryContent(root, folder + "\\sub\\a.jpg"));

    CFolderHandle missing;
    EXPECT_FALSE(missing.Open((folder + "\\none").c_str()));
    EXPECT_EQ("", EntryContent(missing, folder + "\\none\\a.jpg"));
}

TEST(FolderHandleTest, EntriesAreOpenedWithTheRightsAndSharingAskedFor)
{
    TempDir dir;
    const std::string folder(dir.MakeDir("pics"));
    const std::string path(dir.Write("pics\\a.jpg", "alpha"));
    CFolderHandle held;
    ASSERT_TRUE(held.Open(folder.c_str()));

    DWORD nWritten = 0;
    HANDLE hRead = held.OpenEntry(path.c_str(), GENERIC_READ, kFileShareAll);
    ASSERT_NE(INVALID_HANDLE_VALUE, hRead);
    EXPECT_FALSE(::WriteFile(hRead, "A", 1, &nWritten, nullptr)) << "read access alone";
    HANDLE hWrite = held.OpenEntry(path.c_str(), GENERIC_READ | GENERIC_WRITE, kFileShareAll);
    ASSERT_NE(INVALID_HANDLE_VALUE, hWrite);
    EXPECT_TRUE(::WriteFile(hWrite, "A", 1, &nWritten, nullptr));
    ::CloseHandle(hWrite);
    ::CloseHandle(hRead);
    EXPECT_EQ("Alpha", TempDir::Read(path.c_str()));

    // Someone who holds the file without write sharing refuses a writer, not a reader.
    HANDLE hOther =
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hOther);
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              held.OpenEntry(path.c_str(), GENERIC_READ | GENERIC_WRITE, kFileShareAll));
    EXPECT_EQ("Alpha", EntryContent(held, path));
    ::CloseHandle(hOther);
}

TEST(FolderHandleTest, AHeldFileOfAHeldFolderIsOpenedThroughIt)
{
    TempDir dir;
    const std::string folder(dir.MakeDir("pics"));
    const std::string path(dir.Write("pics\\a.jpg", "alpha"));
    CFolderHandle held;
    ASSERT_TRUE(held.Open(folder.c_str()));
    // Moved away under the held folder: its old path names nothing now,
    // and only an open by name within the folder still finds the file.
    ASSERT_TRUE(::MoveFileA(folder.c_str(), (std::string(dir.Path()) + "\\moved").c_str()));

    CHeldFile byPath;
    EXPECT_FALSE(byPath.Open(path.c_str()));
    CHeldFile throughFolder;
    ASSERT_TRUE(throughFolder.Open(path.c_str(), &held));
    std::string content(16, '\0');
    content.resize(throughFolder.Read(&content[0], static_cast<DWORD>(content.size())));
    EXPECT_EQ("alpha", content);
    // Held so, as by path, it denies nobody else anything.
    HANDLE hOther = ::CreateFileA(
        (std::string(dir.Path()) + "\\moved\\a.jpg").c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, hOther);
    ::CloseHandle(hOther);

    // A path the folder cannot open is opened by path.
    const std::string elsewhere(dir.Write("b.jpg", "beta"));
    CHeldFile other;
    EXPECT_TRUE(other.Open(elsewhere.c_str(), &held));
}
