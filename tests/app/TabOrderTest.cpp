// The dialog as a keyboard user meets it: Tab and Shift+Tab through its
// controls, the status line's link among them only while it is there, its
// focus rectangle, and Enter or Space on it.
#include "tests/app/DialogRunner.h"
#include "tests/app/RegistryFixture.h"
#include "tests/support/Bytes.h"
#include "tests/support/Dib.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/TempDir.h"

#include <memory>

using namespace dlgtest;

namespace
{
class TabOrderTest : public regtest::CleanKeyTest
{
protected:
    // One picture whose date the drop changes, so that Undo is enabled after it.
    bool DropAPicture(CTestMainDlg& dlg)
    {
        std::string path = m_pictures / "one.jpg";
        if (!WriteBytes(path, MakeExifJpeg("2005:06:07 08:09:10")))
            return false;
        dlg.m_bCatchShowLog = true;
        dlg.Drop({path});
        return true;
    }

    TempDir m_temp;
    TempFolderRedirect m_redirect{m_temp.Path()};
    TempDir m_pictures;
};

// The dialog manager reads Shift from the thread's keyboard state.
void HoldShift(bool bDown)
{
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = bDown ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

int FocusedId(HWND hDlg)
{
    HWND hFocus = ::GetFocus();
    return hFocus != nullptr && ::IsChild(hDlg, hFocus) ? ::GetDlgCtrlID(hFocus) : 0;
}

// Steps that note the focused control, press Tab (Shift+Tab backwards) and
// note where each press took the focus.
void WalkTabs(std::vector<Step>& steps, std::vector<int>& visited, int nPresses, bool bBackwards)
{
    for (int i = 0; i <= nPresses; ++i)
        steps.push_back(
            [&visited, i, nPresses, bBackwards](CTestMainDlg& d)
            {
                visited.push_back(FocusedId(d.m_hWnd));
                HoldShift(bBackwards && i < nPresses);
                if (i < nPresses)
                    PressKey(d.m_hWnd, VK_TAB);
                return true;
            });
}
} // namespace

TEST_F(TabOrderTest, TabVisitsTheControlsInOrderWithTheStatusLinkOnlyAfterADrop)
{
    CTestMainDlg dlg;
    std::vector<int> start, startBack, dropped, droppedBack;
    std::vector<Step> steps = {[](CTestMainDlg& d)
                               {
                                   ::SetForegroundWindow(d.m_hWnd);
                                   return true;
                               }};
    WalkTabs(steps, start, 4, false);
    WalkTabs(steps, startBack, 4, true);
    steps.push_back([&](CTestMainDlg& d) { return DropAPicture(d); });
    WalkTabs(steps, dropped, 6, false);
    WalkTabs(steps, droppedBack, 6, true);
    steps.push_back(
        [](CTestMainDlg& d)
        {
            PressKey(d.m_hWnd, VK_ESCAPE);
            return true;
        });
    EXPECT_EQ(IDCANCEL, RunDialog(dlg, steps));

    // The labels stay out while the status line holds no link.
    EXPECT_EQ((std::vector<int>{IDOK, IDC_KEEP_ON_TOP, IDC_DATE_TO_CHANGE, IDC_PROCESS_SUBFOLDERS, IDOK}),
              start);
    EXPECT_EQ((std::vector<int>{IDOK, IDC_PROCESS_SUBFOLDERS, IDC_DATE_TO_CHANGE, IDC_KEEP_ON_TOP, IDOK}),
              startBack);
    EXPECT_EQ((std::vector<int>{IDOK, IDC_KEEP_ON_TOP, IDC_DATE_TO_CHANGE, IDC_STATUS, IDC_PROCESS_SUBFOLDERS,
                                IDC_UNDO, IDOK}),
              dropped);
    EXPECT_EQ((std::vector<int>{IDOK, IDC_UNDO, IDC_PROCESS_SUBFOLDERS, IDC_STATUS, IDC_DATE_TO_CHANGE,
                                IDC_KEEP_ON_TOP, IDOK}),
              droppedBack);
}

TEST_F(TabOrderTest, FocusedStatusLinkShowsItsFocusRectangleAndOpensWithEnterOrSpace)
{
    CTestMainDlg dlg;
    HWND hStatus = nullptr;
    RECT rcLink = {0, 0, 0, 0};
    int nFocusedDifferences = -1, nOffEdge = -1, nAfterLeaving = -1;
    int nShowLogAfterEnter = -1, nShowLogAfterSpace = -1;
    std::unique_ptr<Dib> unfocused;
    std::vector<Step> steps = {
        [&](CTestMainDlg& d)
        {
            ::SetForegroundWindow(d.m_hWnd);
            hStatus = d.m_lblStatus.m_hWnd;
            return DropAPicture(d);
        },
        [&](CTestMainDlg& d)
        {
            // The link's runs, one after another on one line.
            for (int i = 0; i < d.m_lblStatus.GetLinkCount(); ++i)
            {
                RECT rc = d.m_lblStatus.GetLinkRect(i);
                ::UnionRect(&rcLink, &rcLink, &rc);
            }
            unfocused.reset(new Dib(hStatus, RGB(1, 2, 3)));
            ::SendMessageA(d.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hStatus), TRUE);
            return true;
        },
        [&](CTestMainDlg& d)
        {
            Dib focused(hStatus, RGB(1, 2, 3));
            nFocusedDifferences = focused.Differences(*unfocused);
            // Every changed pixel is on the rectangle's edge.
            nOffEdge = 0;
            for (int y = 0; y < focused.Height(); ++y)
                for (int x = 0; x < focused.Width(); ++x)
                {
                    bool bEdge = (x == rcLink.left || x == rcLink.right - 1 || y == rcLink.top ||
                                  y == rcLink.bottom - 1) &&
                                 x >= rcLink.left && x < rcLink.right && y >= rcLink.top && y < rcLink.bottom;
                    if (!bEdge && focused.At(x, y) != unfocused->At(x, y))
                        ++nOffEdge;
                }
            PressKey(d.m_hWnd, VK_RETURN);
            return true;
        },
        [&](CTestMainDlg& d)
        {
            nShowLogAfterEnter = d.m_nShowLogCalls;
            PressKey(d.m_hWnd, VK_SPACE);
            return true;
        },
        [&](CTestMainDlg& d)
        {
            nShowLogAfterSpace = d.m_nShowLogCalls;
            ::SendMessageA(d.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(d.m_hWnd, IDOK)),
                           TRUE);
            return true;
        },
        [&](CTestMainDlg& d)
        {
            Dib left(hStatus, RGB(1, 2, 3));
            nAfterLeaving = left.Differences(*unfocused);
            PressKey(d.m_hWnd, VK_ESCAPE);
            return true;
        }};
    EXPECT_EQ(IDCANCEL, RunDialog(dlg, steps));

    ASSERT_FALSE(::IsRectEmpty(&rcLink));
    EXPECT_GT(nFocusedDifferences, 0) << "no focus rectangle";
    EXPECT_EQ(0, nOffEdge);
    // Enter goes to the link, not to the default button: the dialog stays.
    EXPECT_EQ(1, nShowLogAfterEnter);
    EXPECT_EQ(2, nShowLogAfterSpace);
    EXPECT_EQ(0, nAfterLeaving) << "the focus rectangle stays after the focus left";
}
