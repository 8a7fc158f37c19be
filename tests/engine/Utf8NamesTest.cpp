#include "EngineTestFixture.h"

// The program's manifest selects UTF-8 as the ANSI code page, so 8-bit paths
// carry names in any script.
class Utf8NamesTest : public EngineTest
{
};

TEST_F(Utf8NamesTest, TheManifestSelectsUtf8)
{
    EXPECT_EQ(static_cast<UINT>(CP_UTF8), ::GetACP());
}

TEST_F(Utf8NamesTest, NamesInAnyScriptAreChangedLoggedAndJournalled)
{
    if (::GetACP() != CP_UTF8)
        GTEST_SKIP() << "needs the UTF-8 code page of the manifest";
    m_dlg.SelectTarget(0);
    const char* names[] = {
        "Фото Москва.JPG",        // Cyrillic: capitals are not ASCII and stay as they are
        "写真_東京.jpg",          // CJK
        "صورة.jpeg",              // Arabic
        "Été à Zürich – ÆØÅ.JPG", // Latin with diacritics and a dash
        "😀 emoji.jpg",            // outside the basic plane
    };
    std::vector<std::string> paths;
    for (const char* name : names)
        paths.push_back(Picture(name, "2008:05:17 14:03:09"));
    m_dlg.Drop(paths);

    std::vector<std::string> lines = m_dlg.LogLines();
    ASSERT_EQ(paths.size(), lines.size());
    std::string journal = JournalText();
    for (size_t i = 0; i < paths.size(); ++i)
    {
        EXPECT_EQ(Line(static_cast<int>(i) + 1,
                       "CHANGED file date. EXIF date tag \"2008:05:17 14:03:09\"\t\t", Lower(paths[i])),
                  lines[i]);
        EXPECT_EQ("2008-05-17 14:03:09", Modified(paths[i])) << paths[i];
        EXPECT_NE(std::string::npos, journal.find(paths[i] + "\r\nCreated: ")) << paths[i];
        // Found again by the very bytes the log shows, as the user reads them.
        EXPECT_NE(std::string::npos, m_dlg.LogText().find(Lower(paths[i])));
    }
    EXPECT_TRUE(m_dlg.IsControlEnabled(1005));
}
