// Dialogs from templates: the modal loop and its ending, the owner disabled
// while a box is open, DDX binding, the quit message, the pump, message
// boxes with the application's name, strings and the wait cursor.
#include "framework/Framework.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{
// Templates of the program's resources, linked into this test program.
const UINT kAboutTemplate = IDD_ABOUTBOX;
const UINT kMainTemplate = IDD_MAIN;
const int kDateList = IDC_DATE_TO_CHANGE;
const int kIntroLabel = IDC_INTRO;

// Runs fn on the next timer tick of this thread (in whatever modal loop is running).
std::function<void()> g_onTick;
UINT_PTR g_timer = 0;

void CALLBACK TickProc(HWND, UINT, UINT_PTR, DWORD)
{
    ::KillTimer(nullptr, g_timer);
    g_timer = 0;
    std::function<void()> fn;
    fn.swap(g_onTick);
    if (fn)
        fn();
}

void OnNextTick(std::function<void()> fn, UINT ms = 50)
{
    g_onTick = std::move(fn);
    g_timer = ::SetTimer(nullptr, 0, ms, &TickProc);
}

// Ends a dialog that a broken test would leave open.
struct Watchdog
{
    UINT_PTR id;
    explicit Watchdog(DWORD ms) { id = ::SetTimer(nullptr, 0, ms, &Fire); }
    ~Watchdog() { ::KillTimer(nullptr, id); }
    static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(99); }
};

std::string WindowText(HWND hWnd)
{
    char sz[256] = {};
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

struct WindowSearch
{
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hWnd, LPARAM lParam)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(lParam);
    if (::IsWindowVisible(hWnd) && WindowText(hWnd) == s->caption)
    {
        s->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Finds a visible top-level window of this thread with the given caption.
HWND FindThreadWindow(const char* caption)
{
    WindowSearch search = {caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class CCountingDialog : public CDialog
{
public:
    explicit CCountingDialog(UINT id, CWnd* pParent = nullptr) : CDialog(id, pParent) {}
    int initCalls = 0;
    int okCalls = 0;
    int cancelCalls = 0;
    HWND ownerAtInit = nullptr;
    std::function<void(CCountingDialog&)> onInit;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ++initCalls;
        ownerAtInit = ::GetWindow(m_hWnd, GW_OWNER);
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    void OnOK() override
    {
        ++okCalls;
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++cancelCalls;
        CDialog::OnCancel();
    }
};

// Counts one posted message.
class CPostedWnd : public CWnd
{
public:
    int received = 0;

protected:
    LRESULT OnPosted(WPARAM wParam, LPARAM lParam)
    {
        if (wParam == 5 && lParam == 6)
            ++received;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPostedWnd, CWnd)
ON_MESSAGE(WM_APP + 3, OnPosted)
END_MESSAGE_MAP()

class CBindingDialog : public CDialog
{
public:
    CBindingDialog() : CDialog(kMainTemplate) {}
    CComboBox m_list;
    CStatic m_intro;
    CStatic m_missing;
    int exchanges = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        ++exchanges;
        DDX_Control(pDX, kDateList, m_list);
        DDX_Control(pDX, kIntroLabel, m_intro);
        DDX_Control(pDX, 4711, m_missing);
    }
};
} // namespace

TEST(Dialog, DoModalRunsUntilEndDialogAndReturnsItsResult)
{
    Watchdog watchdog(10000);
    CCountingDialog dlg(kAboutTemplate);
    HWND hSeen = nullptr;
    OnNextTick(
        [&]
        {
            hSeen = dlg.m_hWnd;
            EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd)) << "a template without WS_VISIBLE is shown by DoModal";
            dlg.EndDialog(42);
        });
    EXPECT_EQ(42, dlg.DoModal());
    EXPECT_EQ(1, dlg.initCalls);
    ASSERT_NE(nullptr, hSeen);
    EXPECT_FALSE(::IsWindow(hSeen)) << "the window is destroyed when DoModal returns";
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(Dialog, EnterAndEscapeGoThroughOnOKAndOnCancel)
{
    Watchdog watchdog(10000);
    {
        CCountingDialog dlg(kAboutTemplate);
        OnNextTick([&] { ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0); });
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(1, dlg.okCalls);
        EXPECT_EQ(0, dlg.cancelCalls);
    }
    {
        CCountingDialog dlg(kAboutTemplate);
        OnNextTick([&] { ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(0, dlg.okCalls);
        EXPECT_EQ(1, dlg.cancelCalls);
    }
    {
        // The close box: WM_CLOSE becomes the cancel command.
        CCountingDialog dlg(kAboutTemplate);
        OnNextTick([&] { ::PostMessageA(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(1, dlg.cancelCalls);
    }
}

TEST(Dialog, NestedBoxDisablesItsOwnerWhileOpen)
{
    Watchdog watchdog(10000);
    CWinApp app("Nested");
    CCountingDialog outer(kMainTemplate);
    app.m_pMainWnd = &outer;
    CCountingDialog inner(kAboutTemplate);
    bool outerEnabledDuringInner = true;
    bool outerEnabledAfterInner = false;
    INT_PTR innerResult = 0;
    OnNextTick(
        [&]
        {
            inner.onInit = [&](CCountingDialog& d)
            {
                outerEnabledDuringInner = ::IsWindowEnabled(outer.m_hWnd) != FALSE;
                OnNextTick([&] { d.EndDialog(IDOK); });
            };
            // No parent given: the main window owns the box.
            innerResult = inner.DoModal();
            outerEnabledAfterInner = ::IsWindowEnabled(outer.m_hWnd) != FALSE;
            outer.EndDialog(IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, outer.DoModal());
    EXPECT_EQ(IDOK, innerResult);
    EXPECT_EQ(nullptr, outer.ownerAtInit);
    EXPECT_NE(nullptr, inner.ownerAtInit);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    app.m_pMainWnd = nullptr;
}

TEST(Dialog, QuitMessageEndsTheModalLoopAndIsPostedAgain)
{
    CCountingDialog dlg(kAboutTemplate);
    OnNextTick([] { ::PostQuitMessage(7); });
    EXPECT_EQ(-1, dlg.DoModal());
    MSG msg = {};
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST(Dialog, PumpMessageDispatchesAndStopsAtQuit)
{
    CWinApp app("Pump");
    CPostedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ::PostMessageA(wnd.m_hWnd, WM_APP + 3, 5, 6);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(1, wnd.received);
    EXPECT_EQ(static_cast<UINT>(WM_APP + 3), app.m_msgCur.message);
    ::PostQuitMessage(3);
    EXPECT_FALSE(app.PumpMessage());
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), app.m_msgCur.message);
    EXPECT_EQ(3, app.ExitInstance());
}

TEST(Dialog, DataExchangeSubclassesTheControlsById)
{
    CBindingDialog dlg;
    ASSERT_TRUE(dlg.Create(kMainTemplate));
    EXPECT_EQ(1, dlg.exchanges);
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, kDateList), dlg.m_list.m_hWnd);
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, kIntroLabel), dlg.m_intro.m_hWnd);
    EXPECT_EQ(&dlg.m_list, CWnd::FromHandlePermanent(dlg.m_list.m_hWnd));
    EXPECT_EQ(&dlg.m_intro, CWnd::FromHandle(::GetDlgItem(dlg.m_hWnd, kIntroLabel)));
    EXPECT_EQ(nullptr, dlg.m_missing.m_hWnd) << "a missing control leaves the member unattached";
    EXPECT_EQ(&dlg, CWnd::FromHandlePermanent(dlg.m_hWnd));

    // The bound list works through its object.
    EXPECT_EQ(0, dlg.m_list.AddString("first"));
    EXPECT_EQ(1, dlg.m_list.AddString("second"));
    EXPECT_EQ(2, dlg.m_list.SendMessage(CB_GETCOUNT));
    EXPECT_EQ(CB_ERR, dlg.m_list.GetCurSel());
    dlg.m_list.SetCurSel(1);
    EXPECT_EQ(1, dlg.m_list.GetCurSel());
    char text[32] = {};
    dlg.m_list.SendMessage(CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("second", text);

    // A second exchange keeps the bindings.
    HWND hList = dlg.m_list.m_hWnd;
    dlg.UpdateData(TRUE);
    EXPECT_EQ(2, dlg.exchanges);
    EXPECT_EQ(hList, dlg.m_list.m_hWnd);

    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.m_list.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_intro.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(Dialog, MissingTemplateFailsCleanly)
{
    CCountingDialog dlg(4242);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(0, dlg.initCalls);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(Application, MessageBoxCarriesTheApplicationName)
{
    Watchdog watchdog(10000);
    // No name given: the title string of the resources.
    CWinApp app;
    EXPECT_STREQ("Chronoshift", AfxGetAppName());
    std::string caption;
    std::string text;
    OnNextTick(
        [&]
        {
            HWND hBox = FindThreadWindow("Chronoshift");
            ASSERT_NE(nullptr, hBox);
            caption = WindowText(hBox);
            // The message is the box's static text (id 0xFFFF).
            text = WindowText(::GetDlgItem(hBox, 0xFFFF));
            ::PostMessageA(hBox, WM_COMMAND, IDNO, 0);
        },
        300);
    EXPECT_EQ(IDNO, AfxMessageBox("Undo the last change?", MB_YESNO));
    EXPECT_EQ("Chronoshift", caption);
    EXPECT_EQ("Undo the last change?", text);

    CWinApp named("Other Name");
    EXPECT_STREQ("Other Name", AfxGetAppName());
}

TEST(Application, StringsComeFromTheProgramsResources)
{
    CString text;
    EXPECT_TRUE(AfxLoadString(101, text));
    EXPECT_STREQ("&About Chronoshift...", text);
    EXPECT_FALSE(AfxLoadString(4711, text));
    EXPECT_TRUE(text.IsEmpty());

    CWinApp app;
    EXPECT_EQ(&app, AfxGetApp());
    EXPECT_EQ(::GetModuleHandleA(nullptr), AfxGetInstanceHandle());
}

TEST(Application, WaitCursorIsCountedAndRestored)
{
    HCURSOR hArrow = ::LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR hWait = ::LoadCursorA(nullptr, IDC_WAIT);
    ::SetCursor(hArrow);
    CWinApp app;
    app.BeginWaitCursor();
    EXPECT_EQ(hWait, ::GetCursor());
    app.BeginWaitCursor();
    app.EndWaitCursor();
    EXPECT_EQ(hWait, ::GetCursor()) << "still one Begin open";
    app.EndWaitCursor();
    EXPECT_EQ(hArrow, ::GetCursor());
    // An unmatched End changes nothing.
    app.EndWaitCursor();
    EXPECT_EQ(hArrow, ::GetCursor());
}
