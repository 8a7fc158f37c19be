// The label at the display scale of the screen: sizes that markup gives in
// pixels of a 96-DPI screen grow with the DPI, and the hand cursor has the
// system's cursor size. Runs at 96 DPI with the other tests and on its own in
// a Wine prefix at 144 DPI (CHRONOSHIFT_WINE_DPI names the DPI there).
#include "tests/markup/LabelHarness.h"

#include "framework/Dpi.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

namespace
{
const COLORREF kFace = RGB(0xD4, 0xD0, 0xC8);
const COLORREF kInk = RGB(0x00, 0x00, 0xFF);
const COLORREF kMarker = RGB(0xFF, 0x00, 0xFF);

HFONT FontOfHeight(HFONT base, LONG height)
{
    LOGFONTA lf;
    GetObjectA(base, sizeof(lf), &lf);
    lf.lfHeight = height;
    return CreateFontIndirectA(&lf);
}

LONG HeightOf(HFONT font)
{
    LOGFONTA lf;
    GetObjectA(font, sizeof(lf), &lf);
    return lf.lfHeight;
}

class MarkupDpi : public ::testing::Test
{
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 120;

    MarkupDpi() : m_host(kWidth, kHeight)
    {
        Label().SetBackgroundColor(kFace);
        Label().SetForegroundColor(kInk);
        Label().RedrawImmediately = 0;
    }

    TestableLabel& Label() { return m_host.Label(); }

    // The scales a label meets: the screen's, and those its owner gives it
    // when the window moves to a monitor of another scale.
    static std::vector<int> Dpis() { return {ScreenDpi(), 144, 192, 96}; }
    void UseDpi(int dpi)
    {
        m_dpi = dpi;
        Label().SetDpi(dpi);
    }
    // Pixels given for a 96-DPI screen, at the label's scale.
    int Scaled(int pixels) const { return MulDiv(pixels, m_dpi, 96); }

    void Show(const char* markup, Dib& image)
    {
        Label().SetMarkupText(markup);
        m_host.Render(image);
    }

    // Height of the link rectangle of the markup's only link: the height of
    // the font the link was drawn in.
    void ExpectRulesAtThisDpi();
    void ExpectStepsAtThisDpi();
    void ExpectHandCursorAtThisDpi();

    int LinkHeight(const char* markup)
    {
        Dib image(kWidth, kHeight, kMarker);
        Show(markup, image);
        EXPECT_EQ(1, Label().GetLinkCount()) << markup;
        RECT rc = Label().GetLinkRect(0);
        return rc.bottom - rc.top;
    }

    LabelHost m_host;
    int m_dpi = ScreenDpi();
};
} // namespace

TEST(MarkupDpiScreen, HasTheDpiOfItsWinePrefix)
{
    // The 144-DPI run would prove nothing on a 96-DPI screen.
    EXPECT_EQ(WinePrefixDpi(), ScreenDpi());
}

TEST_F(MarkupDpi, RuleThicknessGrowsWithTheDpi)
{
    for (int dpi : Dpis())
    {
        SCOPED_TRACE(dpi);
        UseDpi(dpi);
        ExpectRulesAtThisDpi();
    }
}

void MarkupDpi::ExpectRulesAtThisDpi()
{
    Dib image(kWidth, kHeight, kMarker);
    Show("above<hr>below", image);
    int first = 0;
    EXPECT_EQ(Scaled(2), image.FullRows(kInk, first)) << "the default rule";

    // The line below starts under the rule: lower than after a plain break
    // by the rule's thickness.
    Dib withRule(kWidth, kHeight, kMarker), withBreak(kWidth, kHeight, kMarker);
    Show("<hr>below", withRule);
    Show("<br>below", withBreak);
    EXPECT_EQ(withBreak.InkBounds(kFace).bottom + Scaled(2), withRule.InkBounds(kFace).bottom);

    Dib thick(kWidth, kHeight, kMarker);
    Show("above<HR SIZE=4>below", thick);
    EXPECT_EQ(Scaled(4), thick.FullRows(kInk, first)) << "a rule of SIZE=4";
}

TEST_F(MarkupDpi, BigSmallAndSizeStepsGrowWithTheDpi)
{
    for (int dpi : Dpis())
    {
        SCOPED_TRACE(dpi);
        UseDpi(dpi);
        ExpectStepsAtThisDpi();
    }
}

void MarkupDpi::ExpectStepsAtThisDpi()
{
    HFONT base = m_host.Font();
    LONG height = HeightOf(base);
    ASSERT_LT(height, 0) << "the dialog font gives its character height";

    struct Case
    {
        const char* markup;
        LONG expectedHeight;
    };
    const Case cases[] = {
        {"<a href=\"t\"><big>Wg</big></a>", height - Scaled(1)},
        {"<a href=\"t\"><big><big>Wg</big></big></a>", height - 2 * Scaled(1)},
        {"<a href=\"t\"><small>Wg</small></a>", height + Scaled(1)},
        {"<a href=\"t\"><font size=\"2\">Wg</font></a>", height - Scaled(2)},
        {"<a href=\"t\"><font size=\"-2\">Wg</font></a>", height + Scaled(2)},
    };
    for (const Case& c : cases)
    {
        HFONT expected = FontOfHeight(base, c.expectedHeight);
        EXPECT_EQ(MeasureText(expected, "Wg").cy, LinkHeight(c.markup))
            << c.markup << " should be drawn at lfHeight " << c.expectedHeight;
        DeleteObject(expected);
    }
}

TEST_F(MarkupDpi, HandCursorHasTheSystemCursorSizeOfTheLabelsDpi)
{
    for (int dpi : Dpis())
    {
        SCOPED_TRACE(dpi);
        UseDpi(dpi);
        ExpectHandCursorAtThisDpi();
    }
}

void MarkupDpi::ExpectHandCursorAtThisDpi()
{
    Dib image(kWidth, kHeight, kMarker);
    Show("Go <a href=\"app:nothing\">there</a> now", image);
    ASSERT_EQ(1, Label().GetLinkCount());
    RECT rc = Label().GetLinkRect(0);
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(m_host.LabelWnd(), &pt);
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    ::SetCursorPos(pt.x, pt.y);
    ::SendMessageA(m_host.LabelWnd(), WM_MOUSEMOVE, 0,
                   MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));

    HCURSOR hand = ::GetCursor();
    ASSERT_NE(arrow, hand);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(hand, &info));
    BITMAP bm;
    memset(&bm, 0, sizeof(bm));
    GetObjectA(info.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(AfxGetSystemMetricsForDpi(SM_CXCURSOR, m_dpi), bm.bmWidth);
    EXPECT_EQ(2 * AfxGetSystemMetricsForDpi(SM_CYCURSOR, m_dpi), bm.bmHeight)
        << "monochrome: AND and XOR masks stacked";
    EXPECT_EQ(nullptr, info.hbmColor);
    // The finger tip, five pixels in on a cursor of 32.
    EXPECT_EQ(static_cast<DWORD>(5 * bm.bmWidth / 32), info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}
