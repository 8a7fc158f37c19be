#include "tests/driver/PaintWatcher.h"

#include <utility>

CPaintWatcher* CPaintWatcher::s_pActive = nullptr;

CPaintWatcher::CPaintWatcher(HWND hWnd, std::function<void()> onPaint)
    : m_hWnd(hWnd), m_onPaint(std::move(onPaint)), m_hHook(nullptr)
{
    s_pActive = this;
    m_hHook = SetWindowsHookExA(WH_GETMESSAGE, &CPaintWatcher::OnGetMessage, nullptr, GetCurrentThreadId());
}

CPaintWatcher::~CPaintWatcher()
{
    if (m_hHook != nullptr)
        UnhookWindowsHookEx(m_hHook);
    s_pActive = nullptr;
}

LRESULT CALLBACK CPaintWatcher::OnGetMessage(int nCode, WPARAM wParam, LPARAM lParam)
{
    // Only messages that are taken out of the queue are about to be dispatched.
    if (nCode == HC_ACTION && wParam == PM_REMOVE && s_pActive != nullptr)
    {
        const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
        if (pMsg->message == WM_PAINT && pMsg->hwnd == s_pActive->m_hWnd && s_pActive->m_onPaint)
            s_pActive->m_onPaint();
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}
