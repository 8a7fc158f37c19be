#include "tests/engine/EngineTestFixture.h"

// The program's manifest selects UTF-8 as the ANSI code page, so 8-bit paths
// carry names in any script.
class Utf8NamesTest : public EngineTest
{
};

TEST_F(Utf8NamesTest, TheManifestSelectsUtf8)
{
    EXPECT_EQ(static_cast<UINT>(CP_UTF8), ::GetACP());
}

TEST_F(Utf8NamesTest, NamesInAnyScriptAreChangedLoggedInLowerCaseAndJournalledAsFound)
{
    if (::GetACP() != CP_UTF8)
        GTEST_SKIP() << "needs the UTF-8 code page of the manifest";
    m_dlg.SelectTarget(0);
    const struct
    {
        const char* name;
        const char* logged;
    } names[] = {
        {"ÉTÉ.JPG", "été.jpg"},
        {"ФОТО.JPG", "фото.jpg"},
        {"Фото Москва.JPG", "фото москва.jpg"},
        {"ΦΩΤΟΓΡΑΦΊΑ Αθήνα.JPEG", "φωτογραφία αθήνα.jpeg"},
        {"写真_東京.jpg", "写真_東京.jpg"},
        {"صورة.jpeg", "صورة.jpeg"},
        {"Été à Zürich – ÆØÅ.JPG", "été à zürich – æøå.jpg"},
        {"😀 Emoji.jpg", "😀 emoji.jpg"},
    };
    std::vector<std::string> paths;
    for (const auto& entry : names)
        paths.push_back(Picture(entry.name, "2008:05:17 14:03:09"));
    m_dlg.Drop(paths);

    std::vector<std::string> lines = m_dlg.LogLines();
    ASSERT_EQ(paths.size(), lines.size());
    std::string journal = JournalText();
    for (size_t i = 0; i < paths.size(); ++i)
    {
        EXPECT_EQ(Line(static_cast<int>(i) + 1,
                       "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t",
                       Lower(std::string(m_work.Path())) + "\\" + names[i].logged),
                  lines[i]);
        EXPECT_EQ("2008-05-17 14:03:09", Modified(paths[i])) << paths[i];
        // The journal names the file as found, for a case-sensitive file system.
        EXPECT_NE(std::string::npos, journal.find(paths[i] + "\r\nCreated: ")) << paths[i];
    }
    EXPECT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));
}
