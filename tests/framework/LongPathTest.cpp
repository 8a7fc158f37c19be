// Paths of MAX_PATH characters and more through the framework's file calls:
// the rule that picks the wide calls, the "\\?\" form, and status, times,
// text files and folder walks on real deep folders.
#include <gtest/gtest.h>

#include "framework/CFile.h"
#include "framework/CFileFind.h"
#include "framework/CStdioFile.h"
#include "framework/FileTimeStore.h"
#include "framework/LongPath.h"
#include "tests/support/DropFiles.h"
#include "tests/support/LongTree.h"
#include "tests/support/ManifestSetting.h"
#include "tests/support/TempDir.h"

#include <cstring>
#include <map>
#include <string>

using longtree::Chars;
using longtree::LongTree;

namespace
{
std::wstring Form(const char* path)
{
    std::vector<wchar_t> wide;
    if (!AfxGetLongPathForm(path, wide))
        return L"<failed>";
    return std::wstring(wide.data());
}

// "写真" as UTF-8: three bytes a character.
const std::string kPhoto = "\xE5\x86\x99\xE7\x9C\x9F";

std::string Repeat(const std::string& text, size_t nTimes)
{
    std::string result;
    for (size_t i = 0; i < nTimes; ++i)
        result += text;
    return result;
}

FILETIME Ft(int year, int month, int day, int hour, int minute, int second)
{
    FILETIME ft = {};
    CTime(year, month, day, hour, minute, second, -1).GetAsFileTime(ft);
    return ft;
}

// Fills the stack below the caller with non-zero bytes, so that a buffer a
// call leaves unwritten shows as such instead of holding zeros by chance.
__attribute__((noinline)) void DirtyStack()
{
    volatile char bytes[32768];
    for (size_t i = 0; i < sizeof(bytes); ++i)
        bytes[i] = 'x';
}

// The OS error SetStatus threw with, 0 when it did not throw.
LONG SetStatusError(const char* path, const CFileStatus& status)
{
    try
    {
        CFile::SetStatus(path, status);
    }
    catch (CFileException* e)
    {
        LONG lError = e->m_lOsError;
        e->Delete();
        return lError;
    }
    return 0;
}

class CurrentFolder
{
public:
    explicit CurrentFolder(const char* path)
    {
        GetCurrentDirectoryA(MAX_PATH, m_szOld);
        m_bSet = SetCurrentDirectoryA(path) != FALSE;
    }
    ~CurrentFolder() { SetCurrentDirectoryA(m_szOld); }
    bool IsSet() const { return m_bSet; }

private:
    char m_szOld[MAX_PATH] = {};
    bool m_bSet = false;
};
} // namespace

TEST(LongPathManifest, OptsInToPathsOfAnyLength)
{
    std::wstring value;
    ASSERT_TRUE(support::ManifestSetting(support::kWindowsSettings2016, L"longPathAware", value))
        << "no longPathAware setting, error " << GetLastError();
    EXPECT_EQ(L"true", value);
}

TEST(LongPathRule, PathsUnderMaxPathCharactersStayOnThePlainCalls)
{
    const std::string base = "C:\\";
    EXPECT_FALSE(AfxIsLongPath((base + std::string(MAX_PATH - 1 - base.size(), 'a')).c_str()));
    EXPECT_TRUE(AfxIsLongPath((base + std::string(MAX_PATH - base.size(), 'a')).c_str()));
    // Characters count, not bytes: 256 CJK characters take 768 bytes.
    EXPECT_FALSE(AfxIsLongPath((base + Repeat(kPhoto, 128)).c_str()));
    EXPECT_TRUE(AfxIsLongPath((base + Repeat(kPhoto, 129)).c_str()));
    EXPECT_FALSE(AfxIsLongPath("\\\\server\\share\\photo.jpg"));
    EXPECT_TRUE(AfxIsLongPath(("\\\\server\\share\\" + std::string(300, 's')).c_str()));
    EXPECT_FALSE(AfxIsLongPath(nullptr));
    EXPECT_FALSE(AfxIsLongPath(""));
}

TEST(LongPathRule, ARelativePathCountsWithTheFolderItGrowsFrom)
{
    TempDir dir;
    CurrentFolder current(dir.Path());
    ASSERT_TRUE(current.IsSet());
    const size_t nRoom = MAX_PATH - 1 - (dir.Path().GetLength() + 1);
    EXPECT_FALSE(AfxIsLongPath(std::string(nRoom, 'r').c_str()));
    EXPECT_TRUE(AfxIsLongPath(std::string(nRoom + 1, 'r').c_str()));
}

TEST(LongPathForm, AbsoluteWithBackslashesAndNoDotParts)
{
    EXPECT_EQ(L"\\\\?\\C:\\photos\\2020\\a.jpg", Form("C:\\photos\\.\\old\\..\\2020\\a.jpg"));
    EXPECT_EQ(L"\\\\?\\C:\\photos\\2020\\a.jpg", Form("C:/photos/2020/a.jpg"));
    EXPECT_EQ(L"\\\\?\\UNC\\nas\\share\\photos\\a.jpg", Form("\\\\nas\\share\\photos\\x\\..\\a.jpg"));
    EXPECT_EQ(L"\\\\?\\UNC\\nas\\share\\a.jpg", Form("//nas/share/a.jpg"));
    // Already in a device form: as it is, "." and all.
    EXPECT_EQ(L"\\\\?\\C:\\a\\.\\b", Form("\\\\?\\C:\\a\\.\\b"));
    EXPECT_EQ(L"\\\\.\\C:\\a", Form("\\\\.\\C:\\a"));
    // Names in the process code page, UTF-8.
    EXPECT_EQ(L"\\\\?\\C:\\\u0424\u043E\u0442\u043E\\\u5199\u771F \U0001F4F7.jpg",
              Form("C:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\\xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\xB7.jpg"));
    std::vector<wchar_t> wide;
    EXPECT_FALSE(AfxGetLongPathForm(nullptr, wide));
}

TEST(LongPathForm, ARelativePathTakesTheCurrentFolder)
{
    TempDir dir;
    CurrentFolder current(dir.Path());
    ASSERT_TRUE(current.IsSet());
    std::wstring expected =
        L"\\\\?\\" + longtree::Wide(static_cast<const char*>(dir.Path())) + L"\\sub\\a.jpg";
    EXPECT_EQ(expected, Form("sub\\.\\a.jpg"));
    EXPECT_EQ(expected, Form((std::string(".\\x\\..\\sub\\a.jpg")).c_str()));
}

TEST(LongPathFullName, IsThePathAsTheUserKnowsIt)
{
    const std::string folder = "C:\\" + std::string(200, 'a') + "\\" + kPhoto + std::string(100, 'b');
    const std::string spelled = folder + "\\skip\\..\\.\\photo.jpg";
    const std::string full = folder + "\\photo.jpg";
    char* pFilePart = nullptr;
    EXPECT_EQ(full.size() + 1, AfxGetFullPathName(spelled.c_str(), 0, nullptr, nullptr));
    char small[MAX_PATH];
    EXPECT_EQ(full.size() + 1, AfxGetFullPathName(spelled.c_str(), MAX_PATH, small, &pFilePart));
    std::string buffer(full.size() + 1, '\0');
    // One short of the terminator is too small as well.
    EXPECT_EQ(full.size() + 1,
              AfxGetFullPathName(spelled.c_str(), static_cast<DWORD>(full.size()), &buffer[0], &pFilePart));
    ASSERT_EQ(full.size(),
              AfxGetFullPathName(spelled.c_str(), static_cast<DWORD>(buffer.size()), &buffer[0], &pFilePart));
    EXPECT_STREQ(full.c_str(), buffer.c_str());
    ASSERT_NE(nullptr, pFilePart);
    EXPECT_STREQ("photo.jpg", pFilePart);
    // Short paths give what GetFullPathNameA gives.
    char szShort[MAX_PATH];
    EXPECT_EQ(8u, AfxGetFullPathName("C:\\a\\..\\b.jpg", MAX_PATH, szShort, &pFilePart));
    EXPECT_STREQ("C:\\b.jpg", szShort);
}

TEST(LongPathDrop, APathCutShortEndsWithinTheBuffer)
{
    HDROP hDrop = BuildDropFiles({"C:\\photos\\a.jpg"});
    ASSERT_NE(nullptr, hDrop);
    char buffer[17];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(14u, AfxDragQueryFile(hDrop, 0, buffer, 15));
    EXPECT_STREQ("C:\\photos\\a.jp", buffer);
    EXPECT_EQ('x', buffer[15]);
    GlobalFree(hDrop);
}

class LongPathFiles : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.IsValid()); }

    // A file of that content in a folder whose path has nChars characters.
    std::string File(size_t nChars, const std::string& name, const std::string& bytes)
    {
        std::string folder = m_tree.Folder(nChars);
        EXPECT_EQ(nChars, Chars(folder));
        std::string path = folder + "\\" + name;
        EXPECT_TRUE(longtree::WriteBytes(path, bytes)) << path;
        return path;
    }

    TempDir m_dir;
    LongTree m_tree{static_cast<const char*>(m_dir.Path())};
};

TEST_F(LongPathFiles, StatusIsReadAndWrittenByName)
{
    for (size_t nChars : {300u, 1000u, 2000u})
    {
        SCOPED_TRACE(nChars);
        std::string path = File(nChars, "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE.jpg", std::string(777, 'x'));
        CFileStatus status;
        DirtyStack();
        ASSERT_TRUE(CFile::GetStatus(path.c_str(), status)) << GetLastError();
        EXPECT_EQ(777u, status.m_size);
        EXPECT_EQ(0, status.m_attribute & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
        // The record holds MAX_PATH characters of name; the file has its status all the same.
        EXPECT_STREQ("", status.m_szFullName);

        status.m_mtime = CTime(2009, 1, 2, 8, 30, 0);
        EXPECT_EQ(0, SetStatusError(path.c_str(), status));
        FILETIME written;
        ASSERT_TRUE(longtree::GetWritten(path, written));
        EXPECT_EQ(CTime(2009, 1, 2, 8, 30, 0), CTime(written));
        CFileStatus after;
        ASSERT_TRUE(CFile::GetStatus(path.c_str(), after));
        EXPECT_EQ(status.m_mtime, after.m_mtime);
    }
    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus((m_tree.Folder(400) + "\\missing.jpg").c_str(), status));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(LongPathFiles, TheReadOnlyBitIsSetKeptAndCleared)
{
    std::string path = File(600, "ro.jpg", "data");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
    status.m_attribute |= FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(0, SetStatusError(path.c_str(), status));
    EXPECT_TRUE(longtree::Attributes(path) & FILE_ATTRIBUTE_READONLY);

    // Times of a file that stays read-only are refused.
    status.m_mtime = CTime(2010, 6, 7, 8, 9, 10);
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetStatusError(path.c_str(), status));

    status.m_attribute &= ~FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(0, SetStatusError(path.c_str(), status));
    EXPECT_FALSE(longtree::Attributes(path) & FILE_ATTRIBUTE_READONLY);
    FILETIME written;
    ASSERT_TRUE(longtree::GetWritten(path, written));
    EXPECT_EQ(CTime(2010, 6, 7, 8, 9, 10), CTime(written));
}

TEST_F(LongPathFiles, TheFileTimeStoreReadsAndWritesByName)
{
    std::string path = File(1500, "times.jpg", "data");
    ASSERT_TRUE(longtree::SetWritten(path, Ft(2003, 4, 5, 6, 7, 8)));
    CWin32FileTimeStore store;
    FILETIME written = {};
    ASSERT_TRUE(store.GetTimes(path.c_str(), nullptr, nullptr, &written)) << GetLastError();
    EXPECT_EQ(CTime(2003, 4, 5, 6, 7, 8), CTime(written));
    FILETIME wanted = Ft(2004, 5, 6, 7, 8, 9);
    ASSERT_TRUE(store.SetTimes(path.c_str(), nullptr, nullptr, &wanted)) << GetLastError();
    ASSERT_TRUE(longtree::GetWritten(path, written));
    EXPECT_EQ(CTime(2004, 5, 6, 7, 8, 9), CTime(written));

    ASSERT_TRUE(longtree::SetAttributes(path, FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(store.SetTimes(path.c_str(), nullptr, nullptr, &wanted));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST_F(LongPathFiles, ATextFileIsWrittenAndReadBack)
{
    std::string path = m_tree.Folder(800) + "\\journal.txt";
    // A line as long as the path itself, as the journal writes it.
    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.WriteString((path + "\nCreated: 2008:5:17 14:3:9\n").c_str()));
    file.Close();
    EXPECT_EQ(path + "\r\nCreated: 2008:5:17 14:3:9\r\n", longtree::ReadBytes(path));

    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone));
    file.SeekToEnd();
    EXPECT_TRUE(file.WriteString("Modified: 2009:1:2 8:30:0\n"));
    file.Close();

    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(path, static_cast<const char*>(line));
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ("Created: 2008:5:17 14:3:9", line);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ("Modified: 2009:1:2 8:30:0", line);
    EXPECT_FALSE(file.ReadString(line));
    file.Close();

    EXPECT_FALSE(file.Open((m_tree.Folder(900) + "\\missing.txt").c_str(), CFile::modeRead));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(LongPathFiles, AFolderWalkGivesPlainPaths)
{
    std::string folder = m_tree.Folder(1200);
    const std::string name = "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE 1.jpg";
    ASSERT_TRUE(longtree::WriteBytes(folder + "\\" + name, "1"));
    ASSERT_TRUE(longtree::MakeFolder(folder + "\\" + kPhoto));

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((folder + "\\*").c_str())) << GetLastError();
    std::map<std::string, std::string> found;
    BOOL bMore = TRUE;
    while (bMore)
    {
        bMore = finder.FindNextFile();
        const std::string path = static_cast<const char*>(finder.GetFilePath());
        found[path.substr(path.rfind('\\') + 1)] =
            std::string(finder.IsDirectory() ? "dir " : "file ") + path;
    }
    std::map<std::string, std::string> expected = {{".", "dir " + folder + "\\."},
                                                   {"..", "dir " + folder + "\\.."},
                                                   {name, "file " + folder + "\\" + name},
                                                   {kPhoto, "dir " + folder + "\\" + kPhoto}};
    EXPECT_EQ(expected, found);

    EXPECT_FALSE(finder.FindFile((folder + "\\none\\*").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST_F(LongPathFiles, PatternsEitherSideOfMaxPathFindTheirFiles)
{
    const std::string mask = "\\*.jpg";
    for (size_t nPattern : {259u, 260u, 261u})
    {
        SCOPED_TRACE(nPattern);
        std::string folder = m_tree.Folder(nPattern - mask.size());
        ASSERT_TRUE(longtree::WriteBytes(folder + "\\p.jpg", "1"));
        CFileFind finder;
        ASSERT_TRUE(finder.FindFile((folder + mask).c_str())) << GetLastError();
        finder.FindNextFile();
        EXPECT_EQ(folder + "\\p.jpg", static_cast<const char*>(finder.GetFilePath()));
    }
}
