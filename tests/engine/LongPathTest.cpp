// Pictures whose paths have MAX_PATH characters or more: dropped as the shell
// hands them over, found deep in a dropped folder, changed, journalled and
// undone.
#include "engine/DropPaths.h"
#include "tests/engine/EngineTestFixture.h"
#include "tests/support/LongTree.h"
#include "tests/support/MessageBoxAnswerer.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

using longtree::Chars;

namespace
{
// A drop handle of wide paths, as Explorer and Wine's drag and drop make one.
HDROP MakeWideDropHandle(const std::vector<std::string>& paths)
{
    std::wstring list;
    for (const std::string& path : paths)
        list += longtree::Wide(path) + L'\0';
    list += L'\0';
    HGLOBAL hMem = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    DROPFILES* pDrop = static_cast<DROPFILES*>(::GlobalLock(hMem));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    std::memcpy(pDrop + 1, list.data(), list.size() * sizeof(wchar_t));
    ::GlobalUnlock(hMem);
    return static_cast<HDROP>(hMem);
}

std::string WrittenText(const std::string& path)
{
    FILETIME written;
    return longtree::GetWritten(path, written) ? LocalText(written) : "missing";
}

// A log line without the file's running number.
std::string Unnumbered(const std::string& line)
{
    const size_t at = line.find(" File ");
    return at == std::string::npos ? line : line.substr(0, at) + line.substr(at + 13);
}

const char* const kChanged = "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t";
} // namespace

TEST(DropPaths, WidePathsArriveWholeInTheCodePage)
{
    // "Фото\写真 📷.jpg": more bytes in UTF-8 than characters.
    const std::string name =
        "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\\xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\xB7.jpg";
    std::string deep = "C:";
    while (Chars(deep) < 1000)
        deep += "\\" + name.substr(0, name.size() - 4);
    deep += ".jpg";
    std::vector<std::string> paths = {"C:\\" + name, deep, "D:\\"};
    HDROP hDrop = MakeWideDropHandle(paths);
    std::vector<CString> read = ReadDropPaths(hDrop);
    ::DragFinish(hDrop);
    ASSERT_EQ(3u, read.size());
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(paths[i], static_cast<const char*>(read[i]));
}

class LongPathDropTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_dlg.SelectTarget(0);
        m_dlg.m_bProcessSubfolders = 1;
    }

    // A picture dated 2008-05-17 14:03:09, last written 2001-02-03 04:05:06,
    // in a folder whose path has nChars characters.
    std::string DeepPicture(size_t nChars, const std::string& name)
    {
        std::string folder = m_tree.Folder(nChars);
        EXPECT_EQ(nChars, Chars(folder));
        std::string path = folder + "\\" + name;
        EXPECT_TRUE(longtree::WriteBytes(path, MakeExifJpeg("2008:05:17 14:03:09"))) << path;
        EXPECT_TRUE(longtree::SetWritten(path, LocalFileTime(2001, 2, 3, 4, 5, 6))) << path;
        return path;
    }

    std::vector<MessageBoxAnswerer::Box> Undo()
    {
        MessageBoxAnswerer answerer(m_dlg.m_hWnd, {IDYES});
        m_dlg.OnUndo();
        return answerer.Boxes();
    }

    longtree::LongTree m_tree{static_cast<const char*>(m_work.Path())};
};

TEST_F(LongPathDropTest, PicturesDeepInADroppedFolderAreChangedJournalledAndUndone)
{
    std::string a = DeepPicture(400, "a.jpg");
    std::string b = DeepPicture(1800, "Photo B.JPG");
    m_dlg.Drop({m_tree.Root()});

    // Numbered in the order the walk met them, which the file system decides.
    std::vector<std::string> lines;
    for (const std::string& line : m_dlg.LogLines())
        lines.push_back(Unnumbered(line));
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> expected = {Unnumbered(Line(1, kChanged, Lower(a))),
                                         Unnumbered(Line(1, kChanged, Lower(b)))};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, lines);
    EXPECT_EQ("2008-05-17 14:03:09", WrittenText(a));
    EXPECT_EQ("2008-05-17 14:03:09", WrittenText(b));
    // Each path as found, in full.
    std::string journal = JournalText();
    EXPECT_NE(std::string::npos, journal.find(a + "\r\nCreated: ")) << journal.substr(0, 500);
    EXPECT_NE(std::string::npos, journal.find(b + "\r\nCreated: "));

    ASSERT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
    EXPECT_EQ(1u, Undo().size());
    EXPECT_EQ("2001-02-03 04:05:06", WrittenText(a));
    EXPECT_EQ("2001-02-03 04:05:06", WrittenText(b));
    EXPECT_EQ("<font color=\"DarkRed\">Restored date for <b>2</b> out of <b>2</b> jpg files</font>",
              m_dlg.StatusMarkup());
}

TEST_F(LongPathDropTest, DroppedLongPicturesAreTakenAsTheyAre)
{
    std::string writable = DeepPicture(300, "w.jpg");
    std::string readonly = DeepPicture(700, "r.jpg");
    ASSERT_TRUE(longtree::SetAttributes(readonly, FILE_ATTRIBUTE_READONLY));
    m_dlg.Drop({writable, readonly});
    std::vector<std::string> expected = {Line(1, kChanged, Lower(writable)),
                                         Line(2, "not changed. File is READONLY\t\t\t", Lower(readonly))};
    EXPECT_EQ(expected, m_dlg.LogLines());
    EXPECT_EQ("2008-05-17 14:03:09", WrittenText(writable));
    EXPECT_EQ("2001-02-03 04:05:06", WrittenText(readonly));
    std::string journal = JournalText();
    EXPECT_EQ(0u, journal.find(writable + "\r\nCreated: ")) << journal.substr(0, 500);
    EXPECT_NE(std::string::npos, journal.find("\r\n" + readonly + "\r\nCreated: "));
}

// A temporary folder of 260 characters or more holds the log and the
// journal as a short one does: made, written, read back by Undo, deleted.
TEST_F(LongPathDropTest, ALongTemporaryFolderHoldsTheLogAndTheJournal)
{
    const std::string temp = m_tree.Folder(300);
    const std::string a = Picture("a.jpg", "2008:05:17 14:03:09");
    TempFolderRedirect redirect(temp.c_str());
    CTestMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    const std::string log = static_cast<const char*>(dlg.m_strLogPath);
    EXPECT_EQ(temp + "\\Chronoshift Temp ", log.substr(0, temp.size() + 18));
    dlg.SelectTarget(0);
    dlg.Drop({a});
    EXPECT_EQ("2008-05-17 14:03:09", Modified(a));
    const std::string journal = static_cast<const char*>(dlg.m_strUndoPath);
    EXPECT_EQ(temp, journal.substr(0, temp.size()));
    EXPECT_EQ(0u, longtree::ReadBytes(journal).find(a + "\r\nCreated: "));
    const std::string text = longtree::ReadBytes(log);
    EXPECT_NE(std::string::npos, text.find("program started")) << text;
    EXPECT_NE(std::string::npos, text.find(Lower(a))) << text;

    MessageBoxAnswerer answerer(dlg.m_hWnd, {IDYES});
    dlg.OnUndo();
    EXPECT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("2001-02-03 04:05:06", Modified(a)) << "the journal was read back";
    dlg.Close();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, longtree::Attributes(log)) << "the log is deleted at exit";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, longtree::Attributes(journal));
}
