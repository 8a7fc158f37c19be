// Sees every WM_PAINT that the thread's message loops take for one window
// (a WH_GETMESSAGE hook), so a run can tell whether a label was repainted
// while a batch was running.
#pragma once

#include <windows.h>

#include <functional>

class CPaintWatcher
{
public:
    CPaintWatcher(HWND hWnd, std::function<void()> onPaint);
    ~CPaintWatcher();

    CPaintWatcher(const CPaintWatcher&) = delete;
    CPaintWatcher& operator=(const CPaintWatcher&) = delete;

    bool IsHooked() const { return m_hHook != nullptr; }

private:
    static LRESULT CALLBACK OnGetMessage(int nCode, WPARAM wParam, LPARAM lParam);

    static CPaintWatcher* s_pActive;

    HWND m_hWnd;
    std::function<void()> m_onPaint;
    HHOOK m_hHook;
};
