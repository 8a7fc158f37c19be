// The cursor while the dialog is busy: SetBusy's refresh, the wait cursor
// wherever the pointer is, and the hand of a link that the status label keeps.
#include "tests/engine/EngineTestFixture.h"

namespace
{
// The cursor requests (WM_SETCURSOR) that one window is sent.
class CursorRequestLog
{
public:
    struct Request
    {
        WPARAM wParam;
        LPARAM lParam;
    };

    explicit CursorRequestLog(HWND hWnd) : m_hWnd(hWnd)
    {
        s_pCurrent = this;
        m_hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, Watch, nullptr, ::GetCurrentThreadId());
    }
    ~CursorRequestLog()
    {
        if (m_hHook)
            ::UnhookWindowsHookEx(m_hHook);
        s_pCurrent = nullptr;
    }
    CursorRequestLog(const CursorRequestLog&) = delete;
    CursorRequestLog& operator=(const CursorRequestLog&) = delete;

    bool Hooked() const { return m_hHook != nullptr; }
    std::vector<Request> Take()
    {
        std::vector<Request> requests;
        requests.swap(m_requests);
        return requests;
    }

private:
    static LRESULT CALLBACK Watch(int nCode, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (nCode == HC_ACTION && s_pCurrent && call->hwnd == s_pCurrent->m_hWnd &&
            call->message == WM_SETCURSOR)
            s_pCurrent->m_requests.push_back({call->wParam, call->lParam});
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }

    HWND m_hWnd;
    HHOOK m_hHook;
    std::vector<Request> m_requests;
    static CursorRequestLog* s_pCurrent;
};

CursorRequestLog* CursorRequestLog::s_pCurrent = nullptr;

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

// Moves the real pointer onto a screen point and lets the windows see the
// move as they see the mouse's: the cursor request, then WM_MOUSEMOVE. The
// cursor is cleared first, so whatever shows afterwards was set by them.
HCURSOR PointerAt(POINT pt)
{
    POINT now;
    if (::GetCursorPos(&now) && now.x == pt.x && now.y == pt.y)
    {
        ::SetCursorPos(pt.x + 1, pt.y);
        Pump();
    }
    ::SetCursor(nullptr);
    ::SetCursorPos(pt.x, pt.y);
    Pump();
    return ::GetCursor();
}

POINT ScreenPoint(HWND hWnd, int x, int y)
{
    POINT pt = {x, y};
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

POINT CentreOf(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    return ScreenPoint(hWnd, rc.right / 2, rc.bottom / 2);
}

bool IsHandCursor(HCURSOR hCursor)
{
    ICONINFO info;
    if (hCursor == nullptr || !::GetIconInfo(hCursor, &info))
        return false;
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    // The program's hand points with its finger tip at (5, 0).
    return !info.fIcon && info.xHotspot == 5 && info.yHotspot == 0;
}
} // namespace

class BusyCursorTest : public EngineTest
{
protected:
    HCURSOR m_hWait = ::LoadCursor(nullptr, IDC_WAIT);
    HCURSOR m_hArrow = ::LoadCursor(nullptr, IDC_ARROW);
};

TEST_F(BusyCursorTest, SetBusyAsksForTheCursorAtOnce)
{
    CursorRequestLog log(m_dlg.m_hWnd);
    ASSERT_TRUE(log.Hooked());
    ::SetCursor(m_hArrow);
    for (bool bBusy : {true, false, true, false})
    {
        SCOPED_TRACE(bBusy ? "entering busy" : "leaving busy");
        m_dlg.SetBusy(bBusy, !bBusy);
        // No message was dispatched: the request came from SetBusy itself.
        std::vector<CursorRequestLog::Request> requests = log.Take();
        ASSERT_EQ(1u, requests.size());
        EXPECT_EQ(0u, requests[0].wParam);
        EXPECT_EQ(0, requests[0].lParam);
        if (bBusy)
            EXPECT_EQ(m_hWait, ::GetCursor());
        else
            EXPECT_NE(m_hWait, ::GetCursor());
    }
}

TEST_F(BusyCursorTest, WhileBusyThePointerShowsTheWaitCursorOverTheDialogAndEveryControl)
{
    HWND hDlg = m_dlg.m_hWnd;
    // Between the check boxes and the status line: the dialog itself.
    RECT free = {110, 50, 111, 51};
    ::MapDialogRect(hDlg, &free);
    POINT background = ScreenPoint(hDlg, free.left, free.top);
    POINT client = {free.left, free.top};
    ASSERT_EQ(hDlg, ::ChildWindowFromPointEx(hDlg, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT));
    m_dlg.ShowStatus(2, 1, false);

    struct Place
    {
        const char* name;
        POINT pt;
    };
    const Place places[] = {
        {"dialog", background},
        {"Exit", CentreOf(::GetDlgItem(hDlg, IDOK))},
        {"Undo", CentreOf(::GetDlgItem(hDlg, IDC_UNDO))},
        {"Keep Window on Top", CentreOf(::GetDlgItem(hDlg, IDC_KEEP_ON_TOP))},
        {"Process Subfolders", CentreOf(::GetDlgItem(hDlg, IDC_PROCESS_SUBFOLDERS))},
        {"Date to Change", CentreOf(::GetDlgItem(hDlg, IDC_DATE_TO_CHANGE))},
        {"status with progress text", CentreOf(m_dlg.m_lblStatus.m_hWnd)},
        {"intro", CentreOf(::GetDlgItem(hDlg, IDC_INTRO))},
    };
    for (bool bBusy : {true, false})
    {
        m_dlg.SetBusy(bBusy, true);
        for (const Place& place : places)
        {
            SCOPED_TRACE(std::string(place.name) + (bBusy ? ", busy" : ", idle"));
            HCURSOR hShown = PointerAt(place.pt);
            if (bBusy)
                EXPECT_EQ(m_hWait, hShown);
            else
                EXPECT_EQ(m_hArrow, hShown);
        }
    }
}

TEST_F(BusyCursorTest, WhileBusyTheLinkKeepsItsHand)
{
    HWND hLabel = m_dlg.m_lblStatus.m_hWnd;
    m_dlg.ShowStatus(3, 2, true);
    ::UpdateWindow(hLabel);
    ASSERT_GT(m_dlg.m_lblStatus.GetLinkCount(), 0);
    RECT link = m_dlg.m_lblStatus.GetLinkRect(0);
    POINT onLink = ScreenPoint(hLabel, (link.left + link.right) / 2, (link.top + link.bottom) / 2);
    POINT beside = ScreenPoint(hLabel, 2, (link.top + link.bottom) / 2);
    ASSERT_LT(2, m_dlg.m_lblStatus.GetLinkRect(0).left);

    m_dlg.SetBusy(true, false);
    EXPECT_EQ(m_hWait, PointerAt(beside));
    EXPECT_TRUE(IsHandCursor(PointerAt(onLink)));
    // A button pressed on the link asks for the cursor once more, without a move.
    ::SendMessageA(hLabel, WM_SETCURSOR, reinterpret_cast<WPARAM>(hLabel),
                   MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_TRUE(IsHandCursor(::GetCursor()));
    // Off the link the wait cursor is back.
    EXPECT_EQ(m_hWait, PointerAt(beside));
    m_dlg.SetBusy(false, false);
}
