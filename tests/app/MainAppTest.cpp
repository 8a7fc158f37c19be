// The application object: it runs the main dialog once and ends the program
// with it, and routes the help command to the platform's handler.
#include "app/MainApp.h"
#include "tests/app/RegistryFixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace
{
HWND g_hDialogSeen = nullptr;
bool g_bMainWndWasDialog = false;

// Ends the main dialog with Exit once it shows.
void CALLBACK PressExit(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND hDlg = ::FindWindowA(nullptr, "Chronoshift");
    if (!hDlg || !::IsWindowVisible(hDlg))
        return;
    ::KillTimer(nullptr, id);
    g_hDialogSeen = hDlg;
    CWnd* pMain = AfxGetMainWnd();
    g_bMainWndWasDialog = pMain && pMain->m_hWnd == hDlg;
    ::PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
}

void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD)
{
    ::PostQuitMessage(99);
}

class MainAppTest : public regtest::CleanKeyTest
{
};
} // namespace

TEST_F(MainAppTest, InitInstanceRunsTheDialogAsMainWindowAndEndsTheProgram)
{
    CMainApp app;
    EXPECT_EQ(&app, AfxGetApp());
    g_hDialogSeen = nullptr;
    g_bMainWndWasDialog = false;
    UINT_PTR exit = ::SetTimer(nullptr, 0, 100, &PressExit);
    UINT_PTR watchdog = ::SetTimer(nullptr, 0, 20000, &GiveUp);
    EXPECT_FALSE(app.InitInstance()) << "no message loop of its own: the program ends";
    ::KillTimer(nullptr, exit);
    ::KillTimer(nullptr, watchdog);
    ASSERT_NE(nullptr, g_hDialogSeen);
    EXPECT_TRUE(g_bMainWndWasDialog);
    EXPECT_FALSE(::IsWindow(g_hDialogSeen));
    EXPECT_EQ(nullptr, app.m_pMainWnd) << "the dialog object is gone";
    // The program has no name of its own: the resources give it.
    EXPECT_STREQ("Chronoshift", AfxGetAppName());
    // A clean end: no quit message was left behind.
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainAppTest, HelpCommandGoesToTheDefaultHelpHandler)
{
    CMainApp app;
    EXPECT_TRUE(app.OnCmdMsg(ID_HELP, 0));
    EXPECT_FALSE(app.OnCmdMsg(ID_HELP + 1, 0));
    // A dialog passes the commands it does not handle on to the application.
    CDialog dlg(IDD_MAIN);
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    EXPECT_TRUE(dlg.OnCmdMsg(ID_HELP, 0));
    EXPECT_FALSE(dlg.OnCmdMsg(ID_HELP + 1, 0));
    dlg.DestroyWindow();
}
