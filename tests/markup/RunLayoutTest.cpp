// Words, entity characters and the line layout of one run, drawn into a DIB
// with the dialog font and compared with plain TextOut of the expected lines.
#include "tests/markup/LabelHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const COLORREF kPaper = RGB(255, 255, 255);

struct Word
{
    std::string text;
    int hardBreak;
};

std::vector<Word> Words(const char* run)
{
    std::vector<Word> words;
    const char* pos = run;
    while (*pos != 0)
    {
        int hard = 0;
        CString word = TestableLabel::NextWord(pos, hard);
        words.push_back({std::string(word, word.GetLength()), hard});
    }
    return words;
}

class RunLayout : public ::testing::Test
{
protected:
    RunLayout() : m_font(CreateDialogFont()), m_cy(MeasureText(m_font, "Xg").cy) {}
    ~RunLayout() override { DeleteObject(m_font); }

    int Width(const char* text) const { return MeasureText(m_font, text).cx; }

    // Lays the run out into `image` from pen position x; returns the result.
    int Layout(Dib& image, const char* run, RECT& rc, int x, int lineTop = 0, HFONT font = nullptr)
    {
        HGDIOBJ old = SelectObject(image.GetDC(), font != nullptr ? font : m_font);
        m_label.SetLineTop(lineTop);
        int result = m_label.LayoutRun(image.GetDC(), run, rc, x);
        SelectObject(image.GetDC(), old);
        GdiFlush();
        return result;
    }

    // Plain TextOut of the given lines, one line height apart.
    void DrawLines(Dib& image, const std::vector<std::pair<int, std::string>>& lines)
    {
        HGDIOBJ old = SelectObject(image.GetDC(), m_font);
        int y = 0;
        for (const auto& line : lines)
        {
            TextOutA(image.GetDC(), line.first, y, line.second.c_str(), static_cast<int>(line.second.size()));
            y += m_cy;
        }
        SelectObject(image.GetDC(), old);
        GdiFlush();
    }

    void DrawLinesW(Dib& image, HFONT font, const std::vector<std::wstring>& lines)
    {
        HGDIOBJ old = SelectObject(image.GetDC(), font);
        int y = 0;
        for (const std::wstring& line : lines)
        {
            TextOutW(image.GetDC(), 0, y, line.c_str(), static_cast<int>(line.size()));
            y += MeasureText(font, L"Xg").cy;
        }
        SelectObject(image.GetDC(), old);
        GdiFlush();
    }

    TestableLabel m_label;
    HFONT m_font;
    int m_cy;
};
} // namespace

TEST_F(RunLayout, WordsCarryTheirTrailingSpace)
{
    std::vector<Word> words = Words("ab cd  e");
    ASSERT_EQ(4u, words.size());
    EXPECT_EQ("ab ", words[0].text);
    EXPECT_EQ("cd ", words[1].text);
    EXPECT_EQ(" ", words[2].text);
    EXPECT_EQ("e", words[3].text);
    for (const Word& w : words)
        EXPECT_EQ(0, w.hardBreak);
}

TEST_F(RunLayout, LineFeedEndsTheWordWithASpace)
{
    std::vector<Word> words = Words("ab\r\ncd\nx\ry\r\r\nz\r");
    ASSERT_EQ(4u, words.size());
    EXPECT_EQ("ab ", words[0].text);
    EXPECT_EQ(1, words[0].hardBreak);
    EXPECT_EQ("cd ", words[1].text);
    EXPECT_EQ(1, words[1].hardBreak);
    // A lone carriage return is dropped; of two in a row the second is kept.
    EXPECT_EQ("xy\r ", words[2].text);
    EXPECT_EQ(1, words[2].hardBreak);
    EXPECT_EQ("z", words[3].text);
    EXPECT_EQ(0, words[3].hardBreak);
}

TEST_F(RunLayout, AsciiEntitiesAreDecodedOthersStayEscaped)
{
    // Codes are row + 2; a non-breaking space joins the words around it.
    // The euro and trade mark signs stay escaped: their Windows-1252 bytes
    // would read as parts of UTF-8 characters.
    std::vector<Word> words = Words("a\x01\x0F"
                                    "b \x01\x02\x01\x07\x01\x19\x01\x0C");
    ASSERT_EQ(2u, words.size());
    EXPECT_EQ("a b ", words[0].text);
    EXPECT_EQ("&\x01\x07\x01\x19<", words[1].text);

    // An escape cut off by the end of the run is dropped, not read past.
    words = Words("x\x01");
    ASSERT_EQ(1u, words.size());
    EXPECT_EQ("x", words[0].text);

    // A whole run is measured in the same form, line breaks as stored.
    EXPECT_STREQ("a<b>\x01\x05\r\n", TestableLabel::RunTextAsLaidOut("a\x01\x0C"
                                                                     "b\x01\x0A\x01\x05\r\n"));
    EXPECT_STREQ("x", TestableLabel::RunTextAsLaidOut("x\x01"));
    EXPECT_STREQ("plain \xD0\x9F", TestableLabel::RunTextAsLaidOut("plain \xD0\x9F"));
}

TEST_F(RunLayout, EntityCharactersAreWindows1252)
{
    const unsigned char expected[24] = {0x26, 0x95, 0xA2, 0xA9, 0xB0, 0x80, 0xBD, 0xBC,
                                        0x3E, 0xBF, 0x3C, 0xB5, 0xB7, 0x20, 0xB6, 0xB1,
                                        0xA3, 0x22, 0xAE, 0xA7, 0xB9, 0xB2, 0xD7, 0x99};
    for (int row = 0; row < 24; ++row)
        EXPECT_EQ(expected[row], static_cast<unsigned char>(CMarkupStatic::EntityCharFromCode(row + 2)))
            << "row " << row;
    EXPECT_EQ(' ', CMarkupStatic::EntityCharFromCode(0x1A));
    EXPECT_EQ(' ', CMarkupStatic::EntityCharFromCode(0x41));
}

TEST_F(RunLayout, EntityUnicodeCharactersAreTheWindows1252Ones)
{
    // The system's own Windows-1252 table is the reference.
    for (int row = 0; row < 24; ++row)
    {
        char byte = CMarkupStatic::EntityCharFromCode(row + 2);
        wchar_t expected = 0;
        ASSERT_EQ(1, MultiByteToWideChar(1252, 0, &byte, 1, &expected, 1));
        EXPECT_EQ(expected, CMarkupStatic::EntityWideCharFromCode(row + 2)) << "row " << row;
    }
    EXPECT_EQ(L'\u20AC', CMarkupStatic::EntityWideCharFromCode(0x07));
    EXPECT_EQ(L' ', CMarkupStatic::EntityWideCharFromCode(0x1A));
    EXPECT_EQ(L' ', CMarkupStatic::EntityWideCharFromCode(0x01));
}

TEST_F(RunLayout, SpacesAtTheStartOfALineDrawNothing)
{
    Dib image(200, 40, kPaper);
    RECT rc = {0, 0, 200, 40};
    EXPECT_EQ(0, Layout(image, "    ", rc, 0));
    EXPECT_EQ(image.Width() * image.Height(), image.Count(kPaper));
    EXPECT_EQ(0, m_label.GetLineTop());
}

TEST_F(RunLayout, NothingIsDrawnBelowTheRectangle)
{
    Dib image(200, 40, kPaper);
    RECT rc = {0, 39, 200, 40};
    EXPECT_EQ(0, Layout(image, "Hello", rc, 25, 39));
    EXPECT_EQ(39, rc.top);
    EXPECT_EQ(image.Width() * image.Height(), image.Count(kPaper));
}

TEST_F(RunLayout, ARunContinuesTheLineWhenItsFirstWordFits)
{
    Dib image(300, 40, kPaper), expected(300, 40, kPaper);
    RECT rc = {0, 0, 300, 40};
    int result = Layout(image, "ab cd", rc, 50);
    EXPECT_EQ(50 + Width("ab cd"), result);
    EXPECT_EQ(0, m_label.GetLineTop());
    EXPECT_EQ(0, rc.top);
    DrawLines(expected, {{50, "ab cd"}});
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(RunLayout, ARunMovesDownWhenItsFirstWordDoesNotFit)
{
    Dib image(100, 40, kPaper), expected(100, 40, kPaper);
    RECT rc = {0, 0, 100, 40};
    int result = Layout(image, "Wrapped", rc, 100 - Width("Wrap"));
    EXPECT_EQ(Width("Wrapped"), result);
    EXPECT_EQ(m_cy, m_label.GetLineTop());
    EXPECT_EQ(m_cy, rc.top);
    DrawLines(expected, {{0, ""}, {0, "Wrapped"}});
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(RunLayout, WrapsAtTheRightEdgeByTheFontsMeasurements)
{
    const char* words[] = {"Drop ",   "JPG ", "files ",  "on ",    "this ",
                           "window ", "to ",  "change ", "their ", "dates"};
    const int width = 130;
    // Greedy fill: a word joins the line while the line stays narrower than width - 2.
    std::vector<std::pair<int, std::string>> lines(1);
    std::string run;
    for (const char* w : words)
    {
        run += w;
        if (!lines.back().second.empty() && Width((lines.back().second + w).c_str()) >= width - 2)
            lines.push_back({0, ""});
        lines.back().second += w;
    }
    ASSERT_GE(lines.size(), 3u) << "the words must need several lines";

    Dib image(width, 100, kPaper), expected(width, 100, kPaper);
    RECT rc = {0, 0, width, 100};
    int result = Layout(image, run.c_str(), rc, 0);
    DrawLines(expected, lines);
    EXPECT_EQ(0, image.Differences(expected));
    EXPECT_EQ(Width(lines.back().second.c_str()), result);
    EXPECT_EQ(static_cast<int>(lines.size() - 1) * m_cy, m_label.GetLineTop());
}

TEST_F(RunLayout, NonBreakingSpaceKeepsWordsTogether)
{
    // Room for "aaaa bbbb " but not for "aaaa bbbb cccc".
    const int width = Width("aaaa bbbb ") + 3;
    ASSERT_GE(Width("aaaa bbbb cccc"), width - 2);

    Dib plain(width, 60, kPaper), plainExpected(width, 60, kPaper);
    RECT rc = {0, 0, width, 60};
    Layout(plain, "aaaa bbbb cccc", rc, 0);
    DrawLines(plainExpected, {{0, "aaaa bbbb "}, {0, "cccc"}});
    EXPECT_EQ(0, plain.Differences(plainExpected));

    Dib joined(width, 60, kPaper), joinedExpected(width, 60, kPaper);
    rc = {0, 0, width, 60};
    Layout(joined,
           "aaaa bbbb\x01\x0F"
           "cccc",
           rc, 0);
    DrawLines(joinedExpected, {{0, "aaaa "}, {0, "bbbb cccc"}});
    EXPECT_EQ(0, joined.Differences(joinedExpected));
}

TEST_F(RunLayout, ALoneSpaceWordMayStartAWrappedLine)
{
    const int width = Width("aaa ") + 3;
    Dib image(width, 60, kPaper), expected(width, 60, kPaper);
    RECT rc = {0, 0, width, 60};
    Layout(image, "aaa  bbb", rc, 0);
    DrawLines(expected, {{0, "aaa "}, {0, " bbb"}});
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(RunLayout, CarriageReturnWithLineFeedIsOneBreak)
{
    Dib image(200, 60, kPaper), expected(200, 60, kPaper);
    RECT rc = {0, 0, 200, 60};
    EXPECT_EQ(Width("cdef"), Layout(image, "ab\r\ncd\ref", rc, 0));
    DrawLines(expected, {{0, "ab "}, {0, "cdef"}});
    EXPECT_EQ(0, image.Differences(expected));
    EXPECT_EQ(m_cy, m_label.GetLineTop());
}

TEST_F(RunLayout, ALineBreakRunEndsAtTheLeftEdge)
{
    Dib image(200, 60, kPaper);
    RECT rc = {0, 0, 200, 60};
    EXPECT_EQ(0, Layout(image, "\r\n", rc, 40));
    EXPECT_EQ(m_cy, m_label.GetLineTop());
    EXPECT_EQ(m_cy, rc.top);
}

TEST_F(RunLayout, LinesThatDoNotFitBelowAreNotDrawn)
{
    const int width = Width("one two ") + 3;
    const int height = m_cy + m_cy / 2;
    Dib image(width, 3 * m_cy, kPaper), expected(width, 3 * m_cy, kPaper);
    RECT rc = {0, 0, width, height};
    Layout(image, "one two one two one two", rc, 0);
    DrawLines(expected, {{0, "one two "}});
    EXPECT_EQ(0, image.Differences(expected));
    EXPECT_EQ(m_cy, m_label.GetLineTop());
    EXPECT_EQ(height, rc.top);
}

TEST_F(RunLayout, ResultCountsFromTheRectanglesLeftEdge)
{
    Dib image(200, 40, kPaper), expected(200, 40, kPaper);
    RECT rc = {20, 0, 200, 40};
    EXPECT_EQ(20 + Width("left"), Layout(image, "left", rc, 0));
    DrawLines(expected, {{20, "left"}});
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(RunLayout, AnEntityWordWrapsByTheWidthOfItsCharacters)
{
    // "ab " and the euro sign, trade mark sign and one half as one word.
    const char run[] = "ab \x01\x07\x01\x19\x01\x08";
    for (BYTE charset : {BYTE(DEFAULT_CHARSET), BYTE(RUSSIAN_CHARSET), BYTE(GREEK_CHARSET)})
    {
        HFONT font = CreateDialogFont(FW_NORMAL, FALSE, charset);
        const int full = MeasureText(font, L"ab \u20AC\u2122\u00BD").cx;
        const int cy = MeasureText(font, L"Xg").cy;

        // Just room for the whole run.
        Dib one(full + 3, 60, kPaper), oneExpected(full + 3, 60, kPaper);
        RECT rc = {0, 0, full + 3, 60};
        m_label.SetLineTop(0);
        EXPECT_EQ(full, Layout(one, run, rc, 0, 0, font)) << int(charset);
        EXPECT_EQ(0, m_label.GetLineTop());
        DrawLinesW(oneExpected, font, {L"ab \u20AC\u2122\u00BD"});
        EXPECT_EQ(0, one.Differences(oneExpected)) << int(charset);

        // One pixel less: the entity word goes to the next line.
        Dib two(full + 2, 60, kPaper), twoExpected(full + 2, 60, kPaper);
        rc = {0, 0, full + 2, 60};
        EXPECT_EQ(MeasureText(font, L"\u20AC\u2122\u00BD").cx, Layout(two, run, rc, 0, 0, font))
            << int(charset);
        EXPECT_EQ(cy, m_label.GetLineTop());
        DrawLinesW(twoExpected, font, {L"ab ", L"\u20AC\u2122\u00BD"});
        EXPECT_EQ(0, two.Differences(twoExpected)) << int(charset);
        DeleteObject(font);
    }
}
