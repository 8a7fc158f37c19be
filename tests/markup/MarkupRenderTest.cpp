// What the label shows: its image compared pixel by pixel with plain GDI
// drawing of the expected text, fonts and colours.
#include "tests/markup/LabelHarness.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <string>
#include <wchar.h>

namespace
{
const COLORREF kFace = RGB(0xD4, 0xD0, 0xC8);
const COLORREF kInk = RGB(0, 0, 0);
const COLORREF kMarker = RGB(0xFF, 0x00, 0xFF);
const COLORREF kDarkRed = RGB(0x8B, 0x00, 0x00);
const COLORREF kBlue = RGB(0x00, 0x00, 0xFF);

const char kStatus[] =
    "<font color=\"DarkRed\">Dropped <b>12</b> jpg files, changed date for <b>9</b> files</font>"
    "  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View log</u>)</font></a>";

HFONT FontLike(HFONT base, LONG height, LONG weight = FW_NORMAL, BYTE underline = 0)
{
    LOGFONTA lf;
    GetObjectA(base, sizeof(lf), &lf);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfUnderline = underline;
    return CreateFontIndirectA(&lf);
}

LONG HeightOf(HFONT font)
{
    LOGFONTA lf;
    GetObjectA(font, sizeof(lf), &lf);
    return lf.lfHeight;
}

// The characters of entities above ASCII: some from 0x80-0x9F, where
// Windows-1252 differs from Latin-1, and some from 0xA0-0xFF.
struct EntitySample
{
    const char* markup;
    const wchar_t* text;
};
const EntitySample kEntitySamples[] = {
    {"&euro;", L"\u20AC"}, {"&bull;", L"\u2022"},   {"&trade;", L"\u2122"},  {"&copy;", L"\u00A9"},
    {"&deg;", L"\u00B0"},  {"&frac12;", L"\u00BD"}, {"&pound;", L"\u00A3"},  {"&times;", L"\u00D7"},
    {"&cent;", L"\u00A2"}, {"&sup2;", L"\u00B2"},   {"&iquest;", L"\u00BF"}, {"&para;", L"\u00B6"},
};

// The dialog's own font, and character sets in whose code pages GDI reads
// many of the Windows-1252 bytes as other characters.
const BYTE kCharsets[] = {DEFAULT_CHARSET, RUSSIAN_CHARSET, GREEK_CHARSET, EASTEUROPE_CHARSET};

void Configure(CMarkupStatic& label)
{
    label.SetBackgroundColor(kFace);
    label.SetForegroundColor(kInk);
    label.RedrawImmediately = 0;
}

int DrawW(Dib& image, HFONT font, int x, int y, const wchar_t* text, COLORREF ink = kInk,
          COLORREF back = kFace)
{
    HGDIOBJ old = SelectObject(image.GetDC(), font);
    SetTextColor(image.GetDC(), ink);
    SetBkColor(image.GetDC(), back);
    SetBkMode(image.GetDC(), OPAQUE);
    TextOutW(image.GetDC(), x, y, text, static_cast<int>(wcslen(text)));
    SIZE size = {0, 0};
    GetTextExtentPoint32W(image.GetDC(), text, static_cast<int>(wcslen(text)), &size);
    SelectObject(image.GetDC(), old);
    GdiFlush();
    return x + size.cx;
}

// Draws text the way a plain static line would, for comparison.
int Draw(Dib& image, HFONT font, int x, int y, const char* text, COLORREF ink = kInk, COLORREF back = kFace)
{
    HGDIOBJ old = SelectObject(image.GetDC(), font);
    SetTextColor(image.GetDC(), ink);
    SetBkColor(image.GetDC(), back);
    SetBkMode(image.GetDC(), OPAQUE);
    TextOutA(image.GetDC(), x, y, text, static_cast<int>(strlen(text)));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(image.GetDC(), text, static_cast<int>(strlen(text)), &size);
    SelectObject(image.GetDC(), old);
    GdiFlush();
    return x + size.cx;
}

class MarkupRender : public ::testing::Test
{
protected:
    static constexpr int kWidth = 340;
    static constexpr int kHeight = 60;

    MarkupRender()
        : m_host(kWidth, kHeight), m_bold(FontLike(m_host.Font(), HeightOf(m_host.Font()), FW_BOLD))
    {
        Label().SetBackgroundColor(kFace);
        Label().SetForegroundColor(kInk);
        Label().RedrawImmediately = 0;
    }
    ~MarkupRender() override { DeleteObject(m_bold); }

    TestableLabel& Label() { return m_host.Label(); }
    HFONT Font() { return m_host.Font(); }
    int LineHeight() { return MeasureText(Font(), "Xg").cy; }

    // Sets the markup and returns a fresh image of the label.
    void Show(const char* markup, Dib& image)
    {
        Label().SetMarkupText(markup);
        m_host.Render(image);
    }

    // The label shows exactly what plain TextOut of `text` shows.
    void ExpectPlain(const char* markup, const char* text)
    {
        Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
        Show(markup, image);
        Draw(expected, Font(), 0, 0, text);
        EXPECT_EQ(0, image.Differences(expected)) << "markup: " << markup;
    }

    LabelHost m_host;
    HFONT m_bold;
};
} // namespace

TEST_F(MarkupRender, PlainTextLooksLikeTextOut)
{
    ExpectPlain("Hello, world", "Hello, world");
}

TEST_F(MarkupRender, BoldTagsInEitherCaseCount)
{
    Dib expected(kWidth, kHeight, kFace);
    int x = Draw(expected, m_bold, 0, 0, "Bold");
    Draw(expected, Font(), x, 0, " text");
    for (const char* markup : {"<b>Bold</b> text", "<B>Bold</B> text", "<b>Bold</B></b></b> text"})
    {
        Dib image(kWidth, kHeight, kMarker);
        Show(markup, image);
        EXPECT_EQ(0, image.Differences(expected)) << markup;
    }
}

TEST_F(MarkupRender, BoldOpenedTwiceNeedsTwoClosingTags)
{
    Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
    Show("<b><b>one</b>two</b>three", image);
    int x = Draw(expected, m_bold, 0, 0, "one");
    x = Draw(expected, m_bold, x, 0, "two");
    Draw(expected, Font(), x, 0, "three");
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(MarkupRender, UnclosedTagsDoNotLeakIntoTheNextText)
{
    Dib first(kWidth, kHeight, kMarker);
    Show("<b><u><i>all", first);
    ExpectPlain("plain", "plain");
}

TEST_F(MarkupRender, StatusLineShowsDarkRedTextAndABlueLink)
{
    Dib image(kWidth, kHeight, kMarker);
    Show(kStatus, image);
    ASSERT_EQ(3, Label().GetLinkCount());
    RECT link = Label().GetLinkRect(0);
    link.right = Label().GetLinkRect(2).right;
    RECT before = {0, 0, link.left, kHeight};
    EXPECT_GT(image.Count(kDarkRed, before), 20);
    EXPECT_EQ(0, image.Count(kBlue, before));
    EXPECT_GT(image.Count(kBlue, link), 20);
    EXPECT_EQ(0, image.Count(kDarkRed, link));
    EXPECT_EQ(0, image.Count(kInk));
    EXPECT_EQ(0, image.Count(kMarker));
}

TEST_F(MarkupRender, EveryRunOfALinkGetsItsRectangle)
{
    Dib image(kWidth, kHeight, kMarker);
    Show(kStatus, image);
    ASSERT_EQ(3, Label().GetLinkCount());
    HFONT underlined = FontLike(Font(), HeightOf(Font()), FW_NORMAL, 1);
    const int widths[3] = {MeasureText(Font(), " (").cx, MeasureText(underlined, "View log").cx,
                           MeasureText(Font(), ")").cx};
    DeleteObject(underlined);
    for (int i = 0; i < 3; ++i)
    {
        RECT rc = Label().GetLinkRect(i);
        EXPECT_STREQ("app:WM_APP_COMMAND_SHOW_LOG", Label().GetLinkTarget(i));
        EXPECT_EQ(widths[i], rc.right - rc.left) << i;
        EXPECT_EQ(0, rc.top);
        EXPECT_EQ(LineHeight(), rc.bottom - rc.top);
        if (i > 0)
        {
            EXPECT_EQ(Label().GetLinkRect(i - 1).right, rc.left);
        }
    }
    // The link ends where the text ends.
    EXPECT_EQ(image.InkBounds(kFace).right, Label().GetLinkRect(2).right);
}

TEST_F(MarkupRender, NestedFontTagsRestoreTheBaseAtTheFirstClose)
{
    Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
    Show("<font color=\"Red\"><font color=\"Blue\">in</font>out</font>", image);
    int x = Draw(expected, Font(), 0, 0, "in", kBlue);
    Draw(expected, Font(), x, 0, "out");
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(MarkupRender, FontAttributesChangeColourBackgroundFaceAndSize)
{
    Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
    Show("<font bgcolor=\"Yellow\" color=\"#008000\">hi</font> <font size=\"4\">Big</font>", image);
    int x = Draw(expected, Font(), 0, 0, "hi", RGB(0, 0x80, 0), RGB(0xFF, 0xFF, 0));
    x = Draw(expected, Font(), x, 0, " ");
    HFONT big = FontLike(Font(), HeightOf(Font()) - 4);
    Draw(expected, big, x, 0, "Big");
    DeleteObject(big);
    EXPECT_EQ(0, image.Differences(expected));

    Dib code(kWidth, kHeight, kMarker), codeExpected(kWidth, kHeight, kFace);
    Show("<code>x=1</code>;<font face=\"Courier New\">y</font>", code);
    LOGFONTA lf;
    GetObjectA(Font(), sizeof(lf), &lf);
    strcpy(lf.lfFaceName, "Courier New");
    HFONT courier = CreateFontIndirectA(&lf);
    x = Draw(codeExpected, courier, 0, 0, "x=1");
    x = Draw(codeExpected, Font(), x, 0, ";");
    Draw(codeExpected, courier, x, 0, "y");
    DeleteObject(courier);
    EXPECT_EQ(0, code.Differences(codeExpected));
}

TEST_F(MarkupRender, ClosingASizedFontMovesTheLineDownByItsDescent)
{
    HFONT big = FontLike(Font(), HeightOf(Font()) - 4);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, big);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);

    Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
    Show("<font size=\"4\">X</font><br>Y", image);
    Draw(expected, big, 0, 0, "X");
    Draw(expected, Font(), 0, tm.tmDescent + LineHeight(), "Y");
    DeleteObject(big);
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(MarkupRender, EntitiesAreDrawnAsTheirCharacters)
{
    ExpectPlain("&lt;b&gt;x", "<b>x");
    ExpectPlain("&AMP; &Lt;", "&AMP; &Lt;");
    ExpectPlain("&amp;lt;", "&lt;");
    ExpectPlain("a & b &", "a & b &");
    ExpectPlain("&quot;q&quot;&nbsp;&gt;", "\"q\" >");
}

TEST_F(MarkupRender, EntitiesAboveAsciiAreTheCharactersTheyNameInAnyCharacterSet)
{
    for (BYTE charset : kCharsets)
    {
        HFONT font = CreateDialogFont(FW_NORMAL, FALSE, charset);
        LabelHost host(kWidth, kHeight, SS_LEFT, 0, font);
        Configure(host.Label());
        std::string all;
        std::wstring allText;
        for (const EntitySample& sample : kEntitySamples)
        {
            std::string markup = std::string("5") + sample.markup + "x";
            std::wstring text = std::wstring(L"5") + sample.text + L"x";
            Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
            host.Label().SetMarkupText(markup.c_str());
            host.Render(image);
            DrawW(expected, font, 0, 0, text.c_str());
            EXPECT_EQ(0, image.Differences(expected))
                << sample.markup << " in character set " << int(charset);
            all += sample.markup;
            all += ' ';
            allText += sample.text;
            allText += L' ';
        }
        // All of them on one line, drawn by one call.
        Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
        host.Label().SetMarkupText(all.c_str());
        host.Render(image);
        DrawW(expected, font, 0, 0, allText.c_str());
        EXPECT_EQ(0, image.Differences(expected)) << all << " in character set " << int(charset);
        DeleteObject(font);
    }
}

TEST_F(MarkupRender, LinksAndCentringMeasureEntitiesAsTheirCharacters)
{
    Dib image(kWidth, kHeight, kMarker);
    Show("x <a href=\"t\">&euro;&trade;</a><a href=\"u\">5&deg;</a><a href=\"v\">&lt;b&gt;</a>", image);
    ASSERT_EQ(3, Label().GetLinkCount());
    const int left = MeasureText(Font(), "x ").cx;
    const int widths[3] = {MeasureText(Font(), L"\u20AC\u2122").cx, MeasureText(Font(), L"5\u00B0").cx,
                           MeasureText(Font(), "<b>").cx};
    int x = left;
    for (int i = 0; i < 3; ++i)
    {
        RECT rc = Label().GetLinkRect(i);
        EXPECT_EQ(x, rc.left) << i;
        EXPECT_EQ(x + widths[i], rc.right) << i;
        x = rc.right;
    }
    // No ink beyond the last rectangle.
    EXPECT_LE(image.InkBounds(kFace).right, Label().GetLinkRect(2).right);

    Dib centred(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
    Show("<center>&copy;&euro;</center>", centred);
    DrawW(expected, Font(), (kWidth - MeasureText(Font(), L"\u00A9\u20AC").cx) / 2, 0, L"\u00A9\u20AC");
    EXPECT_EQ(0, centred.Differences(expected));
}

TEST_F(MarkupRender, PlainUtf8TextDrawsAsBeforeAlsoBesideAnEntity)
{
    // "Привет, мир" in UTF-8.
    const char kCyrillic[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80";
    for (BYTE charset : kCharsets)
    {
        HFONT font = CreateDialogFont(FW_NORMAL, FALSE, charset);
        LabelHost host(kWidth, kHeight, SS_LEFT, 0, font);
        Configure(host.Label());

        Dib plain(kWidth, kHeight, kMarker), plainExpected(kWidth, kHeight, kFace);
        host.Label().SetMarkupText(kCyrillic);
        host.Render(plain);
        Draw(plainExpected, font, 0, 0, kCyrillic);
        EXPECT_EQ(0, plain.Differences(plainExpected)) << "character set " << int(charset);
        EXPECT_GT(plain.Count(kInk), 20);

        // The text around an entity on the same line keeps its pixels.
        Dib mixed(kWidth, kHeight, kMarker), mixedExpected(kWidth, kHeight, kFace);
        std::string markup = std::string(kCyrillic) + " &euro;5 " + kCyrillic;
        host.Label().SetMarkupText(markup.c_str());
        host.Render(mixed);
        int x = Draw(mixedExpected, font, 0, 0, (std::string(kCyrillic) + " ").c_str());
        x = DrawW(mixedExpected, font, x, 0, L"\u20AC");
        Draw(mixedExpected, font, x, 0, (std::string("5 ") + kCyrillic).c_str());
        EXPECT_EQ(0, mixed.Differences(mixedExpected)) << "character set " << int(charset);
        DeleteObject(font);
    }
}

TEST_F(MarkupRender, UnknownAndUnfinishedTagsAreText)
{
    ExpectPlain("<blink>x</blink>", "<blink>x</blink>");
    ExpectPlain("ab<FONT color=\"Red\"", "ab<FONT color=\"Red\"");
    ExpectPlain("<A HREF=\"app:x\" no end", "<A HREF=\"app:x\" no end");
    EXPECT_EQ(0, Label().GetLinkCount());
    ExpectPlain("<HR size=3", "<HR size=3");
    ExpectPlain("<", "<");
    ExpectPlain("a<<b>", "a<");
}

TEST_F(MarkupRender, AnEarlyClosingBracketGivesAnEmptyTarget)
{
    const char* markups[] = {"<a href=x>go</a>", "<a href=>go</a>", "<a href=\"\">go</a>",
                             "<A HREF=\"y>go</A>"};
    for (const char* markup : markups)
    {
        Dib image(kWidth, kHeight, kMarker);
        Show(markup, image);
        ASSERT_EQ(1, Label().GetLinkCount()) << markup;
        EXPECT_STREQ("", Label().GetLinkTarget(0)) << markup;
    }
    Dib image(kWidth, kHeight, kMarker);
    Show("<a href=\"ab\">go</a>", image);
    ASSERT_EQ(1, Label().GetLinkCount());
    EXPECT_STREQ("ab", Label().GetLinkTarget(0));
}

TEST_F(MarkupRender, NonBreakingSpaceNeverBreaksTheLine)
{
    const int width = MeasureText(Font(), "aaaa bbbb ").cx + 3;
    LabelHost narrow(width, kHeight);
    narrow.Label().SetBackgroundColor(kFace);
    narrow.Label().SetForegroundColor(kInk);
    narrow.Label().RedrawImmediately = 0;
    Dib image(width, kHeight, kMarker), expected(width, kHeight, kFace);
    narrow.Label().SetMarkupText("aaaa bbbb&nbsp;cccc");
    narrow.Render(image);
    Draw(expected, narrow.Font(), 0, 0, "aaaa ");
    Draw(expected, narrow.Font(), 0, LineHeight(), "bbbb cccc");
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(MarkupRender, CentredRunStandsInTheMiddle)
{
    Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
    Show("<center>Middle</center>", image);
    Draw(expected, Font(), (kWidth - MeasureText(Font(), "Middle").cx) / 2, 0, "Middle");
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(MarkupRender, SubscriptAndSuperscriptShiftByHalfTheAscent)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font());
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);

    Dib image(kWidth, kHeight, kMarker), expected(kWidth, kHeight, kFace);
    Show("H<sub>2</sub>O x<sup>3</sup>", image);
    int x = Draw(expected, Font(), 0, 0, "H");
    x = Draw(expected, Font(), x, tm.tmAscent / 2, "2");
    x = Draw(expected, Font(), x, 0, "O x");
    Draw(expected, Font(), x, -(tm.tmAscent / 2), "3");
    EXPECT_EQ(0, image.Differences(expected));
}

TEST_F(MarkupRender, BigAndSmallStepAwayFromAndTowardZero)
{
    // A font of height 0: <BIG> goes to -1, -2, ...; <SMALL> to +1, +2, ...
    LOGFONTA lf;
    memset(&lf, 0, sizeof(lf));
    lf.lfWeight = FW_NORMAL;
    strcpy(lf.lfFaceName, "Tahoma");
    HFONT zero = CreateFontIndirectA(&lf);
    LabelHost host(kWidth, kHeight, SS_LEFT, 0, zero);
    host.Label().SetBackgroundColor(kFace);
    host.Label().SetForegroundColor(kInk);
    host.Label().RedrawImmediately = 0;

    auto render = [&](const std::string& markup, Dib& image)
    {
        host.Label().SetMarkupText(markup.c_str());
        host.Render(image);
    };
    std::string big, bigBack;
    for (int i = 0; i < 20; ++i)
    {
        big += "<BIG>";
        bigBack += "</BIG>";
    }

    Dib bigImage(kWidth, kHeight, kMarker), bigExpected(kWidth, kHeight, kFace);
    render(big + "Wg", bigImage);
    HFONT minus20 = FontLike(zero, -20);
    Draw(bigExpected, minus20, 0, 0, "Wg");
    EXPECT_EQ(0, bigImage.Differences(bigExpected));

    // From zero <SMALL> goes to +1, and a second one back toward zero.
    Dib smallImage(kWidth, kHeight, kMarker), zeroExpected(kWidth, kHeight, kFace);
    render("<SMALL><SMALL>Wg", smallImage);
    Draw(zeroExpected, zero, 0, 0, "Wg");
    EXPECT_EQ(0, smallImage.Differences(zeroExpected));
    EXPECT_NE(0, bigImage.Differences(smallImage));

    // </BIG> and </SMALL> step back; one step from zero is -1 and +1.
    Dib back(kWidth, kHeight, kMarker), plain(kWidth, kHeight, kFace);
    render(big + bigBack + "Wg", back);
    Draw(plain, zero, 0, 0, "Wg");
    EXPECT_EQ(0, back.Differences(plain));

    HFONT minus1 = FontLike(zero, -1), plus1 = FontLike(zero, 1);
    Dib one(kWidth, kHeight, kMarker);
    render("<a href=\"t\"><BIG>Wg</a><a href=\"t\"></SMALL>Wg</a><a href=\"t\"><SMALL>Wg</a>", one);
    ASSERT_EQ(3, host.Label().GetLinkCount());
    RECT rc = host.Label().GetLinkRect(0);
    EXPECT_EQ(MeasureText(minus1, "Wg").cy, rc.bottom - rc.top);
    rc = host.Label().GetLinkRect(1);
    HFONT minus2 = FontLike(zero, -2);
    EXPECT_EQ(MeasureText(minus2, "Wg").cy, rc.bottom - rc.top);
    DeleteObject(minus2);
    rc = host.Label().GetLinkRect(2);
    EXPECT_EQ(MeasureText(minus1, "Wg").cy, rc.bottom - rc.top);

    render("<a href=\"t\"><SMALL>Wg</a>", one);
    ASSERT_EQ(1, host.Label().GetLinkCount());
    rc = host.Label().GetLinkRect(0);
    EXPECT_EQ(MeasureText(plus1, "Wg").cy, rc.bottom - rc.top);

    for (HFONT f : {zero, minus20, minus1, plus1})
        DeleteObject(f);
}

TEST_F(MarkupRender, BigAndSmallOnAPositiveHeight)
{
    // A positive height is the cell height: <SMALL> takes from it, <BIG> adds.
    LOGFONTA lf;
    memset(&lf, 0, sizeof(lf));
    lf.lfHeight = 20;
    lf.lfWeight = FW_NORMAL;
    strcpy(lf.lfFaceName, "Tahoma");
    HFONT plus20 = CreateFontIndirectA(&lf);
    LabelHost host(kWidth, kHeight, SS_LEFT, 0, plus20);
    host.Label().SetBackgroundColor(kFace);
    host.Label().SetForegroundColor(kInk);
    host.Label().RedrawImmediately = 0;
    HFONT plus15 = FontLike(plus20, 15), plus25 = FontLike(plus20, 25);

    Dib smaller(kWidth, kHeight, kMarker), smallerExpected(kWidth, kHeight, kFace);
    host.Label().SetMarkupText("<small><small><small><small><small>Wg");
    host.Render(smaller);
    Draw(smallerExpected, plus15, 0, 0, "Wg");
    EXPECT_EQ(0, smaller.Differences(smallerExpected));

    Dib bigger(kWidth, kHeight, kMarker), biggerExpected(kWidth, kHeight, kFace);
    host.Label().SetMarkupText("<big><big></small><big><big>Wg");
    host.Render(bigger);
    Draw(biggerExpected, plus25, 0, 0, "Wg");
    EXPECT_EQ(0, bigger.Differences(biggerExpected));
    EXPECT_NE(0, bigger.Differences(smaller));

    for (HFONT f : {plus20, plus15, plus25})
        DeleteObject(f);
}

TEST_F(MarkupRender, RuleIsAFullWidthLineInTheTextColour)
{
    Label().SetForegroundColor(kBlue);
    Dib image(kWidth, kHeight, kMarker);
    Show("above<hr>below", image);
    int first = 0;
    EXPECT_EQ(2, image.FullRows(kBlue, first));
    EXPECT_GE(first, LineHeight() - 2);
    EXPECT_LE(first, LineHeight());

    Dib thick(kWidth, kHeight, kMarker);
    Show("above<HR SIZE=5>below", thick);
    EXPECT_EQ(5, thick.FullRows(kBlue, first));

    // Other words of the tag are passed over on the way to SIZE.
    Show("<hr noshade size=4>x", image);
    RECT ink = image.InkBounds(kFace);
    EXPECT_EQ(0, ink.left);
    EXPECT_EQ(kWidth, ink.right);
}

TEST_F(MarkupRender, SecondPaintCopiesTheCachedImage)
{
    Dib first(kWidth, kHeight, kMarker);
    Show("first text", first);

    // Behind the control's back: neither text nor colour reaches the image.
    ::SetWindowTextA(m_host.LabelWnd(), "second text");
    Label().SetBackgroundColor(RGB(255, 0, 0));
    Dib again(kWidth, kHeight, kMarker);
    m_host.Render(again);
    EXPECT_EQ(0, again.Differences(first));

    // SetMarkupText rebuilds, with the new colour.
    Dib rebuilt(kWidth, kHeight, kMarker), expected(kWidth, kHeight, RGB(255, 0, 0));
    Show("second text", rebuilt);
    Draw(expected, Font(), 0, 0, "second text", kInk, RGB(255, 0, 0));
    EXPECT_EQ(0, rebuilt.Differences(expected));
}

TEST_F(MarkupRender, EmptyOrHiddenLabelShowsOnlyItsBackgroundFromTheSecondPaint)
{
    Dib first(kWidth, kHeight, kMarker), second(kWidth, kHeight, kMarker);
    Show("", first);
    EXPECT_EQ(kWidth * kHeight, first.Count(kMarker));
    m_host.Render(second);
    EXPECT_EQ(kWidth * kHeight, second.Count(kFace));

    ::ShowWindow(m_host.LabelWnd(), SW_HIDE);
    Dib hidden(kWidth, kHeight, kMarker), hiddenAgain(kWidth, kHeight, kMarker);
    Show("text", hidden);
    EXPECT_EQ(kWidth * kHeight, hidden.Count(kMarker));
    m_host.Render(hiddenAgain);
    EXPECT_EQ(kWidth * kHeight, hiddenAgain.Count(kFace));
}

TEST_F(MarkupRender, TransparentLabelShowsWhatLiesBeneath)
{
    LabelHost host(kWidth, kHeight, SS_LEFT, WS_EX_TRANSPARENT);
    host.Label().SetBackgroundColor(kFace);
    host.Label().SetForegroundColor(kInk);
    host.Label().RedrawImmediately = 0;
    const COLORREF beneath = RGB(0, 0x80, 0x80);
    Dib image(kWidth, kHeight, beneath), expected(kWidth, kHeight, beneath);
    host.Label().SetMarkupText("see through");
    host.Render(image);
    HGDIOBJ old = SelectObject(expected.GetDC(), host.Font());
    SetBkMode(expected.GetDC(), TRANSPARENT);
    SetTextColor(expected.GetDC(), kInk);
    TextOutA(expected.GetDC(), 0, 0, "see through", 11);
    SelectObject(expected.GetDC(), old);
    GdiFlush();
    EXPECT_EQ(0, image.Differences(expected));
    EXPECT_EQ(0, image.Count(kFace));
}

TEST_F(MarkupRender, TextBelowTheLastLineIsNotDrawnButLinksAreKept)
{
    const int height = LineHeight() + 2;
    LabelHost host(kWidth, height);
    host.Label().SetBackgroundColor(kFace);
    host.Label().SetForegroundColor(kInk);
    host.Label().RedrawImmediately = 0;
    Dib image(kWidth, height, kMarker), expected(kWidth, height, kFace);
    host.Label().SetMarkupText("line one<br>line two <a href=\"app:x\">link</a>");
    host.Render(image);
    Draw(expected, host.Font(), 0, 0, "line one ");
    EXPECT_EQ(0, image.Differences(expected));
    ASSERT_EQ(1, host.Label().GetLinkCount());
    EXPECT_GE(host.Label().GetLinkRect(0).top, height);
}

TEST_F(MarkupRender, AnyMarkupEndsWithParallelLinkLists)
{
    const char* pieces[] = {"<b>",     "</b>",    "<i>",    "</u>",    "<center>", "</STRIKE>", "<BIG>",
                            "<SMALL>", "<sub>",   "</sup>", "<font",   " color=",  "\"Red\"",   " size=\"3\"",
                            ">",       "</font>", "<code>", "</CODE>", "<a href=", "\"app:x\"", "</a>",
                            "<hr",     " size=2", "<br>",   "&",       "&amp;",    "&nbsp;",    "\r\n",
                            "word ",   "  ",      "<",      "\"",      "#",        "x",         "\x01"};
    const int count = sizeof(pieces) / sizeof(pieces[0]);
    srand(4711);
    for (int round = 0; round < 300; ++round)
    {
        std::string markup;
        int length = rand() % 24;
        for (int i = 0; i < length; ++i)
            markup += pieces[rand() % count];
        Dib image(kWidth, kHeight, kMarker);
        Show(markup.c_str(), image);
        int links = Label().GetLinkCount();
        for (int i = 0; i < links; ++i)
        {
            RECT rc = Label().GetLinkRect(i);
            EXPECT_LE(rc.left, rc.right) << markup;
        }
        EXPECT_TRUE(Label().GetLinkTarget(links).IsEmpty()) << markup;
        // Every paint after a non-empty text covers the whole label.
        if (!markup.empty())
        {
            EXPECT_EQ(0, image.Count(kMarker)) << markup;
        }
    }
}

TEST_F(MarkupRender, WindowTextSetByOthersDoesNotReachTheScreen)
{
    Label().RedrawImmediately = 1;
    Label().SetMarkupText("<b>shown</b>");
    auto capture = [&](Dib& image)
    {
        HDC dc = ::GetDC(m_host.LabelWnd());
        BitBlt(image.GetDC(), 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
        ::ReleaseDC(m_host.LabelWnd(), dc);
        GdiFlush();
    };
    Dib before(kWidth, kHeight, kMarker), after(kWidth, kHeight, kMarker);
    capture(before);
    ASSERT_GT(before.Count(kInk), 10);
    ::SetWindowTextA(m_host.LabelWnd(), "<i>raw markup text</i>");
    capture(after);
    EXPECT_EQ(0, after.Differences(before));
    char text[64] = {0};
    ::GetWindowTextA(m_host.LabelWnd(), text, sizeof(text));
    EXPECT_STREQ("<i>raw markup text</i>", text);
}
