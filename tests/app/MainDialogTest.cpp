// The main dialog run for real: start-up state, keep-on-top, closing and the
// busy guards, the system menu with the about box, and the status line.
#include "tests/app/DialogRunner.h"
#include "tests/app/RegistryFixture.h"
#include "resources/Version.h"

#include <cstdio>

using namespace dlgtest;

namespace
{
class MainDialogTest : public regtest::CleanKeyTest
{
};

// Closes the idle dialog the way a user does with the Exit button's key.
bool PressEnter(CTestMainDlg& dlg)
{
    PressKey(dlg.m_hWnd, VK_RETURN);
    return true;
}
} // namespace

TEST_F(MainDialogTest, FirstStartShowsTheDefaultsAndAnEmptyStatusLine)
{
    CTestMainDlg dlg;
    bool statusDrawnBlank = false;
    std::vector<Step> steps = {[&](CTestMainDlg& d)
                               {
                                   // The label's own drawing holds nothing but its background.
                                   RECT rc;
                                   ::GetClientRect(d.m_lblStatus.m_hWnd, &rc);
                                   HDC hdcScreen = ::GetDC(nullptr);
                                   HDC hdc = ::CreateCompatibleDC(hdcScreen);
                                   HBITMAP hbm = ::CreateCompatibleBitmap(hdcScreen, rc.right, rc.bottom);
                                   HGDIOBJ old = ::SelectObject(hdc, hbm);
                                   ::FillRect(hdc, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
                                   d.m_lblStatus.RenderTo(hdc);
                                   COLORREF face = ::GetSysColor(COLOR_BTNFACE);
                                   statusDrawnBlank = rc.right > 0 && rc.bottom > 0;
                                   for (int y = 0; y < rc.bottom && statusDrawnBlank; ++y)
                                       for (int x = 0; x < rc.right && statusDrawnBlank; ++x)
                                           statusDrawnBlank = ::GetPixel(hdc, x, y) == face;
                                   ::SelectObject(hdc, old);
                                   ::DeleteObject(hbm);
                                   ::DeleteDC(hdc);
                                   ::ReleaseDC(nullptr, hdcScreen);
                                   return true;
                               },
                               PressEnter};
    EXPECT_EQ(IDOK, RunDialog(dlg, steps));

    ASSERT_TRUE(dlg.init.captured);
    EXPECT_FALSE(dlg.init.keepOnTopChecked);
    EXPECT_FALSE(dlg.init.topmost);
    EXPECT_TRUE(dlg.init.subfoldersChecked);
    EXPECT_EQ(1, dlg.init.subfoldersOption);
    EXPECT_EQ(3, dlg.init.dateItems);
    EXPECT_EQ("Date Modified", dlg.init.dateItemTexts[0]);
    EXPECT_EQ("Date Created", dlg.init.dateItemTexts[1]);
    EXPECT_EQ("Modified & Created", dlg.init.dateItemTexts[2]);
    EXPECT_EQ(0, dlg.init.dateSelection);
    // The design-time placeholder never shows.
    EXPECT_EQ("", dlg.init.statusText);
    EXPECT_EQ(0, dlg.init.statusLinks);
    EXPECT_TRUE(statusDrawnBlank);

    // Loading alone made no key; the close did, with all three values.
    regtest::RawValue onTop = regtest::GetRaw("window on top");
    regtest::RawValue subfolders = regtest::GetRaw("process subfolders");
    regtest::RawValue date = regtest::GetRaw("date to change");
    ASSERT_TRUE(onTop.present && subfolders.present && date.present);
    EXPECT_EQ(DWORD(REG_BINARY), onTop.type);
    EXPECT_EQ(4u, onTop.data.size());
    EXPECT_EQ(0u, onTop.Int());
    EXPECT_EQ(DWORD(REG_BINARY), subfolders.type);
    EXPECT_EQ(4u, subfolders.data.size());
    EXPECT_EQ(1u, subfolders.Int());
    EXPECT_EQ(DWORD(REG_SZ), date.type);
    EXPECT_EQ(std::string("m", 2), date.Text());
}

TEST_F(MainDialogTest, StartingLeavesNoKeyBehindUntilTheDialogCloses)
{
    CTestMainDlg dlg;
    bool keyWhileOpen = true;
    std::vector<Step> steps = {[&](CTestMainDlg&)
                               {
                                   keyWhileOpen = regtest::KeyExists();
                                   return true;
                               },
                               PressEnter};
    RunDialog(dlg, steps);
    EXPECT_FALSE(keyWhileOpen);
    EXPECT_TRUE(regtest::KeyExists());
}

// The requests one click of "Keep Window on Top" made.
std::vector<ZOrderRequest> ClickKeepOnTop(CTestMainDlg& d)
{
    size_t before = d.zOrderRequests.size();
    Click(d.m_hWnd, IDC_KEEP_ON_TOP);
    return std::vector<ZOrderRequest>(d.zOrderRequests.begin() + static_cast<std::ptrdiff_t>(before),
                                      d.zOrderRequests.end());
}

TEST_F(MainDialogTest, KeepOnTopStoredOnIsTopmostBeforeTheWindowShows)
{
    regtest::SetBinaryInt("window on top", 1);
    CTestMainDlg dlg;
    bool topmostShown = false;
    std::vector<ZOrderRequest> firstClick;
    bool afterFirstClick = true;
    std::vector<ZOrderRequest> secondClick;
    bool afterSecondClick = false;
    std::vector<Step> steps = {[&](CTestMainDlg& d)
                               {
                                   topmostShown = ::IsWindowVisible(d.m_hWnd) && IsTopmost(d.m_hWnd);
                                   firstClick = ClickKeepOnTop(d);
                                   afterFirstClick = IsTopmost(d.m_hWnd);
                                   return true;
                               },
                               [&](CTestMainDlg& d)
                               {
                                   secondClick = ClickKeepOnTop(d);
                                   afterSecondClick = IsTopmost(d.m_hWnd);
                                   return true;
                               },
                               PressEnter};
    RunDialog(dlg, steps);

    EXPECT_TRUE(dlg.init.keepOnTopChecked);
    EXPECT_FALSE(dlg.init.visible);
    // The topmost band was asked for during initialisation, while hidden.
    EXPECT_EQ("topmost hidden", DescribeZOrder(dlg.init.zOrderRequests));
    EXPECT_EQ("notopmost shown", DescribeZOrder(firstClick));
    EXPECT_FALSE(afterFirstClick);
    EXPECT_EQ("topmost shown", DescribeZOrder(secondClick));
    // And nothing else moved the window from start to end.
    EXPECT_EQ("topmost hidden, notopmost shown, topmost shown", DescribeZOrder(dlg.zOrderRequests));
    if (PlatformRaisesOwnersOfPopups())
    {
        EXPECT_TRUE(dlg.init.topmost);
        EXPECT_TRUE(topmostShown);
        EXPECT_TRUE(afterSecondClick);
    }
    else
    {
        std::printf("note: this platform keeps a window that owns a popup out of the topmost band\n");
    }
    EXPECT_EQ(1u, regtest::GetRaw("window on top").Int());
}

TEST_F(MainDialogTest, KeepOnTopClickedOnAndOffReturnsToTheNormalBand)
{
    CTestMainDlg dlg;
    std::vector<ZOrderRequest> on;
    bool onChecked = false;
    bool onTopmost = false;
    std::vector<ZOrderRequest> off;
    bool offChecked = true;
    bool offTopmost = true;
    std::vector<Step> steps = {[&](CTestMainDlg& d)
                               {
                                   on = ClickKeepOnTop(d);
                                   onChecked = IsChecked(d.m_hWnd, IDC_KEEP_ON_TOP);
                                   onTopmost = IsTopmost(d.m_hWnd);
                                   return true;
                               },
                               [&](CTestMainDlg& d)
                               {
                                   off = ClickKeepOnTop(d);
                                   offChecked = IsChecked(d.m_hWnd, IDC_KEEP_ON_TOP);
                                   offTopmost = IsTopmost(d.m_hWnd);
                                   return true;
                               },
                               PressEnter};
    RunDialog(dlg, steps);
    // Nothing moved the window at start-up with the option off.
    EXPECT_EQ("", DescribeZOrder(dlg.init.zOrderRequests));
    EXPECT_FALSE(dlg.init.topmost);
    EXPECT_TRUE(onChecked);
    EXPECT_EQ("topmost shown", DescribeZOrder(on));
    if (PlatformRaisesOwnersOfPopups())
    {
        EXPECT_TRUE(onTopmost);
    }
    EXPECT_FALSE(offChecked);
    EXPECT_EQ("notopmost shown", DescribeZOrder(off));
    EXPECT_FALSE(offTopmost);
    EXPECT_EQ("topmost shown, notopmost shown", DescribeZOrder(dlg.zOrderRequests));
    EXPECT_EQ(0u, regtest::GetRaw("window on top").Int());
}

TEST_F(MainDialogTest, EnterEscapeAndAltF4CloseTheIdleDialogAndSaveTheOptions)
{
    struct Way
    {
        const char* name;
        std::function<void(HWND)> close;
        INT_PTR result;
    };
    const Way ways[] = {
        {"Enter", [](HWND h) { PressKey(h, VK_RETURN); }, IDOK},
        {"Escape", [](HWND h) { PressKey(h, VK_ESCAPE); }, IDCANCEL},
        {"Alt+F4", [](HWND h) { PressAltF4(h); }, IDCANCEL},
        {"WM_CLOSE", [](HWND h) { ::PostMessageA(h, WM_CLOSE, 0, 0); }, IDCANCEL},
    };
    for (const Way& way : ways)
    {
        SCOPED_TRACE(way.name);
        regtest::DeleteKey();
        CTestMainDlg dlg;
        std::vector<Step> steps = {[&](CTestMainDlg& d)
                                   {
                                       // Something to save that differs from the defaults.
                                       Click(d.m_hWnd, IDC_PROCESS_SUBFOLDERS);
                                       ::SendDlgItemMessageA(d.m_hWnd, IDC_DATE_TO_CHANGE, CB_SETCURSEL, 1,
                                                             0);
                                       way.close(d.m_hWnd);
                                       return true;
                                   }};
        EXPECT_EQ(way.result, RunDialog(dlg, steps));
        EXPECT_FALSE(::IsWindow(dlg.m_hWnd));
        EXPECT_EQ(0, dlg.m_bProcessSubfolders);
        EXPECT_EQ(0u, regtest::GetRaw("process subfolders").Int());
        EXPECT_EQ(std::string("c", 2), regtest::GetRaw("date to change").Text());
    }
}

TEST_F(MainDialogTest, BusyDialogRefusesEveryWayOfClosing)
{
    CTestMainDlg dlg;
    bool aliveAfterKeys = false;
    bool aliveAfterCommands = false;
    bool stillBusy = false;
    std::vector<Step> steps = {[&](CTestMainDlg& d)
                               {
                                   d.SetBusy(true, false);
                                   PressKey(d.m_hWnd, VK_RETURN);
                                   PressKey(d.m_hWnd, VK_ESCAPE);
                                   PressAltF4(d.m_hWnd);
                                   return true;
                               },
                               [&](CTestMainDlg& d)
                               {
                                   aliveAfterKeys = ::IsWindowVisible(d.m_hWnd) != FALSE;
                                   // The commands themselves, as a click racing the disabling would send
                                   // them.
                                   ::PostMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                                   ::PostMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                                   ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0);
                                   ::PostMessageA(d.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
                                   return true;
                               },
                               [&](CTestMainDlg& d)
                               {
                                   aliveAfterCommands = ::IsWindowVisible(d.m_hWnd) != FALSE;
                                   stillBusy = d.m_bBusy;
                                   // Idle again, the same key closes it.
                                   d.SetBusy(false, false);
                                   return true;
                               },
                               [&](CTestMainDlg& d)
                               {
                                   ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0);
                                   return true;
                               }};
    EXPECT_EQ(IDCANCEL, RunDialog(dlg, steps));
    EXPECT_TRUE(aliveAfterKeys);
    EXPECT_TRUE(aliveAfterCommands);
    EXPECT_TRUE(stillBusy);
    EXPECT_FALSE(dlg.m_bBusy);
}

TEST_F(MainDialogTest, BusyDialogShowsTheWaitCursor)
{
    CTestMainDlg dlg;
    HCURSOR busyCursor = nullptr;
    HCURSOR idleCursor = nullptr;
    HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
    std::vector<Step> steps = {[&](CTestMainDlg& d)
                               {
                                   d.SetBusy(true, false);
                                   HWND box = ::GetDlgItem(d.m_hWnd, IDC_KEEP_ON_TOP);
                                   ::SetCursor(nullptr);
                                   ::SendMessageA(d.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(box),
                                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                                   busyCursor = ::GetCursor();
                                   d.SetBusy(false, false);
                                   ::SetCursor(wait);
                                   ::SendMessageA(d.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(d.m_hWnd),
                                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                                   idleCursor = ::GetCursor();
                                   return true;
                               },
                               PressEnter};
    RunDialog(dlg, steps);
    EXPECT_EQ(wait, busyCursor);
    EXPECT_NE(wait, idleCursor);
}

TEST_F(MainDialogTest, SystemMenuEndsWithTheAboutItemWhichOpensTheAboutBox)
{
    CTestMainDlg dlg;
    int items = 0;
    bool separatorBeforeLast = false;
    UINT lastId = 0;
    std::string lastText;
    HWND about = nullptr;
    std::string versionText = "(not found)";
    bool versionWithoutPrefix = false;
    bool mainAliveAfterAbout = false;
    std::vector<Step> steps = {
        [&](CTestMainDlg& d)
        {
            HMENU menu = ::GetSystemMenu(d.m_hWnd, FALSE);
            items = ::GetMenuItemCount(menu);
            if (items >= 2)
            {
                separatorBeforeLast = (::GetMenuState(menu, items - 2, MF_BYPOSITION) & MF_SEPARATOR) != 0;
                lastId = ::GetMenuItemID(menu, items - 1);
                char text[64] = {};
                ::GetMenuStringA(menu, items - 1, text, sizeof(text), MF_BYPOSITION);
                lastText = text;
            }
            // As the menu sends it; the low four bits belong to the system.
            ::PostMessageA(d.m_hWnd, WM_SYSCOMMAND, 0x0010 | 0x0003, 0);
            return true;
        },
        [&](CTestMainDlg& d)
        {
            about = FindThreadWindow("About Chronoshift", d.m_hWnd);
            if (about == nullptr)
                return false;
            for (HWND child = ::GetWindow(about, GW_CHILD); child != nullptr;
                 child = ::GetWindow(child, GW_HWNDNEXT))
            {
                if (WindowText(child) == "Chronoshift Version " CHRONOSHIFT_VERSION)
                {
                    versionText = WindowText(child);
                    versionWithoutPrefix = (::GetWindowLongA(child, GWL_STYLE) & SS_NOPREFIX) != 0;
                }
            }
            PressKey(about, VK_ESCAPE);
            return true;
        },
        [&](CTestMainDlg& d)
        {
            if (::IsWindow(about))
                return false;
            mainAliveAfterAbout = ::IsWindowVisible(d.m_hWnd) != FALSE;
            return true;
        },
        PressEnter};
    EXPECT_EQ(IDOK, RunDialog(dlg, steps));
    ASSERT_GE(items, 2);
    EXPECT_TRUE(separatorBeforeLast);
    EXPECT_EQ(0x0010u, lastId);
    EXPECT_EQ("&About Chronoshift...", lastText);
    EXPECT_NE(nullptr, about);
    EXPECT_EQ("Chronoshift Version " CHRONOSHIFT_VERSION, versionText);
    EXPECT_TRUE(versionWithoutPrefix);
    EXPECT_TRUE(mainAliveAfterAbout);
}

TEST_F(MainDialogTest, ClosingDeletesTheProcessingLog)
{
    CTestMainDlg dlg;
    bool logWhileOpen = false;
    std::vector<Step> steps = {[&](CTestMainDlg& d)
                               {
                                   logWhileOpen = ::GetFileAttributesA(d.init.logPath.c_str()) !=
                                                  INVALID_FILE_ATTRIBUTES;
                                   return true;
                               },
                               PressEnter};
    RunDialog(dlg, steps);
    ASSERT_FALSE(dlg.init.logPath.empty());
    EXPECT_TRUE(logWhileOpen);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(dlg.init.logPath.c_str()));
}

TEST_F(MainDialogTest, AboutBoxOpensDuringABatchAndTheBatchGoesOn)
{
    CTestMainDlg dlg;
    HWND about = nullptr;
    bool busyWithAbout = false;
    bool busyAfterAbout = false;
    std::vector<Step> steps = {[&](CTestMainDlg& d)
                               {
                                   d.SetBusy(true, false);
                                   ::PostMessageA(d.m_hWnd, WM_SYSCOMMAND, 0x0010, 0);
                                   return true;
                               },
                               [&](CTestMainDlg& d)
                               {
                                   about = FindThreadWindow("About Chronoshift", d.m_hWnd);
                                   if (about == nullptr)
                                       return false;
                                   busyWithAbout = d.m_bBusy;
                                   ::PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                                   return true;
                               },
                               [&](CTestMainDlg& d)
                               {
                                   if (::IsWindow(about))
                                       return false;
                                   busyAfterAbout = d.m_bBusy && ::IsWindowVisible(d.m_hWnd);
                                   d.SetBusy(false, false);
                                   return true;
                               },
                               PressEnter};
    EXPECT_EQ(IDOK, RunDialog(dlg, steps));
    EXPECT_NE(nullptr, about);
    EXPECT_TRUE(busyWithAbout);
    EXPECT_TRUE(busyAfterAbout);
}
