// Links: the hand cursor over them, clicks, application commands and the
// pieces of the shell fallback.
#include "tests/markup/LabelHarness.h"

#include <gtest/gtest.h>

#include <string.h>

namespace
{
const char kStatus[] =
    "<font color=\"DarkRed\">Dropped <b>12</b> jpg files, changed date for <b>9</b> files</font>"
    "  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View log</u>)</font></a>";

POINT ScreenPointOf(HWND hWnd, int x, int y)
{
    POINT pt = {x, y};
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

class MarkupLinks : public ::testing::Test
{
protected:
    MarkupLinks() : m_host(340, 40)
    {
        // Set up as the main dialog sets up its status label.
        Label().SetBackgroundColor("BtnFace");
        Label().SetMarkupText("");
        Label().KeepTextInternally = 1;
        Label().RedrawImmediately = 0;
        AppCommand command = {m_host.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 0, "WM_APP_COMMAND_SHOW_LOG"};
        Label().SetAppCommands(&command, 1);
        Label().SetMarkupText(kStatus);
        Dib image(340, 40, 0);
        m_host.Render(image);
    }

    TestableLabel& Label() { return m_host.Label(); }
    HWND LabelWnd() { return m_host.LabelWnd(); }

    // Puts the pointer on a client point of the label and lets it see the move.
    void PointAt(int x, int y)
    {
        POINT pt = ScreenPointOf(LabelWnd(), x, y);
        ::SetCursorPos(pt.x, pt.y);
        ::SendMessageA(LabelWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }

    void Click(int x, int y)
    {
        POINT pt = ScreenPointOf(LabelWnd(), x, y);
        ::SetCursorPos(pt.x, pt.y);
        ::SendMessageA(LabelWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageA(LabelWnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    POINT CentreOfLink(int index)
    {
        RECT rc = Label().GetLinkRect(index);
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }

    LabelHost m_host;
};
} // namespace

TEST_F(MarkupLinks, ClickOnViewLogSendsTheShowLogMessage)
{
    ASSERT_EQ(3, Label().GetLinkCount());
    POINT pt = CentreOfLink(1);
    Click(pt.x, pt.y);
    ASSERT_EQ(1u, m_host.m_showLog.size());
    EXPECT_EQ(0u, m_host.m_showLog[0].wParam);
    EXPECT_EQ(0, m_host.m_showLog[0].lParam);

    // The brackets belong to the link as well.
    pt = CentreOfLink(2);
    Click(pt.x, pt.y);
    EXPECT_EQ(2u, m_host.m_showLog.size());
}

TEST_F(MarkupLinks, ClickBesideTheLinkDoesNothing)
{
    Click(5, 5);
    RECT last = Label().GetLinkRect(2);
    Click(last.right + 3, (last.top + last.bottom) / 2);
    EXPECT_TRUE(m_host.m_showLog.empty());
}

TEST_F(MarkupLinks, AttachingTurnsOnClickNotification)
{
    EXPECT_NE(0, ::GetWindowLongA(LabelWnd(), GWL_STYLE) & SS_NOTIFY);
}

TEST_F(MarkupLinks, PointerOverALinkShowsTheHandAndGetsItsCursorBack)
{
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    POINT pt = CentreOfLink(1);
    PointAt(pt.x, pt.y);

    HCURSOR hand = ::GetCursor();
    ASSERT_NE(arrow, hand);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(5u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);

    // While hovering, cursor requests are answered without the class cursor.
    LRESULT answer = ::SendMessageA(LabelWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(LabelWnd()),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(FALSE, answer);
    EXPECT_EQ(hand, ::GetCursor());

    // Along the link the hand stays; off it the saved cursor comes back.
    pt = CentreOfLink(0);
    PointAt(pt.x, pt.y);
    EXPECT_EQ(hand, ::GetCursor());
    PointAt(3, pt.y);
    EXPECT_EQ(arrow, ::GetCursor());
}

TEST_F(MarkupLinks, ApplicationCommandsMatchWhateverTheirCase)
{
    EXPECT_EQ(1, Label().ActivateLink("app:WM_APP_COMMAND_SHOW_LOG", SW_SHOW));
    EXPECT_EQ(1, Label().ActivateLink("APP:wm_app_command_show_log", SW_SHOW));
    EXPECT_EQ(1, Label().ActivateLink("\"App:WM_APP_COMMAND_SHOW_LOG\"", SW_SHOW));
    EXPECT_EQ(1, Label().DispatchAppCommand("\"Wm_App_Command_Show_Log\""));
    EXPECT_EQ(4u, m_host.m_showLog.size());

    EXPECT_EQ(0, Label().ActivateLink("app:WM_APP_COMMAND_SHOW_LO", SW_SHOW));
    EXPECT_EQ(0, Label().ActivateLink("app:", SW_SHOW));
    EXPECT_EQ(0, Label().ActivateLink("", SW_SHOW));
    EXPECT_EQ(0, Label().ActivateLink(nullptr, SW_SHOW));
    EXPECT_EQ(0, Label().DispatchAppCommand("\""));
    EXPECT_EQ(0, Label().DispatchAppCommand(nullptr));
    EXPECT_EQ(4u, m_host.m_showLog.size());
}

TEST_F(MarkupLinks, CommandsOfVanishedWindowsArePassedOver)
{
    HWND gone = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    const AppCommand table[] = {
        {gone, WM_APP_COMMAND_SHOW_LOG, 1, "Show"},
        {nullptr, WM_APP_COMMAND_SHOW_LOG, 2, "Show"},
        {m_host.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 3, "Show"},
        {m_host.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 4, "Show"},
    };
    Label().SetAppCommands(table, 4);
    EXPECT_EQ(1, Label().DispatchAppCommand("show"));
    ASSERT_EQ(1u, m_host.m_showLog.size());
    EXPECT_EQ(3u, m_host.m_showLog[0].wParam);

    Label().SetAppCommands(table, 2);
    EXPECT_EQ(0, Label().DispatchAppCommand("Show"));
    Label().SetAppCommands(nullptr, 4);
    EXPECT_EQ(0, Label().DispatchAppCommand("WM_APP_COMMAND_SHOW_LOG"));
    EXPECT_EQ(1u, m_host.m_showLog.size());
}

TEST_F(MarkupLinks, TheTableKeepsTheCommandNamesItWasGiven)
{
    char name[] = "First";
    AppCommand command = {m_host.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 0, name};
    Label().SetAppCommands(&command, 1);
    command.hWnd = nullptr; // the records themselves are copied
    memcpy(name, "Other", 5);
    EXPECT_EQ(0, Label().DispatchAppCommand("First"));
    EXPECT_EQ(1, Label().DispatchAppCommand("other"));
}

TEST_F(MarkupLinks, OpenCommandTakesTheTargetInPlaceOfItsPlaceholder)
{
    struct Case
    {
        const char* classCommand;
        const char* command;
    };
    const Case cases[] = {
        {"browser.exe", "browser.exe http://x/"},
        {"\"C:\\b.exe\" \"%1\" -new", "\"C:\\b.exe\"  http://x/"},
        {"b.exe %1 -new", "b.exe  http://x/"},
        {"b.exe -url \"%1\"", "b.exe -url  http://x/"},
        {"", " http://x/"},
    };
    for (const Case& c : cases)
    {
        CString command;
        EXPECT_TRUE(CMarkupStatic::BuildOpenCommand(c.classCommand, "http://x/", command)) << c.classCommand;
        EXPECT_STREQ(c.command, command);
    }
}

TEST_F(MarkupLinks, OpenCommandThatWouldNotFitIsRefused)
{
    // 520 bytes with the terminating zero: 519 characters fit.
    CString classCommand('c', 500);
    CString command;
    EXPECT_TRUE(CMarkupStatic::BuildOpenCommand(classCommand, CString('t', 18), command));
    EXPECT_EQ(519, command.GetLength());
    EXPECT_FALSE(CMarkupStatic::BuildOpenCommand(classCommand, CString('t', 19), command));
    EXPECT_TRUE(command.IsEmpty());
    EXPECT_FALSE(CMarkupStatic::BuildOpenCommand(CString('c', 4000), "t", command));
}

TEST_F(MarkupLinks, ReadsTheDefaultValueOfAKey)
{
    const char key[] = "Software\\Chronoshift markup test";
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &hKey, nullptr));
    const char value[] = "htmlfile";
    RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
    RegCloseKey(hKey);

    CString output = "stale";
    EXPECT_EQ(ERROR_SUCCESS, CMarkupStatic::ReadClassesRootDefault(HKEY_CURRENT_USER, key, output));
    EXPECT_STREQ("htmlfile", output);
    RegDeleteKeyA(HKEY_CURRENT_USER, key);

    output = "stale";
    EXPECT_NE(ERROR_SUCCESS, CMarkupStatic::ReadClassesRootDefault(HKEY_CURRENT_USER, key, output));
    EXPECT_TRUE(output.IsEmpty());
}

TEST(MarkupLabelInterface, ColourSettersReturnThePreviousColour)
{
    TestableLabel label;
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), label.SetBackgroundColor("BtnFace"));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), label.SetBackgroundColor(RGB(1, 2, 3)));
    EXPECT_EQ(RGB(1, 2, 3), label.SetBackgroundColor("nonsense"));
    EXPECT_EQ(0u, label.SetBackgroundColor(RGB(4, 5, 6)));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), label.SetForegroundColor("DarkRed"));
    EXPECT_EQ(RGB(0x8B, 0, 0), label.SetForegroundColor(RGB(7, 8, 9)));
}

TEST(MarkupLabelInterface, TextLivesInsideOrAsWindowText)
{
    LabelHost host(200, 30);
    TestableLabel& label = host.Label();
    label.SetMarkupText("<b>window</b>");
    char text[64] = {0};
    ::GetWindowTextA(host.LabelWnd(), text, sizeof(text));
    EXPECT_STREQ("<b>window</b>", text);

    label.KeepTextInternally = 1;
    label.SetMarkupText("inside");
    ::GetWindowTextA(host.LabelWnd(), text, sizeof(text));
    EXPECT_STREQ("<b>window</b>", text);
}

TEST(MarkupLabelInterface, RedrawImmediatelyPaintsBeforeReturning)
{
    LabelHost host(200, 30);
    TestableLabel& label = host.Label();
    label.SetMarkupText("<a href=\"app:x\">now</a>");
    EXPECT_EQ(1, label.GetLinkCount());

    // Otherwise the label is only invalidated and paints with the next messages.
    label.RedrawImmediately = 0;
    label.SetMarkupText("<a href=\"app:x\">later</a> <a href=\"app:y\">too</a>");
    EXPECT_EQ(1, label.GetLinkCount());
    ::UpdateWindow(host.LabelWnd());
    EXPECT_EQ(2, label.GetLinkCount());
}

TEST(MarkupLinkOrder, TheLinkRecordedFirstWinsWhereRectanglesOverlap)
{
    // The big run's rectangle reaches into the next line, over the small link.
    LabelHost host(300, 60);
    TestableLabel& label = host.Label();
    const AppCommand table[] = {{host.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 1, "one"},
                                {host.m_hWnd, WM_APP_COMMAND_SHOW_LOG, 2, "two"}};
    label.SetAppCommands(table, 2);
    label.SetMarkupText(
        "<a href=\"app:one\"><font size=\"12\">BIG</font></a><br><a href=\"app:two\">small</a>");
    ASSERT_EQ(2, label.GetLinkCount());
    RECT big = label.GetLinkRect(0), small = label.GetLinkRect(1);
    POINT pt = {small.left + 1, small.top + 1};
    ASSERT_TRUE(PtInRect(&big, pt));
    ASSERT_TRUE(PtInRect(&small, pt));

    POINT screen = ScreenPointOf(host.LabelWnd(), pt.x, pt.y);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageA(host.LabelWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ASSERT_EQ(1u, host.m_showLog.size());
    EXPECT_EQ(1u, host.m_showLog[0].wParam);

    // Below the big run only the small link is hit.
    pt.y = big.bottom + 1;
    screen = ScreenPointOf(host.LabelWnd(), pt.x, pt.y);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageA(host.LabelWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ASSERT_EQ(2u, host.m_showLog.size());
    EXPECT_EQ(2u, host.m_showLog[1].wParam);
}

TEST(MarkupLabelInterface, TextsSetBetweenTwoPaintsShowTheLastOneAtTheNextPaint)
{
    LabelHost host(200, 30);
    TestableLabel& label = host.Label();
    label.RedrawImmediately = 0;
    ::UpdateWindow(host.LabelWnd());
    RECT rc;
    EXPECT_FALSE(::GetUpdateRect(host.LabelWnd(), &rc, FALSE));

    label.SetMarkupText("<a href=\"app:x\">one</a>");
    label.SetMarkupText("<a href=\"app:x\">two</a> <a href=\"app:y\">links</a>");
    label.SetMarkupText("<a href=\"app:x\">three</a> <a href=\"app:y\">links</a> <a href=\"app:z\">now</a>");
    EXPECT_TRUE(::GetUpdateRect(host.LabelWnd(), &rc, FALSE));
    ::UpdateWindow(host.LabelWnd());
    EXPECT_EQ(3, label.GetLinkCount());

    // After that paint a new text asks for a repaint again.
    EXPECT_FALSE(::GetUpdateRect(host.LabelWnd(), &rc, FALSE));
    label.SetMarkupText("<a href=\"app:x\">four</a>");
    EXPECT_TRUE(::GetUpdateRect(host.LabelWnd(), &rc, FALSE));
    ::UpdateWindow(host.LabelWnd());
    EXPECT_EQ(1, label.GetLinkCount());
}
