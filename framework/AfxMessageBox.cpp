#include "framework/AfxMessageBox.h"

#include "framework/CWinApp.h"

MessageBoxFunc g_pfnMessageBox = ::MessageBoxA;

int AfxMessageBox(const char* lpszText, UINT nType, UINT)
{
    // Owned by the main window while it takes input, else by whatever window
    // of ours is active (an open box of its own), so that the box is modal.
    HWND hWndOwner = nullptr;
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && ::IsWindow(pMain->m_hWnd))
        hWndOwner = ::GetLastActivePopup(pMain->m_hWnd);
    if (!hWndOwner)
        hWndOwner = ::GetActiveWindow();
    return g_pfnMessageBox(hWndOwner, lpszText, AfxGetAppName(), nType);
}
