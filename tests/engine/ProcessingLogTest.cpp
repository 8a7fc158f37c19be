#include "EngineTestFixture.h"
#include "ProcessingLog.h"

#include <regex>

namespace
{
std::string Now()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[32];
    snprintf(text, sizeof(text), "%04d/%02d/%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    return text;
}

bool Exists(const CString& path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

class ProcessingLogTest : public EngineTest
{
protected:
    void Append()
    {
        ASSERT_TRUE(m_dlg.m_fileLog.Open(m_dlg.m_strLogPath,
                                         CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone));
        m_dlg.m_fileLog.SeekToEnd();
    }
};

TEST_F(ProcessingLogTest, StartsWithTheStampedStartUpLineAndIsClosedAfterIt)
{
    std::string text = m_dlg.LogText();
    EXPECT_EQ("<stamp>Chronoshift 1.3 program started\r\n", WithoutStamps(text));
    EXPECT_FALSE(m_dlg.m_fileLog.IsOpen());
    // Closed, so anyone may open it exclusively.
    HANDLE hExclusive = ::CreateFileA(m_dlg.m_strLogPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, hExclusive);
    ::CloseHandle(hExclusive);
    std::string name = static_cast<const char*>(m_dlg.m_strLogPath);
    EXPECT_EQ(0u, name.find(m_temp.Path() + "\\Chronoshift Temp ")) << name;
}

TEST_F(ProcessingLogTest, AStampedWriteIsOneLineWithTheLocalTimeInFront)
{
    Append();
    std::string before = Now();
    m_dlg.WriteLog(true, "Finished processing files or folders\n");
    std::string after = Now();
    m_dlg.m_fileLog.Close();
    std::string text = m_dlg.LogText();
    std::vector<std::string> lines = SplitLines(text);
    ASSERT_EQ(2u, lines.size());
    const std::string& line = lines[1];
    ASSERT_TRUE(
        std::regex_match(line, std::regex("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}  --  "
                                          "Finished processing files or folders")))
        << line;
    std::string stamp = line.substr(0, 19);
    EXPECT_LE(before, stamp);
    EXPECT_GE(after, stamp);
    EXPECT_EQ("\r\n", text.substr(text.size() - 2));
    EXPECT_EQ(std::string::npos, text.find("\r\r"));
}

TEST_F(ProcessingLogTest, UnstampedWritesAddNothingOfTheirOwn)
{
    std::string start = m_dlg.LogText();
    Append();
    m_dlg.WriteLog(false, "A");
    m_dlg.WriteLog(false, "B");
    m_dlg.WriteLog(false, "C");
    m_dlg.WriteLog(false, "\n");
    m_dlg.WriteLog(false, "\t\tTotal JPG files dropped %d\n", 12);
    m_dlg.WriteLog(false, "%s|%6d|%08x", "text", 42, 0x20u);
    m_dlg.m_fileLog.Close();
    EXPECT_EQ(start + "ABC\r\n\t\tTotal JPG files dropped 12\r\ntext|    42|00000020", m_dlg.LogText());
}

TEST_F(ProcessingLogTest, WithTheLogOffNothingIsWrittenAndNothingStarted)
{
    std::string logPath = static_cast<const char*>(m_dlg.m_strLogPath);
    std::string start = m_dlg.LogText();
    Append();
    m_dlg.m_strLogPath.Empty();
    m_dlg.WriteLog(true, "stamped\n");
    m_dlg.WriteLog(false, "plain\n");
    EXPECT_EQ(1, m_dlg.OnShowLog(0, 0));
    m_dlg.m_fileLog.Close();
    EXPECT_EQ(start, ReadBytes(logPath));
    m_dlg.m_strLogPath = logPath.c_str();
}

TEST_F(ProcessingLogTest, NotepadGetsTheQuotedPath)
{
    EXPECT_STREQ("notepad.exe \"C:\\users\\me\\Temp\\Chronoshift Temp 1403090070.txt\"",
                 ShowLogCommandLine("C:\\users\\me\\Temp\\Chronoshift Temp 1403090070.txt"));
    // No length limit of its own.
    std::string longPath = "C:\\" + std::string(700, 'x') + ".txt";
    EXPECT_EQ("notepad.exe \"" + longPath + "\"",
              static_cast<const char*>(ShowLogCommandLine(longPath.c_str())));
}

TEST_F(ProcessingLogTest, DeletingTheTemporaryFilesRemovesJournalAndLog)
{
    ASSERT_TRUE(m_dlg.BeginBatchFiles());
    CString journal = m_dlg.m_strUndoPath;
    CString log = m_dlg.m_strLogPath;
    ASSERT_TRUE(Exists(journal));
    // Even while still open, as they are if the window goes away in the middle of things.
    m_dlg.DeleteTempFiles();
    EXPECT_FALSE(Exists(journal));
    EXPECT_FALSE(Exists(log));
    EXPECT_TRUE(m_dlg.m_strUndoPath.IsEmpty());
    EXPECT_TRUE(m_dlg.m_strLogPath.IsEmpty());
    EXPECT_FALSE(m_dlg.m_fileLog.IsOpen());
    EXPECT_FALSE(m_dlg.m_fileUndo.IsOpen());
}

TEST_F(ProcessingLogTest, ClosingTheDialogDeletesBothFiles)
{
    ASSERT_TRUE(m_dlg.BeginBatchFiles());
    m_dlg.EndBatchFiles();
    CString journal = m_dlg.m_strUndoPath;
    CString log = m_dlg.m_strLogPath;
    m_dlg.Close();
    EXPECT_FALSE(Exists(journal));
    EXPECT_FALSE(Exists(log));
}

TEST(ProcessingLogStart, WithoutATemporaryFolderTheProgramRunsWithoutALog)
{
    ScratchFolder scratch;
    TempFolderRedirect redirect(scratch.Path() + "\\does not exist");
    CTestMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    EXPECT_TRUE(dlg.m_strLogPath.IsEmpty());
    EXPECT_EQ(1, dlg.OnShowLog(0, 0));
    dlg.Close();
}
