// A menu handle, as MFC's CMenu; the menus we meet (the system menu) belong
// to their windows, so a CMenu never destroys its menu.
#pragma once

#include <windows.h>

class CMenu
{
public:
    explicit CMenu(HMENU hMenu) : m_hMenu(hMenu) {}

    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu;

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr)
    {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
};
