#include "CToolTipCtrl.h"

#include "CWinApp.h"

#include <commctrl.h>

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (!pWnd || !pWnd->m_hWnd)
        return FALSE;
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hinst = AfxGetInstanceHandle();
    ti.lpszText = const_cast<char*>(lpszText);
    if (lpRectTool)
    {
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = pWnd->m_hWnd;
        ti.uId = nIDTool;
        ti.rect = *lpRectTool;
    }
    else
    {
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = ::GetParent(pWnd->m_hWnd) ? ::GetParent(pWnd->m_hWnd) : pWnd->m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
    }
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}
