// The keyboard focus around the work that disables controls: a disabled
// control cannot keep the focus, and the system leaves it nowhere, so that
// Tab, the arrows and the space bar do nothing until the user clicks.
#include "tests/engine/EngineTestFixture.h"
#include "tests/support/MessageBoxAnswerer.h"

namespace
{
class KeyboardFocusTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_dlg.SelectTarget(0);
        m_dlg.m_bProcessSubfolders = 1;
        ::ShowWindow(m_dlg.m_hWnd, SW_SHOW);
        ::SetForegroundWindow(m_dlg.m_hWnd);
        ::SetActiveWindow(m_dlg.m_hWnd);
    }

    HWND Control(int nID) { return ::GetDlgItem(m_dlg.m_hWnd, nID); }

    // Gives the control the focus as the dialog manager does (Tab, a click).
    void Focus(int nID)
    {
        ::SendMessageA(m_dlg.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(nID)), TRUE);
    }

    // Where the keyboard can go on from: an enabled control of the dialog.
    bool FocusOnAnEnabledControl()
    {
        HWND hFocus = ::GetFocus();
        return hFocus && ::IsChild(m_dlg.m_hWnd, hFocus) && ::IsWindowEnabled(hFocus);
    }
};
} // namespace

TEST_F(KeyboardFocusTest, ADropGivesTheFocusBackToTheControlThatHadIt)
{
    ASSERT_EQ(m_dlg.m_hWnd, ::GetActiveWindow());
    Focus(IDC_PROCESS_SUBFOLDERS);
    ASSERT_EQ(Control(IDC_PROCESS_SUBFOLDERS), ::GetFocus());
    Picture("one.jpg", "2005:06:07 08:09:10");

    m_dlg.Drop({std::string(m_work.Path())});
    EXPECT_EQ(Control(IDC_PROCESS_SUBFOLDERS), ::GetFocus());
    ASSERT_TRUE(m_dlg.IsControlEnabled(IDC_UNDO));

    // On the Undo button, which the next drop leaves disabled (nothing
    // changes): the focus goes on to a control that can take it.
    Focus(IDC_UNDO);
    ASSERT_EQ(Control(IDC_UNDO), ::GetFocus());
    m_dlg.Drop({std::string(m_work.Path())});
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
    EXPECT_TRUE(FocusOnAnEnabledControl());
}

TEST_F(KeyboardFocusTest, ADropLeavesTheFocusAloneWhenTheDialogHadNone)
{
    // As after a drop from another program's window, no control of the
    // dialog has the focus: the batch must not hand one out.
    ::SetFocus(nullptr);
    Picture("one.jpg", "2005:06:07 08:09:10");
    m_dlg.Drop({std::string(m_work.Path())});
    EXPECT_EQ(nullptr, ::GetFocus());
}

TEST_F(KeyboardFocusTest, UndoMovesTheFocusOffItsButtonBeforeDisablingIt)
{
    ::EnableWindow(Control(IDC_UNDO), TRUE);
    Focus(IDC_UNDO);
    ASSERT_EQ(Control(IDC_UNDO), ::GetFocus());
    {
        MessageBoxAnswerer answerer(m_dlg.m_hWnd, {IDNO});
        m_dlg.OnUndo();
        ASSERT_EQ(1u, answerer.Boxes().size());
    }
    EXPECT_FALSE(m_dlg.IsControlEnabled(IDC_UNDO));
    EXPECT_TRUE(FocusOnAnEnabledControl());
}

TEST_F(KeyboardFocusTest, ADropTakesTheFocusBackFromWhereTheDialogManagerLeftIt)
{
    // When the dialog gets the focus during the batch (a box opened meanwhile
    // closes, the user comes back from another window), the dialog manager
    // finds no control that can take it and leaves it on the dialog or on a
    // label.
    Focus(IDC_KEEP_ON_TOP);
    ASSERT_EQ(Control(IDC_KEEP_ON_TOP), ::GetFocus());
    Picture("one.jpg", "2005:06:07 08:09:10");
    bool bMoved = false;
    // It happens while the batch dispatches messages.
    m_dlg.m_bFakeTick = true;
    m_dlg.m_dwTickStep = 1000;
    m_dlg.m_onTick = [&] { m_dlg.PostProbe(); };
    m_dlg.m_onProbe = [&]
    {
        ::SetFocus(m_dlg.m_hWnd);
        HWND hFocus = ::GetFocus();
        bMoved = hFocus != Control(IDC_KEEP_ON_TOP) && (!hFocus || !::IsWindowEnabled(hFocus) ||
                                                        !(::GetWindowLongA(hFocus, GWL_STYLE) & WS_TABSTOP));
    };
    m_dlg.Drop({std::string(m_work.Path())});
    m_dlg.m_onTick = nullptr;
    m_dlg.m_onProbe = nullptr;
    ASSERT_TRUE(bMoved);
    EXPECT_EQ(Control(IDC_KEEP_ON_TOP), ::GetFocus());
}
