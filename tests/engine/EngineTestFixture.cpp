#include "tests/engine/EngineTestFixture.h"

void EngineTest::SetUp()
{
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_FALSE(m_dlg.m_strLogPath.IsEmpty());
}

void EngineTest::TearDown()
{
    m_dlg.EndBatchFiles();
    m_dlg.Close();
}

std::string EngineTest::Picture(const std::string& name, const std::string& date, const FILETIME& written)
{
    std::string path = m_work / name;
    EXPECT_TRUE(WriteBytes(path, MakeExifJpeg(date))) << path;
    EXPECT_TRUE(SetLastWriteTime(path, written)) << path;
    return path;
}

std::string EngineTest::Picture(const std::string& name, const std::string& date)
{
    return Picture(name, date, LocalFileTime(2001, 2, 3, 4, 5, 6));
}

std::string EngineTest::Process(const std::string& path, bool bModified, bool bCreated,
                                const CFolderHandle* pFolder)
{
    size_t nBefore = m_dlg.LogLines().size();
    m_dlg.ProcessFile(path.c_str(), bModified, bCreated, m_nJpgFiles, m_nChanged, pFolder);
    std::vector<std::string> lines = m_dlg.LogLines();
    if (lines.size() == nBefore)
        return "";
    EXPECT_EQ(nBefore + 1, lines.size()) << "one line per file";
    return lines.back();
}

std::string EngineTest::Line(int n, const std::string& outcome, const std::string& path)
{
    char number[16];
    snprintf(number, sizeof(number), "%6d", n);
    return "<stamp>   File " + std::string(number) + " " + outcome + "\t File name \"" + path + "\"";
}

std::string EngineTest::JournalText()
{
    return ReadBytes(static_cast<const char*>(m_dlg.m_strUndoPath));
}

std::string EngineTest::Modified(const std::string& path)
{
    FILETIME written;
    if (!GetLastWriteTime(path, written))
        return "missing";
    return LocalText(written);
}

std::string Lower(std::string text)
{
    for (char& ch : text)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return text;
}
