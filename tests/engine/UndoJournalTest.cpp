#include "tests/engine/EngineTestFixture.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/NtfsLikeTimeStore.h"

namespace
{
// The confirmation: Yes and No with the question icon, under the application's name.
void ExpectQuestion(const MessageBoxAnswerer::Request& request, const MessageBoxAnswerer::Box& box)
{
    EXPECT_EQ("Undo last change?", request.text);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), request.style);
    EXPECT_EQ("Chronoshift", request.caption);
    EXPECT_EQ("Undo last change?", box.text);
    EXPECT_EQ("Chronoshift", box.caption);
    EXPECT_TRUE(box.hasYes && box.hasNo && !box.hasOk);
    EXPECT_EQ(::LoadIcon(nullptr, IDI_QUESTION), box.icon);
}

// The failure notice: a plain box with an OK button and no icon.
void ExpectCouldNotProcess(const MessageBoxAnswerer::Request& request, const MessageBoxAnswerer::Box& box)
{
    EXPECT_EQ("Could not process undo information", request.text);
    EXPECT_EQ(UINT(MB_OK), request.style);
    EXPECT_EQ("Chronoshift", request.caption);
    EXPECT_EQ("Could not process undo information", box.text);
    EXPECT_EQ("Chronoshift", box.caption);
    EXPECT_TRUE(box.hasOk && !box.hasYes && !box.hasNo);
    EXPECT_EQ(nullptr, box.icon);
}

std::string Restored(int nRestored, int nRecords)
{
    return "<font color=\"DarkRed\">Restored date for <b>" + std::to_string(nRestored) + "</b> out of <b>" +
           std::to_string(nRecords) + "</b> jpg files</font>";
}
} // namespace

class UndoJournalTest : public EngineTest
{
protected:
    std::string Created(const std::string& path)
    {
        FILETIME created;
        if (!m_store.GetCreated(path.c_str(), created))
            return "none";
        return LocalText(created);
    }

    // Presses Undo and answers its message boxes; what was asked for is kept in m_requests.
    std::vector<MessageBoxAnswerer::Box> Undo(std::vector<int> answers)
    {
        MessageBoxAnswerer answerer(m_dlg.m_hWnd, std::move(answers));
        m_dlg.OnUndo();
        m_requests = answerer.Requests();
        return answerer.Boxes();
    }

    // A journal of the test's own making, ready as after a drop.
    void UseJournal(const std::string& text)
    {
        std::string path = m_temp / "journal.txt";
        ASSERT_TRUE(WriteBytes(path, text));
        m_dlg.m_strUndoPath = path.c_str();
        ::EnableWindow(::GetDlgItem(m_dlg.m_hWnd, IDC_UNDO), TRUE);
    }

    NtfsLikeTimeStore m_store;
    std::vector<MessageBoxAnswerer::Request> m_requests;
};

TEST_F(UndoJournalTest, RecordsAreThreeLinesInLocalTime)
{
    ASSERT_TRUE(m_dlg.BeginBatchFiles());
    EXPECT_TRUE(m_dlg.WriteUndoRecord("c:\\photos\\img_0001.jpg", CTime(2008, 5, 17, 14, 3, 9),
                                      CTime(2009, 1, 2, 8, 30, 0)));
    EXPECT_TRUE(m_dlg.WriteUndoRecord("C:\\Photos\\Ünïcode 写真.JPG", CTime(1999, 12, 31, 23, 59, 59),
                                      CTime(2000, 1, 1, 0, 0, 0)));
    // Written through at once: the record is on disk while the file is still open.
    EXPECT_EQ("c:\\photos\\img_0001.jpg\r\nCreated: 2008:5:17 14:3:9\r\nModified: 2009:1:2 8:30:0\r\n"
              "C:\\Photos\\Ünïcode 写真.JPG\r\nCreated: 1999:12:31 23:59:59\r\nModified: 2000:1:1 0:0:0\r\n",
              JournalText());
}

TEST_F(UndoJournalTest, WithoutAJournalNothingIsWrittenAndTheChangeMayGoOn)
{
    m_dlg.m_strUndoPath.Empty();
    EXPECT_TRUE(m_dlg.WriteUndoRecord("x.jpg", CTime(2008, 5, 17, 14, 3, 9), CTime(2009, 1, 2, 8, 30, 0)));
}

TEST_F(UndoJournalTest, AFailedWriteIsReportedAndTheJournalTakesNoMore)
{
    ASSERT_TRUE(m_dlg.BeginBatchFiles());
    CString journal = m_dlg.m_strUndoPath;
    m_dlg.m_fileUndo.Close();
    ASSERT_TRUE(m_dlg.m_fileUndo.Open(journal, CFile::modeRead | CFile::shareDenyNone));
    EXPECT_FALSE(m_dlg.WriteUndoRecord("a.jpg", CTime(2008, 5, 17, 14, 3, 9), CTime(2009, 1, 2, 8, 30, 0)));
    m_dlg.m_fileUndo.Close();
    ASSERT_TRUE(m_dlg.m_fileUndo.Open(journal, CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_FALSE(m_dlg.WriteUndoRecord("b.jpg", CTime(2008, 5, 17, 14, 3, 9), CTime(2009, 1, 2, 8, 30, 0)));
    EXPECT_EQ("", JournalText());
}

TEST_F(UndoJournalTest, AFailedWriteRefusesNothingOfTheNextDrop)
{
    ASSERT_TRUE(m_dlg.BeginBatchFiles());
    CString journal = m_dlg.m_strUndoPath;
    m_dlg.m_fileUndo.Close();
    ASSERT_TRUE(m_dlg.m_fileUndo.Open(journal, CFile::modeRead | CFile::shareDenyNone));
    ASSERT_FALSE(m_dlg.WriteUndoRecord("a.jpg", CTime(2008, 5, 17, 14, 3, 9), CTime(2009, 1, 2, 8, 30, 0)));
    m_dlg.EndBatchFiles();
    // The next drop has a journal of its own.
    std::string path = Picture("next.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({path});
    EXPECT_EQ("2008-05-17 14:03:09", Modified(path));
    EXPECT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
}

TEST_F(UndoJournalTest, UndoPutsBackBothTimesOfEveryChangedFile)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09", LocalFileTime(2001, 1, 1, 1, 1, 1));
    std::string b = Picture("b.jpg", "2009:06:18 15:04:10", LocalFileTime(2002, 2, 2, 2, 2, 2));
    m_store.SetCreated(a.c_str(), LocalFileTime(2000, 10, 10, 10, 10, 10));
    m_store.SetCreated(b.c_str(), LocalFileTime(2000, 11, 11, 11, 11, 11));
    m_dlg.SelectTarget(2);
    m_dlg.Drop({a, b});
    ASSERT_EQ("2008-05-17 14:03:09", Modified(a));
    ASSERT_EQ("2009-06-18 15:04:10", Created(b));
    ASSERT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
    CString journal = m_dlg.m_strUndoPath;
    ASSERT_TRUE(Exists(journal));

    std::vector<MessageBoxAnswerer::Box> boxes = Undo({IDYES});
    ASSERT_EQ(1u, boxes.size());
    ASSERT_EQ(1u, m_requests.size());
    ExpectQuestion(m_requests[0], boxes[0]);

    EXPECT_EQ("2001-01-01 01:01:01", Modified(a));
    EXPECT_EQ("2002-02-02 02:02:02", Modified(b));
    EXPECT_EQ("2000-10-10 10:10:10", Created(a));
    EXPECT_EQ("2000-11-11 11:11:11", Created(b));
    EXPECT_EQ(Restored(2, 2), m_dlg.StatusMarkup());
    EXPECT_FALSE(Exists(journal));
    EXPECT_TRUE(m_dlg.m_strUndoPath.IsEmpty());
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
}

TEST_F(UndoJournalTest, UndoAfterAModifiedOnlyDropWritesTheCreationTimeBackToo)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09", LocalFileTime(2001, 1, 1, 1, 1, 1));
    m_store.SetCreated(a.c_str(), LocalFileTime(2000, 10, 10, 10, 10, 10));
    m_dlg.SelectTarget(0);
    m_dlg.Drop({a});
    ASSERT_EQ("2008-05-17 14:03:09", Modified(a));
    // Someone changes the creation time after the drop; the undo sets the recorded one.
    m_store.SetCreated(a.c_str(), LocalFileTime(2020, 1, 1, 0, 0, 0));
    Undo({IDYES});
    EXPECT_EQ("2001-01-01 01:01:01", Modified(a));
    EXPECT_EQ("2000-10-10 10:10:10", Created(a));
}

TEST_F(UndoJournalTest, AnsweringNoDiscardsTheJournal)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a});
    CString journal = m_dlg.m_strUndoPath;
    std::string status = m_dlg.StatusMarkup();
    ASSERT_TRUE(Exists(journal));
    std::vector<MessageBoxAnswerer::Box> boxes = Undo({IDNO});
    EXPECT_EQ(1u, boxes.size());
    EXPECT_EQ("2008-05-17 14:03:09", Modified(a));
    EXPECT_FALSE(Exists(journal));
    EXPECT_TRUE(m_dlg.m_strUndoPath.IsEmpty());
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
    EXPECT_EQ(status, m_dlg.StatusMarkup());
}

TEST_F(UndoJournalTest, RecordsOfFilesGoneSinceAreCountedButNotRestored)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09");
    std::string c = Picture("c.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a, b, c});
    ASSERT_TRUE(::DeleteFileA(b.c_str()));
    Undo({IDYES});
    EXPECT_EQ(Restored(2, 3), m_dlg.StatusMarkup());
    EXPECT_EQ("2001-02-03 04:05:06", Modified(a));
    EXPECT_EQ("2001-02-03 04:05:06", Modified(c));
}

TEST_F(UndoJournalTest, AJournalWhoseFilesAreAllGone)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a, b});
    CString journal = m_dlg.m_strUndoPath;
    ::DeleteFileA(a.c_str());
    ::DeleteFileA(b.c_str());
    Undo({IDYES});
    EXPECT_EQ(Restored(0, 2), m_dlg.StatusMarkup());
    EXPECT_FALSE(Exists(journal));
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
}

TEST_F(UndoJournalTest, ReadOnlyFilesAreCountedButNotRestored)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a, b});
    ASSERT_TRUE(::SetFileAttributesA(b.c_str(), FILE_ATTRIBUTE_READONLY));
    Undo({IDYES});
    ::SetFileAttributesA(b.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Restored(1, 2), m_dlg.StatusMarkup());
    EXPECT_EQ("2001-02-03 04:05:06", Modified(a));
    EXPECT_EQ("2008-05-17 14:03:09", Modified(b));
}

TEST_F(UndoJournalTest, AJournalRemovedByOthersCannotBeProcessed)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a});
    ASSERT_TRUE(::DeleteFileA(m_dlg.m_strUndoPath));
    std::vector<MessageBoxAnswerer::Box> boxes = Undo({IDYES, IDOK});
    ASSERT_EQ(2u, boxes.size());
    ASSERT_EQ(2u, m_requests.size());
    ExpectQuestion(m_requests[0], boxes[0]);
    ExpectCouldNotProcess(m_requests[1], boxes[1]);
    EXPECT_TRUE(m_dlg.m_strUndoPath.IsEmpty());
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
    EXPECT_EQ("2008-05-17 14:03:09", Modified(a));
}

TEST_F(UndoJournalTest, WithoutAJournalTheUndoSaysSo)
{
    m_dlg.m_strUndoPath.Empty();
    std::vector<MessageBoxAnswerer::Box> boxes = Undo({IDYES, IDOK});
    ASSERT_EQ(2u, boxes.size());
    ASSERT_EQ(2u, m_requests.size());
    ExpectCouldNotProcess(m_requests[1], boxes[1]);
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
}

TEST_F(UndoJournalTest, NumbersThatFormNoLocalTimeRestoreNothingForThatRecord)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 9));
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 9));
    std::string c = Picture("c.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 9));
    UseJournal(a + "\r\nCreated: 2007:2:30 1:2:3\r\nModified: 2007:1:1 1:2:3\r\n" +  // 30 February
               b + "\r\nStamp 2007:1:2 3:4:5\r\nWhatever: 2006:6:7 8:9:10\r\n" +     // other label words
               c + "\r\nCreated: 2007:1:2 3:4:5\r\nModified: 2007:13:1 25:0:0\r\n"); // month 13, hour 25
    std::vector<MessageBoxAnswerer::Box> boxes = Undo({IDYES});
    EXPECT_EQ(1u, boxes.size());
    EXPECT_EQ(Restored(1, 3), m_dlg.StatusMarkup());
    EXPECT_EQ("2008-05-17 14:03:09", Modified(a));
    EXPECT_EQ("2006-06-07 08:09:10", Modified(b));
    EXPECT_EQ("2007-01-02 03:04:05", Created(b));
    EXPECT_EQ("2008-05-17 14:03:09", Modified(c));
    EXPECT_EQ("none", Created(c)) << "nothing at all written for a refused record";
}

TEST_F(UndoJournalTest, AnIncompleteLastRecordIsIgnored)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    std::string b = Picture("b.jpg", "2008:05:17 14:03:09");
    UseJournal(a + "\r\nCreated: 2007:1:2 3:4:5\r\nModified: 2006:6:7 8:9:10\r\n" + b +
               "\r\nCreated: 2007:1:2 3:4:5\r\n");
    Undo({IDYES});
    EXPECT_EQ(Restored(1, 1), m_dlg.StatusMarkup());
    EXPECT_EQ("2006-06-07 08:09:10", Modified(a));
    EXPECT_EQ("2001-02-03 04:05:06", Modified(b));
}

TEST_F(UndoJournalTest, AnEmptyJournalLeavesTheStatusAlone)
{
    m_dlg.m_lblStatus.SetMarkupText("previous text");
    UseJournal("");
    CString journal = m_dlg.m_strUndoPath;
    Undo({IDYES});
    EXPECT_EQ("previous text", m_dlg.StatusMarkup());
    EXPECT_FALSE(Exists(journal));
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
}

TEST_F(UndoJournalTest, TheUndoButtonRunsTheUndo)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    m_dlg.Drop({a});
    HWND hUndo = ::GetDlgItem(m_dlg.m_hWnd, IDC_UNDO);
    ASSERT_TRUE(::IsWindowEnabled(hUndo));
    MessageBoxAnswerer answerer(m_dlg.m_hWnd, {IDYES});
    ::SendMessageA(m_dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_UNDO, BN_CLICKED),
                   reinterpret_cast<LPARAM>(hUndo));
    EXPECT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("2001-02-03 04:05:06", Modified(a));
    EXPECT_FALSE(::IsWindowEnabled(hUndo));
}

TEST_F(UndoJournalTest, ADropWhileTheQuestionIsOpenWaitsForTheUndo)
{
    std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    std::string c = Picture("c.jpg", "2009:01:01 00:00:00");
    m_dlg.Drop({a});
    ASSERT_EQ("2008-05-17 14:03:09", Modified(a));
    // Reaches the dialog through the message box's own loop.
    ::PostMessageA(m_dlg.m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(BuildDropFiles({c})), 0);
    Undo({IDYES});
    EXPECT_EQ("2001-02-03 04:05:06", Modified(a)) << "the undo replays the drop it was asked for";
    EXPECT_EQ("2009-01-01 00:00:00", Modified(c)) << "the later drop ran after it";
    EXPECT_EQ(c + "\r\n", JournalText().substr(0, c.size() + 2));
    EXPECT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
    EXPECT_EQ(
        "<font color=\"DarkRed\">Dropped <b>1</b> jpg files, changed date for <b>1</b> files</font>  <a "
        "href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View log</u>)</font></a>",
        m_dlg.StatusMarkup());
}
