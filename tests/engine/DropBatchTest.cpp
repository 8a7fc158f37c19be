#include "engine/DropPaths.h"
#include "tests/engine/EngineTestFixture.h"
#include "resources/Version.h"
#include "tests/support/MessageBoxAnswerer.h"

#include <algorithm>

namespace
{
const char* const kStartModified =
    "<stamp>Starting to process files or folders. Change Modified Date: yes. Change Created Date: no";

std::string Final(int nJpgFiles, int nChanged)
{
    return "<font color=\"DarkRed\">Dropped <b>" + std::to_string(nJpgFiles) +
           "</b> jpg files, changed date for <b>" + std::to_string(nChanged) +
           "</b> files</font>  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View "
           "log</u>)</font></a>";
}

std::string Progress(int nJpgFiles)
{
    return "<font color=\"DarkRed\">Processed <b>" + std::to_string(nJpgFiles) + "</b> files...</font>";
}

// Wine only: the host's name of a path, for the host's own tools.
std::string HostName(const std::string& path)
{
    typedef char*(CDECL * ToUnixName)(LPCWSTR);
    FARPROC proc = ::GetProcAddress(::GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    ToUnixName toUnix = reinterpret_cast<ToUnixName>(reinterpret_cast<void*>(proc));
    if (!toUnix)
        return "";
    std::wstring wide(path.begin(), path.end());
    char* name = toUnix(wide.c_str());
    std::string result = name ? name : "";
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

// Runs a host program and waits until the link is there (or gone).
bool RunHostTool(std::string command, const std::string& link, bool bExists)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // A host program may still be running when Wine reports it ended.
    for (int i = 0; i < 100 && Exists(link) != bExists; ++i)
        ::Sleep(50);
    return Exists(link) == bExists;
}

// A symbolic link made by the host's ln, as a user would have it.
bool MakeHostSymlink(const std::string& target, const std::string& link)
{
    std::string hostTarget = HostName(target), hostLink = HostName(link);
    return !hostTarget.empty() && !hostLink.empty() &&
           RunHostTool("Z:\\bin\\ln -s " + hostTarget + " " + hostLink, link, true);
}

void RemoveHostSymlink(const std::string& link)
{
    // The link itself, never what it points to.
    std::string hostLink = HostName(link);
    if (!hostLink.empty())
        RunHostTool("Z:\\bin\\rm -f " + hostLink, link, false);
}
} // namespace

class DropBatchTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_dlg.SelectTarget(0);
        m_dlg.m_bProcessSubfolders = 1;
    }

    // The lines of the last drop's block of the log, stamps cut off.
    std::vector<std::string> LastBlock()
    {
        std::vector<std::string> lines = SplitLines(WithoutStamps(m_dlg.LogText()));
        auto start = std::find_if(lines.rbegin(), lines.rend(),
                                  [](const std::string& line)
                                  { return line.find("<stamp>Starting to process") == 0; });
        if (start == lines.rend())
            return {};
        return std::vector<std::string>(start.base() - 1, lines.end());
    }

    std::string Folder(const std::string& relative)
    {
        std::string path = m_work / relative;
        EXPECT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path;
        return path;
    }

    // Drops the paths with a pump due after every file, posting the message
    // once, at the first; false when it was never posted.
    bool DropPostingOnce(const std::vector<std::string>& paths, UINT message, WPARAM wParam, LPARAM lParam)
    {
        m_dlg.m_bFakeTick = true;
        m_dlg.m_dwTickStep = 1000; // every pump dispatches
        bool bPosted = false;
        m_dlg.m_onTick = [&]
        {
            if (!bPosted)
                bPosted = ::PostMessageA(m_dlg.m_hWnd, message, wParam, lParam) != FALSE;
        };
        m_dlg.Drop(paths);
        m_dlg.m_onTick = nullptr;
        return bPosted;
    }

    static std::string Working(const std::string& folder)
    {
        return "<stamp>Working on folder \"" + folder + "\"";
    }

    bool AllEnabled()
    {
        return m_dlg.IsControlEnabled(IDC_KEEP_ON_TOP) && m_dlg.IsControlEnabled(IDC_PROCESS_SUBFOLDERS) &&
               m_dlg.IsControlEnabled(IDC_DATE_TO_CHANGE) && m_dlg.IsControlEnabled(IDOK);
    }
};

TEST_F(DropBatchTest, WritesTheDropBlockAndTheFinalStatus)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 9));
    std::string text = m_work / "notes.txt";
    ASSERT_TRUE(WriteBytes(text, "x"));
    m_dlg.Drop({a, text, b});

    std::vector<std::string> expected = {
        "<stamp>Chronoshift " CHRONOSHIFT_VERSION " program started",
        "",
        "",
        kStartModified,
        Line(1, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(a)),
        Line(2, "not changed. File date is the same as EXIF date\t\t\t", Lower(b)),
        "<stamp>Finished processing files or folders",
        "\t\tTotal JPG files dropped 2",
        "\t\tTotal changed 1",
        "",
    };
    EXPECT_EQ(expected, SplitLines(WithoutStamps(m_dlg.LogText())));
    EXPECT_EQ("\r\n\r\n", m_dlg.LogText().substr(m_dlg.LogText().size() - 4));
    EXPECT_EQ(Final(2, 1), m_dlg.StatusMarkup());
    EXPECT_FALSE(m_dlg.m_bBusy);
    EXPECT_TRUE(AllEnabled());
    EXPECT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
    ASSERT_FALSE(m_dlg.m_strUndoPath.IsEmpty());
    EXPECT_FALSE(m_dlg.m_fileUndo.IsOpen());
    EXPECT_FALSE(m_dlg.m_fileLog.IsOpen());
    EXPECT_EQ(a + "\r\nCreated: ", JournalText().substr(0, a.size() + 11));
    EXPECT_EQ(3u, SplitLines(JournalText()).size());
}

TEST_F(DropBatchTest, TheListSelectionGivesTheDateFlags)
{
    std::string text = m_work / "notes.txt";
    ASSERT_TRUE(WriteBytes(text, "x"));
    const struct
    {
        int nSelection;
        const char* modified;
        const char* created;
    } cases[] = {{0, "yes", "no"}, {1, "no", "yes"}, {2, "yes", "yes"}, {-1, "yes", "no"}};
    for (const auto& c : cases)
    {
        m_dlg.SelectTarget(c.nSelection);
        m_dlg.Drop({text});
        std::vector<std::string> block = LastBlock();
        ASSERT_FALSE(block.empty());
        EXPECT_EQ(std::string("<stamp>Starting to process files or folders. Change Modified Date: ") +
                      c.modified + ". Change Created Date: " + c.created,
                  block[0])
            << c.nSelection;
    }
}

TEST_F(DropBatchTest, TheCreatedTargetLeavesTheLastWriteTimeAlone)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.SelectTarget(1);
    m_dlg.Drop({a});
    EXPECT_EQ("2001-02-03 04:05:06", Modified(a));
}

TEST_F(DropBatchTest, AFolderWithoutTheSubfolderOption)
{
    std::string root = Folder("root");
    std::string a = Picture("root\\a.jpg", "2008:05:17 14:03:09");
    Folder("root\\sub");
    std::string b = Picture("root\\sub\\b.jpg", "2008:05:17 14:03:09");
    m_dlg.m_bProcessSubfolders = 0;
    m_dlg.Drop({root});
    std::vector<std::string> expected = {
        kStartModified,
        Working(root),
        Line(1, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(a)),
        "<stamp>Finished processing files or folders",
        "\t\tTotal JPG files dropped 1",
        "\t\tTotal changed 1",
        "",
    };
    EXPECT_EQ(expected, LastBlock());
    EXPECT_EQ("2001-02-03 04:05:06", Modified(b));
}

TEST_F(DropBatchTest, SubfoldersAreWalkedDepthFirst)
{
    std::string root = Folder("root");
    std::string sub = Folder("root\\sub");
    std::string deeper = Folder("root\\sub\\deeper");
    Folder("root\\empty");
    std::vector<std::string> files = {Picture("root\\a1.jpg", "2008:05:17 14:03:09"),
                                      Picture("root\\a2.jpg", "2008:05:17 14:03:09"),
                                      Picture("root\\sub\\b1.jpg", "2008:05:17 14:03:09"),
                                      Picture("root\\sub\\b2.jpeg", "2008:05:17 14:03:09"),
                                      Picture("root\\sub\\deeper\\c1.JPG", "2008:05:17 14:03:09")};
    m_dlg.Drop({root});
    std::vector<std::string> block = LastBlock();
    ASSERT_GE(block.size(), 2u);
    EXPECT_EQ(Working(root), block[1]);
    EXPECT_NE(block.end(), std::find(block.begin(), block.end(), Working(root + "\\empty")));
    // The sub folder's block: its line, then only its own files and its subfolder's.
    auto subLine = std::find(block.begin(), block.end(), Working(sub));
    ASSERT_NE(block.end(), subLine);
    int nSubLines = 0;
    for (const std::string& line : block)
        if (line.find(Lower(sub) + "\\") != std::string::npos || line == Working(deeper))
            ++nSubLines;
    EXPECT_EQ(4, nSubLines) << "b1, b2, deeper and c1";
    std::vector<std::string> rest(subLine + 1, block.end());
    size_t nRun = 0;
    while (nRun < rest.size() &&
           (rest[nRun].find(Lower(sub) + "\\") != std::string::npos || rest[nRun] == Working(deeper)))
        ++nRun;
    EXPECT_EQ(4u, nRun) << "the sub folder is done before the root goes on";
    EXPECT_EQ("\t\tTotal JPG files dropped 5", block[block.size() - 3]);
    for (const std::string& file : files)
        EXPECT_EQ("2008-05-17 14:03:09", Modified(file)) << file;
}

// One dropped folder and its plain subfolders form a tree, where no folder
// can come twice: the walk leaves each subfolder as it ends, and reads no
// folder's identity, which costs the system a query a folder.
TEST_F(DropBatchTest, APlainTreeIsWalkedWithoutReadingAnyFolderIdentity)
{
    std::string root = Folder("root");
    for (std::string sub : {"root\\one", "root\\one\\deep", "root\\two", "root\\three"})
    {
        Folder(sub);
        Picture(sub + "\\p.jpg", "2008:05:17 14:03:09");
    }
    int nIdentities = 0;
    m_dlg.m_visitedFolders.SetQueries(
        [&](const char*, const unsigned long*, FolderIdentity&)
        {
            ++nIdentities;
            return false;
        },
        [](const char*, std::string&) { return false; });
    m_dlg.Drop({root});
    m_dlg.m_visitedFolders.SetQueries(nullptr, nullptr);
    EXPECT_EQ("\t\tTotal JPG files dropped 4", LastBlock()[LastBlock().size() - 3]);
    EXPECT_EQ(0, nIdentities);
}

TEST_F(DropBatchTest, ItemsAreTakenInDropOrderAndTheCountersRunOn)
{
    std::string first = Folder("first");
    std::string second = Folder("second");
    std::string a = Picture("second\\a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("first\\b.jpg", "2008:05:17 14:03:09");
    std::string c = Picture("c.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 9));
    m_dlg.Drop({second, m_work / "not there.jpg", c, first});
    std::vector<std::string> expected = {
        kStartModified,
        Working(second),
        Line(1, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(a)),
        Line(2, "not changed. File date is the same as EXIF date\t\t\t", Lower(c)),
        Working(first),
        Line(3, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(b)),
        "<stamp>Finished processing files or folders",
        "\t\tTotal JPG files dropped 3",
        "\t\tTotal changed 2",
        "",
    };
    EXPECT_EQ(expected, LastBlock());
    EXPECT_EQ(Final(3, 2), m_dlg.StatusMarkup());
}

TEST_F(DropBatchTest, ADropOfNoJpegFilesEndsWithZeroTotalsAndNoUndo)
{
    std::string text = m_work / "notes.txt";
    ASSERT_TRUE(WriteBytes(text, "x"));
    m_dlg.Drop({text});
    EXPECT_EQ(Final(0, 0), m_dlg.StatusMarkup());
    EXPECT_TRUE(m_dlg.m_strUndoPath.IsEmpty());
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
    EXPECT_TRUE(AllEnabled());
}

TEST_F(DropBatchTest, ADropThatChangesNothingEndsTheUndoOfTheDropBefore)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a});
    std::string journal = static_cast<const char*>(m_dlg.m_strUndoPath);
    ASSERT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
    ASSERT_TRUE(Exists(journal));
    m_dlg.Drop({a}); // now equal: nothing changes
    EXPECT_EQ(Final(1, 0), m_dlg.StatusMarkup());
    EXPECT_FALSE(Exists(journal));
    EXPECT_TRUE(m_dlg.m_strUndoPath.IsEmpty());
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
    // Only journal files of ours were in the temporary folder; none is left.
    WIN32_FIND_DATAA data;
    HANDLE hFind = ::FindFirstFileA((m_temp / "Chronoshift Temp *").c_str(), &data);
    int nFiles = 0;
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
            ++nFiles;
        while (::FindNextFileA(hFind, &data));
        ::FindClose(hFind);
    }
    EXPECT_EQ(1, nFiles) << "the log alone";
}

TEST_F(DropBatchTest, ALogDeletedBetweenDropsSwitchesTheLogOff)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a});
    ASSERT_TRUE(::DeleteFileA(m_dlg.m_strLogPath));
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({b});
    EXPECT_TRUE(m_dlg.m_strLogPath.IsEmpty());
    EXPECT_EQ(Progress(1), m_dlg.StatusMarkup()) << "no totals, no link";
    EXPECT_EQ("2008-05-17 14:03:09", Modified(b)) << "the drop itself runs";
    EXPECT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
    std::string text = m_work / "notes.txt";
    ASSERT_TRUE(WriteBytes(text, "x"));
    m_dlg.Drop({text});
    EXPECT_EQ(Progress(0), m_dlg.StatusMarkup());
    WIN32_FIND_DATAA data;
    HANDLE hFind = ::FindFirstFileA((m_temp / "Chronoshift Temp *").c_str(), &data);
    EXPECT_EQ(INVALID_HANDLE_VALUE, hFind) << "the log is not made again";
    if (hFind != INVALID_HANDLE_VALUE)
        ::FindClose(hFind);
}

// A control can be used, or painted, only when the batch dispatches a
// message: by then every one is disabled.
TEST_F(DropBatchTest, TheDialogIsBusyWheneverTheBatchDispatches)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a}); // Undo becomes available
    ASSERT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09");
    m_dlg.m_bFakeTick = true;
    m_dlg.m_dwTickStep = 1000; // every pump dispatches
    int nSeen = 0;
    m_dlg.m_onTick = [&]
    {
        EXPECT_TRUE(m_dlg.m_bBusy);
        m_dlg.PostProbe();
    };
    m_dlg.m_onProbe = [&]
    {
        ++nSeen;
        EXPECT_TRUE(m_dlg.m_bBusy);
        for (int nID : {IDC_KEEP_ON_TOP, IDC_PROCESS_SUBFOLDERS, IDC_DATE_TO_CHANGE, IDOK, IDC_UNDO})
            EXPECT_FALSE(m_dlg.IsControlEnabled(nID)) << nID;
        EXPECT_TRUE(m_dlg.m_fileLog.IsOpen());
        EXPECT_TRUE(m_dlg.m_fileUndo.IsOpen());
    };
    m_dlg.Drop({b});
    m_dlg.m_onTick = nullptr;
    m_dlg.m_onProbe = nullptr;
    EXPECT_EQ(1, nSeen) << "the probe was dispatched within the batch";
    EXPECT_FALSE(m_dlg.m_bBusy);
    EXPECT_TRUE(AllEnabled());
    EXPECT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
}

// A batch that never dispatches ends before anyone could see or use its
// controls: they are neither changed nor repainted, even an empty drop's.
TEST_F(DropBatchTest, ABatchThatNeverDispatchesLeavesTheControlsAlone)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a}); // Undo becomes available, and stays so after the next
    const HWND hDlg = m_dlg.m_hWnd;
    ::ShowWindow(hDlg, SW_SHOWNOACTIVATE);
    ::RedrawWindow(hDlg, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_dlg.m_bFakeTick = true;
    m_dlg.m_dwFakeTick = m_dlg.m_dwLastPumpTick; // the pump is never due
    int nTicks = 0;
    m_dlg.m_onTick = [&] { ++nTicks; };
    std::string b = Picture("b.jpg", "2009:01:01 00:00:00");
    std::string empty = m_work / "empty";
    ASSERT_TRUE(::CreateDirectoryA(empty.c_str(), nullptr));
    for (const std::string& path : {b, empty})
    {
        m_dlg.Drop({path});
        for (int nID : {IDC_KEEP_ON_TOP, IDC_PROCESS_SUBFOLDERS, IDC_DATE_TO_CHANGE, IDOK})
        {
            HWND hWnd = ::GetDlgItem(hDlg, nID);
            EXPECT_TRUE(::IsWindowEnabled(hWnd)) << nID;
            EXPECT_FALSE(::GetUpdateRect(hWnd, nullptr, FALSE)) << nID << " waits for a repaint";
        }
        // The picture's journal replaces the first one; the empty drop keeps none.
        HWND hUndo = ::GetDlgItem(hDlg, IDC_UNDO);
        EXPECT_EQ(path == b, ::IsWindowEnabled(hUndo) != FALSE);
        EXPECT_EQ(path != b, ::GetUpdateRect(hUndo, nullptr, FALSE) != FALSE);
        ::RedrawWindow(hDlg, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    m_dlg.m_onTick = nullptr;
    EXPECT_EQ(1, nTicks) << "the picture's progress asked the clock";
    EXPECT_EQ("2009-01-01 00:00:00", Modified(b));
    ::ShowWindow(hDlg, SW_HIDE);
}

TEST_F(DropBatchTest, SetBusyEnablesUndoOnlyWhenIdleAndAvailable)
{
    m_dlg.SetBusy(true, true);
    EXPECT_TRUE(m_dlg.m_bBusy);
    for (int nID : {IDC_KEEP_ON_TOP, IDC_PROCESS_SUBFOLDERS, IDC_DATE_TO_CHANGE, IDOK, IDC_UNDO})
        EXPECT_FALSE(m_dlg.IsControlEnabled(nID)) << nID;
    m_dlg.SetBusy(false, false);
    EXPECT_FALSE(m_dlg.m_bBusy);
    EXPECT_TRUE(AllEnabled());
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
    m_dlg.SetBusy(false, true);
    EXPECT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
}

// Themed buttons repaint themselves the moment they are enabled or disabled:
// twice per drop, even an empty one. Their new look waits for the next
// dispatch instead, as the status line's text does.
TEST_F(DropBatchTest, SetBusyLeavesTheControlsRepaintToTheNextDispatch)
{
    const HWND hDlg = m_dlg.m_hWnd;
    ::ShowWindow(hDlg, SW_SHOWNOACTIVATE);
    ::RedrawWindow(hDlg, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const int kChanging[] = {IDC_KEEP_ON_TOP, IDC_PROCESS_SUBFOLDERS, IDC_DATE_TO_CHANGE, IDOK};
    for (bool bBusy : {true, false})
    {
        m_dlg.SetBusy(bBusy, false);
        for (int nID : kChanging)
        {
            HWND hWnd = ::GetDlgItem(hDlg, nID);
            EXPECT_EQ(!bBusy, ::IsWindowEnabled(hWnd) != FALSE) << nID;
            EXPECT_TRUE(::GetUpdateRect(hWnd, nullptr, FALSE)) << nID << " was painted at once";
        }
        ::RedrawWindow(hDlg, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        for (int nID : kChanging)
        {
            HWND hWnd = ::GetDlgItem(hDlg, nID);
            EXPECT_TRUE(::IsWindowVisible(hWnd)) << nID;
            EXPECT_FALSE(::GetUpdateRect(hWnd, nullptr, FALSE)) << nID << " was not painted at the dispatch";
        }
    }

    // A control hidden on purpose stays hidden.
    HWND hKeepOnTop = ::GetDlgItem(hDlg, IDC_KEEP_ON_TOP);
    ::ShowWindow(hKeepOnTop, SW_HIDE);
    m_dlg.SetBusy(true, false);
    EXPECT_FALSE(::IsWindowEnabled(hKeepOnTop));
    EXPECT_FALSE(::GetWindowLongA(hKeepOnTop, GWL_STYLE) & WS_VISIBLE);
    m_dlg.SetBusy(false, false);
    EXPECT_TRUE(::IsWindowEnabled(hKeepOnTop));
    EXPECT_FALSE(::GetWindowLongA(hKeepOnTop, GWL_STYLE) & WS_VISIBLE);
    ::ShowWindow(hKeepOnTop, SW_SHOW);
    ::ShowWindow(hDlg, SW_HIDE);
}

TEST_F(DropBatchTest, ADropDuringABatchRunsAfterIt)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09");
    std::string c = Picture("c.jpg", "2009:01:01 00:00:00");
    // The user drops again while the first file's status is shown.
    ASSERT_TRUE(DropPostingOnce({a, b}, WM_DROPFILES, reinterpret_cast<WPARAM>(BuildDropFiles({c})), 0));

    std::vector<std::string> lines = SplitLines(WithoutStamps(m_dlg.LogText()));
    std::vector<std::string> expected = {
        "<stamp>Chronoshift " CHRONOSHIFT_VERSION " program started",
        "",
        "",
        kStartModified,
        Line(1, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(a)),
        Line(2, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(b)),
        "<stamp>Finished processing files or folders",
        "\t\tTotal JPG files dropped 2",
        "\t\tTotal changed 2",
        "",
        "",
        "",
        kStartModified,
        Line(1, "CHANGED file date. EXIF date tag \"2009:01:01 00:00:00\"\t\t", Lower(c)),
        "<stamp>Finished processing files or folders",
        "\t\tTotal JPG files dropped 1",
        "\t\tTotal changed 1",
        "",
    };
    EXPECT_EQ(expected, lines);
    EXPECT_EQ("2009-01-01 00:00:00", Modified(c));
    EXPECT_EQ(Final(1, 1), m_dlg.StatusMarkup());
    // The undo belongs to the last batch.
    EXPECT_EQ(c + "\r\n", JournalText().substr(0, c.size() + 2));
    EXPECT_FALSE(m_dlg.m_bBusy);
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, m_dlg.m_hWnd, WM_DROPFILES, WM_DROPFILES, PM_NOREMOVE));
}

// Undo is refused by the batch itself, not only by its disabled button: a
// click queued before the controls were disabled, or a posted command.
TEST_F(DropBatchTest, AnUndoCommandDispatchedWithinABatchDoesNothing)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a});
    const CString journal = m_dlg.m_strUndoPath;
    std::string b = Picture("b.jpg", "2009:01:01 00:00:00");
    MessageBoxAnswerer answerer(m_dlg.m_hWnd, {IDYES});
    ASSERT_TRUE(DropPostingOnce({b}, WM_COMMAND, MAKEWPARAM(IDC_UNDO, BN_CLICKED),
                                reinterpret_cast<LPARAM>(::GetDlgItem(m_dlg.m_hWnd, IDC_UNDO))));
    EXPECT_TRUE(answerer.Boxes().empty()) << "the undo asked its question";
    EXPECT_EQ("2008-05-17 14:03:09", Modified(a)) << "the first drop is not undone";
    EXPECT_EQ("2009-01-01 00:00:00", Modified(b));
    EXPECT_NE(journal, m_dlg.m_strUndoPath);
    EXPECT_EQ(b + "\r\n", JournalText().substr(0, b.size() + 2)) << "the batch's own journal";
    EXPECT_EQ(Final(1, 1), m_dlg.StatusMarkup());
    EXPECT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
}

TEST(DropPaths, LongPathsArriveWhole)
{
    std::string longPath = "C:\\" + std::string(300, 'd') + "\\" + std::string(300, 'f') + ".jpg";
    std::vector<std::string> paths = {"C:\\short.jpg", longPath, "D:\\"};
    HDROP hDrop = BuildDropFiles(paths);
    std::vector<CString> read = ReadDropPaths(hDrop);
    ::DragFinish(hDrop);
    ASSERT_EQ(3u, read.size());
    EXPECT_EQ(paths[0], static_cast<const char*>(read[0]));
    EXPECT_EQ(longPath, static_cast<const char*>(read[1]));
    EXPECT_EQ(longPath.size(), static_cast<size_t>(read[1].GetLength()));
    EXPECT_EQ(paths[2], static_cast<const char*>(read[2]));
}

TEST_F(DropBatchTest, ALongPathIsNeverCutDownToAnotherFile)
{
    // A picture whose path is exactly what a 260-character buffer would keep
    // of the dropped path: cut short, the drop would change this file.
    std::string folder(m_work.Path());
    std::string name = "p.jpg";
    std::string dir = Folder("x");
    while (dir.size() + 1 + 60 + 1 + name.size() < 259)
    {
        dir += "\\" + std::string(std::min<size_t>(60, 259 - dir.size() - 2 - name.size() - 1), 'y');
        ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    }
    std::string picture = dir + "\\" + std::string(259 - dir.size() - 1 - 4, 'p') + ".jpg";
    ASSERT_EQ(259u, picture.size());
    ASSERT_TRUE(WriteBytes(picture, MakeExifJpeg("2008:05:17 14:03:09")));
    ASSERT_TRUE(SetLastWriteTime(picture, LocalFileTime(2001, 2, 3, 4, 5, 6)));
    m_dlg.Drop({picture + "\\more\\and more.jpg"});
    EXPECT_EQ("2001-02-03 04:05:06", Modified(picture));
    EXPECT_EQ("\t\tTotal JPG files dropped 0", LastBlock()[2]);
    // The picture itself, dropped as it is, is processed.
    m_dlg.Drop({picture});
    EXPECT_EQ("2008-05-17 14:03:09", Modified(picture));
}

TEST_F(DropBatchTest, FoldersReachedTwiceAreWalkedOnce)
{
    std::string root = Folder("root");
    std::string sub = Folder("root\\sub");
    std::string a = Picture("root\\a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("root\\sub\\b.jpg", "2008:05:17 14:03:09");
    // A cycle back to the root, and a second way into sub.
    std::string loop = sub + "\\loop";
    std::string alias = root + "\\alias";
    if (!MakeHostSymlink(root, loop) || !MakeHostSymlink(sub, alias))
    {
        RemoveHostSymlink(loop);
        RemoveHostSymlink(alias);
        GTEST_SKIP() << "symbolic links need Wine's host tools here";
    }
    m_dlg.Drop({root, sub});
    RemoveHostSymlink(loop);
    RemoveHostSymlink(alias);

    std::vector<std::string> block = LastBlock();
    int nFileLines = 0, nSkipped = 0;
    for (const std::string& line : block)
    {
        if (line.find("   File ") != std::string::npos)
            ++nFileLines;
        if (line.find("<stamp>Skipped folder \"") == 0 &&
            line.find("\": already walked in this drop") != std::string::npos)
            ++nSkipped;
    }
    EXPECT_EQ(2, nFileLines);
    EXPECT_EQ(3, nSkipped) << "loop, alias (or sub) and the second dropped item";
    EXPECT_EQ("\t\tTotal JPG files dropped 2", block[block.size() - 3]);
    EXPECT_EQ("\t\tTotal changed 2", block[block.size() - 2]);
    // The journal lists each file once.
    EXPECT_EQ(6u, SplitLines(JournalText()).size());
}

// A folder dropped together with one of its own subfolders, no link anywhere:
// whichever comes first, the subfolder is walked once and met again only to
// be skipped.
TEST_F(DropBatchTest, AFolderDroppedWithItsOwnSubfolderIsWalkedOnce)
{
    std::string root = Folder("root");
    std::string sub = Folder("root\\sub");
    std::string deeper = Folder("root\\sub\\deeper");
    std::string a = Picture("root\\a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("root\\sub\\b.jpg", "2008:05:17 14:03:09");
    std::string c = Picture("root\\sub\\deeper\\c.jpg", "2008:05:17 14:03:09");
    const std::string skipped = "<stamp>Skipped folder \"" + sub + "\": already walked in this drop";
    const std::vector<std::vector<std::string>> orders = {{root, sub}, {sub, root}};
    for (const std::vector<std::string>& order : orders)
    {
        SCOPED_TRACE(order[0]);
        for (const std::string& picture : {a, b, c})
            ASSERT_TRUE(SetLastWriteTime(picture, LocalFileTime(2001, 2, 3, 4, 5, 6)));
        m_dlg.Drop(order);
        std::vector<std::string> block = LastBlock();
        std::vector<std::string> files, skips;
        for (const std::string& line : block)
        {
            size_t at = line.find("\t File name \"");
            if (line.find("   File ") != std::string::npos && at != std::string::npos)
                files.push_back(line.substr(at + 13));
            if (line.find("<stamp>Skipped folder") == 0)
                skips.push_back(line);
        }
        std::sort(files.begin(), files.end());
        std::vector<std::string> expected = {Lower(a) + "\"", Lower(b) + "\"", Lower(c) + "\""};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, files);
        EXPECT_EQ(std::vector<std::string>{skipped}, skips);
        // The skipped line follows the folder's own "Working on folder" line.
        auto at = std::find(block.begin(), block.end(), skipped);
        ASSERT_NE(block.end(), at);
        EXPECT_EQ(Working(sub), *(at - 1));
        EXPECT_EQ(1, std::count(block.begin(), block.end(), Working(deeper)));
        EXPECT_EQ("\t\tTotal JPG files dropped 3", block[block.size() - 3]);
        EXPECT_EQ("\t\tTotal changed 3", block[block.size() - 2]);
        EXPECT_EQ(Final(3, 3), m_dlg.StatusMarkup());
        EXPECT_EQ(9u, SplitLines(JournalText()).size()) << "one record per file";
    }
}

TEST_F(DropBatchTest, ASubfolderNotWalkedWithItsParentIsWalkedWhenDropped)
{
    std::string root = Folder("root");
    std::string sub = Folder("root\\sub");
    std::string a = Picture("root\\a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("root\\sub\\b.jpg", "2008:05:17 14:03:09");
    m_dlg.m_bProcessSubfolders = 0;
    m_dlg.Drop({root, sub});
    std::vector<std::string> expected = {
        kStartModified,
        Working(root),
        Line(1, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(a)),
        Working(sub),
        Line(2, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(b)),
        "<stamp>Finished processing files or folders",
        "\t\tTotal JPG files dropped 2",
        "\t\tTotal changed 2",
        "",
    };
    EXPECT_EQ(expected, LastBlock());
}

TEST_F(DropBatchTest, AFolderThatCannotBeEnumeratedLeavesOnlyItsLine)
{
    ASSERT_TRUE(m_dlg.BeginBatchFiles());
    DropBatch batch = {true, false, 0, 0};
    std::string missing = m_work / "gone";
    m_dlg.ProcessFolder(missing.c_str(), batch);
    m_dlg.EndBatchFiles();
    std::vector<std::string> lines = SplitLines(WithoutStamps(m_dlg.LogText()));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(Working(missing), lines[1]);
    EXPECT_EQ(0, batch.nJpgFiles);
}

TEST_F(DropBatchTest, AFolderPathEndingInABackslashGetsNoSecondOne)
{
    std::string root = Folder("root");
    std::string a = Picture("root\\a.jpg", "2008:05:17 14:03:09");
    ASSERT_TRUE(m_dlg.BeginBatchFiles());
    DropBatch batch = {true, false, 0, 0};
    m_dlg.ProcessFolder((root + "\\").c_str(), batch);
    m_dlg.EndBatchFiles();
    EXPECT_EQ(1, batch.nChanged);
    std::vector<std::string> lines = m_dlg.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(Line(1, "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(a)), lines[0]);
}
