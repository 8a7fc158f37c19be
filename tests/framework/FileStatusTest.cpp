#include <gtest/gtest.h>

#include "framework/CFile.h"
#include "framework/CHeldFile.h"
#include "framework/FileTimeStore.h"
#include "tests/support/NtfsLikeTimeStore.h"
#include "tests/support/TempDir.h"

namespace
{
FILETIME RawWriteTime(const char* path)
{
    FILETIME created = {}, accessed = {}, written = {};
    HANDLE hFile = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, hFile);
    GetFileTime(hFile, &created, &accessed, &written);
    CloseHandle(hFile);
    return written;
}

unsigned __int64 Ticks(const FILETIME& ft)
{
    return (static_cast<unsigned __int64>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// Runs SetStatus and returns the OS error it threw with (0: it did not throw), also
// checking that GetLastError() right after the catch agrees.
LONG SetStatusError(const char* path, const CFileStatus& status, int* pCause = nullptr)
{
    try
    {
        CFile::SetStatus(path, status);
    }
    catch (CException* e)
    {
        const DWORD dwLastError = GetLastError();
        CFileException* pFileException = dynamic_cast<CFileException*>(e);
        EXPECT_NE(nullptr, pFileException);
        LONG lError = pFileException ? pFileException->m_lOsError : -1;
        if (pCause && pFileException)
            *pCause = pFileException->m_cause;
        EXPECT_EQ(static_cast<DWORD>(lError), dwLastError);
        e->Delete();
        return lError;
    }
    return 0;
}
} // namespace

TEST(FileStatusTest, GetStatusFillsTheRecord)
{
    TempDir dir;
    ASSERT_TRUE(dir.IsValid());
    CString path = dir.Write("photo.jpg", std::string(1234, 'x'));

    char szOldDir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szOldDir);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path()));
    CFileStatus status;
    BOOL bOk = CFile::GetStatus("photo.jpg", status); // relative: the full name is completed
    SetCurrentDirectoryA(szOldDir);
    ASSERT_TRUE(bOk);

    EXPECT_EQ(1234u, status.m_size);
    EXPECT_STREQ(path, status.m_szFullName);
    EXPECT_EQ(0, status.m_attribute & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(status.m_mtime.IsValid());
    EXPECT_TRUE(status.m_ctime.IsValid());
    EXPECT_TRUE(status.m_atime.IsValid());
    EXPECT_EQ(CTime(RawWriteTime(path)), status.m_mtime);

    SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(CFile::GetStatus(path, status));
    // Wine adds the archive bit of its own accord.
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, status.m_attribute & ~FILE_ATTRIBUTE_ARCHIVE);

    ASSERT_TRUE(CFile::GetStatus(dir.Path(), status));
    EXPECT_TRUE(status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FileStatusTest, GetStatusFailsForMissingFiles)
{
    TempDir dir;
    CFileStatus status;
    SetLastError(0);
    EXPECT_FALSE(CFile::GetStatus(dir.File("missing.jpg"), status));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(CFile::GetStatus(dir.File("no folder\\missing.jpg"), status));
    EXPECT_FALSE(CFile::GetStatus("", status));
    EXPECT_FALSE(CFile::GetStatus(nullptr, status));
}

TEST(FileStatusTest, LastWriteTimeOfRealFilesRoundTripsToTheSecond)
{
    TempDir dir;
    CString path = dir.Write("a.jpg", "data");
    const CTime samples[] = {CTime(2008, 5, 17, 14, 3, 9), CTime(1965, 2, 3, 4, 5, 6),
                             CTime(2200, 7, 1, 23, 59, 59), CTime(2021, 10, 31, 2, 30, 0)};
    for (const CTime& when : samples)
    {
        ASSERT_TRUE(when.IsValid());
        CFileStatus status;
        ASSERT_TRUE(CFile::GetStatus(path, status));
        status.m_mtime = when;
        EXPECT_EQ(0, SetStatusError(path, status));

        CFileStatus after;
        ASSERT_TRUE(CFile::GetStatus(path, after));
        EXPECT_EQ(when, after.m_mtime) << when.GetTime();
        // Whole seconds on disk: no fraction left over.
        FILETIME expected;
        when.GetAsFileTime(expected);
        EXPECT_EQ(Ticks(expected), Ticks(RawWriteTime(path)));
    }
}

TEST(FileStatusTest, CreationTimesGoThroughTheStore)
{
    TempDir dir;
    CString path = dir.Write("b.jpg", "data");
    NtfsLikeTimeStore store;
    const CTime created(2001, 2, 3, 4, 5, 6), written(2002, 3, 4, 5, 6, 7);

    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    const CTime accessed = status.m_atime;
    status.m_ctime = created;
    status.m_mtime = written;
    EXPECT_EQ(0, SetStatusError(path, status));
    EXPECT_EQ(1, store.SetTimesCalls());

    CFileStatus after;
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(created, after.m_ctime);
    EXPECT_EQ(written, after.m_mtime);
    EXPECT_EQ(accessed, after.m_atime);
    // The same file under another spelling of its name.
    CString upper = path;
    ASSERT_EQ(1, upper.Replace("b.jpg", "B.JPG"));
    ASSERT_TRUE(CFile::GetStatus(upper, after));
    EXPECT_EQ(created, after.m_ctime);

    // An invalid time in the record leaves that time alone.
    status.m_ctime = CTime();
    status.m_mtime = CTime(2003, 1, 1, 0, 0, 0);
    EXPECT_EQ(0, SetStatusError(path, status));
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(created, after.m_ctime);
    EXPECT_EQ(CTime(2003, 1, 1, 0, 0, 0), after.m_mtime);

    // A store failure reaches the caller with its code.
    store.FailSetTimes(ERROR_WRITE_PROTECT);
    int nCause = -1;
    EXPECT_EQ(ERROR_WRITE_PROTECT, SetStatusError(path, status, &nCause));
    EXPECT_EQ(CFileException::accessDenied, nCause);
}

TEST(FileStatusTest, StoreCanBeReplacedAndRestored)
{
    IFileTimeStore* pDefault = &GetFileTimeStore();
    {
        NtfsLikeTimeStore store;
        EXPECT_EQ(&store, &GetFileTimeStore());
    }
    EXPECT_EQ(pDefault, &GetFileTimeStore());
    NtfsLikeTimeStore other;
    EXPECT_EQ(&other, SetFileTimeStore(nullptr));
    EXPECT_EQ(pDefault, &GetFileTimeStore());
    SetFileTimeStore(&other);
}

TEST(FileStatusTest, SetStatusOnReadOnlyOrLockedFilesThrowsTheOsError)
{
    TempDir dir;
    CString path = dir.Write("c.jpg", "data");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    const CTime original = status.m_mtime;
    status.m_mtime = CTime(1999, 12, 31, 23, 59, 59);

    // Read-only: the record keeps the bit, so the times cannot be written.
    ASSERT_TRUE(SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY));
    status.m_attribute = FILE_ATTRIBUTE_READONLY;
    int nCause = -1;
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetStatusError(path, status, &nCause));
    EXPECT_EQ(CFileException::accessDenied, nCause);
    CFileStatus after;
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(original, after.m_mtime);
    ASSERT_TRUE(SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL));
    status.m_attribute = after.m_attribute & ~FILE_ATTRIBUTE_READONLY;

    // Held open by someone who denies write sharing.
    HANDLE hHolder = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHolder);
    EXPECT_TRUE(CFile::GetStatus(path, after)) << "reading the status needs no sharing";
    EXPECT_EQ(ERROR_SHARING_VIOLATION, SetStatusError(path, status, &nCause));
    EXPECT_EQ(CFileException::sharingViolation, nCause);
    CloseHandle(hHolder);

    // Held open with write sharing: allowed.
    hHolder = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                          nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHolder);
    EXPECT_EQ(0, SetStatusError(path, status));
    CloseHandle(hHolder);
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(CTime(1999, 12, 31, 23, 59, 59), after.m_mtime);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SetStatusError(dir.File("gone.jpg"), status, &nCause));
    EXPECT_EQ(CFileException::fileNotFound, nCause);
}

TEST(FileStatusTest, SetStatusWritesTheLastAccessTime)
{
    TempDir dir;
    CString path = dir.Write("a.jpg", "data");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    status.m_atime = CTime(2004, 3, 2, 1, 0, 0);
    EXPECT_EQ(0, SetStatusError(path, status));
    CFileStatus after;
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(CTime(2004, 3, 2, 1, 0, 0), after.m_atime);
}

namespace
{
// A store whose writes fail without leaving an error code, as some calls do.
struct SilentFailure : IFileTimeStore
{
    SilentFailure() : previous(SetFileTimeStore(this)) {}
    ~SilentFailure() override { SetFileTimeStore(previous); }
    BOOL GetTimes(const char* path, FILETIME* c, FILETIME* a, FILETIME* w) override
    {
        return system.GetTimes(path, c, a, w);
    }
    BOOL SetTimes(const char*, const FILETIME*, const FILETIME*, const FILETIME*) override
    {
        SetLastError(ERROR_SUCCESS);
        return FALSE;
    }
    CWin32FileTimeStore system;
    IFileTimeStore* previous;
};
} // namespace

TEST(FileStatusTest, AFailureWithoutAnErrorCodeStillReportsOne)
{
    TempDir dir;
    CString path = dir.Write("s.jpg", "data");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    SilentFailure store;
    status.m_mtime = CTime(2010, 1, 2, 3, 4, 5);
    EXPECT_EQ(ERROR_GEN_FAILURE, SetStatusError(path, status));
}

TEST(FileStatusTest, SetStatusChangesDifferingAttributes)
{
    TempDir dir;
    CString path = dir.Write("d.jpg", "data");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));

    // Setting read-only: the times are written first, then the bit.
    status.m_attribute = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    status.m_mtime = CTime(2010, 1, 2, 3, 4, 5);
    EXPECT_EQ(0, SetStatusError(path, status));
    CFileStatus after;
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, after.m_attribute & ~FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(CTime(2010, 1, 2, 3, 4, 5), after.m_mtime);

    // Clearing read-only: the bit goes first, so the times can follow.
    status.m_attribute = FILE_ATTRIBUTE_ARCHIVE;
    status.m_mtime = CTime(2011, 1, 2, 3, 4, 5);
    EXPECT_EQ(0, SetStatusError(path, status));
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(0, after.m_attribute & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(CTime(2011, 1, 2, 3, 4, 5), after.m_mtime);
}

TEST(FileStatusTest, SystemStoreTakesTimesFromTheAttributesRead)
{
    TempDir dir;
    CString path = dir.Write("t.jpg", "data");
    CWin32FileTimeStore store;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    data.ftCreationTime = {1, 2};
    data.ftLastAccessTime = {3, 4};
    data.ftLastWriteTime = {5, 6};
    FILETIME created = {}, accessed = {}, written = {};
    ASSERT_TRUE(store.GetTimesWithAttributes(path, data, &created, &accessed, &written));
    EXPECT_EQ(1u, created.dwLowDateTime);
    EXPECT_EQ(4u, accessed.dwHighDateTime);
    EXPECT_EQ(5u, written.dwLowDateTime);
    EXPECT_FALSE(store.GetTimesWithAttributes(nullptr, data, &created, nullptr, nullptr));

    // GetStatus gives the same times as a handle on the file does.
    HANDLE hFile = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
    FILETIME set = {0x12345600, 0x01c00000};
    ASSERT_TRUE(SetFileTime(hFile, nullptr, nullptr, &set));
    FILETIME handleCreated, handleWritten;
    ASSERT_TRUE(GetFileTime(hFile, &handleCreated, nullptr, &handleWritten));
    CloseHandle(hFile);
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    EXPECT_EQ(CTime(handleWritten).GetTime(), status.m_mtime.GetTime());
    EXPECT_EQ(CTime(handleCreated).GetTime(), status.m_ctime.GetTime());
    EXPECT_EQ(CTime(set).GetTime(), status.m_mtime.GetTime());
}

namespace
{
// A file opened by the test, handed to CFile under its name.
class OpenedFile
{
public:
    OpenedFile(const char* path, DWORD dwAccess)
        : m_hFile(CreateFileA(path, dwAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr)),
          m_file(m_hFile)
    {
        m_file.SetFilePath(path);
    }
    ~OpenedFile() { Close(); }
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    CFile& File() { return m_file; }
    void Close()
    {
        if (IsOpen())
            CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
    // The OS error the file's SetStatus threw with, 0 if it did not throw.
    LONG SetStatusError(const CFileStatus& status)
    {
        try
        {
            m_file.SetStatus(status);
        }
        catch (CFileException* e)
        {
            LONG lError = e->m_lOsError;
            e->Delete();
            return lError;
        }
        return 0;
    }

private:
    HANDLE m_hFile;
    CFile m_file;
};
} // namespace

TEST(FileStatusTest, AnOpenFileGivesTheSameStatusAsItsName)
{
    TempDir dir;
    CString path = dir.Write("open.jpg", std::string(777, 'y'));
    ASSERT_TRUE(SetFileAttributesA(path, FILE_ATTRIBUTE_HIDDEN));
    OpenedFile opened(path, GENERIC_READ);
    ASSERT_TRUE(opened.IsOpen());
    CFileStatus byHandle, byName;
    ASSERT_TRUE(opened.File().GetStatus(byHandle));
    ASSERT_TRUE(CFile::GetStatus(path, byName));

    EXPECT_EQ(777u, byHandle.m_size);
    EXPECT_EQ(byName.m_attribute, byHandle.m_attribute);
    EXPECT_TRUE(byHandle.m_attribute & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(byName.m_mtime, byHandle.m_mtime);
    EXPECT_EQ(byName.m_ctime, byHandle.m_ctime);
    EXPECT_EQ(byName.m_atime, byHandle.m_atime);
    EXPECT_STREQ(byName.m_szFullName, byHandle.m_szFullName);

    CFile closed(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(closed.GetStatus(byHandle));
}

TEST(FileStatusTest, AnOpenFileTakesItsTimesAndAttributesThroughTheHandle)
{
    TempDir dir;
    CString path = dir.Write("write.jpg", "data");
    OpenedFile opened(path, GENERIC_READ | GENERIC_WRITE);
    ASSERT_TRUE(opened.IsOpen());
    CFileStatus status;
    ASSERT_TRUE(opened.File().GetStatus(status));
    const CTime accessed = status.m_atime;

    // Times to the second; attributes keep their order: read-only set after the times...
    status.m_mtime = CTime(2004, 8, 9, 10, 11, 12);
    status.m_attribute = FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(0, opened.SetStatusError(status));
    FILETIME expected;
    ASSERT_TRUE(status.m_mtime.GetAsFileTime(expected));
    EXPECT_EQ(Ticks(expected), Ticks(RawWriteTime(path)));
    CFileStatus after;
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(accessed, after.m_atime);
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY, after.m_attribute & ~FILE_ATTRIBUTE_ARCHIVE);

    // ...and, while it stands, times are refused as they are by name.
    status.m_mtime = CTime(2005, 1, 1, 0, 0, 0);
    EXPECT_EQ(ERROR_ACCESS_DENIED, opened.SetStatusError(status));

    // Clearing it goes first, so the times follow in the same call.
    status.m_attribute = 0;
    EXPECT_EQ(0, opened.SetStatusError(status));
    opened.Close();
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(0, after.m_attribute & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CTime(2005, 1, 1, 0, 0, 0), after.m_mtime);
}

TEST(FileStatusTest, AnOpenFileKeepsCreationTimesThroughTheStore)
{
    TempDir dir;
    CString path = dir.Write("created.jpg", "data");
    NtfsLikeTimeStore store;
    OpenedFile opened(path, GENERIC_READ | GENERIC_WRITE);
    ASSERT_TRUE(opened.IsOpen());
    CFileStatus status;
    ASSERT_TRUE(opened.File().GetStatus(status));
    status.m_ctime = CTime(1998, 3, 4, 5, 6, 7);
    status.m_mtime = CTime(1999, 3, 4, 5, 6, 7);
    EXPECT_EQ(0, opened.SetStatusError(status));
    EXPECT_EQ(1, store.SetTimesCalls());
    CFileStatus after;
    ASSERT_TRUE(opened.File().GetStatus(after));
    EXPECT_EQ(CTime(1998, 3, 4, 5, 6, 7), after.m_ctime);
    EXPECT_EQ(CTime(1999, 3, 4, 5, 6, 7), after.m_mtime);
}

TEST(FileStatusTest, AHeldFileWritesFromTheAttributesItReadAndAsksAgainAfterAWrite)
{
    TempDir dir;
    CString path = dir.Write("held.jpg", "data");
    CHeldFile file;
    ASSERT_TRUE(file.Open(path));
    CFileStatus status;
    ASSERT_TRUE(file.GetTimesAndAttributes(status));
    const BYTE original = status.m_attribute;

    status.m_attribute = original | FILE_ATTRIBUTE_HIDDEN;
    status.m_mtime = CTime(2004, 8, 9, 10, 11, 12);
    DWORD dwError = 0;
    EXPECT_TRUE(file.SetStatus(status, dwError)) << dwError;
    EXPECT_EQ(original | FILE_ATTRIBUTE_HIDDEN, GetFileAttributesA(path) & 0xFFu);

    // No read since that write: what was read is out of date, so the system
    // is asked, and the hidden bit it now has is cleared.
    status.m_attribute = original;
    status.m_mtime = CTime(2005, 1, 1, 0, 0, 0);
    EXPECT_TRUE(file.SetStatus(status, dwError)) << dwError;
    EXPECT_EQ(original, GetFileAttributesA(path) & 0xFFu);
    CFileStatus after;
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(CTime(2005, 1, 1, 0, 0, 0), after.m_mtime);
}
