// The program's manifest selects the UTF-8 code page, so 8-bit names are UTF-8 and
// must reach the file system intact through the ...A functions.
#include <gtest/gtest.h>

#include "framework/CFile.h"
#include "framework/CFileFind.h"
#include "framework/CStdioFile.h"
#include "tests/support/NtfsLikeTimeStore.h"
#include "tests/support/TempDir.h"

#include <string>

namespace
{
// "Ünïcødé 写真.jpg" as UTF-8 bytes.
const char kName[] = "\xC3\x9C"
                     "n\xC3\xAF"
                     "c\xC3\xB8"
                     "d\xC3\xA9 \xE5\x86\x99\xE7\x9C\x9F.jpg";
const wchar_t kWideName[] = L"\u00DCn\u00EFc\u00F8d\u00E9 \u5199\u771F.jpg";
} // namespace

TEST(Utf8NameTest, ActiveCodePageIsUtf8)
{
    EXPECT_EQ(static_cast<UINT>(CP_UTF8), GetACP()) << "the manifest's activeCodePage did not take effect";
}

TEST(Utf8NameTest, NamesSurviveCreateFindStatusAndReopen)
{
    ASSERT_EQ(static_cast<UINT>(CP_UTF8), GetACP());
    TempDir dir;
    CString path = dir.File(kName);

    CStdioFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.WriteString("photo\n"));
    file.Close();

    // The wide name on disk is the real one, not a byte-for-byte misreading.
    wchar_t wideFolder[MAX_PATH];
    ASSERT_GT(MultiByteToWideChar(CP_UTF8, 0, dir.Path(), -1, wideFolder, MAX_PATH), 0);
    std::wstring widePath = std::wstring(wideFolder) + L"\\" + kWideName;
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(widePath.c_str()));

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(dir.File("*.jpg")));
    finder.FindNextFile();
    EXPECT_STREQ(path, finder.GetFilePath());

    NtfsLikeTimeStore store;
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(finder.GetFilePath(), status));
    EXPECT_STREQ(path, status.m_szFullName);
    status.m_ctime = CTime(2008, 5, 17, 14, 3, 9);
    status.m_mtime = CTime(2009, 1, 2, 8, 30, 0);
    CFile::SetStatus(path, status);
    CFileStatus after;
    ASSERT_TRUE(CFile::GetStatus(path, after));
    EXPECT_EQ(status.m_ctime, after.m_ctime);
    EXPECT_EQ(status.m_mtime, after.m_mtime);

    CString lowered = path;
    lowered.MakeLower(); // every capital changes; a case-blind system still finds the file
    ASSERT_TRUE(file.Open(lowered, CFile::modeRead | CFile::shareDenyWrite));
    CString line;
    EXPECT_TRUE(file.ReadString(line));
    EXPECT_STREQ("photo", line);
}
