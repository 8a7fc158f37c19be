#include "tests/engine/EngineTestFixture.h"
#include "framework/FolderHandle.h"
#include "tests/support/NtfsLikeTimeStore.h"

namespace
{
const char* const kSame = "not changed. File date is the same as EXIF date\t\t\t";
const char* const kReadOnly = "not changed. File is READONLY\t\t\t";
const char* const kNoExif = "doesn't have EXIF tag\t\t\t\t\t\t";
const char* const kNotOpened = "couldn't be opened\t\t\t\t\t\t";
const char* const kNotQueried = "couldn't be queried for system date and time\t\t\t\t\t";
const char* const kNoJournal = "not changed. Undo information could not be written\t\t\t";

std::string Changed(const std::string& date)
{
    return "CHANGED file date. EXIF date tag \"" + date + "\"\t\t";
}

// A store whose reads fail, as for a file whose times cannot be queried.
struct UnreadableTimes : IFileTimeStore
{
    UnreadableTimes() : previous(SetFileTimeStore(this)) {}
    ~UnreadableTimes() override { SetFileTimeStore(previous); }
    BOOL GetTimes(const char*, FILETIME*, FILETIME*, FILETIME*) override
    {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    BOOL SetTimes(const char*, const FILETIME*, const FILETIME*, const FILETIME*) override
    {
        ++setCalls;
        return TRUE;
    }
    IFileTimeStore* previous;
    int setCalls = 0;
};

// The system's store, counting which way the times were set.
struct CountingStore : CWin32FileTimeStore
{
    CountingStore() : previous(SetFileTimeStore(this)) {}
    ~CountingStore() override { SetFileTimeStore(previous); }
    BOOL SetTimes(const char* path, const FILETIME* created, const FILETIME* accessed,
                  const FILETIME* written) override
    {
        ++byName;
        return CWin32FileTimeStore::SetTimes(path, created, accessed, written);
    }
    BOOL SetTimesOfOpenFile(HANDLE hFile, const char* path, DWORD dwAttributes, const FILETIME* created,
                            const FILETIME* accessed, const FILETIME* written) override
    {
        ++byHandle;
        return CWin32FileTimeStore::SetTimesOfOpenFile(hFile, path, dwAttributes, created, accessed, written);
    }
    IFileTimeStore* previous;
    int byName = 0;
    int byHandle = 0;
};
} // namespace

class ProcessFileTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_TRUE(m_dlg.BeginBatchFiles());
    }
};

TEST_F(ProcessFileTest, ChangesTheLastWriteTimeToTheExifMoment)
{
    std::string path = Picture("a.jpg", "2008:05:17 14:03:09");
    std::string bytes = ReadBytes(path);
    EXPECT_EQ(Line(1, Changed("2008:05:17 14:03:09"), Lower(path)), Process(path, true, false));
    EXPECT_EQ(1, m_nJpgFiles);
    EXPECT_EQ(1, m_nChanged);
    EXPECT_EQ("2008-05-17 14:03:09", Modified(path));
    EXPECT_EQ(bytes, ReadBytes(path)) << "the picture itself is never written";
}

TEST_F(ProcessFileTest, EqualDatesAreLeftAloneWithoutJournalRecord)
{
    std::string path = Picture("same.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 9));
    EXPECT_EQ(Line(1, kSame, Lower(path)), Process(path, true, false));
    EXPECT_EQ(1, m_nJpgFiles);
    EXPECT_EQ(0, m_nChanged);
    EXPECT_EQ("", JournalText());
    // One second off is a difference: no tolerance.
    std::string oneOff = Picture("oneOff.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 10));
    EXPECT_EQ(Line(2, Changed("2008:05:17 14:03:09"), Lower(oneOff)), Process(oneOff, true, false));
}

TEST_F(ProcessFileTest, ModifiedTargetIgnoresADifferentCreationTime)
{
    NtfsLikeTimeStore store;
    std::string path = Picture("m.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 9));
    store.SetCreated(path.c_str(), LocalFileTime(1999, 9, 9, 9, 9, 9));
    EXPECT_EQ(Line(1, kSame, Lower(path)), Process(path, true, false));
}

TEST_F(ProcessFileTest, NamesThatAreNotJpegAreNeitherCountedNorLogged)
{
    // Every picture finds the pump due.
    m_dlg.m_bFakeTick = true;
    m_dlg.m_dwTickStep = 1000;
    for (const char* name : {"a.jpe", "a.jfif", "a.jpg.bak", "a.txt", "jpg", "a.jpegx"})
    {
        std::string path = Picture(name, "2008:05:17 14:03:09");
        m_dlg.m_lblStatus.SetMarkupText("before");
        EXPECT_EQ("", Process(path, true, false)) << name;
        EXPECT_EQ("2001-02-03 04:05:06", Modified(path)) << name;
        // The status line is refreshed all the same.
        EXPECT_EQ("<font color=\"DarkRed\">Processed <b>0</b> files...</font>", m_dlg.StatusMarkup()) << name;
    }
    EXPECT_EQ(0, m_nJpgFiles);
    EXPECT_EQ(0, m_nChanged);
}

TEST_F(ProcessFileTest, UpperCaseNamesAreJpegFilesLoggedInLowerCase)
{
    std::string path = Picture("IMG_Upper.JPG", "2008:05:17 14:03:09");
    std::string jpeg = Picture("Second.JPEG", "2008:05:17 14:03:09");
    EXPECT_EQ(Line(1, Changed("2008:05:17 14:03:09"), Lower(path)), Process(path, true, false));
    EXPECT_EQ(Line(2, Changed("2008:05:17 14:03:09"), Lower(jpeg)), Process(jpeg, true, false));
    EXPECT_EQ("2008-05-17 14:03:09", Modified(path));
    // The journal keeps the name as found, so that undo finds the file on any file system.
    EXPECT_EQ(0u, JournalText().find(path + "\r\n"));
    EXPECT_NE(std::string::npos, JournalText().find("\r\n" + jpeg + "\r\n"));
}

TEST_F(ProcessFileTest, TheExtensionAloneIsAJpegName)
{
    EXPECT_EQ(Line(1, kNotOpened, ".jpg"), Process(".jpg", true, false));
    EXPECT_EQ(Line(2, kNotOpened, ".jpeg"), Process(".jpeg", true, false));
    EXPECT_EQ(2, m_nJpgFiles);
}

TEST_F(ProcessFileTest, FilesThatCannotBeOpened)
{
    std::string missing = m_work / "missing.jpg";
    EXPECT_EQ(Line(1, kNotOpened, Lower(missing)), Process(missing, true, false));

    // Held open by someone who shares nothing.
    std::string held = Picture("held.jpg", "2008:05:17 14:03:09");
    HANDLE hHeld = ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    EXPECT_EQ(Line(2, kNotOpened, Lower(held)), Process(held, true, false));
    ::CloseHandle(hHeld);
    EXPECT_EQ(2, m_nJpgFiles);
    EXPECT_EQ(0, m_nChanged);
    EXPECT_EQ("2001-02-03 04:05:06", Modified(held));
}

TEST_F(ProcessFileTest, ContentWithoutExif)
{
    std::string plain = m_work / "plain.jpg";
    ASSERT_TRUE(WriteBytes(plain, MakePlainJpeg()));
    std::string empty = m_work / "empty.jpg";
    ASSERT_TRUE(WriteBytes(empty, ""));
    std::string text = m_work / "text.jpeg";
    ASSERT_TRUE(WriteBytes(text, "just some words\r\n"));
    EXPECT_EQ(Line(1, kNoExif, Lower(plain)), Process(plain, true, false));
    EXPECT_EQ(Line(2, kNoExif, Lower(empty)), Process(empty, true, false));
    EXPECT_EQ(Line(3, kNoExif, Lower(text)), Process(text, true, false));
    EXPECT_EQ(3, m_nJpgFiles);
    EXPECT_EQ(0, m_nChanged);
}

TEST_F(ProcessFileTest, EmptyOrUndefinedDates)
{
    std::string missing = Picture("nodate.jpg", "");
    EXPECT_EQ(Line(1, "- EXIF date tag is empty or undefined: \"\"\t\t\t", Lower(missing)),
              Process(missing, true, false));
    std::string zeros = Picture("zeros.jpg", "0000:00:00 00:00:00");
    EXPECT_EQ(Line(2, "- EXIF date tag is empty or undefined: \"0000:00:00 00:00:00\"\t", Lower(zeros)),
              Process(zeros, true, false));
    std::string blanks = Picture("blanks.jpg", "    :  :     :  :  ");
    EXPECT_EQ(Line(3, "- EXIF date tag is empty or undefined: \"    :  :     :  :  \"\t", Lower(blanks)),
              Process(blanks, true, false));
    std::string shorter = Picture("short.jpg", "2008:05:17");
    EXPECT_EQ(Line(4, "- EXIF date tag is empty or undefined: \"2008:05:17\"\t", Lower(shorter)),
              Process(shorter, true, false));
    EXPECT_EQ(4, m_nJpgFiles);
    EXPECT_EQ(0, m_nChanged);
    EXPECT_EQ("", JournalText());
}

TEST_F(ProcessFileTest, YearsBefore1900AreInvalid)
{
    std::string path = Picture("old.jpg", "1899:12:31 23:59:59");
    EXPECT_EQ(Line(1, "- EXIF date tag is invalid: \"1899:12:31 23:59:59\"\t\t", Lower(path)),
              Process(path, true, false));
    EXPECT_EQ(0, m_nChanged);
    EXPECT_EQ("2001-02-03 04:05:06", Modified(path));
}

TEST_F(ProcessFileTest, SeparatorsAreNotExaminedAndMonthsRollOver)
{
    std::string dashes = Picture("dashes.jpg", "2008-05-17 14-03-09");
    EXPECT_EQ(Line(1, Changed("2008-05-17 14-03-09"), Lower(dashes)), Process(dashes, true, false));
    EXPECT_EQ("2008-05-17 14:03:09", Modified(dashes));
    std::string month13 = Picture("month13.jpg", "2008:13:17 14:03:09");
    EXPECT_EQ(Line(2, Changed("2008:13:17 14:03:09"), Lower(month13)), Process(month13, true, false));
    EXPECT_EQ("2009-01-17 14:03:09", Modified(month13));
}

TEST_F(ProcessFileTest, ATruncatedFileWithACompleteExifSectionIsChanged)
{
    std::string bytes = MakeExifJpeg("2010:10:10 10:10:10");
    // Keep SOI, the APP1 section and half of the SOS header.
    std::string path = m_work / "cut.jpg";
    ASSERT_TRUE(WriteBytes(path, bytes.substr(0, bytes.size() - 14)));
    ASSERT_TRUE(SetLastWriteTime(path, LocalFileTime(2001, 2, 3, 4, 5, 6)));
    EXPECT_EQ(Line(1, Changed("2010:10:10 10:10:10"), Lower(path)), Process(path, true, false));
    EXPECT_EQ("2010-10-10 10:10:10", Modified(path));
}

TEST_F(ProcessFileTest, ReadOnlyFilesAreJournalledButNotChanged)
{
    std::string path = Picture("ro.jpg", "2008:05:17 14:03:09");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Line(1, kReadOnly, Lower(path)), Process(path, true, false));
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(1, m_nJpgFiles);
    EXPECT_EQ(0, m_nChanged);
    EXPECT_EQ("2001-02-03 04:05:06", Modified(path));
    EXPECT_EQ(0u, JournalText().find(path + "\r\nCreated: "));
}

TEST_F(ProcessFileTest, AFileHeldWithoutWriteSharingReportsTheErrorCode)
{
    // Read alone, since write access is refused; the change then goes by name
    // and fails there with the system's own code.
    CountingStore store;
    std::string path = Picture("locked.jpg", "2008:05:17 14:03:09");
    HANDLE hHeld =
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    EXPECT_EQ(Line(1, "not changed. Windows error code: 00000020\t\t\t", Lower(path)),
              Process(path, true, false));
    ::CloseHandle(hHeld);
    EXPECT_EQ(0, m_nChanged);
    EXPECT_EQ("2001-02-03 04:05:06", Modified(path));
    EXPECT_NE(std::string::npos, JournalText().find(path)) << "journalled before the write";
    EXPECT_EQ(1, store.byName);
    EXPECT_EQ(0, store.byHandle);
}

TEST_F(ProcessFileTest, FilesOpenedThroughTheirHeldFolderEndAsTheyDoByPath)
{
    CountingStore store;
    std::string plain = Picture("plain.jpg", "2008:05:17 14:03:09");
    std::string readOnly = Picture("readonly.jpg", "2008:05:17 14:03:10");
    ASSERT_TRUE(::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string shared = Picture("shared.jpg", "2008:05:17 14:03:11");
    std::string locked = Picture("locked.jpg", "2008:05:17 14:03:12");
    HANDLE hShared =
        ::CreateFileA(shared.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE hLocked = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hShared);
    ASSERT_NE(INVALID_HANDLE_VALUE, hLocked);
    CFolderHandle folder;
    ASSERT_TRUE(folder.Open(m_work.Path()));

    EXPECT_EQ(Line(1, Changed("2008:05:17 14:03:09"), Lower(plain)), Process(plain, true, false, &folder));
    EXPECT_EQ(1, store.byHandle) << "set through the handle the folder opened";
    EXPECT_EQ(Line(2, kReadOnly, Lower(readOnly)), Process(readOnly, true, false, &folder));
    // Read alone, as by path: the change goes by name and fails there.
    EXPECT_EQ(Line(3, "not changed. Windows error code: 00000020\t\t\t", Lower(shared)),
              Process(shared, true, false, &folder));
    EXPECT_EQ(1, store.byName);
    EXPECT_EQ(Line(4, kNotOpened, Lower(locked)), Process(locked, true, false, &folder));
    ::CloseHandle(hLocked);
    ::CloseHandle(hShared);
    EXPECT_EQ(1, m_nChanged);
    EXPECT_EQ("2001-02-03 04:05:06", Modified(shared));

    // The folder moved away while held: by path the picture is gone, by
    // name within the held folder it is still there.
    std::string late = Picture("late.jpg", "2008:05:17 14:03:13");
    const std::string moved = std::string(m_temp.Path()) + "\\moved";
    ASSERT_TRUE(::MoveFileA(m_work.Path(), moved.c_str()));
    EXPECT_EQ(Line(5, Changed("2008:05:17 14:03:13"), Lower(late)), Process(late, true, false, &folder));
    EXPECT_EQ("2008-05-17 14:03:13", Modified(moved + "\\late.jpg"));
    ASSERT_TRUE(::MoveFileA(moved.c_str(), m_work.Path()));
}

TEST_F(ProcessFileTest, ErrorCodesAreEightLowerCaseHexDigits)
{
    NtfsLikeTimeStore store;
    store.FailSetTimes(ERROR_INVALID_USER_BUFFER); // 0x6f8
    std::string path = Picture("fails.jpg", "2008:05:17 14:03:09");
    EXPECT_EQ(Line(1, "not changed. Windows error code: 000006f8\t\t\t", Lower(path)),
              Process(path, true, false));
    EXPECT_EQ(0, m_nChanged);
}

TEST_F(ProcessFileTest, StatusThatCannotBeReadIsReported)
{
    UnreadableTimes store;
    std::string path = Picture("unreadable.jpg", "2008:05:17 14:03:09");
    EXPECT_EQ(Line(1, kNotQueried, Lower(path)), Process(path, true, false));
    EXPECT_EQ(0, store.setCalls);
    EXPECT_EQ("", JournalText());
}

TEST_F(ProcessFileTest, FileTimesBeyondTheCalendarAreTreatedAsUnreadable)
{
    // A creation time past the year 30827: it could not be journalled, so the file stays.
    NtfsLikeTimeStore store;
    std::string path = Picture("far.jpg", "2008:05:17 14:03:09");
    FILETIME beyond = {0xFFFFFFFFu, 0x7FFFFFFFu};
    store.SetCreated(path.c_str(), beyond);
    EXPECT_EQ(Line(1, kNotQueried, Lower(path)), Process(path, true, false));
    EXPECT_EQ(0, store.SetTimesCalls());
    EXPECT_EQ("2001-02-03 04:05:06", Modified(path));
}

TEST_F(ProcessFileTest, CreatedTargetComparesAndSetsOnlyTheCreationTime)
{
    NtfsLikeTimeStore store;
    std::string path = Picture("c.jpg", "2008:05:17 14:03:09");
    store.SetCreated(path.c_str(), LocalFileTime(1999, 9, 9, 9, 9, 9));
    EXPECT_EQ(Line(1, Changed("2008:05:17 14:03:09"), Lower(path)), Process(path, false, true));
    FILETIME created;
    ASSERT_TRUE(store.GetCreated(path.c_str(), created));
    EXPECT_EQ("2008-05-17 14:03:09", LocalText(created));
    EXPECT_EQ("2001-02-03 04:05:06", Modified(path)) << "written back as read";

    // Creation time already right, last-write time different: nothing to do.
    EXPECT_EQ(Line(2, kSame, Lower(path)), Process(path, false, true));
    EXPECT_EQ(1, m_nChanged);
}

TEST_F(ProcessFileTest, BothTargetsChangeWhenEitherTimeDiffers)
{
    NtfsLikeTimeStore store;
    std::string path = Picture("both.jpg", "2008:05:17 14:03:09", LocalFileTime(2008, 5, 17, 14, 3, 9));
    store.SetCreated(path.c_str(), LocalFileTime(1999, 9, 9, 9, 9, 9));
    EXPECT_EQ(Line(1, Changed("2008:05:17 14:03:09"), Lower(path)), Process(path, true, true));
    EXPECT_EQ(1, m_nChanged);
    FILETIME created;
    ASSERT_TRUE(store.GetCreated(path.c_str(), created));
    EXPECT_EQ("2008-05-17 14:03:09", LocalText(created));
    EXPECT_EQ("2008-05-17 14:03:09", Modified(path));
    // The journal holds both times as they were before.
    EXPECT_EQ(path + "\r\nCreated: 1999:9:9 9:9:9\r\nModified: 2008:5:17 14:3:9\r\n", JournalText());

    EXPECT_EQ(Line(2, kSame, Lower(path)), Process(path, true, true));
}

TEST_F(ProcessFileTest, AJournalThatRefusesTheRecordKeepsTheFileUnchanged)
{
    // The journal's file object can no longer write (as on a full disk).
    std::string journal = static_cast<const char*>(m_dlg.m_strUndoPath);
    m_dlg.m_fileUndo.Close();
    ASSERT_TRUE(m_dlg.m_fileUndo.Open(journal.c_str(), CFile::modeRead | CFile::shareDenyNone));
    std::string first = Picture("first.jpg", "2008:05:17 14:03:09");
    std::string second = Picture("second.jpg", "2008:05:17 14:03:09");
    EXPECT_EQ(Line(1, kNoJournal, Lower(first)), Process(first, true, false));
    EXPECT_EQ("2001-02-03 04:05:06", Modified(first));

    // Once a record failed, later ones are refused too: the journal may end in a broken record.
    m_dlg.m_fileUndo.Close();
    ASSERT_TRUE(m_dlg.m_fileUndo.Open(journal.c_str(),
                                      CFile::modeWrite | CFile::modeNoTruncate | CFile::shareDenyNone));
    EXPECT_EQ(Line(2, kNoJournal, Lower(second)), Process(second, true, false));
    EXPECT_EQ("2001-02-03 04:05:06", Modified(second));
    EXPECT_EQ(0, m_nChanged);
    EXPECT_EQ(2, m_nJpgFiles);
}

TEST_F(ProcessFileTest, WithoutAJournalFilesAreStillChanged)
{
    m_dlg.m_fileUndo.Close();
    ::DeleteFileA(m_dlg.m_strUndoPath);
    m_dlg.m_strUndoPath.Empty();
    std::string path = Picture("nojournal.jpg", "2008:05:17 14:03:09");
    EXPECT_EQ(Line(1, Changed("2008:05:17 14:03:09"), Lower(path)), Process(path, true, false));
    EXPECT_EQ(1, m_nChanged);
}

TEST_F(ProcessFileTest, WithoutALogFilesAreStillCountedAndChanged)
{
    std::string log = m_dlg.LogText();
    m_dlg.m_fileLog.Close();
    std::string logPath = static_cast<const char*>(m_dlg.m_strLogPath);
    m_dlg.m_strLogPath.Empty();
    std::string path = Picture("nolog.jpg", "2008:05:17 14:03:09");
    m_dlg.ProcessFile(path.c_str(), TRUE, FALSE, m_nJpgFiles, m_nChanged);
    EXPECT_EQ(1, m_nJpgFiles);
    EXPECT_EQ(1, m_nChanged);
    EXPECT_EQ(log, ReadBytes(logPath));
    m_dlg.m_strLogPath = logPath.c_str();
}

TEST_F(ProcessFileTest, CountersRunOnAndTheStatusLineFollows)
{
    m_dlg.m_bFakeTick = true;
    m_dlg.m_dwLastPumpTick = 0;
    m_dlg.m_dwFakeTick = 1000;
    m_nJpgFiles = 41;
    m_nChanged = 7;
    std::string path = Picture("n.jpg", "2008:05:17 14:03:09");
    EXPECT_EQ(Line(42, Changed("2008:05:17 14:03:09"), Lower(path)), Process(path, true, false));
    EXPECT_EQ(8, m_nChanged);
    EXPECT_EQ("<font color=\"DarkRed\">Processed <b>42</b> files...</font>", m_dlg.StatusMarkup());
}

namespace
{
// Writes times to the file system and notes what the journal file held at that moment.
struct JournalWatchingStore : IFileTimeStore
{
    explicit JournalWatchingStore(const std::string& journal)
        : journalPath(journal), previous(SetFileTimeStore(this))
    {
    }
    ~JournalWatchingStore() override { SetFileTimeStore(previous); }
    BOOL GetTimes(const char* path, FILETIME* c, FILETIME* a, FILETIME* w) override
    {
        return system.GetTimes(path, c, a, w);
    }
    BOOL SetTimes(const char* path, const FILETIME* c, const FILETIME* a, const FILETIME* w) override
    {
        journalAtSet.push_back(ReadBytes(journalPath.c_str()));
        return system.SetTimes(path, c, a, w);
    }
    std::string journalPath;
    IFileTimeStore* previous;
    CWin32FileTimeStore system;
    std::vector<std::string> journalAtSet;
};
} // namespace

TEST_F(ProcessFileTest, JournalRecordReachesTheFileBeforeTheTimesChange)
{
    std::string first = Picture("first.jpg", "2008:05:17 14:03:09");
    std::string second = Picture("second.jpg", "2009:06:18 15:04:10");
    JournalWatchingStore store(static_cast<const char*>(m_dlg.m_strUndoPath));
    EXPECT_EQ(Line(1, Changed("2008:05:17 14:03:09"), Lower(first)), Process(first, true, false));
    EXPECT_EQ(Line(2, Changed("2009:06:18 15:04:10"), Lower(second)), Process(second, true, false));
    ASSERT_EQ(2u, store.journalAtSet.size());
    // Each file's record is already readable by others when its times are set.
    EXPECT_EQ(0u, store.journalAtSet[0].find(first + "\r\nCreated: "));
    EXPECT_EQ(std::string::npos, store.journalAtSet[0].find(second));
    EXPECT_NE(std::string::npos, store.journalAtSet[1].find("\r\n" + second + "\r\nCreated: "));
    EXPECT_EQ(store.journalAtSet[1].size(), store.journalAtSet[1].rfind("\r\n") + 2);
}

TEST_F(ProcessFileTest, TimesAreSetThroughTheHandleThePictureWasReadWith)
{
    CountingStore store;
    std::string path = Picture("one-open.jpg", "2008:05:17 14:03:09");
    EXPECT_EQ(Line(1, Changed("2008:05:17 14:03:09"), Lower(path)), Process(path, true, false));
    EXPECT_EQ(1, store.byHandle);
    EXPECT_EQ(0, store.byName);

    // Someone reading it with every sharing granted takes nothing away.
    std::string shared = Picture("shared.jpg", "2009:01:02 03:04:05");
    HANDLE hReader = ::CreateFileA(shared.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hReader);
    EXPECT_EQ(Line(2, Changed("2009:01:02 03:04:05"), Lower(shared)), Process(shared, true, false));
    ::CloseHandle(hReader);
    EXPECT_EQ("2009-01-02 03:04:05", Modified(shared));
    EXPECT_EQ(2, store.byHandle);

    EXPECT_EQ(2, m_nChanged);
}
