#include "engine/TempFile.h"
#include "tests/support/Bytes.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestMainDlg.h"

#include <gtest/gtest.h>

#include <regex>

namespace
{
SYSTEMTIME At(WORD hour, WORD minute, WORD second, WORD milliseconds)
{
    SYSTEMTIME time = {};
    time.wYear = 2008;
    time.wMonth = 5;
    time.wDay = 17;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}

} // namespace

TEST(TempFileName, FollowsTheFixedPattern)
{
    SYSTEMTIME time = At(14, 3, 9, 7);
    EXPECT_STREQ("C:\\tmp\\Chronoshift Temp 1403090070.txt",
                 static_cast<const char*>(FormatTempFileName("C:\\tmp\\", time, 0)));
    EXPECT_STREQ("C:\\tmp\\Chronoshift Temp 1403090071.txt",
                 static_cast<const char*>(FormatTempFileName("C:\\tmp\\", time, 1)));
    EXPECT_STREQ("C:\\tmp\\Chronoshift Temp 14030900710.txt",
                 static_cast<const char*>(FormatTempFileName("C:\\tmp\\", time, 10)));
    EXPECT_STREQ("X\\Chronoshift Temp 0000009990.txt",
                 static_cast<const char*>(FormatTempFileName("X\\", At(0, 0, 0, 999), 0)));
}

TEST(CreateUniqueTempFile, TakesTheNextCounterWhileNamesExist)
{
    TempDir folder;
    std::string prefix(folder.Path() + "\\");
    SYSTEMTIME time = At(14, 3, 9, 7);
    CString path;
    ASSERT_TRUE(CreateUniqueTempFile(prefix.c_str(), time, path));
    EXPECT_EQ(prefix + "Chronoshift Temp 1403090070.txt", static_cast<const char*>(path));
    EXPECT_TRUE(Exists(static_cast<const char*>(path)));
    ASSERT_TRUE(CreateUniqueTempFile(prefix.c_str(), time, path));
    EXPECT_EQ(prefix + "Chronoshift Temp 1403090071.txt", static_cast<const char*>(path));

    for (int counter = 2; counter < 11; ++counter)
        ASSERT_TRUE(
            WriteBytes(static_cast<const char*>(FormatTempFileName(prefix.c_str(), time, counter)), "x"));
    // Existing names are no failures, however few of those are allowed.
    ASSERT_TRUE(CreateUniqueTempFile(prefix.c_str(), time, path, kMaxTempFileAttempts, 1));
    EXPECT_EQ(prefix + "Chronoshift Temp 14030900711.txt", static_cast<const char*>(path));
    EXPECT_EQ("", ReadBytes(static_cast<const char*>(path))) << "a new, empty file";
    EXPECT_EQ("x", ReadBytes(static_cast<const char*>(FormatTempFileName(prefix.c_str(), time, 10))))
        << "existing files are left alone";
}

TEST(CreateUniqueTempFile, GivesUpAfterItsAttempts)
{
    TempDir folder;
    std::string prefix(folder.Path() + "\\");
    SYSTEMTIME time = At(1, 2, 3, 4);
    for (int counter = 0; counter < 5; ++counter)
        ASSERT_TRUE(
            WriteBytes(static_cast<const char*>(FormatTempFileName(prefix.c_str(), time, counter)), "x"));
    CString path("stale");
    EXPECT_FALSE(CreateUniqueTempFile(prefix.c_str(), time, path, 5, 100));
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_FALSE(Exists(static_cast<const char*>(FormatTempFileName(prefix.c_str(), time, 5))));
    ASSERT_TRUE(CreateUniqueTempFile(prefix.c_str(), time, path, 6, 100));
    EXPECT_EQ(prefix + "Chronoshift Temp 0102030045.txt", static_cast<const char*>(path));
}

TEST(CreateUniqueTempFile, GoesOnPastANameThatFailsForAnotherReason)
{
    TempDir folder;
    std::string prefix(folder.Path() + "\\");
    SYSTEMTIME time = At(9, 8, 7, 6);
    // A folder of that name: the creation fails, though not always as "exists".
    ASSERT_TRUE(::CreateDirectoryA(FormatTempFileName(prefix.c_str(), time, 0), nullptr));
    CString path;
    ASSERT_TRUE(CreateUniqueTempFile(prefix.c_str(), time, path));
    EXPECT_EQ(prefix + "Chronoshift Temp 0908070061.txt", static_cast<const char*>(path));
}

TEST(CreateUniqueTempFile, StopsWhenTheFolderTakesNoFile)
{
    TempDir folder;
    std::string missing(folder.Path() + "\\no such folder\\");
    CString path("stale");
    // Failures that are not existing names end the loop long before the attempts run out.
    EXPECT_FALSE(CreateUniqueTempFile(missing.c_str(), At(1, 1, 1, 1), path, 0x7FFFFFFF, 3));
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_FALSE(CreateUniqueTempFile(missing.c_str(), At(1, 1, 1, 1), path));
    EXPECT_TRUE(path.IsEmpty());
}

class CreateTempFileTest : public testing::Test
{
protected:
    TempDir m_temp;
    TempFolderRedirect m_redirect{m_temp.Path()};
};

TEST_F(CreateTempFileTest, MakesANamedFileOpenForWriting)
{
    CString path;
    CStdioFile file;
    CTestMainDlg::CreateTempFile(path, file);
    ASSERT_FALSE(path.IsEmpty());
    ASSERT_TRUE(file.IsOpen());
    std::string name = static_cast<const char*>(path);
    std::regex pattern(
        std::regex_replace(std::string(m_temp.Path()), std::regex("[\\\\.^$|()\\[\\]{}*+?]"), "\\$&") +
        "\\\\Chronoshift Temp [0-9]{9}[0-9]+\\.txt");
    EXPECT_TRUE(std::regex_match(name, pattern)) << name;
    EXPECT_TRUE(file.WriteString("line\n"));
    file.Close();
    EXPECT_EQ("line\r\n", ReadBytes(name));
}

TEST_F(CreateTempFileTest, DeletesThePreviousFileFirst)
{
    CString path;
    CStdioFile file;
    CTestMainDlg::CreateTempFile(path, file);
    ASSERT_FALSE(path.IsEmpty());
    ASSERT_TRUE(file.WriteString("old content\n"));
    file.Close();
    std::string first = static_cast<const char*>(path);
    CTestMainDlg::CreateTempFile(path, file);
    ASSERT_FALSE(path.IsEmpty());
    file.Close();
    // Within the same millisecond the freed name may come back, but as a new file.
    EXPECT_EQ("", ReadBytes(static_cast<const char*>(path)));
    if (first != static_cast<const char*>(path))
    {
        EXPECT_FALSE(Exists(first));
    }
    ::DeleteFileA(path);
    CTestMainDlg::CreateTempFile(path, file);
    EXPECT_FALSE(path.IsEmpty()) << "a path naming a file already gone is fine too";
    file.Close();
}

TEST_F(CreateTempFileTest, FilesMadeInQuickSuccessionAllDiffer)
{
    // Several of these fall into one millisecond; the counter keeps them apart.
    std::vector<std::string> names;
    for (int i = 0; i < 30; ++i)
    {
        CString path;
        CStdioFile file;
        CTestMainDlg::CreateTempFile(path, file);
        ASSERT_FALSE(path.IsEmpty());
        file.Close();
        names.push_back(static_cast<const char*>(path));
    }
    for (size_t i = 0; i < names.size(); ++i)
    {
        EXPECT_TRUE(Exists(names[i]));
        for (size_t j = i + 1; j < names.size(); ++j)
            EXPECT_NE(names[i], names[j]);
    }
}

TEST_F(CreateTempFileTest, LeavesThePathEmptyWithoutATemporaryFolder)
{
    TempFolderRedirect gone(m_temp.Path() + "\\missing");
    CString path;
    CStdioFile file;
    CTestMainDlg::CreateTempFile(path, file);
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_FALSE(file.IsOpen());
}
