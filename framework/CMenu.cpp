#include "CMenu.h"

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int nLen = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (nLen <= 0)
    {
        rString.Empty();
        return 0;
    }
    char* p = rString.GetBuffer(nLen);
    if (!p)
        return 0;
    nLen = ::GetMenuStringA(m_hMenu, nIDItem, p, nLen + 1, nFlags);
    rString.ReleaseBuffer(nLen > 0 ? nLen : 0);
    return nLen;
}
