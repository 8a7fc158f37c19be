#include "tests/app/DialogRunner.h"

#include <cstdio>

namespace dlgtest
{
namespace
{
struct RunState
{
    CTestMainDlg* dlg = nullptr;
    const std::vector<Step>* steps = nullptr;
    size_t next = 0;
    DWORD start = 0;
    DWORD limit = 0;
    bool inStep = false;
    bool timedOut = false;
};

RunState* g_run = nullptr;

// Records every change of the dialog's place in the z-order as it is asked for.
LRESULT CALLBACK WatchZOrder(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_run != nullptr && call->message == WM_WINDOWPOSCHANGING &&
        call->hwnd == g_run->dlg->m_hWnd && call->hwnd != nullptr)
    {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
        if (!(pos->flags & SWP_NOZORDER))
            g_run->dlg->zOrderRequests.push_back(
                {pos->hwndInsertAfter, pos->flags, IsWindowVisible(call->hwnd) != FALSE});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK CloseOtherWindow(HWND hwnd, LPARAM except)
{
    if (hwnd != reinterpret_cast<HWND>(except) && IsWindowVisible(hwnd))
        PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    RunState* run = g_run;
    // A step that waits in a nested modal loop must not be entered again.
    if (run == nullptr || run->inStep || run->dlg == nullptr)
        return;
    HWND hDlg = run->dlg->m_hWnd;
    if (hDlg == nullptr || !IsWindow(hDlg))
        return;

    if (GetTickCount() - run->start > run->limit)
    {
        if (!run->timedOut)
        {
            run->timedOut = true;
            EnumThreadWindows(GetCurrentThreadId(), CloseOtherWindow, reinterpret_cast<LPARAM>(hDlg));
            if (run->dlg->m_bBusy)
                run->dlg->SetBusy(false, false);
            run->dlg->EndDialog(IDABORT);
        }
        return;
    }
    if (run->next >= run->steps->size())
        return;

    run->inStep = true;
    bool done = (*run->steps)[run->next](*run->dlg);
    run->inStep = false;
    if (done)
        ++run->next;
}
} // namespace

INT_PTR RunDialog(CTestMainDlg& dlg, const std::vector<Step>& steps, DWORD timeLimitMs)
{
    RunState run;
    run.dlg = &dlg;
    run.steps = &steps;
    run.start = GetTickCount();
    run.limit = timeLimitMs;
    g_run = &run;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTick);
    EXPECT_NE(0u, timer);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchZOrder, nullptr, GetCurrentThreadId());
    EXPECT_NE(nullptr, hook);
    INT_PTR result = dlg.DoModal();
    if (hook != nullptr)
        UnhookWindowsHookEx(hook);
    KillTimer(nullptr, timer);
    g_run = nullptr;

    EXPECT_FALSE(run.timedOut) << "the dialog was still open after " << timeLimitMs << " ms, at step "
                               << run.next;
    EXPECT_EQ(steps.size(), run.next) << "not every step ran";
    // Drop stray ticks and posted input so the next run starts clean.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
    return result;
}

::testing::AssertionResult TopmostAtStart(const CTestMainDlg::InitState& init)
{
    std::string requests = DescribeZOrder(init.zOrderRequests);
    if (requests != "topmost hidden")
        return ::testing::AssertionFailure() << "initialisation asked for \"" << requests << "\"";
    if (!init.topmost && PlatformRaisesOwnersOfPopups())
        return ::testing::AssertionFailure() << "asked for the topmost band, but not in it";
    return ::testing::AssertionSuccess();
}

bool AskedForBand(const ZOrderRequest& request, HWND band)
{
    const UINT keepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED;
    return request.insertAfter == band && (request.flags & keepPlace) == keepPlace;
}

std::string DescribeZOrder(const std::vector<ZOrderRequest>& requests)
{
    std::string text;
    for (const ZOrderRequest& request : requests)
    {
        bool band = request.insertAfter == HWND_TOPMOST || request.insertAfter == HWND_NOTOPMOST;
        if (!band && (request.flags & SWP_SHOWWINDOW))
            continue;
        char item[64];
        if (AskedForBand(request, HWND_TOPMOST))
            std::snprintf(item, sizeof(item), "topmost");
        else if (AskedForBand(request, HWND_NOTOPMOST))
            std::snprintf(item, sizeof(item), "notopmost");
        else
            std::snprintf(item, sizeof(item), "after %p flags 0x%x", static_cast<void*>(request.insertAfter),
                          request.flags);
        if (!text.empty())
            text += ", ";
        text += item;
        text += request.visible ? " shown" : " hidden";
    }
    return text;
}

bool PlatformRaisesOwnersOfPopups()
{
    static int s_result = -1;
    if (s_result >= 0)
        return s_result != 0;
    HWND owner = CreateWindowExA(0, "STATIC", "probe", WS_POPUP | WS_CAPTION, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND popup = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP, 0, 0, 10, 10, owner, nullptr, nullptr,
                                 nullptr);
    SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    s_result = IsTopmost(owner) ? 1 : 0;
    DestroyWindow(owner);
    return s_result != 0;
}

void PressKey(HWND hDlg, UINT vk)
{
    HWND target = GetFocus();
    if (target == nullptr || (target != hDlg && !IsChild(hDlg, target)))
        target = hDlg;
    UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

void PressAltF4(HWND hDlg)
{
    UINT scan = MapVirtualKeyA(VK_F4, MAPVK_VK_TO_VSC);
    // Bit 29 is the Alt key being held.
    PostMessageA(hDlg, WM_SYSKEYDOWN, VK_F4, 1 | (scan << 16) | (1u << 29));
}

void Click(HWND hDlg, int id)
{
    SendMessageA(GetDlgItem(hDlg, id), BM_CLICK, 0, 0);
}

namespace
{
struct FindData
{
    const char* caption;
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM param)
{
    FindData* data = reinterpret_cast<FindData*>(param);
    if (hwnd != data->except && IsWindowVisible(hwnd) && WindowText(hwnd) == data->caption)
    {
        data->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindThreadWindow(const char* caption, HWND except)
{
    FindData data = {caption, except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchCaption, reinterpret_cast<LPARAM>(&data));
    return data.found;
}
} // namespace dlgtest
