#include "tests/engine/EngineTestFixture.h"
#include "resources/Version.h"
#include "engine/ProcessingLog.h"
#include "tests/support/MessageBoxAnswerer.h"

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

// True when the handle was still open; it is closed then. Asked right after
// the call under test: later, a failure report may open handles of its own
// under the same values.
bool CloseIfStillOpen(HANDLE h)
{
    DWORD flags = 0;
    if (h == nullptr || !::GetHandleInformation(h, &flags))
        return false;
    ::CloseHandle(h);
    return true;
}

// Takes the place of the process start for its lifetime and keeps every
// request. A start that succeeds hands out two real handles (events), so that
// a test can tell whether the caller closed them.
class ProcessStartStandIn
{
public:
    struct Request
    {
        bool applicationNamed;
        std::string commandLine;
        bool securityGiven;
        BOOL inheritHandles;
        DWORD creationFlags;
        bool environmentGiven;
        bool folderGiven;
        STARTUPINFOA startup;
        PROCESS_INFORMATION processOnEntry;
        HANDLE process;
        HANDLE thread;
    };

    explicit ProcessStartStandIn(bool bSucceed) : m_bSucceed(bSucceed), m_pfnOld(g_pfnStartProcess)
    {
        s_pCurrent = this;
        g_pfnStartProcess = Start;
    }
    ~ProcessStartStandIn()
    {
        g_pfnStartProcess = m_pfnOld;
        s_pCurrent = nullptr;
    }
    ProcessStartStandIn(const ProcessStartStandIn&) = delete;
    ProcessStartStandIn& operator=(const ProcessStartStandIn&) = delete;

    const std::vector<Request>& Requests() const { return m_requests; }

private:
    static BOOL WINAPI Start(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
                             LPSECURITY_ATTRIBUTES threadSecurity, BOOL inheritHandles, DWORD creationFlags,
                             LPVOID environment, LPCSTR folder, LPSTARTUPINFOA startup,
                             LPPROCESS_INFORMATION process)
    {
        Request request = {};
        request.applicationNamed = application != nullptr;
        request.commandLine = commandLine ? commandLine : "(none)";
        request.securityGiven = processSecurity != nullptr || threadSecurity != nullptr;
        request.inheritHandles = inheritHandles;
        request.creationFlags = creationFlags;
        request.environmentGiven = environment != nullptr;
        request.folderGiven = folder != nullptr;
        if (startup)
            request.startup = *startup;
        if (process)
            request.processOnEntry = *process;
        if (s_pCurrent->m_bSucceed && process)
        {
            request.process = process->hProcess = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
            request.thread = process->hThread = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
            process->dwProcessId = 4242;
            process->dwThreadId = 4243;
        }
        s_pCurrent->m_requests.push_back(request);
        if (!s_pCurrent->m_bSucceed)
            ::SetLastError(ERROR_FILE_NOT_FOUND);
        return s_pCurrent->m_bSucceed ? TRUE : FALSE;
    }

    bool m_bSucceed;
    StartProcessFunc m_pfnOld;
    std::vector<Request> m_requests;
    static ProcessStartStandIn* s_pCurrent;
};

ProcessStartStandIn* ProcessStartStandIn::s_pCurrent = nullptr;

bool AllZero(const void* p, size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < size; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

// Notepad as the log asks for it: its quoted path, nothing named, nothing
// inherited, normal priority, the program's environment and folder, and a
// zeroed start-up record of 68 bytes.
void ExpectNotepadOn(const ProcessStartStandIn::Request& request, const std::string& logPath)
{
    EXPECT_EQ("notepad.exe \"" + logPath + "\"", request.commandLine);
    EXPECT_FALSE(request.applicationNamed);
    EXPECT_FALSE(request.securityGiven);
    EXPECT_EQ(FALSE, request.inheritHandles);
    EXPECT_EQ(0x20u, request.creationFlags);
    EXPECT_FALSE(request.environmentGiven);
    EXPECT_FALSE(request.folderGiven);
    EXPECT_EQ(sizeof(STARTUPINFOA), request.startup.cb);
    EXPECT_TRUE(AllZero(reinterpret_cast<const char*>(&request.startup) + sizeof(request.startup.cb),
                        sizeof(request.startup) - sizeof(request.startup.cb)));
    EXPECT_TRUE(AllZero(&request.processOnEntry, sizeof(request.processOnEntry)));
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
    EXPECT_EQ("<stamp>Chronoshift " CHRONOSHIFT_VERSION " program started\r\n", WithoutStamps(text));
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

TEST_F(ProcessingLogTest, APicturesLineCarriesTheMomentItWasGivenAndItsNumberRightAligned)
{
    std::string start = m_dlg.LogText();
    Append();
    SYSTEMTIME begun = {2008, 5, 0, 7, 3, 4, 5, 999};
    m_dlg.WriteFileLine(begun, 7, "CHANGED file date. EXIF date tag \"2008:05:07 03:04:05\"\t\t",
                        "c:\\a b.jpg");
    SYSTEMTIME late = {30827, 12, 0, 31, 23, 59, 59, 0};
    m_dlg.WriteFileLine(late, 1234567, "couldn't be opened\t\t\t\t\t\t", "x.jpg");
    m_dlg.WriteFileLine(late, 0, "", "");
    m_dlg.m_fileLog.Close();
    EXPECT_EQ(start + "2008/05/07 03:04:05  --     File      7 CHANGED file date. EXIF date tag \"2008:05:07 "
                      "03:04:05\"\t\t\t File name \"c:\\a b.jpg\"\r\n"
                      "30827/12/31 23:59:59  --     File 1234567 couldn't be opened\t\t\t\t\t\t\t File name "
                      "\"x.jpg\"\r\n"
                      "30827/12/31 23:59:59  --     File      0 \t File name \"\"\r\n",
              m_dlg.LogText());
}

TEST_F(ProcessingLogTest, WithTheLogOffNothingIsWrittenAndNothingStarted)
{
    ProcessStartStandIn starter(true);
    std::string logPath = static_cast<const char*>(m_dlg.m_strLogPath);
    std::string start = m_dlg.LogText();
    Append();
    m_dlg.m_strLogPath.Empty();
    m_dlg.WriteLog(true, "stamped\n");
    m_dlg.WriteLog(false, "plain\n");
    EXPECT_EQ(1, m_dlg.OnShowLog(0, 0));
    EXPECT_EQ(1, ::SendMessageA(m_dlg.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 0, 0));
    m_dlg.m_fileLog.Close();
    EXPECT_EQ(start, ReadBytes(logPath));
    EXPECT_TRUE(starter.Requests().empty());
    m_dlg.m_strLogPath = logPath.c_str();
}

TEST_F(ProcessingLogTest, TheShowLogMessageStartsNotepadOnTheLogAndKeepsNoHandle)
{
    ProcessStartStandIn starter(true);
    std::string logPath = static_cast<const char*>(m_dlg.m_strLogPath);
    // Whatever the parameters, as the link sends 0 and 0.
    LRESULT result = ::SendMessageA(m_dlg.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 7, 9);
    ASSERT_EQ(1u, starter.Requests().size());
    const ProcessStartStandIn::Request& request = starter.Requests()[0];
    bool bProcessOpen = CloseIfStillOpen(request.process);
    bool bThreadOpen = CloseIfStillOpen(request.thread);
    EXPECT_FALSE(bProcessOpen) << "process handle left open";
    EXPECT_FALSE(bThreadOpen) << "thread handle left open";
    EXPECT_EQ(1, result);
    ExpectNotepadOn(request, logPath);
    // The log itself is left as it was: closed, the start-up line only.
    EXPECT_FALSE(m_dlg.m_fileLog.IsOpen());
    EXPECT_EQ("<stamp>Chronoshift " CHRONOSHIFT_VERSION " program started\r\n", WithoutStamps(m_dlg.LogText()));
}

TEST_F(ProcessingLogTest, AClickOnViewLogStartsNotepad)
{
    ProcessStartStandIn starter(true);
    m_dlg.ShowStatus(3, 2, true);
    HWND hLabel = m_dlg.m_lblStatus.m_hWnd;
    ::UpdateWindow(hLabel);
    ASSERT_GT(m_dlg.m_lblStatus.GetLinkCount(), 0);
    RECT rc = m_dlg.m_lblStatus.GetLinkRect(0);
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    POINT screen = pt;
    ::ClientToScreen(hLabel, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageA(hLabel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ::SendMessageA(hLabel, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    ASSERT_EQ(1u, starter.Requests().size());
    ExpectNotepadOn(starter.Requests()[0], static_cast<const char*>(m_dlg.m_strLogPath));
}

TEST_F(ProcessingLogTest, NotepadThatCannotStartIsNotReported)
{
    ProcessStartStandIn starter(false);
    MessageBoxAnswerer answerer(m_dlg.m_hWnd, {});
    EXPECT_EQ(1, ::SendMessageA(m_dlg.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 0, 0));
    EXPECT_EQ(1u, starter.Requests().size());
    EXPECT_TRUE(answerer.Boxes().empty());
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
    TempDir scratch;
    TempFolderRedirect redirect(scratch.Path() + "\\does not exist");
    CTestMainDlg dlg;
    ProcessStartStandIn starter(true);
    ASSERT_TRUE(dlg.Open());
    EXPECT_TRUE(dlg.m_strLogPath.IsEmpty());
    EXPECT_EQ(1, ::SendMessageA(dlg.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 0, 0));
    EXPECT_TRUE(starter.Requests().empty());
    dlg.Close();
}
