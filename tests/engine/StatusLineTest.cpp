#include "tests/engine/EngineTestFixture.h"

namespace
{
const UINT kProbe = WM_APP + 1;
int g_nProbes = 0;

LRESULT CALLBACK CounterProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kProbe)
    {
        ++g_nProbes;
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

const char* const kFinal = "<font color=\"DarkRed\">Dropped <b>%d</b> jpg files, changed date for <b>%d</b> "
                           "files</font>  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> "
                           "(<u>View log</u>)</font></a>";

std::string Final(int nJpgFiles, int nChanged)
{
    char text[512];
    snprintf(text, sizeof(text), kFinal, nJpgFiles, nChanged);
    return text;
}
} // namespace

class StatusLineTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = CounterProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "EngineTestCounter";
        ::RegisterClassA(&wc);
        m_hCounter = ::CreateWindowA("EngineTestCounter", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     wc.hInstance, nullptr);
        ASSERT_NE(nullptr, m_hCounter);
        Drain();
        g_nProbes = 0;
        m_dlg.m_bFakeTick = true;
    }

    void TearDown() override
    {
        ::DestroyWindow(m_hCounter);
        Drain();
        EngineTest::TearDown();
    }

    static void Drain()
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT)
                ::DispatchMessageA(&msg);
    }

    bool ProbeWaiting()
    {
        MSG msg;
        return ::PeekMessageA(&msg, m_hCounter, kProbe, kProbe, PM_NOREMOVE) != FALSE;
    }

    HWND m_hCounter = nullptr;
};

TEST_F(StatusLineTest, ProgressIsShownAndDispatchedAtMostEvery250Milliseconds)
{
    m_dlg.m_dwLastPumpTick = 1000;
    m_dlg.ShowStatus(3, 0, true);
    const std::string before = m_dlg.StatusMarkup();
    ::PostMessageA(m_hCounter, kProbe, 0, 0);
    int nFiles = 0;
    for (DWORD tick : {1000u, 1001u, 1249u, 1250u})
    {
        m_dlg.m_dwFakeTick = tick;
        m_dlg.ShowProgress(++nFiles);
        EXPECT_EQ(0, g_nProbes) << tick;
        EXPECT_TRUE(ProbeWaiting()) << tick;
        EXPECT_EQ(before, m_dlg.StatusMarkup()) << tick;
        EXPECT_EQ(1000u, m_dlg.m_dwLastPumpTick) << tick;
    }
    m_dlg.m_dwFakeTick = 1251;
    m_dlg.ShowProgress(++nFiles);
    EXPECT_EQ(1, g_nProbes);
    EXPECT_FALSE(ProbeWaiting());
    EXPECT_EQ("<font color=\"DarkRed\">Processed <b>5</b> files...</font>", m_dlg.StatusMarkup());
    EXPECT_EQ(1251u, m_dlg.m_dwLastPumpTick);

    // The next window opens 250 ms after this dispatch.
    ::PostMessageA(m_hCounter, kProbe, 0, 0);
    m_dlg.m_dwFakeTick = 1400;
    m_dlg.ShowProgress(++nFiles);
    EXPECT_EQ(1, g_nProbes);
    m_dlg.m_dwFakeTick = 1502;
    m_dlg.ShowProgress(++nFiles);
    EXPECT_EQ(2, g_nProbes);
    EXPECT_EQ("<font color=\"DarkRed\">Processed <b>7</b> files...</font>", m_dlg.StatusMarkup());
}

TEST_F(StatusLineTest, ATickCountThatWrappedAroundDispatches)
{
    m_dlg.m_dwLastPumpTick = 0xFFFFFF00u;
    m_dlg.m_dwFakeTick = 5;
    ::PostMessageA(m_hCounter, kProbe, 0, 0);
    m_dlg.ShowProgress(1);
    EXPECT_EQ(1, g_nProbes);
    EXPECT_EQ(5u, m_dlg.m_dwLastPumpTick);
    // Also when the wrap lies only a few milliseconds back.
    m_dlg.m_dwLastPumpTick = 0xFFFFFFF0u;
    m_dlg.m_dwFakeTick = 0x10;
    ::PostMessageA(m_hCounter, kProbe, 0, 0);
    m_dlg.ShowProgress(2);
    EXPECT_EQ(2, g_nProbes);
}

TEST_F(StatusLineTest, EveryWaitingMessageIsDispatched)
{
    for (int i = 0; i < 5; ++i)
        ::PostMessageA(m_hCounter, kProbe, 0, 0);
    EXPECT_TRUE(m_dlg.PumpPendingMessages());
    EXPECT_EQ(5, g_nProbes);
}

TEST_F(StatusLineTest, TheQuitMessageIsPostedAgain)
{
    ::PostMessageA(m_hCounter, kProbe, 0, 0);
    ::PostQuitMessage(3);
    EXPECT_FALSE(m_dlg.PumpPendingMessages());
    EXPECT_EQ(1, g_nProbes);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
    EXPECT_EQ(0u, msg.wParam);
    EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "posted once";
}

TEST_F(StatusLineTest, ProgressAndFinalTexts)
{
    m_dlg.m_dwLastPumpTick = 0;
    m_dlg.m_dwFakeTick = 1000;
    m_dlg.ShowStatus(7, 3, false);
    EXPECT_EQ("<font color=\"DarkRed\">Processed <b>7</b> files...</font>", m_dlg.StatusMarkup());
    EXPECT_EQ(1, m_dlg.m_nTickReads) << "the progress form pumps";
    // The end of a drop without a log: shown though the pump is not due.
    m_dlg.m_dwFakeTick = 1050;
    m_dlg.ShowStatus(8, 3, false);
    EXPECT_EQ("<font color=\"DarkRed\">Processed <b>8</b> files...</font>", m_dlg.StatusMarkup());
    EXPECT_EQ(1000u, m_dlg.m_dwLastPumpTick);
    m_dlg.ShowStatus(12, 5, true);
    EXPECT_EQ(Final(12, 5), m_dlg.StatusMarkup());
    EXPECT_EQ(2, m_dlg.m_nTickReads) << "the final form does not";
    m_dlg.ShowStatus(-1, 0, true);
    EXPECT_EQ(Final(-1, 0), m_dlg.StatusMarkup());
}

TEST_F(StatusLineTest, TheLabelChangesAndRepaintsOnlyWhenThePumpRuns)
{
    HWND hLabel = ::GetDlgItem(m_dlg.m_hWnd, IDC_STATUS);
    ::UpdateWindow(m_dlg.m_hWnd);
    m_dlg.m_dwLastPumpTick = 1000;
    m_dlg.m_dwFakeTick = 1100;
    m_dlg.ShowProgress(1);
    RECT rcUpdate;
    EXPECT_FALSE(::GetUpdateRect(hLabel, &rcUpdate, FALSE)) << "not due: left alone";
    m_dlg.m_dwFakeTick = 1300;
    m_dlg.ShowProgress(2);
    EXPECT_FALSE(::GetUpdateRect(hLabel, &rcUpdate, FALSE)) << "painted at the dispatch";
    EXPECT_EQ("<font color=\"DarkRed\">Processed <b>2</b> files...</font>", m_dlg.StatusMarkup());
}
