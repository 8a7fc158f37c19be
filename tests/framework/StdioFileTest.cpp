#include <gtest/gtest.h>

#include "framework/CStdioFile.h"
#include "tests/support/TempDir.h"

#include <string>
#include <vector>

namespace
{
std::vector<CString> ReadAll(const char* path, UINT flags = CFile::modeRead | CFile::shareDenyWrite)
{
    std::vector<CString> lines;
    CStdioFile file;
    EXPECT_TRUE(file.Open(path, flags));
    CString line;
    while (file.ReadString(line))
        lines.push_back(line);
    EXPECT_FALSE(file.ReadString(line)) << "the end stays the end";
    EXPECT_TRUE(line.IsEmpty());
    return lines;
}
} // namespace

TEST(StdioFileTest, OpenFlagValues)
{
    EXPECT_EQ(0x1041, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone);
    EXPECT_EQ(0x2041, CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone);
    EXPECT_EQ(0x20, CFile::modeRead | CFile::shareDenyWrite);
}

TEST(StdioFileTest, TextModeWritesCrLfByteExact)
{
    TempDir dir;
    CString path = dir.File("log.txt");
    CStdioFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.WriteString("A\nB"));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(std::string("\x41\x0D\x0A\x42"), TempDir::Read(path));

    // Pieces build one line; a CR already there is kept as text mode does.
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.WriteString("A"));
    EXPECT_TRUE(file.WriteString("B"));
    EXPECT_TRUE(file.WriteString("C\n"));
    EXPECT_TRUE(file.WriteString("\n\tx\r\n"));
    EXPECT_TRUE(file.WriteString(""));
    EXPECT_TRUE(file.Flush());
    file.Close();
    EXPECT_EQ(std::string("ABC\r\n\r\n\tx\r\r\n"), TempDir::Read(path));

    // Long text crosses the internal chunks without losing or doubling a byte.
    std::string text, expected;
    for (int i = 0; i < 30000; ++i)
    {
        char ch = i % 7 == 0 ? '\n' : static_cast<char>('a' + i % 26);
        text += ch;
        expected += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    }
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.WriteString(text.c_str()));
    file.Close();
    EXPECT_EQ(expected, TempDir::Read(path));

    // Line ends and runs of text that meet the end of a 4 KiB chunk, or
    // fill one exactly.
    for (int nBefore : {4094, 4095, 4096, 4097, 8191, 8192})
    {
        const std::string run(static_cast<size_t>(nBefore), 'x');
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
        EXPECT_TRUE(file.WriteString(run.c_str()));
        EXPECT_TRUE(file.WriteString("\n"));
        EXPECT_TRUE(file.WriteString((run + "\ny\n\n").c_str()));
        file.Close();
        EXPECT_EQ(run + "\r\n" + run + "\r\ny\r\n\r\n", TempDir::Read(path)) << nBefore;
    }
}

TEST(StdioFileTest, ReadStringDropsLineEnds)
{
    TempDir dir;
    CString path = dir.Write("j.txt", std::string("one\r\ntwo\nthree\r\n\r\nin\rside\n\nlast"));
    std::vector<CString> lines = ReadAll(path);
    ASSERT_EQ(7u, lines.size());
    EXPECT_STREQ("one", lines[0]);
    EXPECT_STREQ("two", lines[1]);
    EXPECT_STREQ("three", lines[2]);
    EXPECT_STREQ("", lines[3]);
    EXPECT_STREQ("in\rside", lines[4]);
    EXPECT_STREQ("", lines[5]);
    EXPECT_STREQ("last", lines[6]); // no line end, still a line

    CString empty = dir.Write("empty.txt", "");
    EXPECT_TRUE(ReadAll(empty).empty());
    CString endsClean = dir.Write("clean.txt", "a\r\nb\r\n");
    EXPECT_EQ(2u, ReadAll(endsClean).size());

    // A line longer than the read-ahead, its CR the last byte of one chunk and its LF
    // the first of the next.
    std::string longLine(4095, 'x');
    CString split = dir.Write("split.txt", longLine + "\r\n" + longLine + "y\r\nz");
    lines = ReadAll(split);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(longLine, std::string(lines[0]));
    EXPECT_EQ(longLine + "y", std::string(lines[1]));
    EXPECT_STREQ("z", lines[2]);

    CStdioFile closed;
    CString line("stale");
    EXPECT_FALSE(closed.ReadString(line));
    EXPECT_TRUE(line.IsEmpty());
}

TEST(StdioFileTest, AppendNeedsAnExistingFile)
{
    TempDir dir;
    CString path = dir.File("gone.txt");
    CStdioFile file;
    BOOL bOpened = file.Open(path, CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone);
    const DWORD dwError = GetLastError();
    EXPECT_FALSE(bOpened);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), dwError);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path)) << "no file may be made";

    dir.Write("gone.txt", "first\r\n");
    ASSERT_TRUE(file.Open(path, CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone));
    file.SeekToEnd();
    EXPECT_TRUE(file.WriteString("second\n"));
    file.Close();
    EXPECT_EQ(std::string("first\r\nsecond\r\n"), TempDir::Read(path));

    // modeCreate truncates; with modeNoTruncate it keeps the content.
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    file.Close();
    EXPECT_EQ(std::string("first\r\nsecond\r\n"), TempDir::Read(path));
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
    file.Close();
    EXPECT_EQ(std::string(), TempDir::Read(path));
}

TEST(StdioFileTest, SharingModes)
{
    TempDir dir;
    CString path = dir.Write("s.txt", "x\r\n");
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    {
        // The log: a viewer may read and even write while it is open.
        CStdioFile log;
        ASSERT_TRUE(log.Open(path, CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone));
        HANDLE hViewer = CreateFileA(path, GENERIC_READ, all, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, hViewer);
        CloseHandle(hViewer);
        HANDLE hWriter = CreateFileA(path, GENERIC_WRITE, all, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, hWriter);
        CloseHandle(hWriter);
    }
    {
        // The journal being replayed: readers yes, writers no.
        CStdioFile journal;
        ASSERT_TRUE(journal.Open(path, CFile::modeRead | CFile::shareDenyWrite));
        HANDLE hReader = CreateFileA(path, GENERIC_READ, all, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, hReader);
        CloseHandle(hReader);
        SetLastError(0);
        HANDLE hWriter = CreateFileA(path, GENERIC_WRITE, all, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(INVALID_HANDLE_VALUE, hWriter);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
        if (hWriter != INVALID_HANDLE_VALUE)
            CloseHandle(hWriter);
    }
    {
        // And a journal cannot be opened for reading while someone writes it unshared.
        HANDLE hHolder =
            CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, hHolder);
        CStdioFile journal;
        BOOL bOpened = journal.Open(path, CFile::modeRead | CFile::shareDenyWrite);
        const DWORD dwError = GetLastError();
        EXPECT_FALSE(bOpened);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), dwError);
        CloseHandle(hHolder);
    }
}

TEST(StdioFileTest, WriteFailuresAreReported)
{
    TempDir dir;
    CString path = dir.Write("r.txt", "content\r\n");
    CStdioFile file;
    EXPECT_FALSE(file.WriteString("not open"));
    EXPECT_FALSE(file.Flush());
    file.Close(); // harmless when not open

    // Opened for reading only: every write fails, and Flush says so afterwards.
    ASSERT_TRUE(file.Open(path, CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_TRUE(file.Flush());
    EXPECT_FALSE(file.WriteString("lost\n"));
    EXPECT_FALSE(file.Flush());
    file.Close();
    file.Close();
    EXPECT_EQ(std::string("content\r\n"), TempDir::Read(path));

    BOOL bOpened = file.Open(dir.File("no folder\\x.txt"), CFile::modeCreate | CFile::modeWrite);
    DWORD dwError = GetLastError();
    EXPECT_FALSE(bOpened);
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), dwError);
    bOpened = file.Open("", CFile::modeRead);
    dwError = GetLastError();
    EXPECT_FALSE(bOpened);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), dwError);
}

TEST(StdioFileTest, FlushHandsBufferedTextToTheSystemWhileOpen)
{
    TempDir dir;
    CString path = dir.File("journal.txt");
    CStdioFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.WriteString("first\n"));
    EXPECT_TRUE(file.Flush());
    // Another reader sees the record before the file is closed.
    EXPECT_EQ(std::string("first\r\n"), TempDir::Read(path));
    EXPECT_TRUE(file.WriteString("second\n"));
    EXPECT_TRUE(file.Flush());
    EXPECT_EQ(std::string("first\r\nsecond\r\n"), TempDir::Read(path));
    file.Close();
    EXPECT_EQ(std::string("first\r\nsecond\r\n"), TempDir::Read(path));

    // Appending after a seek to the end keeps what was there, in order.
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    file.SeekToEnd();
    EXPECT_TRUE(file.WriteString("third"));
    file.Close();
    EXPECT_EQ(std::string("first\r\nsecond\r\nthird"), TempDir::Read(path));
}
