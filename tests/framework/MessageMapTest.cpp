// Message maps: dispatch to the right handler with the right arguments,
// chaining to the base class, reflection of notifications to the child
// control, default processing, and the lifetime of subclassed windows.
#include "framework/Framework.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const UINT WM_TEST_PING = WM_APP + 7;
const int kChildId = 321;
const int kOtherChildId = 322;
const int kMenuCommand = 0x5150;

const char kWindowClass[] = "ChronoshiftMapTestWindow";

void RegisterTestClass()
{
    static bool s_bRegistered = false;
    if (s_bRegistered)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    s_bRegistered = ::RegisterClassA(&wc) != 0;
}

// A window whose handlers record what reached them.
class CRecordingWnd : public CWnd
{
public:
    std::vector<std::string> calls;
    WPARAM pingW = 0;
    LPARAM pingL = 0;
    UINT sysId = 0;
    LPARAM sysL = 0;
    UINT moveFlags = 0;
    POINT movePoint = {};
    CWnd* cursorWnd = nullptr;
    UINT cursorHit = 0;
    UINT cursorMsg = 0;
    BOOL cursorAnswer = TRUE;

    BOOL Create(CWnd* pParent = nullptr)
    {
        RegisterTestClass();
        return CreateEx(0, kWindowClass, "recording", pParent ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, 0, 200,
                        100, pParent ? pParent->m_hWnd : nullptr, nullptr);
    }

protected:
    LRESULT OnPing(WPARAM wParam, LPARAM lParam)
    {
        calls.push_back("ping");
        pingW = wParam;
        pingL = lParam;
        return 0x1234;
    }
    void OnSysCommand(UINT nID, LPARAM lParam)
    {
        calls.push_back("syscommand");
        sysId = nID;
        sysL = lParam;
    }
    void OnMouseMove(UINT nFlags, CPoint point)
    {
        calls.push_back("mousemove");
        moveFlags = nFlags;
        movePoint = point;
    }
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
    {
        calls.push_back("setcursor");
        cursorWnd = pWnd;
        cursorHit = nHitTest;
        cursorMsg = message;
        return cursorAnswer;
    }
    void OnClose() { calls.push_back("close"); }
    void OnChildClicked() { calls.push_back("child clicked"); }
    void OnOtherChildClicked() { calls.push_back("other child clicked"); }
    void OnMenuCommand() { calls.push_back("menu command"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingWnd, CWnd)
ON_MESSAGE(WM_TEST_PING, OnPing)
ON_WM_SYSCOMMAND()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_WM_CLOSE()
ON_CONTROL(STN_CLICKED, kChildId, OnChildClicked)
ON_BN_CLICKED(kOtherChildId, OnOtherChildClicked)
ON_COMMAND(kMenuCommand, OnMenuCommand)
END_MESSAGE_MAP()

// A derived window that replaces one handler and adds one; the rest come
// from the base map.
class CDerivedWnd : public CRecordingWnd
{
protected:
    LRESULT OnPing(WPARAM, LPARAM)
    {
        calls.push_back("derived ping");
        return 0x5678;
    }
    void OnDestroy()
    {
        calls.push_back("destroy");
        CWnd::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CRecordingWnd)
ON_MESSAGE(WM_TEST_PING, OnPing)
ON_WM_DESTROY()
END_MESSAGE_MAP()

// A static control that handles its own click, as the markup label does.
class CClickStatic : public CStatic
{
public:
    int clicks = 0;
    int preSubclassCalls = 0;
    bool procWasOursInPreSubclass = true;

protected:
    void PreSubclassWindow() override
    {
        ++preSubclassCalls;
        procWasOursInPreSubclass =
            reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc;
        ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | SS_NOTIFY);
    }
    void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickStatic, CStatic)
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

// A window whose WM_SETTEXT handler lets the default processing run first.
class CTextWnd : public CRecordingWnd
{
public:
    std::string textSeenAfterDefault;
    LRESULT defaultResult = -1;

protected:
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        defaultResult = Default();
        char sz[64] = {};
        ::GetWindowTextA(m_hWnd, sz, sizeof(sz));
        textSeenAfterDefault = sz;
        return defaultResult;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTextWnd, CRecordingWnd)
ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

HWND CreateChildStatic(HWND hParent, int id, DWORD extraStyle = 0)
{
    return ::CreateWindowExA(0, "Static", "child", WS_CHILD | WS_VISIBLE | extraStyle, 10, 10, 80, 20,
                             hParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleA(nullptr), nullptr);
}
} // namespace

TEST(MessageMap, WindowMessagesReachTheirHandlersWithTheirArguments)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));

    EXPECT_EQ(0x1234, wnd.SendMessage(WM_TEST_PING, 11, 22));
    EXPECT_EQ(11u, wnd.pingW);
    EXPECT_EQ(22, wnd.pingL);

    wnd.SendMessage(WM_SYSCOMMAND, 0x0013, MAKELPARAM(40, 50));
    EXPECT_EQ(0x0013u, wnd.sysId);
    EXPECT_EQ(MAKELPARAM(40, 50), wnd.sysL);

    // Negative client coordinates arrive signed.
    wnd.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-3, 17));
    EXPECT_EQ(static_cast<UINT>(MK_LBUTTON), wnd.moveFlags);
    EXPECT_EQ(-3, wnd.movePoint.x);
    EXPECT_EQ(17, wnd.movePoint.y);

    wnd.cursorAnswer = TRUE;
    EXPECT_EQ(TRUE, wnd.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd.m_hWnd),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(&wnd, wnd.cursorWnd);
    EXPECT_EQ(static_cast<UINT>(HTCLIENT), wnd.cursorHit);
    EXPECT_EQ(static_cast<UINT>(WM_MOUSEMOVE), wnd.cursorMsg);
    wnd.cursorAnswer = FALSE;
    EXPECT_EQ(FALSE, wnd.SendMessage(WM_SETCURSOR, 0, 0));
    EXPECT_EQ(nullptr, wnd.cursorWnd);

    // A handler that does not call Default() swallows the message.
    wnd.SendMessage(WM_CLOSE);
    EXPECT_TRUE(::IsWindow(wnd.m_hWnd));

    std::vector<std::string> expected = {"ping",      "syscommand", "mousemove",
                                         "setcursor", "setcursor",  "close"};
    EXPECT_EQ(expected, wnd.calls);
    wnd.DestroyWindow();
}

TEST(MessageMap, UnmappedMessagesGetTheDefaultProcessing)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    ::SetWindowTextA(wnd.m_hWnd, "changed by default processing");
    char text[64] = {};
    ::GetWindowTextA(wnd.m_hWnd, text, sizeof(text));
    EXPECT_STREQ("changed by default processing", text);
    EXPECT_TRUE(wnd.calls.empty());
    wnd.DestroyWindow();
}

TEST(MessageMap, DefaultInsideAHandlerRunsThePreviousProcedureAtOnce)
{
    CTextWnd wnd;
    ASSERT_TRUE(wnd.Create());
    ::SetWindowTextA(wnd.m_hWnd, "seen inside the handler");
    EXPECT_EQ("seen inside the handler", wnd.textSeenAfterDefault);
    EXPECT_EQ(TRUE, wnd.defaultResult);
    wnd.DestroyWindow();
}

TEST(MessageMap, DerivedMapOverridesAndChainsToTheBaseMap)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.Create());
    EXPECT_EQ(0x5678, wnd.SendMessage(WM_TEST_PING, 1, 2));
    // Not in the derived map: the base's handler.
    wnd.SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
    HWND hWnd = wnd.m_hWnd;
    wnd.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    std::vector<std::string> expected = {"derived ping", "syscommand", "destroy"};
    EXPECT_EQ(expected, wnd.calls);
}

TEST(MessageMap, CommandsAndNotificationsReachTheParentByIdAndCode)
{
    CRecordingWnd parent;
    ASSERT_TRUE(parent.Create());
    HWND hButton = ::CreateWindowExA(0, "Button", "b", WS_CHILD | BS_PUSHBUTTON, 0, 0, 50, 20, parent.m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOtherChildId)),
                                     ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, hButton);
    // A real click on a button sends BN_CLICKED to the parent.
    ::SendMessageA(hButton, BM_CLICK, 0, 0);
    // A notification code that is not mapped does nothing.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kOtherChildId, BN_DOUBLECLICKED),
                       reinterpret_cast<LPARAM>(hButton));
    // A menu command (no control); the id of a mapped control with code 1
    // (an accelerator) is a command too.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kMenuCommand, 0), 0);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kMenuCommand, 1), 0);
    // An id nobody maps.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(999, 0), 0);
    std::vector<std::string> expected = {"other child clicked", "menu command", "menu command"};
    EXPECT_EQ(expected, parent.calls);
    parent.DestroyWindow();
}

TEST(MessageMap, ReflectedNotificationReachesTheControlBeforeTheParent)
{
    CRecordingWnd parent;
    ASSERT_TRUE(parent.Create());
    HWND hStatic = CreateChildStatic(parent.m_hWnd, kChildId);
    ASSERT_NE(nullptr, hStatic);

    // Not subclassed yet: the parent's own map handles the notification.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kChildId, STN_CLICKED), reinterpret_cast<LPARAM>(hStatic));
    ASSERT_EQ(1u, parent.calls.size());
    EXPECT_EQ("child clicked", parent.calls[0]);

    CClickStatic label;
    ASSERT_TRUE(label.SubclassDlgItem(kChildId, &parent));
    EXPECT_EQ(hStatic, label.m_hWnd);
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);

    // A real click: the static control (SS_NOTIFY) notifies its parent, the
    // parent reflects the notification to the control's own map.
    ::SendMessageA(hStatic, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(hStatic, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(1, label.clicks);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kChildId, STN_CLICKED), reinterpret_cast<LPARAM>(hStatic));
    EXPECT_EQ(2, label.clicks);
    EXPECT_EQ(1u, parent.calls.size()) << "the parent's handler ran although the control handled the click";

    // A code the control does not reflect goes on to the parent's map.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kChildId, STN_DBLCLK), reinterpret_cast<LPARAM>(hStatic));
    EXPECT_EQ(2, label.clicks);
    EXPECT_EQ(1u, parent.calls.size());
    parent.DestroyWindow();
}

TEST(Subclassing, ObjectTakesOverTheWindowAndLetsGoAtDestruction)
{
    CRecordingWnd parent;
    ASSERT_TRUE(parent.Create());
    HWND hStatic = CreateChildStatic(parent.m_hWnd, kChildId);
    WNDPROC pfnOriginal = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hStatic, GWLP_WNDPROC));

    CClickStatic label;
    ASSERT_TRUE(label.SubclassWindow(hStatic));
    EXPECT_EQ(1, label.preSubclassCalls);
    EXPECT_FALSE(label.procWasOursInPreSubclass) << "PreSubclassWindow must run before the procedure changes";
    EXPECT_EQ(&AfxWndProc, reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hStatic, GWLP_WNDPROC)));
    EXPECT_EQ(&label, CWnd::FromHandlePermanent(hStatic));
    EXPECT_EQ(&label, CWnd::FromHandle(hStatic));

    // A window belongs to one object only.
    CClickStatic second;
    EXPECT_FALSE(second.SubclassWindow(hStatic));
    EXPECT_EQ(nullptr, second.m_hWnd);

    // Default processing still runs the control's own procedure.
    ::SetWindowTextA(hStatic, "static text");
    char text[64] = {};
    ::GetWindowTextA(hStatic, text, sizeof(text));
    EXPECT_STREQ("static text", text);

    EXPECT_EQ(hStatic, label.UnsubclassWindow());
    EXPECT_EQ(pfnOriginal, reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hStatic, GWLP_WNDPROC)));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hStatic));
    EXPECT_EQ(nullptr, label.m_hWnd);

    // Subclassed again, then destroyed with its parent: the object lets go.
    ASSERT_TRUE(label.SubclassWindow(hStatic));
    parent.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hStatic));
    EXPECT_EQ(nullptr, label.m_hWnd);
}

TEST(Subclassing, TemporaryObjectsWrapForeignWindowsUntilTheMapIsCleared)
{
    CRecordingWnd parent;
    ASSERT_TRUE(parent.Create());
    HWND hStatic = CreateChildStatic(parent.m_hWnd, kChildId);

    CWnd* pTemp = CWnd::FromHandle(::GetDlgItem(parent.m_hWnd, kChildId));
    ASSERT_NE(nullptr, pTemp);
    EXPECT_EQ(hStatic, pTemp->m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hStatic));
    // The same wrapper while the map lives.
    EXPECT_EQ(pTemp, CWnd::FromHandle(hStatic));
    EXPECT_EQ(nullptr, CWnd::FromHandle(::GetDlgItem(parent.m_hWnd, 4444)));
    EXPECT_EQ(&parent, CWnd::FromHandle(::GetParent(pTemp->m_hWnd)));

    // Clearing the map deletes the wrapper, never the window.
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(hStatic));
    parent.DestroyWindow();
}

TEST(Subclassing, DestroyingTheObjectDestroysItsWindow)
{
    HWND hWnd = nullptr;
    {
        CRecordingWnd wnd;
        ASSERT_TRUE(wnd.Create());
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST(WindowWrappers, TopmostSystemMenuAndIcon)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TOPMOST);
    wnd.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(wnd.GetExStyle() & WS_EX_TOPMOST);

    CMenu* pMenu = wnd.GetSystemMenu(FALSE);
    ASSERT_NE(nullptr, pMenu);
    int nBefore = ::GetMenuItemCount(pMenu->m_hMenu);
    EXPECT_TRUE(pMenu->AppendMenu(MF_STRING, 0x0020, "&Test item"));
    EXPECT_EQ(nBefore + 1, ::GetMenuItemCount(pMenu->m_hMenu));
    char text[64] = {};
    ::GetMenuStringA(pMenu->m_hMenu, 0x0020, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ("&Test item", text);

    HICON hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    wnd.SetIcon(hIcon, TRUE);
    EXPECT_EQ(hIcon, reinterpret_cast<HICON>(wnd.SendMessage(WM_GETICON, ICON_BIG)));
    wnd.DestroyWindow();
}
