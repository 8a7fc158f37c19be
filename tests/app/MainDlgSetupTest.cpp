// What the main dialog's initialisation leaves behind (tooltip, icons, drop
// target, bound labels and their options, the log command, the focus) and
// its own handlers: the subfolder box, the system commands and the painting
// while minimised.
#include "app/MainDlg.h"
#include "tests/app/RegistryFixture.h"
#include "resources/Version.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{
// The real dialog, opened up for probing; it records the messages a test
// asks about and keeps the log command from starting Notepad.
class CProbeDlg : public CMainDlg
{
public:
    std::function<void(CProbeDlg&)> script;
    HWND focusAfterInit = nullptr;
    int showLogCalls = 0;
    WPARAM showLogW = 1;
    LPARAM showLogL = 1;
    int iconEraseCalls = 0;

    using CMainDlg::m_bProcessSubfolders;
    using CMainDlg::m_cbDateToChange;
    using CMainDlg::m_hIcon;
    using CMainDlg::m_lblIntro;
    using CMainDlg::m_lblStatus;
    using CMainDlg::m_tooltip;

protected:
    BOOL OnInitDialog() override
    {
        BOOL bResult = CMainDlg::OnInitDialog();
        SetTimer(1, 100, nullptr);
        return bResult;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP_COMMAND_SHOW_LOG)
        {
            ++showLogCalls;
            showLogW = wParam;
            showLogL = lParam;
            return 0;
        }
        if (message == WM_ICONERASEBKGND)
            ++iconEraseCalls;
        if (message == WM_TIMER && wParam == 1)
        {
            KillTimer(1);
            focusAfterInit = ::GetFocus();
            if (script)
                script(*this);
            PostMessage(WM_COMMAND, IDOK);
            return 0;
        }
        return CMainDlg::WindowProc(message, wParam, lParam);
    }
};

// Ends a dialog that a broken test would leave open.
class Watchdog
{
public:
    explicit Watchdog(DWORD ms) : m_id(::SetTimer(nullptr, 0, ms, &Fire)) {}
    ~Watchdog() { ::KillTimer(nullptr, m_id); }

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(99); }
    UINT_PTR m_id;
};

std::string Text(HWND hWnd)
{
    char sz[512] = {};
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

// Closes the about box once it shows.
HWND g_hAboutSeen = nullptr;
HWND g_hAboutOwner = nullptr;
std::string g_aboutVersion;
void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND hBox = ::FindWindowA(nullptr, "About Chronoshift");
    if (!hBox || !::IsWindowVisible(hBox))
        return;
    ::KillTimer(nullptr, id);
    g_hAboutSeen = hBox;
    g_hAboutOwner = ::GetWindow(hBox, GW_OWNER);
    g_aboutVersion = Text(::GetWindow(::GetWindow(hBox, GW_CHILD), GW_HWNDNEXT));
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
}

class MainDlgSetupTest : public regtest::CleanKeyTest
{
};
} // namespace

TEST_F(MainDlgSetupTest, TooltipHasItsSettingsAndOneToolOnTheUndoButton)
{
    Watchdog watchdog(20000);
    CProbeDlg dlg;
    bool ran = false;
    dlg.script = [&](CProbeDlg& d)
    {
        ran = true;
        HWND hTip = d.m_tooltip.m_hWnd;
        ASSERT_NE(nullptr, hTip);
        EXPECT_EQ(d.m_hWnd, ::GetWindow(hTip, GW_OWNER));
        EXPECT_EQ(32767, ::SendMessageA(hTip, TTM_GETMAXTIPWIDTH, 0, 0));
        EXPECT_EQ(250, ::SendMessageA(hTip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
        EXPECT_EQ(10000, ::SendMessageA(hTip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
        EXPECT_EQ(50, ::SendMessageA(hTip, TTM_GETDELAYTIME, TTDT_RESHOW, 0));
        EXPECT_EQ(1, ::SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0));

        char szText[80] = {};
        TOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.hwnd = d.m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(d.m_hWnd, IDC_UNDO));
        ti.lpszText = szText;
        ASSERT_TRUE(::SendMessageA(hTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
        EXPECT_EQ(static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS), ti.uFlags & (TTF_IDISHWND | TTF_SUBCLASS));
        EXPECT_STREQ("Undo last change", szText);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(ran);
}

TEST_F(MainDlgSetupTest, IconsDropTargetLabelsAndFocusAfterStart)
{
    Watchdog watchdog(20000);
    CProbeDlg dlg;
    ASSERT_NE(nullptr, dlg.m_hIcon) << "icon 128 is loaded at construction";
    EXPECT_EQ(1, dlg.m_bProcessSubfolders);
    bool ran = false;
    dlg.script = [&](CProbeDlg& d)
    {
        ran = true;
        EXPECT_EQ(d.m_hIcon, reinterpret_cast<HICON>(d.SendMessage(WM_GETICON, ICON_BIG)));
        EXPECT_EQ(d.m_hIcon, reinterpret_cast<HICON>(d.SendMessage(WM_GETICON, ICON_SMALL)));
        EXPECT_EQ(d.m_hIcon, reinterpret_cast<HICON>(d.SendMessage(WM_QUERYDRAGICON)));
        EXPECT_TRUE(d.GetExStyle() & WS_EX_ACCEPTFILES);

        // Bound in DoDataExchange: the controls' objects are the members.
        EXPECT_EQ(&d.m_cbDateToChange, CWnd::FromHandlePermanent(::GetDlgItem(d.m_hWnd, IDC_DATE_TO_CHANGE)));
        EXPECT_EQ(&d.m_lblIntro, CWnd::FromHandlePermanent(::GetDlgItem(d.m_hWnd, IDC_INTRO)));
        EXPECT_EQ(&d.m_lblStatus, CWnd::FromHandlePermanent(::GetDlgItem(d.m_hWnd, IDC_STATUS)));

        // The status label holds its markup itself, invalidates on change and
        // has the log command; the intro label keeps the defaults.
        EXPECT_EQ(1, d.m_lblStatus.KeepTextInternally);
        EXPECT_EQ(0, d.m_lblStatus.RedrawImmediately);
        EXPECT_EQ("", Text(d.m_lblStatus.m_hWnd));
        EXPECT_EQ(0, d.m_lblIntro.KeepTextInternally);
        EXPECT_EQ(1, d.m_lblIntro.RedrawImmediately);
        EXPECT_EQ(0u, Text(d.m_lblIntro.m_hWnd).find("Drop JPG files on this window"));

        // Both labels have the button face as background.
        COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(face, d.m_lblIntro.SetBackgroundColor(RGB(1, 2, 3)));
        d.m_lblIntro.SetBackgroundColor(face);
        EXPECT_EQ(face, d.m_lblStatus.SetBackgroundColor(RGB(1, 2, 3)));
        d.m_lblStatus.SetBackgroundColor(face);

        EXPECT_EQ(1, d.m_lblStatus.DispatchAppCommand("wm_app_command_show_log"));
        EXPECT_EQ(1, d.showLogCalls);
        EXPECT_EQ(0u, d.showLogW);
        EXPECT_EQ(0, d.showLogL);
        EXPECT_EQ(0, d.m_lblIntro.DispatchAppCommand("WM_APP_COMMAND_SHOW_LOG"))
            << "only the status label has it";
        EXPECT_EQ(1, d.showLogCalls);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(ran);
}

TEST_F(MainDlgSetupTest, FocusStartsOnExit)
{
    Watchdog watchdog(20000);
    CProbeDlg dlg;
    HWND hExit = nullptr;
    dlg.script = [&](CProbeDlg& d) { hExit = ::GetDlgItem(d.m_hWnd, IDOK); };
    EXPECT_EQ(IDOK, dlg.DoModal());
    ASSERT_NE(nullptr, hExit);
    EXPECT_EQ(hExit, dlg.focusAfterInit);
}

TEST_F(MainDlgSetupTest, SubfolderBoxClicksSetTheOption)
{
    Watchdog watchdog(20000);
    CProbeDlg dlg;
    int afterFirst = -1;
    int afterSecond = -1;
    bool checkedAfterFirst = true;
    dlg.script = [&](CProbeDlg& d)
    {
        HWND hBox = ::GetDlgItem(d.m_hWnd, IDC_PROCESS_SUBFOLDERS);
        ASSERT_EQ(BST_CHECKED, d.IsDlgButtonChecked(IDC_PROCESS_SUBFOLDERS));
        ::SendMessageA(hBox, BM_CLICK, 0, 0);
        afterFirst = d.m_bProcessSubfolders;
        checkedAfterFirst = d.IsDlgButtonChecked(IDC_PROCESS_SUBFOLDERS) == BST_CHECKED;
        ::SendMessageA(hBox, BM_CLICK, 0, 0);
        afterSecond = d.m_bProcessSubfolders;
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(0, afterFirst);
    EXPECT_FALSE(checkedAfterFirst);
    EXPECT_EQ(1, afterSecond);
}

TEST_F(MainDlgSetupTest, SystemCommandsAboutBoxMinimiseAndIconPainting)
{
    Watchdog watchdog(30000);
    CProbeDlg dlg;
    // As in the program: the dialog is the application's main window.
    CWinApp app("Chronoshift");
    app.m_pMainWnd = &dlg;
    bool aboutOwnedByMain = false;
    bool iconic = false;
    int iconErasesWhileIconic = -1;
    int iconErasesWhileNormal = -1;
    g_hAboutSeen = nullptr;
    g_aboutVersion.clear();
    dlg.script = [&](CProbeDlg& d)
    {
        // The about item's low four bits do not matter.
        UINT_PTR closer = ::SetTimer(nullptr, 0, 100, &CloseAboutBox);
        d.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);
        ::KillTimer(nullptr, closer);
        aboutOwnedByMain = g_hAboutSeen && g_hAboutOwner == d.m_hWnd;

        // Any other command: the default processing.
        d.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        iconic = d.IsIconic() != FALSE;
        int before = d.iconEraseCalls;
        d.SendMessage(WM_PAINT);
        iconErasesWhileIconic = d.iconEraseCalls - before;

        d.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        before = d.iconEraseCalls;
        d.SendMessage(WM_PAINT);
        iconErasesWhileNormal = d.iconEraseCalls - before;
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    app.m_pMainWnd = nullptr;
    EXPECT_NE(nullptr, g_hAboutSeen) << "the about box did not open";
    EXPECT_EQ("Chronoshift Version " CHRONOSHIFT_VERSION, g_aboutVersion);
    EXPECT_TRUE(aboutOwnedByMain) << "the about box is owned by the main dialog";
    EXPECT_TRUE(iconic);
    EXPECT_EQ(1, iconErasesWhileIconic) << "a minimised paint erases the icon's background first";
    EXPECT_EQ(0, iconErasesWhileNormal);
}
